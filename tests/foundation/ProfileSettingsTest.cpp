// Settings in the application profile: the default aspect ratios and the view arrangement.
#include "ArrangeSettings.h"
#include "AspectRatios.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// An application object whose profile lives under a key of this test run only.
class ProfileApp : public ::testing::Test {
 protected:
  void SetUp() override {
    key = "PellorinFoundationTest" + std::to_string(GetCurrentProcessId());
    app = new CWinApp("Pellorin");
    app->SetRegistryKey(key.c_str());
  }
  void TearDown() override {
    delete app;
    RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\" + key).c_str());
  }
  void StoreRaw(const std::vector<uint8_t>& bytes) {
    app->WriteProfileBinary("General", "AspectRatios", const_cast<LPBYTE>(bytes.data()),
                            static_cast<UINT>(bytes.size()));
  }

  std::string key;
  CWinApp* app = nullptr;
};

}  // namespace

TEST_F(ProfileApp, AspectRatiosWithoutAStoredValueAreExactlyTheDefaults) {
  AspectRatios ratios;
  ratios.SetDefaults();  // a list that already holds entries must not end up with six
  ratios.headGuide = true;
  EXPECT_TRUE(ratios.LoadFromProfile());
  ASSERT_EQ(ratios.GetCount(), 3);
  EXPECT_STREQ(ratios.GetAt(0).name, "4:5");
  EXPECT_FALSE(ratios.headGuide);

  StoreRaw({});  // an empty value counts as none
  AspectRatios fromEmpty;
  EXPECT_TRUE(fromEmpty.LoadFromProfile());
  EXPECT_EQ(fromEmpty.GetCount(), 3);
}

TEST_F(ProfileApp, AspectRatiosRoundTripThroughTheProfile) {
  AspectRatios edited;
  edited.Append(AspectRatio("8:10", 8, 10, 0x00FF0000));
  edited.Append(AspectRatio("1:1", 1, 1, 0x00000000));
  edited.headGuide = true;
  edited.ovalWidth = 5;
  ASSERT_TRUE(edited.SaveToProfile());

  AspectRatios loaded;
  ASSERT_TRUE(loaded.LoadFromProfile());
  ASSERT_EQ(loaded.GetCount(), 2);
  EXPECT_STREQ(loaded.GetAt(0).name, "8:10");
  EXPECT_EQ(loaded.GetAt(0).colour, 0x00FF0000u);
  EXPECT_TRUE(loaded.headGuide);
  EXPECT_EQ(loaded.ovalWidth, 5);
}

TEST_F(ProfileApp, CorruptStoredAspectRatiosRestoreTheDefaults) {
  const std::vector<uint8_t> cases[] = {
      {0x00, 0x04, 0x00, 0x00, 0x00, 0x00},              // a version we do not know
      {0x00, 0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0x01},  // two entries announced, a piece of one present
      {0x00, 0x01},                                      // cut after the version
  };
  for (const auto& bytes : cases) {
    StoreRaw(bytes);
    AspectRatios ratios;
    ratios.Append(AspectRatio("mine", 1, 2, 0));
    EXPECT_FALSE(ratios.LoadFromProfile());
    ASSERT_EQ(ratios.GetCount(), 3);
    EXPECT_STREQ(ratios.GetAt(2).name, "2:3");
  }
}

TEST_F(ProfileApp, ArrangeSettingsLoadSaveAndTheLockRule) {
  ArrangeSettings saved;
  saved.Arrange = false;
  saved.NoAcross = 4;
  saved.NoDown = 3;
  saved.IsLocked = true;
  saved.LockedX = 6;
  saved.LockedY = 5;
  saved.Save("Settings", "Left");
  ArrangeSettings loaded;
  loaded.Load("Settings", "Left");
  EXPECT_FALSE(loaded.Arrange);
  EXPECT_EQ(loaded.NoAcross, 4);
  EXPECT_EQ(loaded.NoDown, 3);
  EXPECT_TRUE(loaded.IsLocked);
  EXPECT_EQ(loaded.LockedX, 6);
  EXPECT_EQ(loaded.LockedY, 5);

  app->WriteProfileInt("Settings", "LeftLockedY", 0);
  app->WriteProfileInt("Settings", "LeftArrange", 2);  // only 1 means on
  ArrangeSettings unlocked;
  unlocked.Load("Settings", "Left");
  EXPECT_FALSE(unlocked.IsLocked);
  EXPECT_EQ(unlocked.LockedX, 1);
  EXPECT_EQ(unlocked.LockedY, 1);
  EXPECT_FALSE(unlocked.Arrange);

  ArrangeSettings defaults;
  defaults.Load("Settings", "Nothing");  // nothing stored: the current values, then the lock rule
  EXPECT_TRUE(defaults.Arrange);
  EXPECT_EQ(defaults.NoAcross, 2);
  EXPECT_FALSE(defaults.IsLocked);
  EXPECT_EQ(defaults.LockedX, 1);
}
