// The JPEG quality a save option stands for reaches the platform's encoder. The encoder here may ignore
// it, so the test watches the options written into the encoder's property bag rather than the bytes.
#include <Fixtures.h>

#include <mutex>
#include <string>
#include <vector>

#include "ImageTestSupport.h"
#include "SaveOptions.h"
#include "WicCodec.h"

using namespace imagetest;
using namespace zvkImage;

namespace {

struct SeenOption {
  std::wstring name;
  VARTYPE type;
  float value;
  HRESULT writeResult;
};

std::mutex g_seenLock;
std::vector<SeenOption> g_seen;

void Record(const wchar_t* name, const VARIANT& held, HRESULT writeResult) {
  std::lock_guard<std::mutex> guard(g_seenLock);
  g_seen.push_back({name, held.vt, held.vt == VT_R4 ? held.fltVal : -1.0f, writeResult});
}

// Watches the encoder options for its lifetime and puts back whatever watched before.
class OptionWatch {
 public:
  OptionWatch() : previous_(WicCodec::SetEncoderOptionObserver(Record)) { Take(); }
  ~OptionWatch() { WicCodec::SetEncoderOptionObserver(previous_); }
  std::vector<SeenOption> Take() {
    std::lock_guard<std::mutex> guard(g_seenLock);
    std::vector<SeenOption> seen;
    seen.swap(g_seen);
    return seen;
  }

 private:
  EncoderOptionObserver previous_;
};

std::string Scratch() {
  static const std::string folder = testsupport::ScratchFolder("image-options");
  return folder;
}

Ref<IBitmap> Gradient() {
  return MakeBitmap(24, 16, [](int x, int y) { return RGB(10 + x * 9, 30 + y * 11, 90); });
}

}  // namespace

TEST(JpegQuality, EachSaveOptionHandsItsQualityToTheEncoder) {
  auto bitmap = Gradient();
  OptionWatch watch;
  struct Case {
    long option;
    float quality;
  };
  std::vector<Case> cases;
  for (const JpegQualityLevel& level : kJpegQualityLevels) cases.push_back({level.option, level.quality});
  // Codes outside the table save at the standard quality.
  for (long unknown : {-1L, 4L, 99L}) cases.push_back({unknown, kJpegQualityLevels[0].quality});
  // The table's levels differ from one another, so a wrong lookup cannot pass unnoticed.
  for (size_t i = 0; i < std::size(kJpegQualityLevels); ++i)
    for (size_t j = i + 1; j < std::size(kJpegQualityLevels); ++j)
      EXPECT_NE(kJpegQualityLevels[i].quality, kJpegQualityLevels[j].quality);

  for (const Case& c : cases)
    for (long bits : {24L, 8L}) {
      const std::string path =
          Scratch() + "\\quality" + std::to_string(c.option) + "_" + std::to_string(bits) + ".jpg";
      ASSERT_EQ(S_OK, bitmap->Save(Bstr(path), ftJPEG, bits, c.option)) << path;
      const std::vector<SeenOption> seen = watch.Take();
      ASSERT_EQ(1u, seen.size()) << path;
      EXPECT_EQ(L"ImageQuality", seen[0].name) << path;
      EXPECT_EQ(S_OK, seen[0].writeResult) << path;
      EXPECT_EQ(VT_R4, seen[0].type) << path;
      EXPECT_EQ(c.quality, seen[0].value) << path;
      auto back = NewBitmap();
      EXPECT_EQ(S_OK, back->Load(Bstr(path), 24)) << path;
    }
}

TEST(JpegQuality, OtherFormatsHandTheEncoderNoQuality) {
  auto bitmap = Gradient();
  OptionWatch watch;
  const struct {
    long type;
    const char* extension;
  } formats[] = {{ftPNG, "png"},   {ftTIFF, "tif"}, {ftBMP, "bmp"},
                 {ftTARGA, "tga"}, {ftPCX, "pcx"},  {ftPICT, "pct"}};
  for (const auto& f : formats)
    for (long option : {0L, 2L, 3L}) {
      const std::string path = Scratch() + "\\noquality" + std::to_string(option) + "." + f.extension;
      ASSERT_EQ(S_OK, bitmap->Save(Bstr(path), f.type, 24, option)) << path;
      EXPECT_TRUE(watch.Take().empty()) << path;
    }
}
