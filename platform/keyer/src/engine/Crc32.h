// CRC-32 (IEEE 802.3), the state file's check on its payload.
#pragma once

#include <cstddef>
#include <cstdint>

namespace keyer {

class Crc32 {
 public:
  static uint32_t Of(const uint8_t* data, size_t size);
};

}  // namespace keyer
