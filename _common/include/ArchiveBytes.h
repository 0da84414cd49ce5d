// A counted run of raw bytes inside a record (a nested record kept as it was read).
#pragma once

#include "Archive.h"

#include <cstdint>
#include <vector>

namespace zvk {

// Reads count bytes into out, or throws EndOfFile. A count beyond what the archive holds fails before
// anything is allocated; where the archive cannot tell, the buffer grows only with the bytes really read.
void ReadArchiveBytes(Archive& archive, uint32_t count, std::vector<uint8_t>& out);

}  // namespace zvk
