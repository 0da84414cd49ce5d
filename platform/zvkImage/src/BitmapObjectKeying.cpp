// The bitmap and the chroma keyer: keying with a keyer state, protect and garbage areas on top of it, and
// the whole pixel rows the keyer reads when it models the screen from a picture.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "BitmapObject.h"
#include "KeyerStateCache.h"
#include "ParallelRows.h"
#include "keyer/KeyerAreas.h"
#include "keyer/KeyerState.h"
#include "keyer/KeyingPass.h"

namespace zvkImage {

// What the pixels were keyed from. Areas given after the state key these pixels again in one pass with
// both, so that a protect area gets back the colour the picture had, not the spill-corrected one. Never
// changed once made, so copies of the bitmap share it.
struct KeyingRecord {
  std::shared_ptr<const keyer::KeyerState> state;  // null: an empty path, which keys nothing
  std::shared_ptr<const PixelImage> before;        // null: the state could not be read
  // What the keying measured of the screen in `before`, so that areas given next key with it instead of
  // measuring again; null where the state keys nothing.
  std::shared_ptr<const keyer::ScreenMeasure> measure;
};

namespace {

// A BSTR in the program's code page; false when a character has no equivalent there (such a path
// names no file the keyer could have written).
bool NarrowPath(BSTR text, std::string& out) {
  out.clear();
  const UINT length = text ? SysStringLen(text) : 0;
  if (length == 0) return true;
  const int size = WideCharToMultiByte(CP_ACP, 0, text, int(length), nullptr, 0, nullptr, nullptr);
  if (size <= 0) return false;
  out.resize(size_t(size));
  BOOL lossy = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, int(length), out.data(), size, nullptr, &lossy);
  return !lossy && out.find('\0') == std::string::npos;
}

// An area-list text is plain ASCII digits, signs and blanks; anything else is malformed.
bool AsciiText(BSTR text, std::string& out) {
  out.clear();
  const UINT length = text ? SysStringLen(text) : 0;
  out.reserve(length);
  for (UINT i = 0; i < length; ++i) {
    if (text[i] == 0 || text[i] > 127) return false;
    out += char(text[i]);
  }
  return true;
}

// Keys source into new pixels with an alpha plane: the state (may be null) and the areas (may be null) in
// one pass, over all cores for large pictures. A pixel that was already transparent stays so (the corners
// a free turn adds, a picture keyed before): the keyed alpha is multiplied into the alpha it had.
// measure: what an earlier keying of source with state measured (may be null); measured is set to what this
// one measured, if given.
PixelImage KeyPixels(const PixelImage& source, const keyer::KeyerState* state, const keyer::KeyerAreas* areas,
                     const keyer::AreaPlacement& placement,
                     std::shared_ptr<const keyer::ScreenMeasure> measure = nullptr,
                     std::shared_ptr<const keyer::ScreenMeasure>* measured = nullptr) {
  const int w = source.Width(), h = source.Height();
  PixelImage out;
  out.Allocate(w, h, false);
  out.dpiX = source.dpiX;
  out.dpiY = source.dpiY;
  out.AddAlphaPlane();  // the pass writes every alpha byte
  const keyer::KeyingPlanes planes{source.Bits(),
                                   ptrdiff_t(source.Stride()),
                                   out.Bits(),
                                   ptrdiff_t(out.Stride()),
                                   out.AlphaRow(0),
                                   ptrdiff_t(w),
                                   w,
                                   h};
  const keyer::KeyingPass pass(state, areas, placement, planes, std::move(measure));
  if (measured) *measured = pass.Measure();
  ParallelPixelRows(h, w, [&](int first, int end) {
    pass.RunRows(first, end - first);
    if (!source.HasAlpha()) return;
    for (int y = first; y < end; ++y) {
      uint8_t* a = out.AlphaRow(y);
      const uint8_t* prior = source.AlphaRow(y);
      for (int x = 0; x < w; ++x) a[x] = uint8_t((unsigned(a[x]) * prior[x] + 127) / 255);
    }
  });
  return out;
}

// Puts the areas on pixels keyed already from source with state (by KeyPixels, without areas, which
// measured the screen as `measure`): only the pixels the areas reach are keyed again, in place, so the
// result equals one pass with both without a second full pass, a second measure or new pixels.
void KeyAreasInPlace(PixelImage& keyed, const PixelImage& source, const keyer::KeyerState* state,
                     const keyer::KeyerAreas& areas, const keyer::AreaPlacement& placement,
                     std::shared_ptr<const keyer::ScreenMeasure> measure) {
  const int w = source.Width(), h = source.Height();
  const keyer::KeyingPlanes planes{source.Bits(),
                                   ptrdiff_t(source.Stride()),
                                   keyed.Bits(),
                                   ptrdiff_t(keyed.Stride()),
                                   keyed.AlphaRow(0),
                                   ptrdiff_t(w),
                                   w,
                                   h};
  const keyer::KeyingPass pass(state, &areas, placement, planes, std::move(measure));
  ParallelPixelRows(h, w, [&](int first, int end) {
    if (!source.HasAlpha()) {
      pass.RunAreaRows(first, end - first);
      return;
    }
    pass.RunAreaRows(first, end - first, [&](int y, keyer::KeyingPass::Span run) {
      uint8_t* a = keyed.AlphaRow(y);
      const uint8_t* prior = source.AlphaRow(y);
      for (int x = run.first; x < run.end; ++x) a[x] = uint8_t((unsigned(a[x]) * prior[x] + 127) / 255);
    });
  });
}

// Where area edges, in thousandths of the picture before it was turned, land on these pixels. The bitmap's
// own record of its turn comes first: it knows the size it was turned from. Without one (a picture that
// came here already turned), the caller's angle stands for the turn; a quarter turn tells the size before
// it, any other turn leaves the turned canvas to stand for it.
keyer::AreaPlacement PlacementFor(const TurnOrigin& turn, int width, int height, float angle) {
  const double recorded = turn.turns - std::floor(turn.turns);
  if (recorded != 0.0 && turn.width > 0 && turn.height > 0) return {turn.width, turn.height, turn.turns};
  const double given = double(angle) - std::floor(double(angle));
  if (given < 1e-7 || given > 1.0 - 1e-7) return {width, height, 0.0};
  const double quarters = given * 4.0;
  const bool sideways =
      std::fabs(quarters - std::round(quarters)) < 1e-5 && (long(std::lround(quarters)) & 1);
  return sideways ? keyer::AreaPlacement{height, width, given} : keyer::AreaPlacement{width, height, given};
}

}  // namespace

HRESULT BitmapObject::ApplyState(BSTR statePath) {
  return Guarded([&] {
    if (image_.Empty()) return E_UNEXPECTED;
    std::string path;
    const bool namable = NarrowPath(statePath, path);
    const bool noState = namable && path.empty();
    std::shared_ptr<const keyer::KeyerState> state =
        namable && !noState ? KeyerStateCache::Get(path) : nullptr;
    const bool keyedBefore = keying_ && keying_->before;
    if (!noState && !state) {
      // Not a failure: the bitmap cache would drop the picture from every view and derive it again on every
      // paint. The picture stays (or becomes again) unkeyed, and areas given next leave it so.
      if (keyedBefore) image_ = keying_->before->Clone();
      keying_ = std::make_shared<KeyingRecord>();
      return S_FALSE;
    }
    // A second state replaces the first: key again from the pixels the first was applied to.
    const PixelImage& source = keyedBefore ? *keying_->before : image_;
    auto record = std::make_shared<KeyingRecord>();
    PixelImage keyed =
        KeyPixels(source, state.get(), nullptr, keyer::AreaPlacement{}, nullptr, &record->measure);
    record->state = std::move(state);
    record->before = keyedBefore ? keying_->before : std::make_shared<const PixelImage>(std::move(image_));
    image_ = std::move(keyed);
    keying_ = std::move(record);
    return S_OK;
  });
}

HRESULT BitmapObject::ApplyAreas(BSTR protectAreas, BSTR garbageAreas, float angle) {
  if (!std::isfinite(angle)) return E_INVALIDARG;
  keyer::KeyerAreas areas;
  try {
    std::string protect, garbage;
    if (!AsciiText(protectAreas, protect) || !AsciiText(garbageAreas, garbage)) return E_INVALIDARG;
    areas = keyer::KeyerAreas::Parse(protect, garbage);
  } catch (const keyer::AreaFormatError&) {
    return E_INVALIDARG;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
  return Guarded([&] {
    if (image_.Empty()) return E_UNEXPECTED;
    if (keying_ && !keying_->before) return S_FALSE;  // the state was unreadable: the picture stays unkeyed
    // A record of a shape this library does not know is left out; the others are applied, and the answer
    // says that not all of them were.
    const HRESULT done = areas.Skipped() ? S_FALSE : S_OK;
    if (areas.Empty()) return done;
    // One pass from the pixels before the state, with the state and the areas; on a bitmap given no state,
    // the areas alone on the pixels as they are.
    const keyer::AreaPlacement placement = PlacementFor(turn_, image_.Width(), image_.Height(), angle);
    if (keying_ && image_.HasAlpha() && image_.Width() == keying_->before->Width() &&
        image_.Height() == keying_->before->Height())
      KeyAreasInPlace(image_, *keying_->before, keying_->state.get(), areas, placement, keying_->measure);
    else
      image_ = KeyPixels(keying_ ? *keying_->before : image_, keying_ ? keying_->state.get() : nullptr,
                         &areas, placement, keying_ ? keying_->measure : nullptr);
    // The pixels before keying are needed no more once the areas are in; a keyed picture in the bitmap
    // cache would otherwise hold them twice.
    keying_.reset();
    return done;
  });
}

HRESULT BitmapObject::GetPixelSize(LONG* width, LONG* height) {
  if (!width || !height) return E_POINTER;
  return Guarded([&] {
    *width = image_.Width();
    *height = image_.Height();
    return S_OK;
  });
}

HRESULT BitmapObject::CopyPixelRows(LONG firstRow, LONG rowCount, BYTE* buffer, LONG_PTR stride) {
  if (!buffer) return E_POINTER;
  return Guarded([&] {
    const size_t used = size_t(image_.Width()) * 3;
    if (firstRow < 0 || rowCount < 0 || int64_t(firstRow) + rowCount > image_.Height()) return E_INVALIDARG;
    if (stride < 0 || size_t(stride) < used) return E_INVALIDARG;
    for (LONG y = 0; y < rowCount; ++y)
      std::memcpy(buffer + size_t(y) * size_t(stride), image_.Row(firstRow + y), used);
    return S_OK;
  });
}

}  // namespace zvkImage
