#include "classlib/File.h"

#include <gtest/gtest.h>

#include "Fixtures.h"

TEST(CMemFileTest, ReadsWritesAndSeeksPastTheEnd) {
  CMemFile file(4096);
  file.Write("abc", 3);
  file.Seek(6, CFile::begin);
  file.Write("z", 1);
  EXPECT_EQ(file.GetLength(), 7u);
  file.SeekToBegin();
  char buffer[16] = {};
  EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 7u);
  EXPECT_EQ(std::string(buffer, 7), std::string("abc\0\0\0z", 7));
  EXPECT_EQ(file.Read(buffer, 4), 0u);

  std::string big(10000, 'q');
  file.Write(big.data(), static_cast<UINT>(big.size()));
  EXPECT_EQ(file.GetLength(), 10007u);
  file.SetLength(5);
  EXPECT_EQ(file.GetPosition(), 5u);
  EXPECT_THROW(
      {
        try {
          file.Seek(-10, CFile::current);
        } catch (CException* e) {
          e->Delete();
          throw 1;
        }
      },
      int);
  BYTE* block = file.Detach();
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(memcmp(block, "abc\0\0", 5), 0);
  free(block);
  EXPECT_EQ(file.GetLength(), 0u);
}

TEST(CSharedFileTest, DetachGivesTheGlobalBlockOfTheData) {
  CSharedFile file;
  const char text[] = "cell\xB6text";
  file.Write(text, sizeof(text));
  HGLOBAL block = file.Detach();
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), sizeof(text));
  const char* data = static_cast<const char*>(GlobalLock(block));
  EXPECT_STREQ(data, text);
  GlobalUnlock(block);
  GlobalFree(block);
  EXPECT_EQ(file.GetLength(), 0u);
  file.Write("x", 1);  // usable again after Detach
  EXPECT_EQ(file.GetLength(), 1u);
}

TEST(CFileTest, StatusReportsTheLastChange) {
  std::string folder = testsupport::ScratchFolder("cfile");
  std::string path = folder + "\\status.bin";
  {
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    file.Write("12345", 5);
  }
  FILETIME changed = {};
  SYSTEMTIME when = {2021, 6, 0, 15, 10, 30, 0, 0};
  SystemTimeToFileTime(&when, &changed);
  HANDLE handle = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  SetFileTime(handle, nullptr, nullptr, &changed);
  CloseHandle(handle);

  CFileStatus status;
  ASSERT_TRUE(CFile::GetStatus(path.c_str(), status));
  EXPECT_EQ(status.m_size, 5u);
  EXPECT_EQ(status.m_mtime, CTime(changed));
  EXPECT_EQ(status.m_mtime.GetTime(), 1623753000);

  CFile file(path.c_str(), CFile::modeRead);
  CFileStatus open;
  ASSERT_TRUE(file.GetStatus(open));
  EXPECT_EQ(open.m_mtime, status.m_mtime);
  char buffer[8] = {};
  EXPECT_EQ(file.Read(buffer, 8), 5u);
  file.Close();

  EXPECT_FALSE(CFile::GetStatus((folder + "\\missing").c_str(), status));
  try {
    CFile missing((folder + "\\missing").c_str(), CFile::modeRead);
    FAIL() << "opened a missing file";
  } catch (CFileException* e) {
    EXPECT_EQ(e->m_cause, CFileException::fileNotFound);
    e->Delete();
  }
  DeleteFileA(path.c_str());
  RemoveDirectoryA(folder.c_str());
}
