// Writes small version-2 RGB display profiles for the named RGB spaces: description, D50 media white,
// the Bradford-adapted colorants, one gamma curve shared by the three channels and a notice.
#pragma once

#include <cstdint>
#include <vector>

#include "RgbSpaces.h"

namespace zvk {

std::vector<uint8_t> WriteRgbDisplayProfile(const NamedRgbSpace& space);

}  // namespace zvk
