// The MD5 message digest, for identifiers made from content.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

using MD5Digest = std::array<uint8_t, 16>;

// The digest bytes in the order the algorithm outputs them.
MD5Digest ComputeMD5(const void* bytes, size_t length);

// The digest of bytes given in pieces, for content that passes by once (a picture on its way to a file).
class MD5Hasher {
 public:
  void Add(const void* bytes, size_t length);
  // The digest of everything added; the hasher is spent afterwards.
  MD5Digest Finish();

 private:
  uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
  uint8_t pending[64] = {};
  size_t pendingLength = 0;
  uint64_t total = 0;
};
