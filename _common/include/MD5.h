// The MD5 message digest, for identifiers made from content.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

using MD5Digest = std::array<uint8_t, 16>;

// The digest bytes in the order the algorithm outputs them.
MD5Digest ComputeMD5(const void* bytes, size_t length);
