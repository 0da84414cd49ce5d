// Typed registry values and the registered server records, as the installer and the calibration
// settings read and write them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "comserver/RegValueKey.h"
#include "comserver/ServerRecords.h"

using comserver::RegValueKey;

namespace {

const char kTestKey[] = "Software\\PellorinTests\\RegValueKey";

class RegValueKeyTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(m_key.Create(HKEY_CURRENT_USER, kTestKey), ERROR_SUCCESS); }
  void TearDown() override {
    m_key.Close();
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
  }
  void Raw(const char* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetValueExA(m_key.Handle(), name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  void Text(const char* name, DWORD type, const std::string& text) {
    Raw(name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }
  RegValueKey m_key;
};

}  // namespace

TEST_F(RegValueKeyTest, ReadsStringsOfEveryStoredType) {
  const DWORD number = 1234;
  const BYTE bigEndian[4] = {0x00, 0x00, 0x04, 0xD2};
  const BYTE shortDword[2] = {1, 2};
  Text("sz", REG_SZ, "plain text");
  Text("expand", REG_EXPAND_SZ, "%SystemRoot%\\x");
  Raw("dword", REG_DWORD, &number, sizeof(number));
  Raw("big", REG_DWORD_BIG_ENDIAN, bigEndian, sizeof(bigEndian));
  Raw("binary", REG_BINARY, bigEndian, sizeof(bigEndian));
  Raw("short", REG_DWORD, shortDword, sizeof(shortDword));
  char expanded[MAX_PATH] = {};
  ExpandEnvironmentStringsA("%SystemRoot%\\x", expanded, MAX_PATH);
  struct Case {
    const char* name;
    LONG error;
    std::string text;
  } cases[] = {
      {"sz", ERROR_SUCCESS, "plain text"}, {"expand", ERROR_SUCCESS, expanded},
      {"dword", ERROR_SUCCESS, "1234"},    {"big", ERROR_SUCCESS, "1234"},
      {"binary", ERROR_INVALID_DATATYPE},  {"short", ERROR_INVALID_DATATYPE},
      {"missing", ERROR_FILE_NOT_FOUND},
  };
  for (const Case& c : cases) {
    std::string text;
    EXPECT_EQ(m_key.ReadString(c.name, text), c.error) << c.name;
    if (c.error == ERROR_SUCCESS) {
      EXPECT_EQ(text, c.text) << c.name;
    }
  }
}

TEST_F(RegValueKeyTest, ASmallBufferIsToldTheSizeAndAnOverlongExpansionIsRefused) {
  Text("sz", REG_SZ, "abc");
  char buffer[8] = "xxxxxxx";
  DWORD size = 3;
  EXPECT_EQ(m_key.ReadString("sz", buffer, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 4u);
  EXPECT_STREQ(buffer, "xxxxxxx");
  size = sizeof(buffer);
  EXPECT_EQ(m_key.ReadString("sz", buffer, &size), ERROR_SUCCESS);
  EXPECT_STREQ(buffer, "abc");

  SetEnvironmentVariableA("PELLORIN_LONG", std::string(3000, 'a').c_str());
  Text("long", REG_EXPAND_SZ, "%PELLORIN_LONG%");
  std::string text;
  EXPECT_EQ(m_key.ReadString("long", text), ERROR_INSUFFICIENT_BUFFER);
  SetEnvironmentVariableA("PELLORIN_LONG", nullptr);
}

TEST_F(RegValueKeyTest, DoublesAreReadOnlyAsPlainDecimals) {
  const DWORD seven = 7;
  Raw("dword", REG_DWORD, &seven, sizeof(seven));
  Text("long", REG_SZ, std::string(200, '1'));
  Raw("binary", REG_BINARY, &seven, sizeof(seven));
  struct Case {
    const char* stored;
    LONG error;
    double value;
  } cases[] = {
      {"2.5", ERROR_SUCCESS, 2.5},       {"10", ERROR_SUCCESS, 10},      {"0.125", ERROR_SUCCESS, 0.125},
      {"1,5", ERROR_INVALID_DATATYPE},   {"-1", ERROR_INVALID_DATATYPE}, {"+1", ERROR_INVALID_DATATYPE},
      {"1e3", ERROR_INVALID_DATATYPE},   {"1.", ERROR_INVALID_DATATYPE}, {".5", ERROR_INVALID_DATATYPE},
      {"1.2.3", ERROR_INVALID_DATATYPE}, {"", ERROR_INVALID_DATATYPE},   {" 1", ERROR_INVALID_DATATYPE},
  };
  for (const Case& c : cases) {
    Text("value", REG_SZ, c.stored);
    double value = -1;
    EXPECT_EQ(m_key.ReadDouble("value", &value), c.error) << c.stored;
    if (c.error == ERROR_SUCCESS) {
      EXPECT_EQ(value, c.value) << c.stored;
    }
  }
  double value = 0;
  EXPECT_EQ(m_key.ReadDouble("dword", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, 7.0);
  EXPECT_EQ(m_key.ReadDouble("long", &value), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(m_key.ReadDouble("binary", &value), ERROR_INVALID_DATATYPE);
}

TEST_F(RegValueKeyTest, DoublesAreWrittenInFixedNotationTheReaderTakesBack) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {1, "1.0"},
      {2.2, "2.2"},
      {0.5, "0.5"},
      {123456.7, "123456.7"},
      {1e20, "100000000000000000000.0"},
      {1.23456789e-5, "0.00001234568"},
      {0, "0.0"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(m_key.WriteDouble("value", c.value), ERROR_SUCCESS);
    std::string text;
    ASSERT_EQ(m_key.ReadString("value", text), ERROR_SUCCESS);
    EXPECT_EQ(text, c.text);
    double back = -1;
    EXPECT_EQ(m_key.ReadDouble("value", &back), ERROR_SUCCESS) << c.text;
    EXPECT_NEAR(back, c.value, std::fabs(c.value) * 1e-6) << c.text;
  }
  // Nothing a reader would refuse is written.
  for (double bad : {NAN, INFINITY, -INFINITY}) {
    EXPECT_EQ(m_key.WriteDouble("bad", bad), ERROR_INVALID_PARAMETER);
    std::string text;
    EXPECT_EQ(m_key.ReadString("bad", text), ERROR_FILE_NOT_FOUND);
  }
}

TEST(ServerRecords, FlagsAndFileNamesOfTheRegisteredServers) {
  // {5E1F0C2A-0000-4000-8000-00000000ABCD}, a class nothing else uses.
  const CLSID clsid = {0x5E1F0C2A, 0x0000, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0xAB, 0xCD}};
  const char key[] = "CLSID\\{5E1F0C2A-0000-4000-8000-00000000ABCD}";
  auto setDefault = [&](const char* kind, DWORD type, const void* data, DWORD size) {
    HKEY sub = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, (std::string(key) + "\\" + kind).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &sub, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(sub, nullptr, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(sub);
  };
  setDefault("InprocServer32", REG_SZ, "C:\\dir\\Name.DLL", 16);
  setDefault("LocalServer32", REG_SZ, "d:/x/y.exe", 11);
  setDefault("InprocHandler32", REG_SZ, "", 1);
  setDefault("LocalServer", REG_SZ, "drive:plain", 12);

  comserver::ServerRecord record;
  comserver::GetServerPathsForClsids(&clsid, 1, &record);
  EXPECT_EQ(record.status, 0);
  EXPECT_EQ(record.flags, comserver::kInprocServer32 | comserver::kLocalServer32 | comserver::kLocalServer);
  EXPECT_EQ(record.entries[3].path, "C:\\dir\\Name.DLL");
  EXPECT_EQ(record.entries[3].fileName, "Name.DLL");
  EXPECT_EQ(record.entries[5].fileName, "y.exe");
  EXPECT_EQ(record.entries[2].fileName, "plain");
  EXPECT_TRUE(record.entries[4].path.empty());

  // A server path of another type is an error of the record, the others are still read.
  const DWORD number = 5;
  setDefault("InprocServer", REG_DWORD, &number, sizeof(number));
  comserver::GetServerPathsForClsids(&clsid, 1, &record);
  EXPECT_EQ(record.status, ERROR_INVALID_DATATYPE);
  EXPECT_EQ(record.entries[3].fileName, "Name.DLL");

  // An unregistered class is an empty record, not an error.
  RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
  comserver::GetServerPathsForClsids(&clsid, 1, &record);
  EXPECT_EQ(record.status, 0);
  EXPECT_EQ(record.flags, 0u);
}
