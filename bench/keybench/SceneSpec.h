// How to build one test scene: a portrait in front of a studio screen with known alpha.
#pragma once

#include <cstdint>
#include <string>

namespace keybench {

enum class ScreenColour { Green, Blue };

struct SceneSpec {
  std::string name;
  int width = 1024;
  int height = 768;
  std::uint64_t seed = 0x5EC0DE2009ull;
  ScreenColour screen = ScreenColour::Green;
  float screenBrightness = 1.0f;   // scales the screen's light
  float screenUnevenness = 0.15f;  // largest relative departure of the light from its mean
  bool lampStand = false;          // a strip of studio beyond the screen's edge, with a lamp stand
  bool jpegRoundTrip = false;      // the composite goes through a JPEG encoder and decoder first
  bool speedOnly = false;          // timed, not scored
};

}  // namespace keybench
