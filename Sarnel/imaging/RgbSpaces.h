// The nine named RGB colour spaces (ids 1 to 9, as the settings, the job and the dialog use them) and the
// maths that turns one into primaries adapted to the D50 white of the profile connection space.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ColourMatrix.h"

namespace zvk {

struct NamedRgbSpace {
  int id;
  const char* name;
  double gamma;
  double xr, yr, xg, yg, xb, yb, xw, yw;
};

constexpr int kNamedRgbSpaceCount = 9;

// The row of a named space, or null for an id outside 1..9.
const NamedRgbSpace* FindNamedRgbSpace(int id);

// Three equal gammas, then the XYZ of the red, green and blue primaries adapted to D50. Compared byte for
// byte, so it holds no padding.
struct ColourSpaceDescription {
  float gamma[3];
  float xyz[9];
};
static_assert(sizeof(ColourSpaceDescription) == 48);

// The space's RGB-to-XYZ matrix, Bradford-adapted from its white to D50 (columns red, green, blue).
Matrix3 AdaptedRgbToXYZ(const NamedRgbSpace& space);
ColourSpaceDescription RgbSpaceToXYZ(const NamedRgbSpace& space);

// A calibrated-RGB logical colour space for the description; intent is the program's intent index.
LOGCOLORSPACEA LogColourSpaceFromDescription(const ColourSpaceDescription& d, int intent);

constexpr Vector3 kD50{0.9642, 1.0, 0.8249};

}  // namespace zvk
