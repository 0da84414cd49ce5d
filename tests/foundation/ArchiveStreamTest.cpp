// The stream archive over a real stream of a compound file.
#include "Archive.h"

#include "Fixtures.h"

#include <comdef.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

class CompoundFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    folder = testsupport::ScratchFolder("archive-stream");
    path = folder + "\\job.plj";
    std::wstring wide(path.begin(), path.end());
    ASSERT_EQ(
        StgCreateDocfile(wide.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage),
        S_OK);
    ASSERT_EQ(
        storage->CreateStream(L"@Header", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream),
        S_OK);
  }
  void TearDown() override {
    if (stream) stream->Release();
    if (storage) storage->Release();
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
    CoUninitialize();
  }
  uint64_t StreamSize() {
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    return stat.cbSize.QuadPart;
  }

  std::string folder, path;
  IStorage* storage = nullptr;
  IStream* stream = nullptr;
};

}  // namespace

TEST_F(CompoundFile, WritesReadsBackAndTruncatesAShorterRewrite) {
  {
    zvk::ArchiveStream archive(stream);
    zvk::WriteArchiveWord(archive, 0x0100);
    zvk::WriteArchiveCString(archive, CString("a rather long first content"));
    zvk::WriteArchiveDword(archive, 77);
    EXPECT_EQ(archive.Seek(0, 1), 2 + 1 + 27 + 4);
  }
  ASSERT_EQ(StreamSize(), 34u);
  {
    // A writer that opens the existing stream rewrites from 0 and cuts at its end.
    zvk::ArchiveStream archive(stream);
    EXPECT_EQ(archive.Seek(0, 0), 0);
    zvk::WriteArchiveWord(archive, 0x0100);
    zvk::WriteArchiveCString(archive, CString("short"));
    EXPECT_EQ(archive.Truncate(), 8u);
  }
  EXPECT_EQ(StreamSize(), 8u);
  {
    zvk::ArchiveStream archive(stream);
    archive.Seek(0, 0);
    uint16_t schema;
    CString text;
    zvk::ReadArchiveWord(archive, schema);
    zvk::ReadArchiveCString(archive, text);
    EXPECT_EQ(schema, 0x0100);
    EXPECT_STREQ(text, "short");
    uint8_t more;
    EXPECT_EQ(archive.Read(&more, 1), 0u);
    uint64_t remaining = 99;
    EXPECT_TRUE(archive.GetRemaining(remaining));
    EXPECT_EQ(remaining, 0u);
  }
}

TEST_F(CompoundFile, HostileLengthInAStreamFailsBeforeAllocating) {
  const uint8_t bytes[] = {0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F, 'x'};
  ULONG written = 0;
  ASSERT_EQ(stream->Write(bytes, sizeof(bytes), &written), S_OK);
  zvk::ArchiveStream archive(stream);
  archive.Seek(0, 0);
  CString text("kept");
  try {
    zvk::ReadArchiveCString(archive, text);
    ADD_FAILURE() << "no exception";
  } catch (const zvk::ArchiveException& e) {
    EXPECT_EQ(e.GetKind(), zvk::ArchiveException::EndOfFile);
  }
  EXPECT_STREQ(text, "kept");
}

TEST_F(CompoundFile, SetSizeGrowsWithZerosAndCloneReadsTheSameStream) {
  zvk::ArchiveStream archive(stream);
  zvk::WriteArchiveDword(archive, 0xDEADBEEF);
  EXPECT_EQ(archive.SetSize(10), 10u);
  EXPECT_EQ(StreamSize(), 10u);
  EXPECT_TRUE(archive.CanClone());
  zvk::Archive* clone = archive.Clone();
  ASSERT_NE(clone, nullptr);
  clone->Seek(0, 0);
  uint32_t first, zeros;
  uint16_t tail;
  zvk::ReadArchiveDword(*clone, first);
  zvk::ReadArchiveDword(*clone, zeros);
  zvk::ReadArchiveWord(*clone, tail);
  EXPECT_EQ(first, 0xDEADBEEFu);
  EXPECT_EQ(zeros, 0u);
  EXPECT_EQ(tail, 0u);
  clone->DestroyClone();
}

TEST(ArchiveStreamWithoutStream, ReportsMisuse) {
  zvk::ArchiveStream archive;
  uint8_t byte = 0;
  EXPECT_THROW(archive.Read(&byte, 1), std::invalid_argument);
  EXPECT_THROW(archive.Write(&byte, 1), std::invalid_argument);
  try {
    archive.Seek(0, 0);
    ADD_FAILURE() << "no exception";
  } catch (const _com_error& e) {
    EXPECT_EQ(e.Error(), E_POINTER);
  }
  EXPECT_THROW(archive.SetSize(0), _com_error);
  EXPECT_THROW(archive.Clone(), _com_error);
}

TEST(ArchiveStreamComError, NamesTheCodeAndTheSystemText) {
  try {
    zvk::ThrowArchiveStreamComError(STG_E_ACCESSDENIED);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "ArchiveStream COM Error 0x80030005\n" + zvk::SystemMessageText(STG_E_ACCESSDENIED));
  }
}
