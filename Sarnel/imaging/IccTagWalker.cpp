#include "IccTagWalker.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace zvk {

uint32_t ReadBigEndian32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

int WalkIccTags(iccReader& reader, IccTagHandler& handler) {
  std::vector<uint8_t> storage;
  const uint8_t* data = nullptr;
  int rc = ReadIccBlock(reader, 0, 128, storage, data);
  if (rc == kIccShortRead) return kIccNotProfile;
  if (rc != kIccOk) return rc;
  uint8_t header[128];
  std::memcpy(header, data, sizeof header);
  if (std::memcmp(header + 36, "acsp", 4) != 0) return kIccNotProfile;
  const uint64_t profileSize = ReadBigEndian32(header);
  if ((rc = handler.Header(header)) != 0) return rc;

  if ((rc = ReadIccBlock(reader, 128, 4, storage, data)) != kIccOk) return rc;
  const uint32_t count = ReadBigEndian32(data);
  if (count > kMaxIccTags) return kIccMalformed;
  std::vector<uint8_t> table;
  if (count > 0) {
    if ((rc = ReadIccBlock(reader, 132, count * 12, storage, data)) != kIccOk) return rc;
    table.assign(data, data + count * 12);
  }
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* entry = table.data() + i * 12;
    const IccSignature signature = ReadBigEndian32(entry);
    const uint64_t offset = ReadBigEndian32(entry + 4), size = ReadBigEndian32(entry + 8);
    if (offset >= profileSize || offset % 4 != 0 || size < 8 || offset + size > profileSize)
      return kIccMalformed;
    rc = handler.Tag(signature, nullptr, static_cast<uint32_t>(size));
    if (rc == IccTagHandler::kSkip) continue;
    if (rc != 0) return rc;
    if (size > kMaxIccTagRead) return kIccMalformed;
    if ((rc = ReadIccBlock(reader, static_cast<uint32_t>(offset), static_cast<uint32_t>(size), storage,
                           data)) != kIccOk)
      return rc;
    if ((rc = handler.Tag(signature, data, static_cast<uint32_t>(size))) != 0) return rc;
  }
  return kIccOk;
}

namespace {

std::string WideToAnsi(const std::wstring& w) {
  if (w.empty()) return {};
  const int n =
      WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(n > 0 ? n : 0, '\0');
  if (n > 0)
    WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

int DecodeTextDescription(const uint8_t* tag, uint32_t size, std::string& text) {
  if (size <= 22) return kIccMalformed;
  uint64_t at = 8;
  const uint64_t asciiCount = ReadBigEndian32(tag + at);
  at += 4;
  if (asciiCount > size - at) return kIccMalformed;
  const uint8_t* ascii = tag + at;
  if (asciiCount > 0 && ascii[asciiCount - 1] != 0) return kIccMalformed;
  at += asciiCount;
  if (size - at < 8) return kIccMalformed;
  at += 4;  // Unicode language code
  const uint64_t unicodeCount = ReadBigEndian32(tag + at);
  at += 4;
  if (unicodeCount > (size - at) / 2) return kIccMalformed;
  const uint8_t* unicode = tag + at;
  if (unicodeCount > 0 && (unicode[unicodeCount * 2 - 2] | unicode[unicodeCount * 2 - 1]) != 0)
    return kIccMalformed;
  at += unicodeCount * 2;
  if (size - at < 3) return kIccMalformed;
  at += 2;  // script code
  const uint64_t scriptCount = tag[at];
  at += 1;
  if (scriptCount > size - at) return kIccMalformed;

  if (asciiCount > 1 || (asciiCount == 1 && ascii[0] != 0)) {
    text.assign(reinterpret_cast<const char*>(ascii),
                strnlen(reinterpret_cast<const char*>(ascii), asciiCount));
    return kIccOk;
  }
  bool littleEndian = false;
  uint64_t first = 0;
  if (unicodeCount > 0 && unicode[0] == 0xFF && unicode[1] == 0xFE)
    littleEndian = true, first = 1;
  else if (unicodeCount > 0 && unicode[0] == 0xFE && unicode[1] == 0xFF)
    first = 1;
  std::wstring w;
  for (uint64_t i = first; i < unicodeCount; ++i) {
    const uint8_t* c = unicode + i * 2;
    const wchar_t ch = littleEndian ? wchar_t(c[0] | (c[1] << 8)) : wchar_t((c[0] << 8) | c[1]);
    if (ch == 0) break;
    w.push_back(ch);
  }
  text = WideToAnsi(w);
  return kIccOk;
}

}  // namespace

int DecodeIccDescription(const uint8_t* tag, uint32_t size, std::string& text) {
  text.clear();
  if (size < 8) return kIccMalformed;
  const IccSignature type = ReadBigEndian32(tag);
  if (type == IccSig("desc")) return DecodeTextDescription(tag, size, text);
  if (type == IccSig("text")) {
    uint32_t n = size - 8;
    if (n > 0 && tag[8 + n - 1] == 0) --n;
    text.assign(reinterpret_cast<const char*>(tag + 8), n);
    return kIccOk;
  }
  return kIccNotText;
}

int IccInfoHandler::Header(const uint8_t (&header)[128]) {
  if (!filtered_) return 0;
  const IccSignature deviceClass = ReadBigEndian32(header + 12), space = ReadBigEndian32(header + 16);
  if ((!classes_.empty() && std::find(classes_.begin(), classes_.end(), deviceClass) == classes_.end()) ||
      std::find(spaces_.begin(), spaces_.end(), space) == spaces_.end()) {
    rejected_ = true;
    return kIccStopped;
  }
  return 0;
}

int IccInfoHandler::Tag(IccSignature signature, const uint8_t* data, uint32_t size) {
  static const IccSignature kWanted[IccProfileInfo::kTextCount] = {IccSig("desc"), IccSig("dmnd"),
                                                                   IccSig("dmdd"), IccSig("cprt")};
  const auto* found = std::find(std::begin(kWanted), std::end(kWanted), signature);
  if (found == std::end(kWanted)) return kSkip;
  if (data == nullptr) return 0;
  const int which = static_cast<int>(found - std::begin(kWanted));
  info_.present[which] = true;
  std::string text;
  if (DecodeIccDescription(data, size, text) == kIccOk) info_.text[which] = std::move(text);
  const bool all = std::all_of(std::begin(info_.present), std::end(info_.present), [](bool b) { return b; });
  return all ? kIccStopped : 0;
}

}  // namespace zvk
