// The .LUT reader. Lines are read whole (up to 1024 characters) so that a long line cannot be taken
// for several; a number that does not fit in a table entry is refused rather than cut to 8 bits.
#include "LutFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace lut {

namespace {

constexpr size_t kLineLength = 1024;

const char* SkipBlanks(const char* p) {
  while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '\v' || *p == '\f') ++p;
  return p;
}

// " %u , %u , %u ": three unsigned decimal numbers separated by commas, blanks anywhere between.
bool ParseLine(const char* line, uint8_t values[3]) {
  const char* p = line;
  for (int i = 0; i < 3; ++i) {
    p = SkipBlanks(p);
    if (i > 0) {
      if (*p != ',') return false;
      p = SkipBlanks(p + 1);
    }
    if (*p < '0' || *p > '9') return false;
    unsigned long value = 0;
    while (*p >= '0' && *p <= '9') {
      value = value * 10 + static_cast<unsigned long>(*p - '0');
      if (value > 255) return false;
      ++p;
    }
    values[i] = static_cast<uint8_t>(value);
  }
  return *SkipBlanks(p) == '\0';
}

}  // namespace

LutFileResult ReadLutFile(const std::string& path, LutFileTables& tables) {
  LutFileResult result;
  errno = 0;
  FILE* file = fopen(path.c_str(), "rt");
  if (!file) {
    result.error = LutFileError::kOpen;
    result.errnoValue = errno;
    return result;
  }
  LutFileTables read;
  char line[kLineLength + 2];
  for (int i = 0; i < 256 && result.error == LutFileError::kNone; ++i) {
    if (!fgets(line, sizeof(line), file)) {
      if (ferror(file)) {
        result.error = LutFileError::kRead;
        result.errnoValue = errno;
      } else {
        result.error = LutFileError::kPremature;
      }
      break;
    }
    // A line that filled the buffer without ending, or one cut short by a NUL, is no line of numbers.
    size_t length = strlen(line);
    bool complete = length > 0 && line[length - 1] == '\n';
    if (!complete && !feof(file)) {
      result.error = LutFileError::kInvalid;
      break;
    }
    uint8_t values[3];
    if (!ParseLine(line, values)) {
      result.error = LutFileError::kInvalid;
      break;
    }
    read.channels[0][i] = static_cast<uint8_t>(i);
    for (int c = 0; c < 3; ++c) read.channels[c + 1][i] = values[c];
  }
  fclose(file);
  if (result.error == LutFileError::kNone) tables = read;
  return result;
}

}  // namespace lut
