// .LUT text files: a full table, short and malformed files, and files no reader should trust.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "LutFile.h"

using lut::LutFileError;
using lut::LutFileTables;

namespace {

std::string WriteFixture(const std::string& name, const std::string& content) {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  std::string path = std::string(folder) + name;
  FILE* file = fopen(path.c_str(), "wb");
  fwrite(content.data(), 1, content.size(), file);
  fclose(file);
  return path;
}

// Line i holds "i, 255 - i, i / 2" with varying blanks.
std::string TableText(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i)
    text += std::to_string(i) + (i % 2 ? " , " : ",") + std::to_string(255 - i) + ",  " +
            std::to_string(i / 2) + (i % 3 ? "\r\n" : "\n");
  return text;
}

}  // namespace

TEST(LutFile, A256LineFileGivesTheColourTablesAndTheIdentity) {
  std::string path = WriteFixture("pellorin_full.lut", TableText(256) + "not looked at\n");
  LutFileTables tables;
  ASSERT_EQ(lut::ReadLutFile(path, tables).error, LutFileError::kNone);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(tables.channels[0][i], i);
    EXPECT_EQ(tables.channels[1][i], i);
    EXPECT_EQ(tables.channels[2][i], 255 - i);
    EXPECT_EQ(tables.channels[3][i], i / 2);
  }
  DeleteFileA(path.c_str());
}

TEST(LutFile, BadFilesAreRefusedAndLeaveTheTablesAlone) {
  std::string badLine = TableText(256);
  badLine.replace(badLine.find("10,245"), 6, "10;245");
  struct Case {
    const char* what;
    std::string content;
    LutFileError error;
  } cases[] = {
      {"255 lines", TableText(255), LutFileError::kPremature},
      {"empty", "", LutFileError::kPremature},
      {"a bad separator", badLine, LutFileError::kInvalid},
      {"two numbers", "1,2\n" + TableText(255), LutFileError::kInvalid},
      {"four numbers", "1,2,3,4\n" + TableText(255), LutFileError::kInvalid},
      {"a number above 255", "256,0,0\n" + TableText(255), LutFileError::kInvalid},
      {"a huge number", "99999999999999999999,0,0\n" + TableText(255), LutFileError::kInvalid},
      {"a sign", "-1,0,0\n" + TableText(255), LutFileError::kInvalid},
      {"a line over 1024 characters", std::string(2000, ' ') + "1,2,3\n" + TableText(255),
       LutFileError::kInvalid},
      {"binary", std::string("\x00\x01\x02\xFF\xFE", 5) + TableText(256), LutFileError::kInvalid},
  };
  for (const Case& c : cases) {
    std::string path = WriteFixture("pellorin_bad.lut", c.content);
    LutFileTables tables;
    tables.channels[1][0] = 77;
    EXPECT_EQ(lut::ReadLutFile(path, tables).error, c.error) << c.what;
    EXPECT_EQ(tables.channels[1][0], 77) << c.what;
    DeleteFileA(path.c_str());
  }
  LutFileTables tables;
  lut::LutFileResult missing = lut::ReadLutFile("C:\\no such folder\\x.lut", tables);
  EXPECT_EQ(missing.error, LutFileError::kOpen);
  EXPECT_NE(missing.errnoValue, 0);
}
