// The persisted form of a bitmap (what it writes to and reads from an IStream):
//
//   "ZVKB", u16 version 1, u16 flags (1: alpha plane), u32 width, u32 height, u32 dpi x and y in
//   thousandths, u8 method 1, u8 0, u16 0, u32 rows per band, u32 band count, u32 CRC-32 of the 36 bytes
//   before it; then per band a u32 length and that many bytes of the band's coding (BandCoder.h).
//
// All numbers little-endian. A band holds its rows' colour bytes followed by their alpha bytes. Colour is
// stored as G, B-G, R-G and every byte as its difference from the median-edge prediction of its left, upper
// and upper-left neighbours. Bands depend only on the width, not on the cores, so the same pixels always give
// the same bytes; both directions use every core. The reader checks every number against the sizes it allows
// and against what the coded bands give, allocates the picture only once the stream has shown the bytes it
// needs, and reads exactly what was written.
#pragma once

#include <objidl.h>

#include "PixelImage.h"

namespace zvkImage {

class PersistedForm {
 public:
  // S_OK, or the stream's failure, or E_OUTOFMEMORY.
  static HRESULT Write(const PixelImage& image, IStream* stream);
  // S_OK and the image; a malformed or truncated form gives E_FAIL (the image is left as it was).
  static HRESULT Read(IStream* stream, PixelImage& image);
};

}  // namespace zvkImage
