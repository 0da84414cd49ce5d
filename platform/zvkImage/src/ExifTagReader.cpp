#include "ExifTagReader.h"

#include <windows.h>

#include <cstring>

namespace zvkImage {
namespace {

class Tiff {
 public:
  Tiff(const uint8_t* data, size_t size) : data_(data), size_(size) {
    if (size_ >= 8 && data_[0] == 'I' && data_[1] == 'I')
      little_ = true;
    else if (size_ >= 8 && data_[0] == 'M' && data_[1] == 'M')
      little_ = false;
    else
      return;
    valid_ = U16(2) == 42;
  }
  bool Valid() const { return valid_; }
  bool Little() const { return little_; }
  bool In(uint64_t offset, uint64_t length) const { return offset <= size_ && length <= size_ - offset; }
  uint32_t U16(uint64_t at) const {
    if (!In(at, 2)) return 0;
    return little_ ? data_[at] | data_[at + 1] << 8 : data_[at] << 8 | data_[at + 1];
  }
  uint32_t U32(uint64_t at) const {
    return little_ ? U16(at) | U16(at + 2) << 16 : U16(at) << 16 | U16(at + 2);
  }
  const uint8_t* At(uint64_t at) const { return data_ + at; }

  // The value bytes of a tag in the directory at dirOffset: false when absent or out of range.
  bool Find(uint32_t dirOffset, uint32_t tag, uint32_t& type, uint32_t& count, uint64_t& valueAt) const {
    if (!In(dirOffset, 2)) return false;
    const uint32_t entries = U16(dirOffset);
    if (entries > 4096 || !In(uint64_t(dirOffset) + 2, uint64_t(entries) * 12)) return false;
    for (uint32_t i = 0; i < entries; ++i) {
      const uint64_t e = uint64_t(dirOffset) + 2 + uint64_t(i) * 12;
      if (U16(e) != tag) continue;
      type = U16(e + 2);
      count = U32(e + 4);
      const uint64_t unit = (type == 3 || type == 8) ? 2 : ((type == 4 || type == 9) ? 4 : 1);
      const uint64_t length = unit * count;
      valueAt = length <= 4 ? e + 8 : U32(e + 8);
      return In(valueAt, length);
    }
    return false;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  bool little_ = true;
  bool valid_ = false;
};

std::wstring FromAnsi(const uint8_t* p, size_t n) {
  while (n > 0 && (p[n - 1] == 0)) --n;
  if (n == 0) return {};
  const int chars = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(p), int(n), nullptr, 0);
  std::wstring text(size_t(chars > 0 ? chars : 0), L'\0');
  if (chars > 0) MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(p), int(n), text.data(), chars);
  return text;
}

void ReadTiff(const uint8_t* data, size_t size, std::map<long, std::wstring>& tags) {
  Tiff tiff(data, size);
  if (!tiff.Valid()) return;
  const uint32_t ifd0 = tiff.U32(4);
  uint32_t type = 0, count = 0;
  uint64_t at = 0;
  if (tiff.Find(ifd0, 270, type, count, at) && (type == 2 || type == 7))
    tags[270] = FromAnsi(tiff.At(at), count);
  if (!tiff.Find(ifd0, 34665, type, count, at) || (type != 4 && type != 13) || count != 1) return;
  const uint32_t exif = tiff.U32(at);
  if (!tiff.Find(exif, 37510, type, count, at) || count < 8) return;
  const uint8_t* p = tiff.At(at);
  const uint8_t* text = p + 8;
  const size_t n = count - 8;
  if (std::memcmp(p, "UNICODE\0", 8) == 0) {
    std::wstring wide;
    for (size_t i = 0; i + 1 < n; i += 2)
      wide.push_back(wchar_t(tiff.Little() ? text[i] | text[i + 1] << 8 : text[i] << 8 | text[i + 1]));
    while (!wide.empty() && wide.back() == 0) wide.pop_back();
    tags[37510] = wide;
  } else {
    tags[37510] = FromAnsi(text, n);  // ASCII, JIS and undefined codes: the bytes as they are
  }
}

}  // namespace

std::map<long, std::wstring> ExifTagReader::Read(const std::vector<uint8_t>& file) {
  std::map<long, std::wstring> tags;
  const uint8_t* d = file.data();
  const size_t n = file.size();
  if (n >= 4 && d[0] == 0xFF && d[1] == 0xD8) {
    // JPEG: walk the marker segments before the image data for APP1 "Exif\0\0".
    size_t pos = 2;
    while (pos + 4 <= n && d[pos] == 0xFF) {
      const uint8_t marker = d[pos + 1];
      if (marker == 0xD9 || marker == 0xDA) break;
      if (marker == 0xFF) {
        ++pos;
        continue;
      }
      const size_t length = size_t(d[pos + 2]) << 8 | d[pos + 3];
      if (length < 2 || pos + 2 + length > n) break;
      if (marker == 0xE1 && length >= 8 && std::memcmp(d + pos + 4, "Exif\0\0", 6) == 0) {
        ReadTiff(d + pos + 10, length - 8, tags);
        break;
      }
      pos += 2 + length;
    }
  } else {
    ReadTiff(d, n, tags);
  }
  return tags;
}

}  // namespace zvkImage
