// The run without arguments: every built-in scene keyed by our keyer (scripts A, B and C) and by the
// naive keyer, scored and printed, each scene's files written to a folder so that other keyers can
// be scored on the same composites; then the speed section and the goals.
#pragma once

#include <string>

namespace keybench {

class BuiltInRun {
 public:
  // folder: where composites, truths, scripts and mattes are written as PNG and text.
  static int Run(const std::string& folder);
};

}  // namespace keybench
