// Runs an operation script on the chroma keyer exactly as the program does: for every call a keyer
// object loads the current state file, carries out the one operation and saves the state, whose new
// path the next call starts from. Samples are the image library's samples of the composite.
#pragma once

#include "ComRef.h"
#include "KeyerCall.h"
#include "ZvkBitmap.h"

#include <keyer/ChromaKeyer.h>

#include <string>
#include <vector>

namespace keybench {

// What a script leaves for applying: the last state's path and both area lists as area texts.
struct KeyedScript {
  std::string statePath;
  std::string protectAreas;
  std::string garbageAreas;
  std::vector<std::string> notes;  // calls that succeeded without effect (S_FALSE)
};

class KeyerDriver {
 public:
  // Throws std::runtime_error when the keyer cannot be created.
  KeyerDriver();

  // A failed call throws std::runtime_error naming the script line and the operation.
  KeyedScript Run(const std::vector<KeyerCall>& calls, const ZvkBitmap& composite);

 private:
  HRESULT Call(const KeyerCall& call, const ZvkBitmap& composite);

  ComRef<IChromaKeyer> keyer_;
};

}  // namespace keybench
