// Shared helpers of the colour tests: real profiles from Debian's packages and a job fixture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "IcmJob.h"

namespace colourtest {

// A path under the Debian colour folder, as the Windows side sees it.
std::string DebianProfile(const char* relative);
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// The job as the colour layer sees it: a state and, for -2, profile bytes streamed in blocks.
class FixtureJob : public zvk::IcmJob {
 public:
  int32_t state = -1;
  std::vector<uint8_t> profile;
  size_t block = 4096;
  int reads = 0;
  int32_t GetColorProfileState(int) override { return state; }
  bool ReadColorProfile(zvk::ColorProfileStreamOut& out, int) override;
  bool SetColorSpace(int32_t space, bool, int) override { return state = space, true; }
  bool SetColorProfileFile(const char* path) override;
};

}  // namespace colourtest
