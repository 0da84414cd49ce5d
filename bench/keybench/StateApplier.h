// Applies a keyer state and its protect and garbage areas to a bitmap through the image library's
// IKeyerState and IKeyerAreas, in the order the program derives a keyed bitmap: a copy of the
// picture, the state, then the areas when either list has any.
#pragma once

#include "KeyerDriver.h"
#include "KeyerOutput.h"
#include "ZvkBitmap.h"

namespace keybench {

class StateApplier {
 public:
  explicit StateApplier(const KeyedScript& script) : script_(script) {}

  // Keys the bitmap itself; throws std::runtime_error when the bitmap refuses the state or the areas.
  void KeyInPlace(const ZvkBitmap& bitmap) const;
  // A keyed copy of the picture.
  ZvkBitmap Key(const ZvkBitmap& picture) const;

  // The keyed bitmap's alpha and colour, as the measures take them.
  static KeyerOutput Read(const ZvkBitmap& keyed);

 private:
  const KeyedScript& script_;
};

}  // namespace keybench
