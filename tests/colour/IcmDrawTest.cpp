// Colour-managed drawing onto DIB sections: the pixels that arrive are the converted ones.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ColourTestSupport.h"
#include "IcmDraw.h"

using namespace zvk;

namespace {

struct Rgb {
  int r, g, b;
};

// A memory DC with a top-down 24-bit DIB section of width x 1.
class DibTarget {
 public:
  explicit DibTarget(int width) : width_(width) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -1, 1, 24, BI_RGB};
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~DibTarget() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC Dc() const { return dc_; }
  Rgb At(int x) const {
    GdiFlush();
    return {bits_[x * 3 + 2], bits_[x * 3 + 1], bits_[x * 3]};
  }

 private:
  int width_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  uint8_t* bits_ = nullptr;
};

struct DrawSetup {
  bool enabled;
  int state;
  const char* embedded;  // Debian profile for state -2
  int intent;
};

const std::vector<Rgb> kInput = {{200, 100, 50}, {120, 200, 64}, {0, 255, 0}, {255, 255, 255}};

template <class Target>
std::vector<Rgb> Draw(const DrawSetup& s, IcmCache& cache, HRESULT* result = nullptr) {
  colourtest::FixtureJob job;
  job.state = s.state;
  if (s.embedded) job.profile = colourtest::ReadFileBytes(colourtest::DebianProfile(s.embedded));
  SetIcmJob(&job);
  ColorManagementSettings::Current().enabled = s.enabled;
  ColorManagementSettings::Current().intent = s.intent;
  std::vector<uint8_t> row;
  for (const Rgb& c : kInput) row.insert(row.end(), {uint8_t(c.b), uint8_t(c.g), uint8_t(c.r)});
  DibTarget dib(static_cast<int>(kInput.size()));
  {
    Target draw(dib.Dc(), cache);
    const RECT all{0, 0, static_cast<LONG>(kInput.size()), 1};
    const HRESULT hr = draw.DrawBits(IcmBase::kSourceJob, row.data(), static_cast<int>(kInput.size()), 1,
                                     static_cast<int>(row.size()), all);
    if (result) *result = hr;
  }
  SetIcmJob(nullptr);
  ColorManagementSettings::Current() = {};
  std::vector<Rgb> out;
  for (size_t i = 0; i < kInput.size(); ++i) out.push_back(dib.At(static_cast<int>(i)));
  return out;
}

void ExpectPixels(const std::vector<Rgb>& got, const std::vector<Rgb>& want, const std::string& what) {
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_LE(std::abs(got[i].r - want[i].r), 1) << what << " pixel " << i << " red " << got[i].r;
    EXPECT_LE(std::abs(got[i].g - want[i].g), 1) << what << " pixel " << i << " green " << got[i].g;
    EXPECT_LE(std::abs(got[i].b - want[i].b), 1) << what << " pixel " << i << " blue " << got[i].b;
  }
}

}  // namespace

TEST(IcmDraw, AdobeRgbJobDrawsTheReferencePixelsOnBothTargets) {
  // The display here has the sRGB profile; out of gamut colours clip.
  const std::vector<Rgb> want = {{227, 100, 42}, {51, 201, 44}, {0, 255, 0}, {255, 255, 255}};
  const DrawSetup setups[] = {{true, 2, nullptr, 0},
                              {true, 2, nullptr, 1},
                              {true, -2, "compatibleWithAdobeRGB1998.icc", 0},
                              {true, -2, "compatibleWithAdobeRGB1998.icc", 1}};
  for (const DrawSetup& s : setups) {
    IcmCache cache;
    const std::string what = "state " + std::to_string(s.state) + " intent " + std::to_string(s.intent);
    HRESULT hr = E_UNEXPECTED;
    ExpectPixels(Draw<IcmDisplay>(s, cache, &hr), want, "display, " + what);
    EXPECT_EQ(hr, S_OK) << what;
    ExpectPixels(Draw<IcmsRGB>(s, cache), want, "sRGB, " + what);
    EXPECT_EQ(cache.ConversionCount(), 1u) << "one conversion for both targets: " << what;
  }
}

TEST(IcmDraw, UnmanagedDrawsLeavePixelsAsTheyAre) {
  const DrawSetup setups[] = {{false, 2, nullptr, 0}, {true, 1, nullptr, 0}, {true, -1, nullptr, 0}};
  for (const DrawSetup& s : setups) {
    IcmCache cache;
    HRESULT hr = E_UNEXPECTED;
    ExpectPixels(Draw<IcmDisplay>(s, cache, &hr), kInput, "display, state " + std::to_string(s.state));
    EXPECT_EQ(hr, S_OK);
    ExpectPixels(Draw<IcmsRGB>(s, cache, &hr), kInput, "sRGB, state " + std::to_string(s.state));
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(cache.ConversionCount(), 0u) << "no transform made, state " << s.state;
  }
}

TEST(IcmDraw, AMetafileDcDrawsNothing) {
  IcmCache cache;
  HDC metafile = CreateMetaFileA(nullptr);
  ASSERT_NE(metafile, nullptr);
  ColorManagementSettings::Current().enabled = true;
  {
    IcmDisplay draw(metafile, cache);
    const uint8_t pixel[3] = {1, 2, 3};
    const RECT r{0, 0, 1, 1};
    EXPECT_EQ(draw.DrawBits(IcmBase::kSourceSrgb, pixel, 1, 1, 3, r), E_FAIL);
  }
  ColorManagementSettings::Current() = {};
  DeleteMetaFile(CloseMetaFile(metafile));
}
