// The options record: defaults from an empty profile, fallbacks for damaged values, and the round
// trip through the profile.
#include "ShellTestSupport.h"

#include "JobFileOptions.h"
#include "OptionValues.h"
#include "Options.h"

namespace {

class OptionsTest : public ShellTest {
 protected:
  CWinApp& App() { return TestApp(); }
};

TEST_F(OptionsTest, AnEmptyProfileGivesTheDefaults) {
  GetOptions().Load();
  const COptions& options = GetOptions();
  EXPECT_FLOAT_EQ(options.ViewSizeWidth, 11.0f);
  EXPECT_FLOAT_EQ(options.ViewSizeHeight, 11.0f);
  EXPECT_TRUE(options.EditImageEXE.IsEmpty());
  EXPECT_EQ(options.EditImageFormat, 0);
  EXPECT_FALSE(options.ViewImageTags);
  EXPECT_TRUE(options.ViewImageTagExt);
  EXPECT_TRUE(options.ViewImageTagged);
  EXPECT_TRUE(options.ClickImageOnOff);
  EXPECT_FALSE(options.SolidARLines);
  const int keypad[KeypadKeyCount] = {8, 2, 4, 6, 1, 3, 5, 0, 10, 12, 9, 11, 0, 0, 7};
  for (int key = 0; key < KeypadKeyCount; ++key) EXPECT_EQ(options.KeypadActions[key], keypad[key]) << key;
  EXPECT_EQ(GetJobFileOptions().DefaultDraftSize, 524288);
  EXPECT_FALSE(GetJobFileOptions().FileOnNew);
  EXPECT_TRUE(GetJobFileOptions().FilesPath.IsEmpty());
  EXPECT_EQ(GetOptionValues().PrintSectionChar, '^');
  EXPECT_EQ(GetOptionValues().PrintIndexChar, '#');
  EXPECT_EQ(GetOptionValues().SpillSuppressColor, 0x7F7F7Fu);
  EXPECT_TRUE(GetOptionValues().MonitorTemplatePaths);
  EXPECT_TRUE(GetOptionValues().HasOrderedQueue);
}

TEST_F(OptionsTest, DamagedStoredValuesFallBack) {
  struct SizeCase {
    const char* stored;
    float expected;
  };
  for (SizeCase c : {SizeCase{"0", 11.0f}, {"abc", 11.0f}, {"-3.5", 11.0f}, {"inf", 11.0f}, {"8.5", 8.5f}}) {
    App().WriteProfileString("Settings", "ViewSizeWidth", c.stored);
    GetOptions().Load();
    EXPECT_FLOAT_EQ(GetOptions().ViewSizeWidth, c.expected) << c.stored;
  }

  App().WriteProfileInt("Settings", "ImagesCorrect5", 13);
  App().WriteProfileInt("Settings", "ImagesCorrect6", 12);
  App().WriteProfileInt("Settings", "ImagesCorrectDot", -1);
  App().WriteProfileInt("Settings", "EditImageFormat", 2);
  App().WriteProfileInt("Settings", "ImagesFilter", 4);
  App().WriteProfileInt("Settings", "ImagesPurge", 7);
  GetOptions().Load();
  EXPECT_EQ(GetOptions().KeypadActions[5], 0);
  EXPECT_EQ(GetOptions().KeypadActions[6], 12);
  EXPECT_EQ(GetOptions().KeypadActions[14], 0);
  EXPECT_EQ(GetOptions().EditImageFormat, 0);
  EXPECT_EQ(GetOptionValues().ImagesFilter, 0);
  EXPECT_EQ(GetOptionValues().ImagesPurge, 0);

  App().WriteProfileInt("Settings", "ImagesFilter", 3);
  GetOptions().Load();
  EXPECT_EQ(GetOptionValues().ImagesFilter, 3);
}

TEST_F(OptionsTest, ValuesRoundTripThroughTheProfile) {
  COptions& options = GetOptions();
  options.UseMetricUnits = true;
  options.ViewSizeWidth = 8.5f;
  options.ViewSizeHeight = 12.34f;  // written with one decimal
  options.EditImageEXE = "C:\\Tools\\edit.exe";
  options.EditImageFormat = 1;
  options.ViewImageTagExt = false;
  options.ImagesCorrectSpins = true;
  options.KeypadActions[3] = 9;
  GetJobFileOptions().FilesPath = "C:\\Jobs\\";
  GetJobFileOptions().DefaultDraftSize = 100000;
  GetOptionValues().ImagesFilterUsingPose = "front";
  GetOptionValues().SpillSuppressColor = 0x123456;
  options.Save();

  ResetProcessSettings();
  GetOptions().Load();
  EXPECT_TRUE(GetOptions().UseMetricUnits);
  EXPECT_FLOAT_EQ(GetOptions().ViewSizeWidth, 8.5f);
  EXPECT_FLOAT_EQ(GetOptions().ViewSizeHeight, 12.3f);
  EXPECT_STREQ(GetOptions().EditImageEXE, "C:\\Tools\\edit.exe");
  EXPECT_EQ(GetOptions().EditImageFormat, 1);
  EXPECT_FALSE(GetOptions().ViewImageTagExt);
  EXPECT_TRUE(GetOptions().ImagesCorrectSpins);
  EXPECT_EQ(GetOptions().KeypadActions[3], 9);
  EXPECT_STREQ(GetJobFileOptions().FilesPath, "C:\\Jobs\\");
  EXPECT_EQ(GetJobFileOptions().DefaultDraftSize, 100000);
  EXPECT_STREQ(GetOptionValues().ImagesFilterUsingPose, "front");
  EXPECT_EQ(GetOptionValues().SpillSuppressColor, 0x123456u);
  EXPECT_STREQ(App().GetProfileString("Settings", "ViewSizeHeight", ""), "12.3");
}

TEST_F(OptionsTest, AKeyWithoutActionIsDeletedAndComesBackWithItsFactoryAction) {
  GetOptions().KeypadActions[8] = KeypadNone;  // factory: -Con.
  GetOptions().KeypadActions[7] = KeypadNone;  // factory: no action
  GetOptions().Save();
  EXPECT_FALSE(ProfileValueExists("Settings", "ImagesCorrect8"));
  EXPECT_FALSE(ProfileValueExists("Settings", "ImagesCorrect7"));
  EXPECT_TRUE(ProfileValueExists("Settings", "ImagesCorrectDot"));

  ResetProcessSettings();
  GetOptions().Load();
  EXPECT_EQ(GetOptions().KeypadActions[8], KeypadContrastDown);
  EXPECT_EQ(GetOptions().KeypadActions[7], KeypadNone);
}

TEST_F(OptionsTest, ReadOnlyOptionsAreNeverWrittenBack) {
  App().WriteProfileInt("Settings", "FileOnNew", 1);
  App().WriteProfileString("Settings", "PrintSectionChar", "$x");
  GetOptions().Load();
  EXPECT_TRUE(GetJobFileOptions().FileOnNew);
  EXPECT_EQ(GetOptionValues().PrintSectionChar, '$');

  // Changed while the program runs: the program's exit must not undo it.
  App().WriteProfileInt("Settings", "FileOnNew", 0);
  GetOptions().Save();
  EXPECT_EQ(App().GetProfileInt("Settings", "FileOnNew", 7), 0u);
  EXPECT_STREQ(App().GetProfileString("Settings", "PrintSectionChar", ""), "$x");
  EXPECT_FALSE(ProfileValueExists("Settings", "PrintIndexChar"));
  EXPECT_FALSE(ProfileValueExists("Settings", "MonitorTemplatePaths"));
  EXPECT_TRUE(ProfileValueExists("Settings", "FilesPath"));
}

}  // namespace
