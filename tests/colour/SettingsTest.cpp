// The "Color Management" profile section: what loads from stored values and what a save writes.
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

#include "ColorManagementSettings.h"
#include "classlib/Profile.h"

using namespace zvk;

namespace {

class ColourSettingsProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    root = "Software\\PellorinTests\\colour-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount64()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CProfile::OverrideRoot(root.c_str());
    profile.SetRegistryKey("Corvanith", "Pellorin");
  }
  void TearDown() override {
    SHDeleteKeyA(HKEY_CURRENT_USER, root.c_str());
    CProfile::OverrideRoot(nullptr);
  }
  std::string root;
  CProfile profile;
};

}  // namespace

TEST_F(ColourSettingsProfile, LoadsStoredValues) {
  ASSERT_TRUE(IsIcmAvailable());
  struct Case {
    int storedIntent, intent;
  };
  for (Case c : {Case{-7, 0}, {0, 0}, {1, 2}, {2, 1}, {3, 3}, {9, 0}}) {
    profile.WriteProfileInt("Color Management", "Intent", c.storedIntent);
    ColorManagementSettings s;
    s.Load(profile);
    EXPECT_EQ(s.intent, c.intent) << c.storedIntent;
  }
  struct Space {
    int stored, std, space;
  };
  for (Space c : {Space{0, 2, 2}, {0, 9, 9}, {0, 1, 1}, {0, 12, 1}, {1, 3, -2}, {-1, 3, -1}, {5, 7, 1}}) {
    profile.WriteProfileInt("Color Management", "BitmapSpace", c.stored);
    profile.WriteProfileInt("Color Management", "BitmapSpaceStd", c.std);
    ColorManagementSettings s;
    s.softProofing = true;
    s.Load(profile);
    EXPECT_EQ(s.bitmapSpace, c.space) << c.stored << "/" << c.std;
    EXPECT_FALSE(s.softProofing);
  }
}

TEST_F(ColourSettingsProfile, AnEmptySectionKeepsDefaultsAndASaveRoundTrips) {
  ColorManagementSettings fresh;
  fresh.enabled = true;
  fresh.Load(profile);
  EXPECT_TRUE(fresh.enabled);  // no "Enabled": the current value stays
  EXPECT_EQ(fresh.intent, 0);
  EXPECT_EQ(fresh.bitmapSpace, 1);

  profile.WriteProfileInt("Color Management", "BitmapSpaceIcmBlob", 5);
  ColorManagementSettings saved;
  saved.enabled = true;
  saved.intent = 2;
  saved.bitmapSpace = -2;
  saved.iccFile = "Z:\\profiles\\mine.icc";
  saved.Save(profile);
  EXPECT_EQ(profile.GetProfileInt("Color Management", "Intent", -5), 1u);
  EXPECT_EQ(profile.GetProfileInt("Color Management", "BitmapSpace", -5), 1u);
  EXPECT_EQ(profile.GetProfileInt("Color Management", "BitmapSpaceStd", -5), 0u);
  EXPECT_EQ(profile.GetProfileInt("Color Management", "BitmapSpaceIcmBlob", 77), 77u);
  ColorManagementSettings loaded;
  loaded.Load(profile);
  EXPECT_TRUE(loaded.enabled);
  EXPECT_EQ(loaded.intent, 2);
  EXPECT_EQ(loaded.bitmapSpace, -2);
  EXPECT_EQ(loaded.iccFile, saved.iccFile);
}
