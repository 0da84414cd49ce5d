// The numbers of file names, the order of the list and the two searches that fill it.
#include "ImportTestSupport.h"

#include "ImportFileNames.h"
#include "MakePreviewBitmap.h"

using namespace importtest;

namespace {

std::vector<std::string> Names(const std::vector<ImportCandidate>& files, bool withFolder,
                               const std::string& root) {
  std::vector<std::string> names;
  for (const ImportCandidate& file : files) {
    std::string folder = static_cast<const char*>(file.folder);
    if (folder.rfind(root, 0) == 0) folder = folder.substr(root.size());
    names.push_back((withFolder ? folder : std::string()) + static_cast<const char*>(file.name));
  }
  return names;
}

TEST(ImportFileNames, NumbersStartAtTheFirstDigit) {
  struct Case {
    const char* name;
    int32_t number;
  };
  const Case cases[] = {
      {"IMG_0042.jpg", 42},
      {"a1b2.tif", 1},
      {"photo.jpg", 0},
      {"2147483647.jpg", 2147483647},
      {"2147483648.jpg", 0},  // too large for 32 bits
      {"x99999999999999999999.jpg", 0},
      {"", 0},
      {"007", 7},
  };
  for (const Case& c : cases) EXPECT_EQ(c.number, NumberOfFileName(c.name)) << c.name;

  EXPECT_EQ(3, NumberAtPosition("IMG_0003.jpg", 4));
  EXPECT_EQ(0, NumberAtPosition("IMG_0003.jpg", -1));
  EXPECT_EQ(0, NumberAtPosition("IMG_", 4));
  EXPECT_EQ(0, NumberAtPosition("IMG_", 40));
}

TEST(ImportFileNames, NumericOrderComparesNumbersAndAlphabeticOrderTheNames) {
  std::vector<ImportCandidate> files;
  for (const char* name : {"IMG_10.jpg", "img_2.jpg", "IMG_1.jpg", "zz.jpg", "A_2.JPG"})
    files.push_back({name, "", NumberOfFileName(name)});
  std::vector<ImportCandidate> numeric = files;
  SortCandidates(numeric, 0, false);
  EXPECT_EQ(Names(numeric, false, ""),
            (std::vector<std::string>{"zz.jpg", "IMG_1.jpg", "A_2.JPG", "img_2.jpg", "IMG_10.jpg"}));
  std::vector<ImportCandidate> alphabetic = files;
  SortCandidates(alphabetic, 1, false);
  EXPECT_EQ(Names(alphabetic, false, ""),
            (std::vector<std::string>{"A_2.JPG", "IMG_1.jpg", "IMG_10.jpg", "img_2.jpg", "zz.jpg"}));
}

TEST(ImportFileNames, AFolderTreeListsEachFolderTogetherInCaseInsensitiveOrder) {
  ScratchFolder root;
  for (const char* sub : {"b", "B\\inner", "a"}) {
    std::string path = root.Path();
    CreateDirectoryA((path + "b").c_str(), nullptr);
    CreateDirectoryA((path + sub).c_str(), nullptr);
  }
  CreateDirectoryA((root.Path() + "C").c_str(), nullptr);
  for (const char* file : {"IMG_10.jpg", "IMG_2.jpg", "a\\IMG_3.jpg", "b\\IMG_1.jpg", "b\\inner\\x.jpg",
                           "C\\IMG_20.jpg", "C\\IMG_4.jpg"})
    WriteTextFile(root.File(file), "x");
  std::vector<ImportCandidate> files = WalkFolderTree(root.Path().c_str());
  SortCandidates(files, 0, true);
  EXPECT_EQ(Names(files, true, root.Path()),
            (std::vector<std::string>{"IMG_2.jpg", "IMG_10.jpg", "a\\IMG_3.jpg", "b\\IMG_1.jpg",
                                      "b\\inner\\x.jpg", "C\\IMG_4.jpg", "C\\IMG_20.jpg"}));
  EXPECT_EQ(10, files[1].number);
  EXPECT_TRUE(WalkFolderTree((root.Path() + "missing").c_str()).empty());
}

TEST(ImportFileNames, TheMaskTakesNumbersAtThePrefixsLengthWithinItsLimits) {
  ScratchFolder root;
  for (int n : {1, 3, 5, 12, 40}) {
    char name[32];
    sprintf(name, "IMG_%04d.jpg", n);
    WriteTextFile(root.File(name), "x");
  }
  WriteTextFile(root.File("IMG_0007.tif"), "x");
  WriteTextFile(root.File("DSC_0008.jpg"), "x");
  struct Case {
    int32_t width, first, last;
    std::vector<int32_t> numbers;
  };
  const Case cases[] = {
      {4, 0, 0, {1, 3, 5, 12, 40}},
      {4, 5, 0, {5, 12, 40}},
      {4, 0, 12, {1, 3, 5, 12}},
      {4, 3, 12, {3, 5, 12}},
      {0, 0, 0, {0, 0, 0, 0, 0}},  // no width: every file gets 0
      {0, 1, 0, {}},
  };
  for (const Case& c : cases) {
    std::vector<ImportCandidate> files =
        FindMaskedFiles(root.Path().c_str(), "IMG_", c.width, "", "jpg", c.first, c.last);
    SortCandidates(files, 0, false);
    std::vector<int32_t> numbers;
    for (const ImportCandidate& file : files) numbers.push_back(file.number);
    EXPECT_EQ(c.numbers, numbers) << c.width << " " << c.first << " " << c.last;
  }
}

TEST(ImportFileNames, TheMaskExampleShowsNumberThreeAtTheWidth) {
  EXPECT_EQ(CString("IMG_0003.jpg"), MaskExample("IMG_", 4, "", "jpg"));
  EXPECT_EQ(CString("a3_b.tif"), MaskExample("a", 1, "_b", "tif"));
  EXPECT_EQ(CString("IMG_<xxx>.jpg"), MaskExample("IMG_", 0, "", "jpg"));
}

TEST(ImportPreview, ThePreviewHoldsAbout65536BytesAndNeverGrows) {
  struct Case {
    long width, height, previewWidth, previewHeight;
  };
  const Case cases[] = {
      {1000, 1000, 147, 147}, {200, 200, 147, 147}, {100, 100, 100, 100},   {6000, 4000, 181, 120},
      {0, 0, 0, 0},           {0, 500, 0, 500},     {1, 100000, 1, 100000},
  };
  for (const Case& c : cases) {
    const SIZE size = PreviewSize(c.width, c.height);
    EXPECT_EQ(c.previewWidth, size.cx) << c.width << " x " << c.height;
    EXPECT_EQ(c.previewHeight, size.cy) << c.width << " x " << c.height;
  }
}

}  // namespace
