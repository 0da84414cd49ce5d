// Our keyer on one composite, end to end through the real interfaces: the script through
// IChromaKeyer (KeyerDriver), the state and areas through the image library (StateApplier).
#pragma once

#include "KeyerCall.h"
#include "KeyerDriver.h"
#include "KeyerOutput.h"
#include "ZvkBitmap.h"

#include <vector>

namespace keybench {

struct OurKeying {
  KeyerOutput output;
  KeyedScript script;
  double applyMps = 0.0;  // the state and areas applied to a copy of the composite, the copy not counted
};

class OurKeyer {
 public:
  static OurKeying Key(const ZvkBitmap& composite, const std::vector<KeyerCall>& calls);
};

}  // namespace keybench
