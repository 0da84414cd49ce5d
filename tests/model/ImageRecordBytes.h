// Expected image-record bytes built from the stored layouts, and helpers to write and read the model's
// records through memory archives.
#pragma once

#include "GoldenBytes.h"

#include "ColorCorrectValues.h"
#include "ImageRecord.h"

#include <string>
#include <vector>

namespace imagetest {

using modeltest::GoldenBytes;

// An empty value map and an empty detail block.
inline GoldenBytes EmptyValues() { return GoldenBytes().u16(0x0100).u32(0); }
inline GoldenBytes EmptyDetails() { return GoldenBytes().u16(0x0100).u16(0x0100).u32(0).u16(0x0100).u32(0); }

// The gains and factors as the stored block holds them.
inline float Gain(double v) { return static_cast<float>(v >= 0 ? 1.0 + 0.05 * v : 1.0 + 0.0125 * v); }
inline float Factor(double v) { return static_cast<float>(0.02 * v); }

inline GoldenBytes ColourBlock(int r, int g, int b, int intensity, int contrast, int saturation) {
  GoldenBytes out;
  out.u16(saturation != 0 ? 0x0200 : 0x0100)
      .f32(Gain(r))
      .f32(Gain(g))
      .f32(Gain(b))
      .f32(Gain(intensity))
      .f32(Factor(contrast));
  if (saturation != 0) out.f32(Factor(saturation));
  return out;
}

// Everything of a record up to and including its details block.
struct RecordHead {
  uint16_t version = 0x0100;
  std::string id = "IMG";
  int32_t number = 1;
  std::string fileName;
  double posA = 0, posB = 0, scale = 1.0;
  GoldenBytes colour = ColourBlock(0, 0, 0, 0, 0, 0);
  uint32_t flags = 0;
  GoldenBytes values = EmptyValues();
  GoldenBytes details = EmptyDetails();

  GoldenBytes Bytes() const {
    GoldenBytes out;
    out.u16(version).id(id).u32(0).i32(number).text(fileName).u16(0x0100).f64(posA).f64(posB).f64(scale);
    out.append(colour).u32(flags).u32(0).append(values).append(details);
    return out;
  }
};

inline std::vector<uint8_t> Written(const ImageRecord& record) {
  zvk::ArchiveMemory archive;
  ImageRecord::Write(archive, record);
  return modeltest::ArchiveBytes(archive);
}

// Reads a record built with the defaults; reports whether every byte was consumed.
inline ImageRecord ReadRecord(const std::vector<uint8_t>& bytes, bool* consumedAll = nullptr) {
  ImageRecord record;
  zvk::ArchiveMemory archive = modeltest::ReaderOver(bytes);
  ImageRecord::Read(archive, record);
  if (consumedAll) *consumedAll = archive.GetPosition() == bytes.size();
  return record;
}

// Writes with a static writer Write(archive, object) into fresh memory.
template <class T>
std::vector<uint8_t> WrittenStatic(const T& object) {
  zvk::ArchiveMemory archive;
  T::Write(archive, object);
  return modeltest::ArchiveBytes(archive);
}

template <class T>
void ReadStatic(T& object, const std::vector<uint8_t>& bytes, bool* consumedAll = nullptr) {
  zvk::ArchiveMemory archive = modeltest::ReaderOver(bytes);
  T::Read(archive, object);
  if (consumedAll) *consumedAll = archive.GetPosition() == bytes.size();
}

// The message a BadSchema of the place carries.
inline std::string BadSchemaAt(const char* file, int line) {
  return "Archive Exception [BadSchema]\n" + std::string(file) + "(" + std::to_string(line) + ")";
}

}  // namespace imagetest
