// One line of an operation script: a call on the keyer, or a protect or garbage area that is applied
// with the state. The driver runs each keyer call as the program does (load the state, call, save it).
#pragma once

#include "AreaRecord.h"
#include "PixelRect.h"

#include <cstdint>

namespace keybench {

// The keyer's methods in interface order, then the two kinds of area.
enum class KeyerOp {
  AutoCompute,                // background factor, foreground factor
  SelectBackgroundColor,      // sample
  CleanBackground,            // sample
  CleanForeground,            // sample
  MatteSponge,                // sample
  SpillSponge,                // sample
  MakeForegroundTransparent,  // sample
  RestoreDetail,              // sample
  AdjustMatte,                // sample, flag
  AdjustSpill,                // sample, flag
  AdjustDetail,               // sample, flag
  FineTune,                   // colour, three deltas
  SetAlgorithm,               // algorithm
  SetSpillReplaceColor,       // colour or -1
  SetSpillReplaceComplement,  // none
  SetSpillReplaceDefocus,     // none
  ProtectArea,                // area
  GarbageArea,                // area
};

struct KeyerCall {
  KeyerOp op = KeyerOp::AutoCompute;
  int line = 0;            // 1-based line of the script; 0 for calls not read from a script
  PixelRect sample;        // sample operations: the pixels the image library samples
  float factors[3] = {};   // AutoCompute: background, foreground; FineTune: the three deltas
  std::int32_t flag = 0;   // Adjust*: 1 more, 0 less
  std::int32_t value = 0;  // FineTune and SetSpillReplaceColor: COLORREF 0x00BBGGRR (or -1); SetAlgorithm
  AreaRecord area;         // ProtectArea, GarbageArea

  bool IsSample() const { return op >= KeyerOp::SelectBackgroundColor && op <= KeyerOp::AdjustDetail; }
  bool IsArea() const { return op == KeyerOp::ProtectArea || op == KeyerOp::GarbageArea; }
};

}  // namespace keybench
