#include "ExifTagReader.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace zvkImage {
namespace {

// Where the TIFF structure's bytes come from: reads of a range, each checked against the size.
class Source {
 public:
  virtual ~Source() = default;
  virtual uint64_t Size() const = 0;
  // Exactly n bytes at `at`, or false.
  virtual bool ReadAt(uint64_t at, uint8_t* out, size_t n) const = 0;
};

class MemorySource : public Source {
 public:
  MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t at, uint8_t* out, size_t n) const override {
    if (at > size_ || n > size_ - at) return false;
    if (n) std::memcpy(out, data_ + at, n);
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

class FileSource : public Source {
 public:
  FileSource(HANDLE file, uint64_t size) : file_(file), size_(size) {}
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t at, uint8_t* out, size_t n) const override {
    if (at > size_ || n > size_ - at || n > 0xFFFFFFFFu) return false;
    OVERLAPPED where{};
    where.Offset = DWORD(at);
    where.OffsetHigh = DWORD(at >> 32);
    DWORD got = 0;
    return n == 0 || (::ReadFile(file_, out, DWORD(n), &got, &where) && got == n);
  }

 private:
  HANDLE file_;
  uint64_t size_;
};

class Tiff {
 public:
  // base: where the TIFF header starts within the source.
  explicit Tiff(const Source& source, uint64_t base = 0) : source_(source), base_(base) {
    uint8_t head[4];
    if (!source_.ReadAt(base_, head, 4)) return;
    if (head[0] == 'I' && head[1] == 'I')
      little_ = true;
    else if (head[0] == 'M' && head[1] == 'M')
      little_ = false;
    else
      return;
    valid_ = Get16(head + 2) == 42;
  }
  bool Valid() const { return valid_; }
  bool Little() const { return little_; }
  uint32_t Get16(const uint8_t* p) const { return little_ ? p[0] | p[1] << 8 : p[0] << 8 | p[1]; }
  uint32_t Get32(const uint8_t* p) const {
    return little_ ? Get16(p) | Get16(p + 2) << 16 : Get16(p) << 16 | Get16(p + 2);
  }
  // Bytes per value of a TIFF field type (texts and undefined bytes count one).
  static uint64_t TypeSize(uint32_t type) {
    switch (type) {
      case 3:
      case 8:
        return 2;
      case 4:
      case 9:
      case 11:
      case 13:
        return 4;
      case 5:
      case 10:
      case 12:
        return 8;
      default:
        return 1;
    }
  }
  // A u32 at an offset of the TIFF structure; false when it is not there.
  bool U32(uint64_t at, uint32_t& value) const {
    uint8_t b[4];
    if (!source_.ReadAt(base_ + at, b, 4)) return false;
    value = Get32(b);
    return true;
  }
  // The value bytes of a tag in the directory at dirOffset: false when absent, out of range or too long.
  bool Find(uint32_t dirOffset, uint32_t tag, uint32_t& type, std::vector<uint8_t>& value) const {
    uint8_t countBytes[2];
    if (!source_.ReadAt(base_ + dirOffset, countBytes, 2)) return false;
    const uint32_t entries = Get16(countBytes);
    if (entries > 4096) return false;
    std::vector<uint8_t> dir(size_t(entries) * 12);
    if (!source_.ReadAt(base_ + dirOffset + 2, dir.data(), dir.size())) return false;
    for (uint32_t i = 0; i < entries; ++i) {
      const uint8_t* e = dir.data() + size_t(i) * 12;
      if (Get16(e) != tag) continue;
      type = Get16(e + 2);
      const uint32_t count = Get32(e + 4);
      const uint64_t unit = TypeSize(type);
      const uint64_t length = unit * count;
      if (length > ExifTagReader::kMaxValueBytes) return false;
      value.resize(size_t(length));
      if (length <= 4) {
        std::memcpy(value.data(), e + 8, size_t(length));
        return true;
      }
      return source_.ReadAt(base_ + Get32(e + 8), value.data(), value.size());
    }
    return false;
  }

 private:
  const Source& source_;
  uint64_t base_;
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

void ReadTiff(const Source& source, uint64_t base, std::map<long, std::wstring>& tags) {
  Tiff tiff(source, base);
  if (!tiff.Valid()) return;
  uint32_t ifd0 = 0;
  if (!tiff.U32(4, ifd0)) return;
  uint32_t type = 0;
  std::vector<uint8_t> value;
  if (tiff.Find(ifd0, 270, type, value) && (type == 2 || type == 7))
    tags[270] = FromAnsi(value.data(), value.size());
  if (!tiff.Find(ifd0, 34665, type, value) || (type != 4 && type != 13) || value.size() != 4) return;
  const uint32_t exif = tiff.Get32(value.data());
  if (!tiff.Find(exif, 37510, type, value) || value.size() < 8) return;
  const uint8_t* p = value.data();
  const uint8_t* text = p + 8;
  const size_t n = value.size() - 8;
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

void ReadJpeg(const uint8_t* d, size_t n, std::map<long, std::wstring>& tags) {
  // Walk the marker segments before the image data for APP1 "Exif\0\0".
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
      ReadTiff(MemorySource(d + pos + 10, length - 8), 0, tags);
      break;
    }
    pos += 2 + length;
  }
}

// A resolution tag (RATIONAL) of the first directory, in its own units; 0 when absent or unusable.
double Rational(const Tiff& tiff, uint32_t dir, uint32_t tag) {
  uint32_t type = 0;
  std::vector<uint8_t> value;
  if (!tiff.Find(dir, tag, type, value) || type != 5 || value.size() != 8) return 0;
  const uint32_t den = tiff.Get32(value.data() + 4);
  return den ? double(tiff.Get32(value.data())) / den : 0.0;
}

bool IsJpeg(const uint8_t* d, size_t n) { return n >= 4 && d[0] == 0xFF && d[1] == 0xD8; }

}  // namespace

std::map<long, std::wstring> ExifTagReader::Read(const std::vector<uint8_t>& file) {
  std::map<long, std::wstring> tags;
  if (IsJpeg(file.data(), file.size()))
    ReadJpeg(file.data(), file.size(), tags);
  else
    ReadTiff(MemorySource(file.data(), file.size()), 0, tags);
  return tags;
}

bool ExifTagReader::ReadResolution(const uint8_t* exif, size_t size, double& dpiX, double& dpiY) {
  if (size < 14 || std::memcmp(exif, "Exif\0\0", 6) != 0) return false;
  const MemorySource source(exif + 6, size - 6);
  const Tiff tiff(source);
  uint32_t ifd0 = 0;
  if (!tiff.Valid() || !tiff.U32(4, ifd0)) return false;
  uint32_t unit = 2;  // inches unless the file says otherwise
  uint32_t type = 0;
  std::vector<uint8_t> value;
  if (tiff.Find(ifd0, 296, type, value) && type == 3 && value.size() == 2) unit = tiff.Get16(value.data());
  if (unit != 2 && unit != 3) return false;
  const double scale = unit == 3 ? 2.54 : 1.0;
  const double x = Rational(tiff, ifd0, 282) * scale, y = Rational(tiff, ifd0, 283) * scale;
  if (!(x > 0) || !(y > 0) || x > 1e6 || y > 1e6) return false;
  dpiX = x;
  dpiY = y;
  return true;
}

std::map<long, std::wstring> ExifTagReader::ReadFile(const std::wstring& path) {
  std::map<long, std::wstring> tags;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return tags;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size)) {
    const FileSource source(file, uint64_t(size.QuadPart));
    uint8_t magic[4] = {};
    if (source.ReadAt(0, magic, 4) && IsJpeg(magic, 4)) {
      std::vector<uint8_t> head(size_t(std::min<uint64_t>(source.Size(), kMaxJpegHead)));
      if (source.ReadAt(0, head.data(), head.size())) ReadJpeg(head.data(), head.size(), tags);
    } else {
      ReadTiff(source, 0, tags);
    }
  }
  CloseHandle(file);
  return tags;
}

}  // namespace zvkImage
