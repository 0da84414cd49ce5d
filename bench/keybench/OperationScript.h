// Operation scripts: one keyer call per line with its arguments, '#' starts a comment.
//
//   AutoCompute <background factor> <foreground factor>
//   SelectBackgroundColor | CleanBackground | CleanForeground | MatteSponge | SpillSponge |
//   MakeForegroundTransparent | RestoreDetail  <left> <top> <right> <bottom>
//   AdjustMatte | AdjustSpill | AdjustDetail  <left> <top> <right> <bottom> <flag: 1 more, 0 less>
//   FineTune <colour> <delta> <delta> <delta>
//   SetAlgorithm <0, 1 or 2>
//   SetSpillReplaceColor <colour or -1>
//   SetSpillReplaceComplement
//   SetSpillReplaceDefocus
//   ProtectArea | GarbageArea  rectangle|ellipse <left> <top> <right> <bottom>
//
// Samples are pixel rectangles of the composite (right and bottom exclusive); areas are in thousandths
// of its width and height; colours are COLORREF values 0x00BBGGRR, decimal or 0x-hexadecimal.
#pragma once

#include "KeyerCall.h"
#include "ScriptError.h"

#include <string>
#include <string_view>
#include <vector>

namespace keybench {

class OperationScript {
 public:
  // The calls in script order; a line it cannot read throws ScriptError naming source and line.
  static std::vector<KeyerCall> Parse(std::string_view text, const std::string& source = "script");

  // Text that Parse reads back to the same calls (line numbers aside).
  static std::string Format(const std::vector<KeyerCall>& calls);
  static std::string FormatCall(const KeyerCall& call);

  static const char* OpName(KeyerOp op);

  // The areas of one kind in script order, as the image library's area text: five integers per area
  // (type, left, top, right, bottom), each preceded by one blank.
  static std::string AreaListText(const std::vector<KeyerCall>& calls, KeyerOp kind);
};

}  // namespace keybench
