// Path splitting, joining, checking and the colour-folder relative paths.
#include "ColorDirectory.h"
#include "PathHelpers.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

#include <io.h>

TEST(PathParts, SplittingTable) {
  struct Case {
    const char* path;
    const char* folder;
    const char* name;
    const char* title;
    const char* extension;
  } cases[] = {
      {"C:\\x.txt", "C:", "x.txt", "x", "txt"},
      {"x.txt", "", "x.txt", "x", "txt"},
      {"C:\\old.set\\file", "C:\\old.set", "file", "old", "set\\file"},
      {"C:\\a\\b\\", "C:\\a\\b", "b\\", "", ""},
      {".profile", "", ".profile", ".profile", ""},
      {"d:/pics/img.jpeg", "d:/pics", "img.jpeg", "img", "jpeg"},
      {"", "", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(GetFolderPart(c.path), c.folder) << c.path;
    EXPECT_STREQ(GetFileNamePart(c.path), c.name) << c.path;
    EXPECT_STREQ(GetFileTitlePart(c.path), c.title) << c.path;
    EXPECT_STREQ(GetExtensionPart(c.path), c.extension) << c.path;
  }
}

TEST(PathParts, JoiningTable) {
  struct Case {
    const char* folder;
    const char* name;
    const char* joined;
  } cases[] = {
      {"C:\\a\\", "\\b", "C:\\a\\b"}, {"C:\\a", "b", "C:\\a\\b"}, {"C:", "b", "C:b"},
      {"C:\\a\\", "b", "C:\\a\\b"},   {"C:\\a", "/b", "C:\\a/b"}, {"", "b", "b"},
      {"C:\\a", "", "C:\\a"},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(CombinePath(c.folder, c.name), c.joined) << c.folder << " + " << c.name;
  EXPECT_STREQ(AppendBackslash("C:\\a"), "C:\\a\\");
  EXPECT_STREQ(AppendBackslash("C:/a/"), "C:/a/");
  EXPECT_STREQ(AppendBackslash(""), "");
}

TEST(PathCheck, KindsAndNormalising) {
  struct Case {
    const char* path;
    bool normalise, strip;
    int kind;
    const char* after;
  } cases[] = {
      {"", false, false, PathRelative, ""},
      {"C:", false, false, PathInvalid, "C:"},
      {"1:\\x", false, false, PathInvalid, "1:\\x"},
      {"\\x", false, false, PathInvalid, "\\x"},
      {"C:\\x\\", false, true, PathAbsolute, "C:\\x"},
      {"\\\\?\\C:\\x//", true, true, PathAbsolute, "\\\\?\\C:\\x//"},
      {"a//b\\\\c", true, false, PathRelative, "a\\b\\c"},
      {"\\\\server//share\\\\x\\", true, true, PathAbsolute, "\\\\server\\share\\x"},
      {"\\\\ab", false, false, PathInvalid, "\\\\ab"},
      {"\\\\\\abc", false, false, PathInvalid, "\\\\\\abc"},
  };
  for (const Case& c : cases) {
    CString path(c.path);
    SetLastError(0);
    EXPECT_EQ(CheckPath(path, c.normalise, c.strip), c.kind) << c.path;
    EXPECT_STREQ(path, c.after) << c.path;
    if (c.kind == PathInvalid) {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME)) << c.path;
    }
  }
}

TEST(PathColourFolder, ProfilesInsideAreRelativeSiblingsStayAbsolute) {
  CString folder;
  ASSERT_TRUE(GetColorDirectory(folder));
  ASSERT_FALSE(folder.IsEmpty());
  CheckPath(folder, true, true);

  CString inside = folder + "\\sRGB Color Space Profile.icm";
  ASSERT_TRUE(MakePathRelative(inside));
  EXPECT_STREQ(inside, "sRGB Color Space Profile.icm");
  ASSERT_TRUE(MakePathAbsolute(inside));
  EXPECT_STREQ(inside, folder + "\\sRGB Color Space Profile.icm");

  CString upper = folder + "\\sub/Deep.icc";
  upper.MakeUpper();
  ASSERT_TRUE(MakePathRelative(upper));
  EXPECT_STREQ(upper, "SUB\\DEEP.ICC");

  CString sibling = folder + "-old\\x.icm";
  ASSERT_TRUE(MakePathRelative(sibling));
  EXPECT_STREQ(sibling, folder + "-old\\x.icm");

  CString elsewhere = "D:\\profiles\\x.icm";
  ASSERT_TRUE(MakePathAbsolute(elsewhere));
  EXPECT_STREQ(elsewhere, "D:\\profiles\\x.icm");
  CString invalid = "C:";
  EXPECT_FALSE(MakePathRelative(invalid));
  EXPECT_FALSE(MakePathAbsolute(invalid));
}

TEST(PathFolders, CreateFolderPathMakesEachMissingLevel) {
  std::string scratch = testsupport::ScratchFolder("folders");
  CString deep = CString(scratch.c_str()) + "\\a\\b\\c\\";
  ASSERT_TRUE(CreateFolderPath(deep));
  EXPECT_EQ(_access(deep, 0), 0);
  EXPECT_TRUE(CreateFolderPath(deep));  // all there already
  CString full = CString(scratch.c_str()) + "\\a\\..\\a\\b";
  ASSERT_TRUE(MakeFullPath(full));
  EXPECT_STREQ(full, CString(scratch.c_str()) + "\\a\\b");
  RemoveDirectoryA(CString(scratch.c_str()) + "\\a\\b\\c");
  RemoveDirectoryA(CString(scratch.c_str()) + "\\a\\b");
  RemoveDirectoryA(CString(scratch.c_str()) + "\\a");
  RemoveDirectoryA(scratch.c_str());
  EXPECT_FALSE(CreateFolderPath("\\\\serveronly"));
  EXPECT_FALSE(GetModuleFolder().IsEmpty());
}
