#include "MD5.h"

#include <algorithm>
#include <cstring>

namespace {

struct MD5State {
  uint32_t a = 0x67452301, b = 0xefcdab89, c = 0x98badcfe, d = 0x10325476;
};

inline uint32_t Rotate(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

const uint32_t K[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

const int Shift[64] = {7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 5,  9,  14, 20, 5,  9,
                       14, 20, 5,  9,  14, 20, 5,  9,  14, 20, 4,  11, 16, 23, 4,  11, 16, 23, 4,  11, 16, 23,
                       4,  11, 16, 23, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21};

void Transform(MD5State& s, const uint8_t block[64]) {
  uint32_t m[16];
  for (int i = 0; i < 16; ++i)
    m[i] = block[i * 4] | (block[i * 4 + 1] << 8) | (block[i * 4 + 2] << 16) |
           (static_cast<uint32_t>(block[i * 4 + 3]) << 24);
  uint32_t a = s.a, b = s.b, c = s.c, d = s.d;
  for (int i = 0; i < 64; ++i) {
    uint32_t f;
    int g;
    if (i < 16) {
      f = (b & c) | (~b & d);
      g = i;
    } else if (i < 32) {
      f = (d & b) | (~d & c);
      g = (5 * i + 1) % 16;
    } else if (i < 48) {
      f = b ^ c ^ d;
      g = (3 * i + 5) % 16;
    } else {
      f = c ^ (b | ~d);
      g = (7 * i) % 16;
    }
    uint32_t next = d;
    d = c;
    c = b;
    b = b + Rotate(a + f + K[i] + m[g], Shift[i]);
    a = next;
  }
  s.a += a;
  s.b += b;
  s.c += c;
  s.d += d;
}

}  // namespace

void MD5Hasher::Add(const void* bytes, size_t length) {
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  total += length;
  MD5State s{state[0], state[1], state[2], state[3]};
  if (pendingLength > 0) {
    const size_t take = std::min(length, 64 - pendingLength);
    std::memcpy(pending + pendingLength, p, take);
    pendingLength += take;
    p += take;
    length -= take;
    if (pendingLength == 64) {
      Transform(s, pending);
      pendingLength = 0;
    }
  }
  for (; length >= 64; p += 64, length -= 64) Transform(s, p);
  if (length > 0) {
    std::memcpy(pending, p, length);
    pendingLength = length;
  }
  state[0] = s.a;
  state[1] = s.b;
  state[2] = s.c;
  state[3] = s.d;
}

MD5Digest MD5Hasher::Finish() {
  // The tail, a one bit, zeros, and the message length in bits (little-endian, modulo 2^64).
  uint8_t tail[128] = {};
  if (pendingLength) std::memcpy(tail, pending, pendingLength);
  tail[pendingLength] = 0x80;
  const size_t tailLength = pendingLength < 56 ? 64 : 128;
  const uint64_t bits = total * 8;
  for (int i = 0; i < 8; ++i) tail[tailLength - 8 + i] = static_cast<uint8_t>(bits >> (8 * i));
  MD5State s{state[0], state[1], state[2], state[3]};
  Transform(s, tail);
  if (tailLength == 128) Transform(s, tail + 64);

  MD5Digest digest;
  const uint32_t words[4] = {s.a, s.b, s.c, s.d};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) digest[i * 4 + j] = static_cast<uint8_t>(words[i] >> (8 * j));
  return digest;
}

MD5Digest ComputeMD5(const void* bytes, size_t length) {
  MD5Hasher hasher;
  hasher.Add(bytes, length);
  return hasher.Finish();
}
