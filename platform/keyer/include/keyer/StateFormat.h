// The state file: a 16-byte header (magic "PKYS", u16 version 1, u16 flags, u32 payload length,
// u32 CRC-32 of the payload) and a payload of fixed layout, all little-endian:
//   u8 algorithm, u8 spill mode, u8 grid rows, u8 grid columns, u32 spill colour,
//   f32 screen colour R, G, B (linear light), u16 radii of the inner, middle and outer surfaces.
// The reader trusts no size, count or value: anything else is a StateFormatError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "keyer/KeyerModel.h"

namespace keyer {

class StateFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class StateFormat {
 public:
  static constexpr uint16_t kVersion = 1;
  static constexpr size_t kHeaderSize = 16;
  static constexpr size_t kPayloadSize = 20 + 3 * 2 * SurfaceGrid::kNodes;
  static constexpr size_t kFileSize = kHeaderSize + kPayloadSize;
  // No reader ever looks at more than this.
  static constexpr size_t kMaxFileSize = 64 * 1024;

  static std::vector<uint8_t> Write(const KeyerModel& model);
  static KeyerModel Read(const uint8_t* data, size_t size);
};

}  // namespace keyer
