// What the colour layer needs of the job: its colour space (a named space 1..9, -2 an embedded profile,
// -1 none) and the embedded profile's bytes. The document implements it; tests give a fixture.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zvk {

// Takes an embedded profile block by block; false stops the streaming.
class ColorProfileStreamOut {
 public:
  virtual ~ColorProfileStreamOut() = default;
  virtual bool Write(const void* block, size_t count) = 0;
};

class IcmJob {
 public:
  virtual ~IcmJob() = default;
  virtual int32_t GetColorProfileState(int id) = 0;
  // False when the job has no embedded profile or the sink refused a block.
  virtual bool ReadColorProfile(ColorProfileStreamOut& out, int id) = 0;
  virtual bool SetColorSpace(int32_t space, bool markDirty, int id) = 0;
  virtual bool SetColorProfileFile(const char* path) = 0;
};

}  // namespace zvk
