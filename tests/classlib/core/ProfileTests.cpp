#include "classlib/Profile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Each test writes below HKCU\Software\PellorinTests\<unique>, removed afterwards.
class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_root = "Software\\PellorinTests\\profile-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(GetTickCount64()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CProfile::OverrideRoot(m_root.c_str());
    m_profile.SetRegistryKey("Corvanith", "Pellorin");
  }
  void TearDown() override {
    SHDeleteKeyA(HKEY_CURRENT_USER, m_root.c_str());
    CProfile::OverrideRoot(nullptr);
  }

  std::string KeyPath(const char* section) const { return m_root + "\\Corvanith\\Pellorin\\" + section; }

  bool ReadRaw(const char* section, const char* name, DWORD* type, std::string* data) const {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      return false;
    char buffer[256] = {};
    DWORD bytes = sizeof(buffer);
    LONG rc = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(buffer), &bytes);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return false;
    data->assign(buffer, bytes);
    return true;
  }

  bool KeyExists(const char* section) const {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      return false;
    RegCloseKey(key);
    return true;
  }

  std::string m_root;
  CProfile m_profile;
};

}  // namespace

TEST_F(ProfileTest, ValuesRoundTripUnderTheApplicationKey) {
  EXPECT_EQ(m_profile.GetAppKeyPath(), CString((m_root + "\\Corvanith\\Pellorin").c_str()));
  ASSERT_TRUE(m_profile.WriteProfileInt("Settings", "Count", -7));
  ASSERT_TRUE(m_profile.WriteProfileString("Settings", "Name", "caf\xE9\xB6"));
  BYTE bytes[] = {0, 1, 2, 0xFF, 0};
  ASSERT_TRUE(m_profile.WriteProfileBinary("Settings", "Blob", bytes, sizeof(bytes)));

  EXPECT_EQ(static_cast<int>(m_profile.GetProfileInt("Settings", "Count", 5)), -7);
  EXPECT_EQ(m_profile.GetProfileString("Settings", "Name"), "caf\xE9\xB6");
  BYTE* data = nullptr;
  UINT size = 0;
  ASSERT_TRUE(m_profile.GetProfileBinary("Settings", "Blob", &data, &size));
  ASSERT_EQ(size, sizeof(bytes));
  EXPECT_EQ(memcmp(data, bytes, size), 0);
  delete[] data;

  // The stored forms, read straight from the registry.
  DWORD type = 0;
  std::string raw;
  ASSERT_TRUE(ReadRaw("Settings", "Count", &type, &raw));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(raw, std::string("\xF9\xFF\xFF\xFF", 4));
  ASSERT_TRUE(ReadRaw("Settings", "Name", &type, &raw));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(raw, std::string("caf\xE9\xB6", 6));
  ASSERT_TRUE(ReadRaw("Settings", "Blob", &type, &raw));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
}

TEST_F(ProfileTest, MissingValuesGiveTheDefaults) {
  EXPECT_EQ(m_profile.GetProfileInt("Nowhere", "Count", 17), 17u);
  EXPECT_EQ(m_profile.GetProfileString("Nowhere", "Name", "fallback"), "fallback");
  EXPECT_TRUE(m_profile.GetProfileString("Nowhere", "Name").IsEmpty());
  BYTE* data = reinterpret_cast<BYTE*>(1);
  UINT size = 99;
  EXPECT_FALSE(m_profile.GetProfileBinary("Nowhere", "Blob", &data, &size));
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(size, 0u);
  // A value of another type is not taken for the one asked for.
  m_profile.WriteProfileString("Settings", "Mixed", "12");
  EXPECT_EQ(m_profile.GetProfileInt("Settings", "Mixed", 3), 3u);
  EXPECT_FALSE(m_profile.GetProfileBinary("Settings", "Mixed", &data, &size));
  // Reading makes no keys.
  EXPECT_FALSE(KeyExists("Nowhere"));
}

TEST_F(ProfileTest, BackslashNestsSectionsButNotValueNames) {
  ASSERT_TRUE(m_profile.WriteProfileString("Paths\\Images", "Last", "C:\\x"));
  ASSERT_TRUE(m_profile.WriteProfileString("Settings", "Window\\Placement", "kept whole"));
  DWORD type = 0;
  std::string raw;
  EXPECT_TRUE(KeyExists("Paths"));
  EXPECT_TRUE(ReadRaw("Paths\\Images", "Last", &type, &raw));
  EXPECT_TRUE(ReadRaw("Settings", "Window\\Placement", &type, &raw));
  EXPECT_FALSE(KeyExists("Settings\\Window"));
  EXPECT_EQ(m_profile.GetProfileString("Settings", "Window\\Placement"), "kept whole");

  HKEY key = m_profile.GetSectionKey("Sharpen\\Default");
  ASSERT_NE(key, nullptr);
  DWORD value = 3;
  EXPECT_EQ(RegSetValueExA(key, "Amount", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof(value)),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(m_profile.GetProfileInt("Sharpen\\Default", "Amount", 0), 3u);
}

TEST_F(ProfileTest, NullValueDeletesTheEntryAndNullEntryTheSection) {
  m_profile.WriteProfileString("Recent File List", "File1", "a.zvk");
  m_profile.WriteProfileString("Recent File List", "File2", "b.zvk");
  m_profile.WriteProfileString("Recent File List\\Sub", "File", "c.zvk");
  m_profile.WriteProfileString("Other", "Keep", "yes");

  EXPECT_TRUE(m_profile.WriteProfileString("Recent File List", "File1", nullptr));
  DWORD type;
  std::string raw;
  EXPECT_FALSE(ReadRaw("Recent File List", "File1", &type, &raw));
  EXPECT_TRUE(ReadRaw("Recent File List", "File2", &type, &raw));
  EXPECT_TRUE(m_profile.WriteProfileString("Recent File List", "File1", nullptr));  // already gone

  EXPECT_TRUE(m_profile.WriteProfileString("Recent File List", nullptr, nullptr));
  EXPECT_FALSE(KeyExists("Recent File List"));
  EXPECT_TRUE(KeyExists("Other"));
  EXPECT_EQ(m_profile.GetProfileString("Other", "Keep"), "yes");
}

TEST(ProfileWithoutKeyTest, WritesNothing) {
  CProfile profile;
  EXPECT_FALSE(profile.WriteProfileInt("Settings", "Count", 1));
  EXPECT_EQ(profile.GetProfileInt("Settings", "Count", 4), 4u);
  EXPECT_EQ(profile.GetSectionKey("Settings"), nullptr);
}
