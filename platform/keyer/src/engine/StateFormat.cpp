#include "keyer/StateFormat.h"

#include <cmath>
#include <cstring>

#include "Crc32.h"

namespace keyer {

namespace {

constexpr uint8_t kMagic[4] = {'P', 'K', 'Y', 'S'};
constexpr uint16_t kFlagKeyed = 1;

class ByteWriter {
 public:
  void U8(uint8_t v) { bytes.push_back(v); }
  void U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
  }
  void F32(float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    U32(v);
  }
  std::vector<uint8_t> bytes;
};

// Reads from a span whose size the caller has already checked; never reads past it.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t U8() {
    Need(1);
    return data_[pos_++];
  }
  uint16_t U16() {
    uint16_t lo = U8();
    return static_cast<uint16_t>(lo | (U8() << 8));
  }
  uint32_t U32() {
    uint32_t lo = U16();
    return lo | (static_cast<uint32_t>(U16()) << 16);
  }
  float F32() {
    uint32_t v = U32();
    float f;
    std::memcpy(&f, &v, 4);
    return f;
  }

 private:
  void Need(size_t n) {
    if (n > size_ - pos_) throw StateFormatError("keyer state ends early");
  }
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

void Check(bool ok, const char* what) {
  if (!ok) throw StateFormatError(what);
}

}  // namespace

std::vector<uint8_t> StateFormat::Write(const KeyerModel& model) {
  ByteWriter payload;
  payload.U8(static_cast<uint8_t>(model.algorithm));
  payload.U8(static_cast<uint8_t>(model.spillMode));
  payload.U8(SurfaceGrid::kRows);
  payload.U8(SurfaceGrid::kColumns);
  payload.U32(model.spillColour & 0xFFFFFF);
  const Vec3 screen = model.keyed ? model.screen : Vec3{};
  payload.F32(static_cast<float>(screen.r));
  payload.F32(static_cast<float>(screen.g));
  payload.F32(static_cast<float>(screen.b));
  for (const SurfaceGrid* grid : {&model.inner, &model.middle, &model.outer})
    for (int n = 0; n < SurfaceGrid::kNodes; ++n) payload.U16(model.keyed ? grid->StoredNode(n) : 0);

  ByteWriter file;
  for (uint8_t m : kMagic) file.U8(m);
  file.U16(kVersion);
  file.U16(model.keyed ? kFlagKeyed : 0);
  file.U32(static_cast<uint32_t>(payload.bytes.size()));
  file.U32(Crc32::Of(payload.bytes.data(), payload.bytes.size()));
  file.bytes.insert(file.bytes.end(), payload.bytes.begin(), payload.bytes.end());
  return file.bytes;
}

KeyerModel StateFormat::Read(const uint8_t* data, size_t size) {
  Check(data != nullptr && size >= kHeaderSize, "not a keyer state: too short");
  Check(size <= kMaxFileSize, "not a keyer state: too large");
  Check(std::memcmp(data, kMagic, 4) == 0, "not a keyer state: wrong magic");
  ByteReader header(data + 4, kHeaderSize - 4);
  uint16_t version = header.U16();
  uint16_t flags = header.U16();
  uint32_t length = header.U32();
  uint32_t crc = header.U32();
  Check(version == kVersion, "keyer state of an unknown version");
  Check((flags & ~kFlagKeyed) == 0, "keyer state with unknown flags");
  Check(length == kPayloadSize && size - kHeaderSize == length, "keyer state of the wrong size");
  const uint8_t* payload = data + kHeaderSize;
  Check(Crc32::Of(payload, length) == crc, "keyer state damaged: checksum differs");

  ByteReader in(payload, length);
  KeyerModel m;
  m.keyed = (flags & kFlagKeyed) != 0;
  m.algorithm = in.U8();
  uint8_t spill = in.U8();
  uint8_t rows = in.U8(), columns = in.U8();
  m.spillColour = in.U32();
  Check(m.algorithm <= 2, "keyer state with an unknown algorithm");
  Check(spill <= 2, "keyer state with an unknown spill mode");
  m.spillMode = static_cast<SpillMode>(spill);
  Check(rows == SurfaceGrid::kRows && columns == SurfaceGrid::kColumns, "keyer state with another grid");
  Check(m.spillColour <= 0xFFFFFF, "keyer state with a bad spill colour");
  float screen[3];
  for (float& s : screen) {
    s = in.F32();
    Check(std::isfinite(s) && s >= 0.0f && s <= 1.0f, "keyer state with a bad screen colour");
  }
  m.screen = {screen[0], screen[1], screen[2]};
  for (SurfaceGrid* grid : {&m.inner, &m.middle, &m.outer})
    for (int n = 0; n < SurfaceGrid::kNodes; ++n) grid->SetStoredNode(n, in.U16());
  for (int n = 0; n < SurfaceGrid::kNodes; ++n)
    Check(m.inner.StoredNode(n) <= m.middle.StoredNode(n) && m.middle.StoredNode(n) <= m.outer.StoredNode(n),
          "keyer state with surfaces out of order");
  if (!m.keyed)
    Check(screen[0] == 0 && screen[1] == 0 && screen[2] == 0, "keyer state unkeyed with a screen");
  return m;
}

}  // namespace keyer
