#include "BandCoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <queue>

namespace zvkImage {
namespace {

constexpr int kMaxBits = 11;
constexpr size_t kTableBytes = 128;

// Huffman code lengths of at most kMaxBits; counts are halved until the longest code fits.
void BuildLengths(const uint64_t* counts, uint8_t* lengths) {
  uint64_t c[256];
  std::memcpy(c, counts, sizeof c);
  for (;;) {
    std::fill(lengths, lengths + 256, 0);
    int used = 0;
    for (int s = 0; s < 256; ++s) used += c[s] != 0;
    if (used == 0) return;
    if (used == 1) {  // one symbol: a one-bit code (the other code stays unused)
      for (int s = 0; s < 256; ++s)
        if (c[s]) lengths[s] = 1;
      return;
    }
    // Nodes 0..255 leaves, then inner nodes; parent links give each leaf its depth.
    int parent[512];
    using Item = std::pair<uint64_t, int>;
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> heap;
    for (int s = 0; s < 256; ++s)
      if (c[s]) heap.push({c[s], s});
    int next = 256;
    while (heap.size() > 1) {
      const Item a = heap.top();
      heap.pop();
      const Item b = heap.top();
      heap.pop();
      parent[a.second] = parent[b.second] = next;
      heap.push({a.first + b.first, next++});
    }
    const int root = next - 1;
    int longest = 0;
    for (int s = 0; s < 256; ++s) {
      if (!c[s]) continue;
      int depth = 0;
      for (int n = s; n != root; n = parent[n]) ++depth;
      lengths[s] = uint8_t(depth);
      longest = std::max(longest, depth);
    }
    if (longest <= kMaxBits) return;
    for (int s = 0; s < 256; ++s)
      if (c[s]) c[s] = (c[s] + 1) / 2;
  }
}

// Canonical codes, bit-reversed for least-significant-first output.
void BuildCodes(const uint8_t* lengths, uint16_t* codes) {
  int count[kMaxBits + 1] = {};
  for (int s = 0; s < 256; ++s) count[lengths[s]]++;
  count[0] = 0;
  int next[kMaxBits + 2] = {};
  int code = 0;
  for (int bits = 1; bits <= kMaxBits; ++bits) {
    code = (code + count[bits - 1]) << 1;
    next[bits] = code;
  }
  for (int s = 0; s < 256; ++s) {
    const int len = lengths[s];
    codes[s] = 0;
    if (!len) continue;
    int v = next[len]++, r = 0;
    for (int b = 0; b < len; ++b) r |= ((v >> b) & 1) << (len - 1 - b);
    codes[s] = uint16_t(r);
  }
}

// Decoding table: for every kMaxBits-bit window, the symbol and its length (0: no code).
bool BuildDecodeTable(const uint8_t* lengths, uint16_t* table) {
  // Kraft sum must not exceed one.
  uint32_t kraft = 0;
  for (int s = 0; s < 256; ++s)
    if (lengths[s]) kraft += 1u << (kMaxBits - lengths[s]);
  if (kraft > (1u << kMaxBits)) return false;
  std::fill(table, table + (1 << kMaxBits), uint16_t(0));
  uint16_t codes[256];
  BuildCodes(lengths, codes);
  for (int s = 0; s < 256; ++s) {
    const int len = lengths[s];
    if (!len) continue;
    for (uint32_t fill = codes[s]; fill < (1u << kMaxBits); fill += 1u << len)
      table[fill] = uint16_t(s | len << 8);
  }
  return true;
}

void PackLengths(const uint8_t* lengths, uint8_t* out) {
  for (int s = 0; s < 256; s += 2) out[s / 2] = uint8_t(lengths[s] | lengths[s + 1] << 4);
}

bool UnpackLengths(const uint8_t* in, uint8_t* lengths) {
  for (int s = 0; s < 256; s += 2) {
    lengths[s] = in[s / 2] & 15;
    lengths[s + 1] = in[s / 2] >> 4;
    if (lengths[s] > kMaxBits || lengths[s + 1] > kMaxBits) return false;
  }
  return true;
}

}  // namespace

size_t BandCoder::Bound(size_t colourBytes, size_t alphaBytes) {
  const size_t tables = alphaBytes ? 4 : 3;
  return tables * kTableBytes + 4 + ((colourBytes + alphaBytes) * kMaxBits + 7) / 8 + 8;
}

size_t BandCoder::MinSize(size_t colourBytes, size_t alphaBytes) {
  const size_t tables = alphaBytes ? 4 : 3;
  return tables * kTableBytes + 4 + (colourBytes + alphaBytes + 7) / 8;
}

size_t BandCoder::Encode(const uint8_t* raw, size_t colourBytes, size_t alphaBytes, size_t room,
                         std::vector<uint8_t>& out) {
  const int tables = alphaBytes ? 4 : 3;
  uint64_t counts[4][256] = {};
  size_t i = 0;
  for (; i + 3 <= colourBytes; i += 3) counts[0][raw[i]]++, counts[1][raw[i + 1]]++, counts[2][raw[i + 2]]++;
  for (; i < colourBytes; ++i) counts[i % 3][raw[i]]++;
  for (size_t k = 0; k < alphaBytes; ++k) counts[3][raw[colourBytes + k]]++;
  uint8_t lengths[4][256];
  uint16_t codes[4][256];
  const size_t need = room + Bound(colourBytes, alphaBytes);
  if (out.size() < need) out.resize(need);
  uint8_t* dst = out.data() + room;
  for (int t = 0; t < tables; ++t, dst += kTableBytes) {
    BuildLengths(counts[t], lengths[t]);
    BuildCodes(lengths[t], codes[t]);
    PackLengths(lengths[t], dst);
  }
  const uint32_t check = uint32_t(adler32(adler32(0, nullptr, 0), raw, uInt(colourBytes + alphaBytes)));
  for (int b = 0; b < 4; ++b) *dst++ = uint8_t(check >> (8 * b));
  // Each symbol's code and length in one entry: one load a symbol in the loop below.
  uint32_t entries[4][256];
  for (int t = 0; t < tables; ++t)
    for (int s = 0; s < 256; ++s) entries[t][s] = uint32_t(codes[t][s]) | uint32_t(lengths[t][s]) << 16;
  // The bits go out a whole byte at a time after each pixel: eight bytes are stored whatever the count
  // and the output moves on by the whole bytes among them (the bound leaves eight bytes of room at the
  // end), so no branch decides when to write. Least significant first on a little-endian machine, the
  // bytes are those of writing the codes one bit after another.
  uint64_t acc = 0;
  int bits = 0;
  auto add = [&](int t, uint8_t s) {
    const uint32_t entry = entries[t][s];
    acc |= uint64_t(entry & 0xFFFF) << bits;
    bits += int(entry >> 16);
  };
  auto flush = [&] {
    std::memcpy(dst, &acc, 8);
    dst += bits >> 3;
    acc >>= (bits & ~7);
    bits &= 7;
  };
  // Three codes of at most kMaxBits each fit beside the fewer than 8 bits held.
  static_assert(7 + 3 * kMaxBits <= 64, "a pixel's codes must fit the accumulator");
  for (i = 0; i + 3 <= colourBytes; i += 3) {
    add(0, raw[i]), add(1, raw[i + 1]), add(2, raw[i + 2]);
    flush();
  }
  for (; i < colourBytes; ++i) add(int(i % 3), raw[i]), flush();
  for (size_t k = 0; k < alphaBytes; ++k) add(3, raw[colourBytes + k]), flush();
  while (bits > 0) {
    *dst++ = uint8_t(acc);
    acc >>= 8;
    bits -= 8;
  }
  return size_t(dst - out.data());
}

bool BandCoder::Decode(const uint8_t* coded, size_t size, uint8_t* raw, size_t colourBytes,
                       size_t alphaBytes) {
  const int tables = alphaBytes ? 4 : 3;
  const size_t head = size_t(tables) * kTableBytes + 4;
  if (size < head) return false;
  std::vector<uint16_t> table(size_t(tables) << kMaxBits);
  for (int t = 0; t < tables; ++t) {
    uint8_t lengths[256];
    if (!UnpackLengths(coded + size_t(t) * kTableBytes, lengths)) return false;
    if (!BuildDecodeTable(lengths, table.data() + (size_t(t) << kMaxBits))) return false;
  }
  uint32_t check = 0;
  for (int b = 0; b < 4; ++b) check |= uint32_t(coded[head - 4 + b]) << (8 * b);
  const uint8_t* src = coded + head;
  const uint8_t* end = coded + size;
  uint64_t acc = 0;
  int bits = 0;
  size_t consumed = 0;  // bits taken
  bool bad = false;
  auto refill = [&] {
    while (bits <= 56) {
      const uint64_t byte = src < end ? *src : 0;  // past the end reads zeros; checked below
      ++src;
      acc |= byte << bits;
      bits += 8;
    }
  };
  auto get = [&](const uint16_t* t) -> uint8_t {
    if (bits < kMaxBits) refill();
    const uint16_t e = t[acc & ((1u << kMaxBits) - 1)];
    const int len = e >> 8;
    if (len == 0) {
      bad = true;
      return 0;
    }
    acc >>= len;
    bits -= len;
    consumed += size_t(len);
    return uint8_t(e);
  };
  const uint16_t* t0 = table.data();
  const uint16_t* t1 = t0 + (1 << kMaxBits);
  const uint16_t* t2 = t1 + (1 << kMaxBits);
  size_t i = 0;
  for (; i + 3 <= colourBytes && !bad; i += 3) {
    raw[i] = get(t0);
    raw[i + 1] = get(t1);
    raw[i + 2] = get(t2);
  }
  for (; i < colourBytes && !bad; ++i) raw[i] = get(i % 3 == 0 ? t0 : (i % 3 == 1 ? t1 : t2));
  const uint16_t* t3 = tables == 4 ? t2 + (1 << kMaxBits) : nullptr;
  for (size_t k = 0; k < alphaBytes && !bad; ++k) raw[colourBytes + k] = get(t3);
  if (bad) return false;
  // Exactly the bytes the bits need: nothing missing, nothing left over.
  if ((consumed + 7) / 8 != size - head) return false;
  return uint32_t(adler32(adler32(0, nullptr, 0), raw, uInt(colourBytes + alphaBytes))) == check;
}

}  // namespace zvkImage
