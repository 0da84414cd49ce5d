#include "StateApplier.h"

#include "ComText.h"

#include <stdexcept>

namespace keybench {

void StateApplier::KeyInPlace(const ZvkBitmap& bitmap) const {
  ComRef<zvkImage::IBitmap> target(bitmap.Get());
  target->AddRef();
  ComRef<zvkImage::IKeyerState> keying = target.As<zvkImage::IKeyerState>();
  if (!keying) throw std::runtime_error("the image library's bitmap has no IKeyerState");
  const ComText path(script_.statePath);
  HRESULT hr = keying->ApplyState(path.Get());
  // S_FALSE is the bitmap's answer to a state it cannot read: it stays unkeyed, which a benchmark must not
  // score.
  if (hr != S_OK)
    throw std::runtime_error("the bitmap did not apply the state " + script_.statePath + " (" +
                             HresultText(hr) + ")");
  if (script_.protectAreas.empty() && script_.garbageAreas.empty()) return;
  ComRef<zvkImage::IKeyerAreas> areas = keying.As<zvkImage::IKeyerAreas>();
  if (!areas) throw std::runtime_error("the image library's bitmap has no IKeyerAreas");
  const ComText protect(script_.protectAreas), garbage(script_.garbageAreas);
  hr = areas->ApplyAreas(protect.Get(), garbage.Get(), 0.0f);  // the picture is not turned
  if (FAILED(hr)) throw std::runtime_error("the bitmap did not apply the areas (" + HresultText(hr) + ")");
}

ZvkBitmap StateApplier::Key(const ZvkBitmap& picture) const {
  ZvkBitmap keyed = picture.Copy();
  KeyInPlace(keyed);
  return keyed;
}

KeyerOutput StateApplier::Read(const ZvkBitmap& keyed) { return KeyerOutput{keyed.Alpha(), keyed.Colour()}; }

}  // namespace keybench
