// keybench [--colour FILE] composite script matte [alpha [foreground]]: keys a picture file with an
// operation script, writes the matte as an 8-bit grey PNG and, given FILE, the keyed colour as a 24-bit
// PNG (straight, spill-corrected, 8-bit sRGB: the colour the foreground error is scored on); given the
// truths, prints the measures next to the naive keyer's; always prints how fast the state was applied.
// Every input is read and checked before anything is written; the colour file is written before the
// matte, so a colour file that cannot be written leaves no matte, and each file only ever appears
// complete.
#pragma once

#include <string>

namespace keybench {

struct FileKeyingArgs {
  std::string composite, script, matte, alpha, foreground;  // alpha and foreground may be empty
  std::string colour;                                       // empty: no colour file
};

class FileKeying {
 public:
  // Throws std::runtime_error (or ScriptError) naming the file or the script line on bad input.
  static int Run(const FileKeyingArgs& args);
};

}  // namespace keybench
