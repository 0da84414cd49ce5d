// How to build one test scene: a portrait in front of a studio screen with known alpha.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
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
  // What hurts keyers in studios; each draws from a generator of its own, so that the scenes without
  // them keep their bytes.
  float exposure = 1.0f;                      // scales all light, the subject's and the screen's
  float noiseGain = 1.0f;                     // scales the sensor noise
  bool castShadow = false;                    // the subject's soft shadow falls on the screen beside it
  bool creases = false;                       // a wrinkled backing: creases shade the screen light and dark
  bool hotSpot = false;                       // a hot spot on the screen behind the top of the head
  bool paleHair = false;                      // backlit pale hair in place of dark
  bool veilOverScreen = false;                // the veil hangs beside the subject, over bare screen
  bool plant = false;                         // a plant of fine stems and small leaves beside the subject
  std::optional<std::array<float, 3>> shirt;  // the shirt's linear colour, when not the default
};

}  // namespace keybench
