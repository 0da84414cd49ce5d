// Builds a scene from its spec: a blurred silhouette of body and head, hair strands of partial
// coverage, a translucent veil, a textured foreground in linear light, an unevenly lit screen, spill
// near the subject's edge, and the composite with sensor noise encoded to 8-bit sRGB.
// The same spec gives the same bytes. Geometry scales with the height (designed at 768 rows).
#pragma once

#include "Scene.h"

#include <functional>

namespace keybench {

class SceneGenerator {
 public:
  // Hook for scenes whose composite passes through an image codec (JPEG round trip): given the
  // composite, returns the decoded result. Without a hook such a spec cannot be generated.
  using CodecRoundTrip = std::function<ByteImage(const ByteImage&)>;

  static Scene Generate(const SceneSpec& spec, const CodecRoundTrip& roundTrip = {});
};

}  // namespace keybench
