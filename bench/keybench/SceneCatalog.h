// The built-in scenes and the operator scripts that are run on each.
#pragma once

#include "KeyerCall.h"
#include "Scene.h"
#include "SceneSpec.h"

#include <vector>

namespace keybench {

enum class ScriptKind {
  A,  // AutoCompute (0, 0) alone
  B,  // background colour from a screen patch, clean background on the darkest corner, clean foreground on
      // the shirt
  C,  // B, then spill sponge on skin
};

class SceneCatalog {
 public:
  // Green reference, blue screen, dim uneven screen, the reference through JPEG, the lamp stand; the
  // studio's faults (a cast shadow, a creased backing, an underexposed noisy screen, a hot spot behind
  // pale hair, a yellow-green and a teal subject on their own screens, a veil over bare screen, a plant);
  // and the 24-megapixel composite for speed; at the given reference size (the goals hold at 1024 x 768).
  static std::vector<SceneSpec> BuiltIn(int width = 1024, int height = 768);

  // The script of that kind for a generated scene; every script of a scene with a garbage landmark
  // ends with that garbage area.
  static std::vector<KeyerCall> Script(const Scene& scene, ScriptKind kind);
  static const char* ScriptName(ScriptKind kind);
};

}  // namespace keybench
