// Profile files as the colour-management sheet lists them: accepted with their texts, or refused with the
// reason the sheet reports.
#include <gtest/gtest.h>

#include <fstream>

#include "ColorSpaceList.h"
#include "ColourTestSupport.h"

using namespace zvk;
using colourtest::DebianProfile;

TEST(ColorSpaceList, ProfileFilesAreTakenOrRefusedWithTheirReason) {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  const std::string text = std::string(folder) + "pellorin-not-a-profile.icc";
  {
    std::ofstream out(text);
    out << "plain text, shorter than a profile's header";
  }
  struct Case {
    std::string path;
    bool classFilter;
    int result;
    const char* name;  // null: not checked
  } cases[] = {
      {DebianProfile("sRGB.icc"), true, kProfileOk, nullptr},
      // A version-4 description is not read: the file name stands in for it.
      {DebianProfile("colord/AdobeRGB1998.icc"), true, kProfileOk, "AdobeRGB1998.icc"},
      {DebianProfile("ghostscript/default_cmyk.icc"), false, kProfileNotRgbSource, nullptr},
      {text, false, kProfileNotIcc, nullptr},
      {std::string(folder) + "pellorin-no-such-profile.icc", false, kProfileCannotRead, nullptr},
  };
  for (const Case& c : cases) {
    ColorSpaceEntry entry;
    EXPECT_EQ(ReadProfileEntry(c.path, c.classFilter, entry), c.result) << c.path;
    if (c.result != kProfileOk) continue;
    EXPECT_EQ(entry.id, ColorSpaceEntry::kProfile);
    EXPECT_FALSE(entry.name.empty()) << c.path;
    if (c.name) EXPECT_EQ(entry.name, c.name);
    EXPECT_EQ(entry.path, c.path) << "outside the colour directory the path stays whole";
  }
  DeleteFileA(text.c_str());
}

TEST(ColorSpaceList, TheJobsEmbeddedProfileIsReadWithItsTexts) {
  colourtest::FixtureJob job;
  job.state = -2;
  job.profile = colourtest::ReadFileBytes(DebianProfile("compatibleWithAdobeRGB1998.icc"));
  ColorSpaceEntry entry;
  ASSERT_TRUE(ReadEmbeddedProfileEntry(job, entry));
  EXPECT_EQ(entry.id, ColorSpaceEntry::kProfile);
  EXPECT_TRUE(entry.path.empty());
  EXPECT_FALSE(entry.name.empty());
  job.profile.resize(100);
  EXPECT_FALSE(ReadEmbeddedProfileEntry(job, entry));
}
