// A generated composite with its truths and the places an operator would sample.
#pragma once

#include "AreaRecord.h"
#include "ByteImage.h"
#include "FloatImage.h"
#include "MatteError.h"
#include "PixelRect.h"
#include "SceneSpec.h"

#include <optional>

namespace keybench {

struct SceneLandmarks {
  PixelRect screenPatch;              // screen only, moderately lit
  PixelRect darkCorner;               // the darkest corner patch that is screen only
  PixelRect shirt;                    // opaque shirt, away from spill and the badge
  PixelRect skin;                     // opaque skin of the face, away from spill
  std::optional<AreaRecord> garbage;  // what removes whatever is not screen (lamp-stand scene)
};

struct Scene {
  SceneSpec spec;
  ByteImage composite;        // 8-bit sRGB, R G B
  FloatImage trueAlpha;       // 1 channel, 0..1
  FloatImage trueForeground;  // 3 channels, spill-free, sRGB values 0..1; 0 where the alpha is 0
  PixelMask screenPixels;     // pixels that show the screen and nothing of the subject
  SceneLandmarks landmarks;
};

}  // namespace keybench
