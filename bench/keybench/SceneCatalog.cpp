#include "SceneCatalog.h"

namespace keybench {

namespace {

KeyerCall SampleCall(KeyerOp op, const PixelRect& rect) {
  KeyerCall call;
  call.op = op;
  call.sample = rect;
  return call;
}

}  // namespace

std::vector<SceneSpec> SceneCatalog::BuiltIn(int width, int height) {
  std::vector<SceneSpec> specs;
  SceneSpec reference;
  reference.name = "green";
  reference.width = width;
  reference.height = height;
  specs.push_back(reference);

  SceneSpec blue = reference;
  blue.name = "blue";
  blue.screen = ScreenColour::Blue;
  specs.push_back(blue);

  SceneSpec dim = reference;
  dim.name = "dim";
  dim.screenBrightness = 0.45f;
  dim.screenUnevenness = 0.35f;
  specs.push_back(dim);

  SceneSpec jpeg = reference;
  jpeg.name = "jpeg";
  jpeg.jpegRoundTrip = true;
  specs.push_back(jpeg);

  SceneSpec lamp = reference;
  lamp.name = "lampstand";
  lamp.lampStand = true;
  specs.push_back(lamp);

  // What hurts keyers in studios, each on a seed of its own.
  const auto fault = [&](const char* name, std::uint64_t seed) {
    SceneSpec spec = reference;
    spec.name = name;
    spec.seed = seed;
    return spec;
  };
  SceneSpec shadow = fault("shadow", 0x5EC0DE3001ull);
  shadow.castShadow = true;
  specs.push_back(shadow);

  SceneSpec creased = fault("creased", 0x5EC0DE3002ull);
  creased.creases = true;
  specs.push_back(creased);

  SceneSpec underexposed = fault("underexp", 0x5EC0DE3003ull);
  underexposed.exposure = 0.35f;
  underexposed.noiseGain = 3.0f;
  specs.push_back(underexposed);

  SceneSpec hotSpot = fault("hotspot", 0x5EC0DE3004ull);
  hotSpot.hotSpot = true;
  hotSpot.paleHair = true;
  specs.push_back(hotSpot);

  SceneSpec yellowGreen = fault("yellowgrn", 0x5EC0DE3005ull);
  yellowGreen.shirt = std::array<float, 3>{0.36f, 0.50f, 0.06f};
  specs.push_back(yellowGreen);

  SceneSpec teal = fault("teal", 0x5EC0DE3006ull);
  teal.screen = ScreenColour::Blue;
  teal.shirt = std::array<float, 3>{0.03f, 0.26f, 0.32f};
  specs.push_back(teal);

  SceneSpec veil = fault("veil", 0x5EC0DE3007ull);
  veil.veilOverScreen = true;
  specs.push_back(veil);

  SceneSpec plant = fault("plant", 0x5EC0DE3008ull);
  plant.plant = true;
  specs.push_back(plant);

  SceneSpec large = reference;
  large.name = "24mp";
  large.width = 6000;
  large.height = 4000;
  large.speedOnly = true;
  specs.push_back(large);
  return specs;
}

std::vector<KeyerCall> SceneCatalog::Script(const Scene& scene, ScriptKind kind) {
  std::vector<KeyerCall> calls;
  const SceneLandmarks& marks = scene.landmarks;
  if (kind == ScriptKind::A) {
    calls.push_back(KeyerCall{});  // AutoCompute with both factors 0
  } else {
    calls.push_back(SampleCall(KeyerOp::SelectBackgroundColor, marks.screenPatch));
    calls.push_back(SampleCall(KeyerOp::CleanBackground, marks.darkCorner));
    calls.push_back(SampleCall(KeyerOp::CleanForeground, marks.shirt));
    if (kind == ScriptKind::C) calls.push_back(SampleCall(KeyerOp::SpillSponge, marks.skin));
  }
  if (marks.garbage) {
    KeyerCall garbage;
    garbage.op = KeyerOp::GarbageArea;
    garbage.area = *marks.garbage;
    calls.push_back(garbage);
  }
  return calls;
}

const char* SceneCatalog::ScriptName(ScriptKind kind) {
  switch (kind) {
    case ScriptKind::A:
      return "A";
    case ScriptKind::B:
      return "B";
    case ScriptKind::C:
      return "C";
  }
  return "?";
}

}  // namespace keybench
