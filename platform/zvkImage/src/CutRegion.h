// Cutting a rectangle, in source pixels, out of a picture: what lies outside the picture takes a fill
// colour (opaque), and a cut larger than the picture is shrunk uniformly to hold no more pixels than it.
#pragma once

#include <windows.h>

#include "PixelImage.h"

namespace zvkImage {

// The cut has the size that CutSize gives; alpha is kept when the source has it. Throws std::bad_alloc.
PixelImage CutRegion(const PixelImage& source, const RECT& cut, COLORREF fill);

}  // namespace zvkImage
