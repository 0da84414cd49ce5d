// Expected record bytes, spelled out value by value from the stored layouts.
#pragma once

#include "Archive.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace modeltest {

class GoldenBytes {
 public:
  GoldenBytes& u8(uint8_t v) { return raw(&v, 1); }
  GoldenBytes& u16(uint16_t v) { return raw(&v, 2); }
  GoldenBytes& u32(uint32_t v) { return raw(&v, 4); }
  GoldenBytes& i32(int32_t v) { return raw(&v, 4); }
  GoldenBytes& f32(float v) { return raw(&v, 4); }
  GoldenBytes& f64(double v) { return raw(&v, 8); }
  GoldenBytes& u64(uint64_t v) { return raw(&v, 8); }
  // A text with its one-byte length prefix (every text here is shorter than 255 bytes).
  GoldenBytes& text(const std::string& s) {
    u8(static_cast<uint8_t>(s.size()));
    return raw(s.data(), s.size());
  }
  // An identifier block.
  GoldenBytes& id(const std::string& s) { return u16(0x0100).text(s); }
  GoldenBytes& raw(const void* p, size_t n) {
    auto* b = static_cast<const uint8_t*>(p);
    bytes.insert(bytes.end(), b, b + n);
    return *this;
  }
  GoldenBytes& append(const GoldenBytes& other) { return raw(other.bytes.data(), other.bytes.size()); }

  std::vector<uint8_t> bytes;
};

inline std::vector<uint8_t> ArchiveBytes(const zvk::ArchiveMemory& archive) {
  return std::vector<uint8_t>(archive.GetData(), archive.GetData() + archive.GetSize());
}

// A reader over the bytes (never over a null buffer, which the memory archive treats as unset).
inline zvk::ArchiveMemory ReaderOver(const std::vector<uint8_t>& bytes) {
  static const uint8_t nothing = 0;
  const void* data =
      bytes.empty() ? static_cast<const void*>(&nothing) : static_cast<const void*>(bytes.data());
  return zvk::ArchiveMemory(data, static_cast<unsigned>(bytes.size()));
}

// Writes a record into a fresh memory archive and returns the bytes.
template <class Record>
std::vector<uint8_t> WrittenBytes(const Record& record) {
  zvk::ArchiveMemory archive;
  record.Write(archive);
  return ArchiveBytes(archive);
}

// Reads a record from the bytes; the whole of them must be consumed.
template <class Record>
void ReadFromBytes(Record& record, const std::vector<uint8_t>& bytes, bool* consumedAll = nullptr) {
  zvk::ArchiveMemory archive = ReaderOver(bytes);
  record.Read(archive);
  if (consumedAll) *consumedAll = archive.GetPosition() == bytes.size();
}

// The kind of archive exception a call throws, or -1 when it throws none.
template <class F>
int ArchiveErrorKind(F&& call, std::string* message = nullptr) {
  try {
    call();
  } catch (const zvk::ArchiveException& e) {
    if (message) *message = e.what();
    return e.GetKind();
  }
  return -1;
}

}  // namespace modeltest
