#include "ContentID.h"

#include <cstring>

CObjectID ContentIDFromDigest(const MD5Digest& digest) {
  GUID guid;
  static_assert(sizeof(guid) == 16, "a GUID is 16 bytes");
  std::memcpy(&guid, digest.data(), 16);
  return CObjectID::FromGuid(guid);
}
