#include "IccProfileWriter.h"

#include <cmath>
#include <cstring>
#include <string>

namespace zvk {

namespace {

class Bytes {
 public:
  void U8(uint8_t v) { b_.push_back(v); }
  void U16(uint16_t v) { U8(uint8_t(v >> 8)), U8(uint8_t(v)); }
  void U32(uint32_t v) { U16(uint16_t(v >> 16)), U16(uint16_t(v)); }
  void Sig(const char* s) { b_.insert(b_.end(), s, s + 4); }
  void S15Fixed16(double v) { U32(static_cast<uint32_t>(static_cast<int32_t>(std::lround(v * 65536.0)))); }
  void Zeros(size_t n) { b_.insert(b_.end(), n, 0); }
  void Align4() { Zeros((4 - b_.size() % 4) % 4); }
  void Put32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b_[at + i] = uint8_t(v >> (24 - 8 * i));
  }
  size_t Size() const { return b_.size(); }
  std::vector<uint8_t>& Vector() { return b_; }

 private:
  std::vector<uint8_t> b_;
};

void XYZType(Bytes& t, double x, double y, double z) {
  t.Sig("XYZ "), t.U32(0), t.S15Fixed16(x), t.S15Fixed16(y), t.S15Fixed16(z);
}

void DescType(Bytes& t, const std::string& text) {
  t.Sig("desc"), t.U32(0);
  t.U32(static_cast<uint32_t>(text.size() + 1));
  for (char c : text) t.U8(uint8_t(c));
  t.U8(0);
  t.U32(0), t.U32(0);  // no Unicode description
  t.U16(0), t.U8(0);   // no script description
  t.Zeros(67);
}

}  // namespace

std::vector<uint8_t> WriteRgbDisplayProfile(const NamedRgbSpace& space) {
  const Matrix3 m = AdaptedRgbToXYZ(space);
  struct Tag {
    const char* sig;
    Bytes data;
  };
  std::vector<Tag> tags;
  auto add = [&](const char* sig) -> Bytes& { return tags.push_back({sig, {}}), tags.back().data; };
  DescType(add("desc"), space.name);
  XYZType(add("wtpt"), kD50[0], kD50[1], kD50[2]);
  const char* colorants[] = {"rXYZ", "gXYZ", "bXYZ"};
  for (int c = 0; c < 3; ++c) XYZType(add(colorants[c]), m[0][c], m[1][c], m[2][c]);
  Bytes& curve = add("rTRC");
  curve.Sig("curv"), curve.U32(0), curve.U32(1),
      curve.U16(static_cast<uint16_t>(std::lround(space.gamma * 256.0)));
  Bytes& notice = add("cprt");
  notice.Sig("text"), notice.U32(0);
  for (char c : std::string("No copyright, use freely")) notice.U8(uint8_t(c));
  notice.U8(0);

  // The green and blue curves share the red curve's bytes.
  const uint32_t tableCount = static_cast<uint32_t>(tags.size()) + 2;
  Bytes out;
  out.Zeros(128);
  out.U32(tableCount);
  const size_t tableAt = out.Size();
  out.Zeros(tableCount * 12);
  size_t entry = 0;
  auto writeEntry = [&](const char* sig, uint32_t offset, uint32_t size) {
    const size_t at = tableAt + entry++ * 12;
    std::memcpy(out.Vector().data() + at, sig, 4);
    out.Put32(at + 4, offset), out.Put32(at + 8, size);
  };
  for (Tag& tag : tags) {
    out.Align4();
    const uint32_t offset = static_cast<uint32_t>(out.Size()), size = static_cast<uint32_t>(tag.data.Size());
    out.Vector().insert(out.Vector().end(), tag.data.Vector().begin(), tag.data.Vector().end());
    writeEntry(tag.sig, offset, size);
    if (std::strcmp(tag.sig, "rTRC") == 0) {
      writeEntry("gTRC", offset, size);
      writeEntry("bTRC", offset, size);
    }
  }
  out.Align4();

  std::vector<uint8_t>& b = out.Vector();
  out.Put32(0, static_cast<uint32_t>(b.size()));
  out.Put32(8, 0x02100000);
  std::memcpy(&b[12], "mntr", 4);
  std::memcpy(&b[16], "RGB ", 4);
  std::memcpy(&b[20], "XYZ ", 4);
  const uint16_t date[6] = {2024, 1, 1, 0, 0, 0};
  for (int i = 0; i < 6; ++i) b[24 + 2 * i] = uint8_t(date[i] >> 8), b[25 + 2 * i] = uint8_t(date[i]);
  std::memcpy(&b[36], "acsp", 4);
  std::memcpy(&b[40], "MSFT", 4);
  // Rendering intent 0 (perceptual) at 64; the D50 illuminant at 68.
  const double d50[3] = {kD50[0], kD50[1], kD50[2]};
  for (int i = 0; i < 3; ++i)
    out.Put32(68 + 4 * i, static_cast<uint32_t>(static_cast<int32_t>(std::lround(d50[i] * 65536.0))));
  return b;
}

}  // namespace zvk
