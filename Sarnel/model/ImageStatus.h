// The status bits of an image record.
#pragma once

#include <cstdint>

namespace ImageStatus {
constexpr uint32_t EmptySlot = 0x0001;  // the number is reserved, no bitmap exists
constexpr uint32_t Off = 0x0002;        // switched off
constexpr uint32_t Tagged = 0x0004;
constexpr uint32_t Duplicate = 0x0008;
constexpr uint32_t Inserted = 0x0100;  // kept in the file; nothing tests it
constexpr uint32_t MaskOn = 0x0200;
constexpr uint32_t BackgroundOn = 0x0400;
constexpr uint32_t HasImportProcessing = 0x2000;
constexpr uint32_t Linked = 0x8000;  // the full bitmap is read from the outside file
}  // namespace ImageStatus
