// Hand-made tables in .LUT text files: 256 lines of "red, green, blue", numbers 0 to 255.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace lut {

enum class LutFileError {
  kNone,
  kOpen,       // the file cannot be opened (errnoValue tells why)
  kInvalid,    // a line that is not three numbers of 0 to 255, or longer than a line may be
  kPremature,  // end of file before 256 lines
  kRead,       // another read error (errnoValue)
};

struct LutFileTables {
  // Channel 0 is the identity; 1 to 3 red, green and blue.
  std::array<std::array<uint8_t, 256>, 4> channels{};
};

struct LutFileResult {
  LutFileError error = LutFileError::kNone;
  int errnoValue = 0;
};

// Reads the first 256 lines; what follows them is not looked at.
LutFileResult ReadLutFile(const std::string& path, LutFileTables& tables);

}  // namespace lut
