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
