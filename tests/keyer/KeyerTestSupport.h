// Generated composites, a pixel source over them, and keying through the saved state, shared by
// the keyer's tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "keyer/AutoCompute.h"
#include "keyer/ChromaKeyer.h"
#include "keyer/KeyerState.h"

namespace keyertest {

// What each pixel of a generated composite truly is.
enum Truth : uint8_t { kScreen = 0, kSubject = 1, kMixed = 2 };

struct Scene {
  int width = 0, height = 0;
  std::vector<uint8_t> bgr;    // 3 bytes per pixel, rows packed
  std::vector<uint8_t> truth;  // per pixel
  uint32_t screen = 0;         // COLORREF of the unlit screen colour
  uint32_t skin = 0, shirt = 0;
};

// A subject (skin ellipse, shirt, a band of half-covering hair) over an unevenly lit, noisy
// green or blue screen, mixed in linear light and encoded to 8-bit sRGB.
Scene MakeComposite(bool blueScreen, int width = 160, int height = 120);

// A picture of packed 24-bit BGR rows in memory, as AutoCompute reads one.
struct PackedPicture : keyer::PixelRowReader {
  int width = 0, height = 0;
  std::vector<uint8_t> bgr;

  PackedPicture(int w, int h) : width(w), height(h), bgr(size_t(w) * h * 3) {}
  int Width() const override { return width; }
  int Height() const override { return height; }
  bool ReadRows(int first, int count, uint8_t* buffer, size_t stride) override;
};

struct Keyed {
  std::vector<uint8_t> bgr, alpha;
};

// The keyer created through the library's helper, as IChromaKeyer; fails the test when absent.
IChromaKeyer* NewKeyer();
// Saves the keyer's state and returns its path ("" when SaveState failed).
std::string Save(IChromaKeyer* keyer);
HRESULT Load(IChromaKeyer* keyer, const std::string& path);
std::vector<uint8_t> FileBytes(const std::string& path);
// The saved state parsed by the engine, as the image library will hold it.
std::shared_ptr<const keyer::KeyerState> SavedState(IChromaKeyer* keyer);
// The scene keyed by the keyer's saved state.
Keyed KeyScene(IChromaKeyer* keyer, const Scene& scene);
// One colour keyed by the saved state: the colour out and alpha (0..255).
void KeyColour(IChromaKeyer* keyer, uint32_t colour, uint32_t& out, uint8_t& alpha);

VARIANT OneColour(uint32_t colour);
// A 2-D SAFEARRAY of VT_I4 colours; the caller clears the VARIANT.
VARIANT ColourBlock(const std::vector<uint32_t>& colours, int columns);
// The colours of a rectangle of the scene, as a sample block.
VARIANT SceneBlock(const Scene& scene, int left, int top, int width, int height);

// A COM object serving the scene's rows through IKeyerPixelSource.
IUnknown* NewPixelSource(const Scene& scene);

std::wstring Wide(const std::string& s);

}  // namespace keyertest
