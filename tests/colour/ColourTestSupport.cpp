#include "ColourTestSupport.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace colourtest {

std::string DebianProfile(const char* relative) {
  std::string path = std::string("Z:\\usr\\share\\color\\icc\\") + relative;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool FixtureJob::ReadColorProfile(zvk::ColorProfileStreamOut& out, int) {
  ++reads;
  if (state != -2) return false;
  for (size_t at = 0; at < profile.size(); at += block)
    if (!out.Write(profile.data() + at, std::min(block, profile.size() - at))) return false;
  return true;
}

bool FixtureJob::SetColorProfileFile(const char* path) {
  profile = ReadFileBytes(path);
  if (profile.empty()) return false;
  state = -2;
  return true;
}

}  // namespace colourtest
