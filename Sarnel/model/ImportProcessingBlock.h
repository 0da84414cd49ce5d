// The stored form of an image's import processing: the small fields and the tone curve and sharpening
// as their own writers put them.
#pragma once

#include "Archive.h"

#include <cstdint>

struct ImportProcessingBlock {
  uint32_t quarterTurns = 0;
  uint8_t flipA = 0;
  uint8_t flipB = 0;
  zvk::ArchiveMemory lutBytes;      // a tone-curve record
  zvk::ArchiveMemory sharpenBytes;  // a sharpen block

  // u32 turns, u8, u8, then each archive's content as a u32 count and the bytes.
  void Write(zvk::Archive& archive) const;
  // Counts are checked against the data before anything is allocated.
  void Read(zvk::Archive& archive);
};

// Replaces an archive's content by the given bytes and leaves its position at the start.
void SetArchiveContent(zvk::ArchiveMemory& archive, const void* bytes, unsigned count);
