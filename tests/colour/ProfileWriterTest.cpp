// Our profiles for the named spaces: the system's colour-management module takes them, our walker reads them
// back, and conversions through them give the values computed from the colour maths.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "ColourTestSupport.h"
#include "IccProfileWriter.h"
#include "IccTagWalker.h"
#include "Mscms.h"

using namespace zvk;
using colourtest::DebianProfile;

namespace {

struct Rgb {
  int r, g, b;
};

// Converts one colour as a 24-bit DIB row (blue, green, red in memory).
Rgb Convert(const ColourTransform& transform, Rgb in) {
  uint8_t row[4] = {uint8_t(in.b), uint8_t(in.g), uint8_t(in.r), 0};
  transform.TranslateBgrRows(row, 1, 1, 4);
  return {row[2], row[1], row[0]};
}

void ExpectNear(Rgb got, Rgb want, const std::string& what) {
  EXPECT_LE(std::abs(got.r - want.r), 1) << what << " red " << got.r << " want " << want.r;
  EXPECT_LE(std::abs(got.g - want.g), 1) << what << " green " << got.g << " want " << want.g;
  EXPECT_LE(std::abs(got.b - want.b), 1) << what << " blue " << got.b << " want " << want.b;
}

}  // namespace

TEST(ProfileWriter, EveryNamedSpaceIsAProfileTheSystemTakesAndWeReadBack) {
  for (int id = 1; id <= kNamedRgbSpaceCount; ++id) {
    const NamedRgbSpace& space = *FindNamedRgbSpace(id);
    const std::vector<uint8_t> bytes = WriteRgbDisplayProfile(space);
    iccMemoryReader reader(bytes.data(), bytes.size());
    IccInfoHandler handler({IccSig("mntr")}, {IccSig("RGB ")});
    EXPECT_EQ(WalkIccTags(reader, handler), kIccOk) << space.name;
    EXPECT_EQ(handler.Info().text[IccProfileInfo::kDescription], space.name);
    EXPECT_EQ(ReadBigEndian32(bytes.data() + 8), 0x02100000u);
    EXPECT_TRUE(ColourProfile::FromMemory(bytes)) << space.name << " " << GetLastError();
  }
}

TEST(ProfileWriter, AdobeRgbToTheSystemSrgbGivesTheReferencePixels) {
  const std::string srgbPath = SystemSrgbProfilePath();
  ASSERT_FALSE(srgbPath.empty());
  const ColourProfile display = ColourProfile::FromFile(srgbPath);
  ASSERT_TRUE(display) << srgbPath;
  const ColourProfile ours = ColourProfile::FromMemory(WriteRgbDisplayProfile(*FindNamedRgbSpace(2)));
  const ColourProfile debian = ColourProfile::FromFile(DebianProfile("compatibleWithAdobeRGB1998.icc"));
  ASSERT_TRUE(debian);
  struct Case {
    Rgb in, out;
  };
  // Out of gamut colours clip: Adobe's pure green lies outside sRGB.
  const Case cases[] = {{{200, 100, 50}, {227, 100, 42}},
                        {{120, 200, 64}, {51, 201, 44}},
                        {{0, 255, 0}, {0, 255, 0}},
                        {{255, 255, 255}, {255, 255, 255}},
                        {{0, 0, 0}, {0, 0, 0}}};
  for (int intent : {0, 1}) {
    const ColourTransform fromOurs = ColourTransform::Create(ours, display, intent);
    const ColourTransform fromDebian = ColourTransform::Create(debian, display, intent);
    for (const Case& c : cases) {
      ExpectNear(Convert(fromOurs, c.in), c.out, "ours, intent " + std::to_string(intent));
      ExpectNear(Convert(fromDebian, c.in), c.out, "Debian's, intent " + std::to_string(intent));
    }
  }
  // The system's sRGB to itself changes nothing.
  const ColourTransform identity = ColourTransform::Create(display, display, 0);
  for (const Case& c : cases) ExpectNear(Convert(identity, c.in), c.in, "identity");
}

// With PELLORIN_ICC_OUT set, writes the named profiles and our conversions to Debian's sRGB profile there,
// for check-profiles.sh to compare with lcms2's transicc.
TEST(ProfileWriter, ProfilesForTheOutsideCheck) {
  const char* out = getenv("PELLORIN_ICC_OUT");
  if (!out) GTEST_SKIP() << "run by check-profiles.sh";
  const ColourProfile target = ColourProfile::FromFile(DebianProfile("sRGB.icc"));
  ASSERT_TRUE(target);
  std::ofstream expected(std::string(out) + "\\expected.txt");
  const Rgb samples[] = {{200, 100, 50}, {120, 200, 64},  {10, 20, 30},
                         {250, 240, 5},  {128, 128, 128}, {0, 90, 255}};
  for (int id = 1; id <= kNamedRgbSpaceCount; ++id) {
    const std::vector<uint8_t> bytes = WriteRgbDisplayProfile(*FindNamedRgbSpace(id));
    std::ofstream(std::string(out) + "\\space" + std::to_string(id) + ".icc", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const ColourTransform transform = ColourTransform::Create(ColourProfile::FromMemory(bytes), target, 1);
    for (const Rgb& s : samples) {
      const Rgb c = Convert(transform, s);
      expected << id << ' ' << s.r << ' ' << s.g << ' ' << s.b << ' ' << c.r << ' ' << c.g << ' ' << c.b
               << '\n';
    }
  }
}
