#include "keyer/KeyerState.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "ColourEvaluator.h"
#include "ScreenLight.h"
#include "ScreenMap.h"
#include "keyer/ColourSpace.h"
#include "keyer/KeyingPass.h"
#include "keyer/LutGeometry.h"
#include "keyer/StateFormat.h"
#include "workers/WorkerPool.h"

namespace keyer {

namespace {

uint64_t Lane(double value, int lane) { return static_cast<uint64_t>(value) << (16 * lane); }

// Linear light to encoded sixteenths of a code, up to code 256 so that the table's last node
// (code 256) interpolates code 255 exactly. A fine table: the power function at every node would
// make building a state slow.
class Encoder {
 public:
  Encoder() {
    for (int i = 0; i <= kSize; ++i) table_[i] = ColourSpace::ToEncoded(static_cast<double>(i) / kSize);
  }
  double Sixteenths(double linear) const {
    double e;
    if (linear <= 0) {
      e = 0;
    } else if (linear >= 1) {
      e = ColourSpace::ToEncoded(linear);
    } else {
      double x = linear * kSize;
      int i = static_cast<int>(x);
      e = table_[i] + (table_[i + 1] - table_[i]) * (x - i);
    }
    return std::round(std::clamp(e * 255.0 * 16.0, 0.0, 4096.0));
  }

 private:
  static constexpr int kSize = 1 << 16;
  double table_[kSize + 1];
};

const Encoder& Encode() {
  static const Encoder* encoder = new Encoder();
  return *encoder;
}

const double* NodeLinear() {
  static const std::vector<double> linear = [] {
    std::vector<double> l(LutGeometry::kAxisNodes);
    for (int i = 0; i < LutGeometry::kAxisNodes; ++i) l[i] = ColourSpace::ToLinear(LutGeometry::Encoded(i));
    return l;
  }();
  return linear.data();
}

}  // namespace

void KeyerState::Fill(int r0, int r1, int g0, int g1, int b0, int b1) {
  ColourEvaluator evaluator(model_);
  const Encoder& encode = Encode();
  const double* linear = NodeLinear();
  for (int r = r0; r < r1; ++r) {
    for (int g = g0; g < g1; ++g) {
      for (int b = b0; b < b1; ++b) {
        Vec3 colour;
        double alpha;
        evaluator.Evaluate(Vec3{linear[r], linear[g], linear[b]}, colour, alpha);
        table_[LutGeometry::Index(r, g, b) - bias_] =
            Lane(encode.Sixteenths(colour.b), 0) | Lane(encode.Sixteenths(colour.g), 1) |
            Lane(encode.Sixteenths(colour.r), 2) | Lane(std::round(std::clamp(alpha, 0.0, 1.0) * 4080.0), 3);
      }
    }
  }
}

KeyerState::KeyerState(const KeyerModel& model) : model_(model) {
  if (!model_.keyed) return;
  table_.resize(LutGeometry::kNodes);
  Encode();
  NodeLinear();
  // One part per red plane of the table: the pool's threads take them as they come free.
  const int n = LutGeometry::kAxisNodes;
  workers::WorkerPool::Shared().Run(n, [this, n](int r) { Fill(r, r + 1, 0, n, 0, n); });
}

KeyerState::KeyerState(const KeyerModel& model, uint32_t colorRef) : model_(model) {
  if (!model_.keyed) return;
  // A pixel alone is keyed as it is or, when it keys as screen at the screen's brightness, at the screen
  // colour's levels of its own channels: the cells of the three colours, and the span of the table from
  // the first corner to the last far one.
  const uint32_t colours[3] = {colorRef, ScreenLight::AtScreenBrightness(colorRef, model_.screen),
                               ScreenMap::LoneScreenColour(colorRef, model_.screen)};
  int cell[3][3];
  uint32_t first = LutGeometry::kNodes, last = 0;
  for (int i = 0; i < 3; ++i) {
    for (int c = 0; c < 3; ++c)
      cell[i][c] = static_cast<int>((colours[i] >> (8 * c)) & 0xFF) / LutGeometry::kStep;
    first = std::min(first, LutGeometry::Index(cell[i][0], cell[i][1], cell[i][2]));
    last = std::max(last, LutGeometry::Index(cell[i][0] + 1, cell[i][1] + 1, cell[i][2] + 1));
  }
  bias_ = first;
  table_.resize(last - bias_ + 1);
  for (int i = 0; i < 3; ++i)
    Fill(cell[i][0], cell[i][0] + 2, cell[i][1], cell[i][1] + 2, cell[i][2], cell[i][2] + 2);
}

std::shared_ptr<const KeyerState> KeyerState::FromModel(const KeyerModel& model) {
  return std::make_shared<const KeyerState>(model);
}

std::shared_ptr<const KeyerState> KeyerState::Parse(const uint8_t* data, size_t size) {
  return FromModel(StateFormat::Read(data, size));
}

void KeyerState::KeyColour(uint32_t colorRef, uint32_t& colour, uint8_t& alpha) const {
  uint8_t bgr[3] = {static_cast<uint8_t>(colorRef >> 16), static_cast<uint8_t>(colorRef >> 8),
                    static_cast<uint8_t>(colorRef)};
  uint8_t out[3];
  KeyingPlanes planes{bgr, 3, out, 3, &alpha, 1, 1, 1};
  KeyingPass(this, nullptr, AreaPlacement{}, planes).Run();
  colour = out[2] | (out[1] << 8) | (static_cast<uint32_t>(out[0]) << 16);
}

void KeyerState::KeyColourOfModel(const KeyerModel& model, uint32_t colorRef, uint32_t& colour,
                                  uint8_t& alpha) {
  KeyerState(model, colorRef).KeyColour(colorRef, colour, alpha);
}

}  // namespace keyer
