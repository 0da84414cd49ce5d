#include "NaiveKeyer.h"

#include "SrgbTransfer.h"

#include <algorithm>
#include <stdexcept>

namespace keybench {

std::array<unsigned char, 3> NaiveKeyer::MedianColour(const ByteImage& composite, const PixelMask& pixels) {
  if (composite.Channels() != 3 || pixels.size() != composite.PixelCount())
    throw std::invalid_argument("screen mask of another size");
  size_t histogram[3][256] = {};
  size_t count = 0;
  for (size_t i = 0; i < pixels.size(); ++i) {
    if (!pixels[i]) continue;
    for (int c = 0; c < 3; ++c) ++histogram[c][composite.Samples()[i * 3 + c]];
    ++count;
  }
  if (count == 0) throw std::invalid_argument("no screen pixels");
  std::array<unsigned char, 3> median{};
  for (int c = 0; c < 3; ++c) {
    size_t seen = 0;
    int v = 0;
    while ((seen += histogram[c][v]) * 2 < count) ++v;
    median[c] = static_cast<unsigned char>(v);
  }
  return median;
}

NaiveKeyer::NaiveKeyer(std::array<unsigned char, 3> screenColour, ScreenColour screen)
    : key_(screen == ScreenColour::Green ? 1 : 2) {
  for (int c = 0; c < 3; ++c) screen_[c] = SrgbTransfer::DecodeByte(screenColour[c]);
}

KeyerOutput NaiveKeyer::Key(const ByteImage& composite) const {
  if (composite.Channels() != 3) throw std::invalid_argument("the composite must be RGB");
  const int w = composite.Width(), h = composite.Height();
  // The two channels that are not the key: red, and blue or green.
  const int o1 = 0, o2 = key_ == 1 ? 2 : 1;
  const float screenExcess = screen_[key_] - std::max(screen_[o1], screen_[o2]);
  if (!(screenExcess > 0.0f))
    throw std::invalid_argument("the screen colour does not lean to the key channel");
  const float inverseExcess = 1.0f / screenExcess;

  float inverseCode[256];
  inverseCode[0] = 0.0f;  // no foreground where nothing is kept
  for (int code = 1; code < 256; ++code) inverseCode[code] = 255.0f / code;

  KeyerOutput output{ByteImage(w, h, 1), ByteImage(w, h, 3)};
  for (int y = 0; y < h; ++y) {
    const unsigned char* in = composite.Row(y);
    unsigned char* matte = output.matte.Row(y);
    unsigned char* fg = output.foreground.Row(y);
    for (int x = 0; x < w; ++x) {
      const float pixel[3] = {SrgbTransfer::DecodeByte(in[x * 3]), SrgbTransfer::DecodeByte(in[x * 3 + 1]),
                              SrgbTransfer::DecodeByte(in[x * 3 + 2])};
      const float excess = pixel[key_] - std::max(pixel[o1], pixel[o2]);
      const float alpha = std::clamp(1.0f - excess * inverseExcess, 0.0f, 1.0f);
      const unsigned char code = static_cast<unsigned char>(alpha * 255.0f + 0.5f);
      matte[x] = code;
      // Unmix with the alpha the matte keeps, so that alpha * F reproduces the composite's share.
      const float kept = code / 255.0f;
      const float inverseKept = inverseCode[code];
      for (int c = 0; c < 3; ++c) {
        const float f = (pixel[c] - (1.0f - kept) * screen_[c]) * inverseKept;
        fg[x * 3 + c] = SrgbTransfer::EncodeByte(std::clamp(f, 0.0f, 1.0f));
      }
    }
  }
  return output;
}

}  // namespace keybench
