// Job files built by hand from the documented layouts: what opens, what is refused and with which
// message, and the bytes the document writes.
#include "DocumentTestSupport.h"

#include "ArchiveMemory.h"
#include "ArchivePrimitives.h"
#include "JobFileOptions.h"
#include "MyException.h"

#include "resource.h"

#include <gtest/gtest.h>

using namespace doctest;

namespace {

const GUID SampleId = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};

std::vector<unsigned char> Bytes(std::initializer_list<unsigned char> list) {
  return std::vector<unsigned char>(list);
}

std::vector<unsigned char> Concat(std::vector<unsigned char> a, const std::vector<unsigned char>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// An "@Attributes" stream of major 1: Indexed 1, limits, and the aspect ratios block as the
// program writes it for the built-in defaults.
std::vector<unsigned char> AttributesBytes(uint16_t schema) {
  std::vector<unsigned char> bytes = {static_cast<unsigned char>(schema & 0xFF),
                                      static_cast<unsigned char>(schema >> 8)};
  if ((schema >> 8) >= 2) {
    bytes = Concat(bytes, ArchiveText("one"));
    bytes = Concat(bytes, ArchiveText("tpl"));
  }
  bytes.push_back(1);                                      // Indexed
  bytes = Concat(bytes, Bytes({0x00, 0x10, 0x00, 0x00}));  // 4096
  bytes = Concat(bytes, Bytes({0x00, 0x20, 0x00, 0x00}));  // 8192
  AspectRatios ratios;
  ratios.SetDefaults();
  zvk::ArchiveMemory memory;
  ratios.Write(memory);
  std::vector<unsigned char> block(memory.GetSize());
  memory.Seek(0, 0);
  memory.Read(block.data(), static_cast<unsigned>(block.size()));
  return Concat(bytes, block);
}

// The image list stream: u16 schema, then the list block of count 0.
std::vector<unsigned char> EmptyListBytes(uint16_t schema) {
  return Bytes({static_cast<unsigned char>(schema & 0xFF), static_cast<unsigned char>(schema >> 8), 0x00,
                0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
}

class GoldenJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainWindow();
    ResetOptions(folder.Path());
  }
  void TearDown() override { ResetOptions(""); }

  // Opens the file and returns the message of the refusal ("" when it opened).
  std::string OpenMessage(const std::string& path, HRESULT* code = nullptr) {
    CTheDocument document;
    try {
      document.OpenJob(path.c_str(), false);
    } catch (const CMyException& e) {
      if (code) *code = e.code;
      EXPECT_FALSE(document.IsOpen());
      EXPECT_EQ(0, document.GetImages().GetCount());
      return e.what();
    }
    return "";
  }
  ScratchFolder folder{"golden"};
};

}  // namespace

TEST_F(GoldenJobTest, MinimalJobAndHeaderMajorTwoOpen) {
  struct Case {
    uint16_t schema;
  };
  for (uint16_t schema : {uint16_t(0x0100), uint16_t(0x0105), uint16_t(0x0200)}) {
    const std::string path = folder.File("minimal.plj");
    WriteCompoundFile(path, {{"@Header", HeaderBytes(schema, SampleId, "kept text", 6)}});
    CTheDocument document;
    ASSERT_TRUE(document.OpenJob(path.c_str(), false)) << schema;
    EXPECT_EQ(SampleId, document.GetJobId());
    EXPECT_STREQ("kept text", document.GetHeaderText());
    EXPECT_EQ(7, document.GetOpenCounter());
    EXPECT_TRUE(document.GetFirstSave().IsEmpty());
    EXPECT_EQ(0, document.GetImages().GetCount());
    // The next save fills both usage records and writes the header at major 1.
    ASSERT_TRUE(document.Save());
    ASSERT_TRUE(document.CloseJob());
    std::vector<unsigned char> header;
    ASSERT_TRUE(ReadCompoundStream(path, "@Header", header));
    EXPECT_EQ(HeaderBytes(0x0100, SampleId, "kept text", 7), header);
    std::vector<unsigned char> list;
    ASSERT_TRUE(ReadCompoundStream(path, "@Images-Individual\\@List", list));
    EXPECT_EQ(EmptyListBytes(0x0100), list);
    CTheDocument again;
    ASSERT_TRUE(again.OpenJob(path.c_str(), true));
    EXPECT_FALSE(again.GetFirstSave().IsEmpty());
    EXPECT_EQ(again.GetFirstSave().saveTime, again.GetLastSave().saveTime);
  }
}

TEST_F(GoldenJobTest, AttributesAreReadAndWrittenAtTheSmallestVersion) {
  const std::string path = folder.File("attributes.plj");
  WriteCompoundFile(
      path, {{"@Header", HeaderBytes(0x0100, SampleId, "", 1)}, {"@Attributes", AttributesBytes(0x0201)}});
  CTheDocument document;
  ASSERT_TRUE(document.OpenJob(path.c_str(), false));
  EXPECT_STREQ("one", document.GetAttributeText(0));
  EXPECT_STREQ("tpl", document.GetTemplateFolder());
  EXPECT_TRUE(document.IsIndexed());
  EXPECT_TRUE(document.IsPrimaryImageFirst());
  EXPECT_EQ(4096, document.GetStoredBitmapSizeLimit());
  EXPECT_EQ(8192, document.GetDraftSize());

  struct Case {
    const char* texts[4];
    uint16_t schema;
    int textCount;
  };
  const Case cases[] = {
      {{"", "", "", ""}, 0x0101, 0}, {{"", "t2", "", ""}, 0x0201, 2}, {{"", "", "", "t4"}, 0x0301, 5}};
  for (const Case& c : cases) {
    for (int i = 0; i < 4; ++i) document.SetAttributeText(i, c.texts[i]);
    ASSERT_TRUE(document.Save());
    std::vector<unsigned char> bytes;
    // The job is open (and its file held), so read through a second, shared reader.
    IStorage* root = document.GetStorage();
    IStream* stream = nullptr;
    ASSERT_HRESULT_SUCCEEDED(
        root->OpenStream(L"@Attributes", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream));
    STATSTG stat = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    stream->Release();
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(c.schema, bytes[0] | (bytes[1] << 8));
    zvk::ArchiveMemory archive(bytes.data(), static_cast<unsigned>(bytes.size()));
    uint16_t schema;
    zvk::ReadArchiveWord(archive, schema);
    for (int i = 0; i < c.textCount; ++i) {
      CString text;
      zvk::ReadArchiveCString(archive, text);
      EXPECT_STREQ(i < 4 ? c.texts[i] : "", text);
    }
    uint8_t indexed;
    zvk::ReadArchiveByte(archive, indexed);
    EXPECT_EQ(1, indexed);
  }
}

TEST_F(GoldenJobTest, RefusedJobsGiveTheirMessages) {
  const CString invalid = Text(IDS_FILE_INVALID);
  const CString newer = Text(IDS_FILE_NEWER_VERSION);
  std::vector<unsigned char> header = HeaderBytes(0x0100, SampleId, "", 1);
  std::vector<unsigned char> shortHeader(header.begin(), header.begin() + 20);
  std::vector<unsigned char> badMagic = header;
  badMagic[1] = 'P';
  struct Case {
    const char* what;
    std::vector<Element> elements;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"no header", {{"@Usage", Bytes({0, 1})}}, invalid},
      {"wrong magic", {{"@Header", badMagic}}, invalid},
      {"short header", {{"@Header", shortHeader}}, invalid},
      {"header major 3", {{"@Header", HeaderBytes(0x0300, SampleId, "", 1)}}, newer},
      {"usage major 2", {{"@Header", header}, {"@Usage", Bytes({0x00, 0x02})}}, newer},
      {"usage short", {{"@Header", header}, {"@Usage", Bytes({0x00, 0x01, 0x00, 0x01})}}, invalid},
      {"attributes major 4", {{"@Header", header}, {"@Attributes", AttributesBytes(0x0400)}}, newer},
      {"attributes short", {{"@Header", header}, {"@Attributes", Bytes({0x00, 0x01, 1, 0})}}, invalid},
      {"image list major 2",
       {{"@Header", header}, {"@Images-Individual\\@List", EmptyListBytes(0x0200)}},
       newer},
      {"list block major 2",
       {{"@Header", header}, {"@Images-Individual\\@List", Bytes({0x00, 0x01, 0x00, 0x02, 0, 0, 0, 0})}},
       newer},
  };
  for (const Case& c : cases) {
    const std::string path = folder.File("refused.plj");
    WriteCompoundFile(path, c.elements);
    HRESULT code = S_OK;
    EXPECT_EQ(std::string(c.message), OpenMessage(path, &code)) << c.what;
    EXPECT_EQ(E_CANNOT_READ_FILE, code) << c.what;
    DeleteFileA(path.c_str());
  }
}

TEST_F(GoldenJobTest, AFileThatIsNoJobFileGivesTheSystemsReason) {
  const std::string path = folder.File("text.plj");
  WriteWholeFile(path, std::vector<unsigned char>(4096, 'a'));
  HRESULT code = S_OK;
  std::string message = OpenMessage(path, &code);
  EXPECT_EQ(E_CANNOT_OPEN_FILE, code);
  const std::string prefix =
      std::string(Text(IDS_CANNOT_OPEN_FILE)) + " " + std::string(Text(IDS_ERROR)) + ": ";
  EXPECT_EQ(0u, message.find(prefix)) << message;
  EXPECT_EQ(std::string::npos, message.find('\n'));
}

TEST_F(GoldenJobTest, FailedLoadLeavesNothingOfThePreviousJob) {
  // Two saved jobs whose first image is the same record: one with only that image, one with two.
  ImageRecord first;
  first.id = CObjectID::CreateNew();
  first.number = 1;
  ImageRecord second;
  second.id = CObjectID::CreateNew();
  second.number = 2;
  const std::string one = folder.File("one.plj");
  const std::string good = folder.File("good.plj");
  for (const std::string& path : {one, good}) {
    CTheDocument document;
    ASSERT_TRUE(document.NewJob());
    document.GetImages().Add(first);
    if (path == good) document.GetImages().Add(second);
    DialogAnswers answers;
    answers.Answer(path);
    ASSERT_TRUE(document.SaveAs());
  }
  // The good job with its image list cut after the first record: the refusal comes once a record
  // has been read into the list, and the header, usage and attributes before it were read too.
  std::vector<unsigned char> oneList, list;
  ASSERT_TRUE(ReadCompoundStream(one, "@Images-Individual\\@List", oneList));
  ASSERT_TRUE(ReadCompoundStream(good, "@Images-Individual\\@List", list));
  ASSERT_LT(oneList.size(), list.size());
  list.resize(oneList.size());
  const std::string bad = folder.File("bad.plj");
  std::vector<Element> elements;
  for (const char* name : {"@Header", "@Attributes", "@Usage"}) {
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(ReadCompoundStream(good, name, bytes)) << name;
    elements.push_back({name, bytes});
  }
  elements.push_back({"@Images-Individual\\@List", list});
  WriteCompoundFile(bad, elements);

  CTheDocument document;
  ASSERT_TRUE(document.OpenJob(good.c_str(), false));
  ASSERT_EQ(2, document.GetImages().GetCount());
  ASSERT_TRUE(document.CloseJob());
  HRESULT code = S_OK;
  try {
    document.OpenJob(bad.c_str(), false);
    ADD_FAILURE() << "a cut image list must refuse the open";
  } catch (const CMyException& e) {
    code = e.code;
  }
  EXPECT_EQ(E_CANNOT_READ_FILE, code);
  EXPECT_EQ(0, document.GetImages().GetCount()) << "the record read before the refusal stays behind";
  EXPECT_FALSE(document.IsOpen());
  EXPECT_EQ(nullptr, document.GetStorage());
}

TEST_F(GoldenJobTest, AnOldFormatJobKeepsItsFormatWhenSavedInPlace) {
  const std::string path = folder.File("v3.plj");
  WriteCompoundFile(path,
                    {{"@Header", HeaderBytes(0x0100, SampleId, "", 1)}, {"@Unknown", Bytes({1, 2, 3})}});
  ASSERT_EQ(JobFileVersion3, ReadCompoundFileVersion(path.c_str()));
  CTheDocument document;
  ASSERT_TRUE(document.OpenJob(path.c_str(), false));
  ASSERT_TRUE(document.Save());
  ASSERT_TRUE(document.CloseJob());
  EXPECT_EQ(JobFileVersion3, ReadCompoundFileVersion(path.c_str()));
  // A section this program does not read is carried along.
  std::vector<unsigned char> unknown;
  ASSERT_TRUE(ReadCompoundStream(path, "@Unknown", unknown));
  EXPECT_EQ(Bytes({1, 2, 3}), unknown);
}
