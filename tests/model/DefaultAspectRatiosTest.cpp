// The process-wide default aspect ratios: loaded from the profile until that succeeds, and never
// loaded over values the user set.
#include "DefaultAspectRatios.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string ProfileKey() { return "PellorinDefaultRatiosTest" + std::to_string(GetCurrentProcessId()); }

void StoreRatios(CWinApp& app, const std::vector<uint8_t>& bytes) {
  app.WriteProfileBinary("General", "AspectRatios", const_cast<LPBYTE>(bytes.data()),
                         static_cast<UINT>(bytes.size()));
}

void StoreRatios(CWinApp& app, const AspectRatios& ratios) {
  CWinApp* previous = AfxGetApp();
  ASSERT_EQ(previous, &app);
  ASSERT_TRUE(ratios.SaveToProfile());
}

}  // namespace

// The one test in this program that touches the process-wide record: it follows the record's
// whole life, from the failed first load to the user's edit.
TEST(DefaultAspectRatios, AFailedLoadIsRetriedButNeverOverwritesTheUsersValues) {
  AspectRatios fromProfile;
  fromProfile.Append(AspectRatio("from profile", 3, 4, 0));
  AspectRatios edited;
  edited.Append(AspectRatio("edited", 1, 1, 0));
  {
    auto* app = new CWinApp("Pellorin");
    app->SetRegistryKey(ProfileKey().c_str());
    StoreRatios(*app, std::vector<uint8_t>{0x00, 0x01});  // cut after the version
    EXPECT_EQ(GetDefaultAspectRatios().GetCount(), 3);    // the built-in values
    EXPECT_STREQ(GetDefaultAspectRatios().GetAt(0).name, "4:5");
    delete app;
  }
  // Without an application the edit cannot be stored; it still stands.
  ASSERT_EQ(AfxGetApp(), nullptr);
  EXPECT_FALSE(SetDefaultAspectRatios(edited));
  {
    auto* app = new CWinApp("Pellorin");
    app->SetRegistryKey(ProfileKey().c_str());
    StoreRatios(*app, fromProfile);
    ASSERT_EQ(GetDefaultAspectRatios().GetCount(), 1);
    EXPECT_STREQ(GetDefaultAspectRatios().GetAt(0).name, "edited");
    delete app;
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\" + ProfileKey()).c_str());
}
