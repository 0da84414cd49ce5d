// The entropy stage of the persisted form: the residual bytes of a band coded with canonical Huffman codes of
// at most 11 bits, one code for each colour byte position (G, B-G, R-G) and one for alpha. Faster in both
// directions than a general-purpose compressor, and residuals have no long matches to find anyway.
//
// A coded band: the code lengths of each code as 128 bytes of nibbles (symbol 2k in the low nibble), a u32
// Adler-32 of the residual bytes, then the bits, least significant first, zero-padded to a byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zvkImage {

class BandCoder {
 public:
  // raw: colourBytes colour residuals (position i uses code i % 3) followed by alpha residuals (code 3). The
  // coded band goes into out after `room` bytes left to the caller; out grows when it is too small for the
  // band's bound and never shrinks, so a buffer used again is not allocated again. Returns the bytes used
  // (room included).
  static size_t Encode(const uint8_t* raw, size_t colourBytes, size_t alphaBytes, size_t room,
                       std::vector<uint8_t>& out);
  // False when the coded band is malformed, ends early, has bytes left over, or fails its checksum.
  static bool Decode(const uint8_t* coded, size_t size, uint8_t* raw, size_t colourBytes, size_t alphaBytes);
  // The largest coded size of a band of that many bytes.
  static size_t Bound(size_t colourBytes, size_t alphaBytes);
  // The smallest: the code tables, the checksum and one bit for every byte.
  static size_t MinSize(size_t colourBytes, size_t alphaBytes);
};

}  // namespace zvkImage
