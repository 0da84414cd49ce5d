// Walks the tag table of an ICC profile, checking every offset and size against the profile, and decodes
// the text tags that describe a profile.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "IccReader.h"

namespace zvk {

using IccSignature = uint32_t;  // the four bytes in file order, as a big-endian number
constexpr IccSignature IccSig(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) | (uint32_t(uint8_t(s[2])) << 8) |
         uint32_t(uint8_t(s[3]));
}

class IccTagHandler {
 public:
  static constexpr int kSkip = 2;
  virtual ~IccTagHandler() = default;
  // 0 goes on; any other value stops the walk with it.
  virtual int Header(const uint8_t (&header)[128]) = 0;
  // Asked first with null data: kSkip skips the tag, 0 reads it, other values stop. Then with the bytes.
  virtual int Tag(IccSignature signature, const uint8_t* data, uint32_t size) = 0;
};

constexpr uint32_t kMaxIccTags = 5000;
constexpr uint32_t kMaxIccTagRead = 0x7FFFF;

int WalkIccTags(iccReader& reader, IccTagHandler& handler);

// The text of a "desc" or "text" tag; kIccMalformed or kIccNotText otherwise.
int DecodeIccDescription(const uint8_t* tag, uint32_t size, std::string& text);

// The four texts that describe a profile, and whether each tag was there.
struct IccProfileInfo {
  enum Text { kDescription, kManufacturer, kModel, kNotice, kTextCount };
  std::string text[kTextCount];
  bool present[kTextCount] = {};
};

class IccInfoHandler : public IccTagHandler {
 public:
  IccInfoHandler() = default;
  // Only profiles of one of the device classes (any class when none is listed) and one of the data colour
  // spaces are accepted.
  IccInfoHandler(std::vector<IccSignature> classes, std::vector<IccSignature> spaces)
      : classes_(std::move(classes)), spaces_(std::move(spaces)), filtered_(true) {}
  int Header(const uint8_t (&header)[128]) override;
  int Tag(IccSignature signature, const uint8_t* data, uint32_t size) override;
  const IccProfileInfo& Info() const { return info_; }
  bool Rejected() const { return rejected_; }

 private:
  std::vector<IccSignature> classes_, spaces_;
  bool filtered_ = false;
  bool rejected_ = false;
  IccProfileInfo info_;
};

uint32_t ReadBigEndian32(const uint8_t* p);

}  // namespace zvk
