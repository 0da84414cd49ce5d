#include "SampleTargets.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "keyer/ColourSpace.h"
#include "keyer/LutGeometry.h"

namespace keyer {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kBinRows = 90, kBinColumns = 180;  // 2 degrees

int DirectionBin(const Vec3& u) {
  double theta = std::acos(std::clamp(u.b, -1.0, 1.0));
  double phi = std::atan2(u.g, u.r) + kPi;
  int row = std::min(kBinRows - 1, static_cast<int>(theta / kPi * kBinRows));
  int col = std::min(kBinColumns - 1, static_cast<int>(phi / (2 * kPi) * kBinColumns));
  return row * kBinColumns + col;
}

class TargetMerger {
 public:
  explicit TargetMerger(SampleTargets::Keep keep) : keep_(keep) {}

  void Add(const Vec3& colour, const Vec3& screen) {
    Vec3 d = colour - screen;
    double t = d.Length();
    if (t < 1e-9) return;  // the screen colour itself has no direction
    Target target{d * (1.0 / t), t};
    int bin = DirectionBin(target.direction);
    auto [it, inserted] = bins_.try_emplace(bin, Slot{target, target});
    if (inserted) return;
    if (t < it->second.nearest.distance) it->second.nearest = target;
    if (t > it->second.farthest.distance) it->second.farthest = target;
  }

  std::vector<Target> Result() const {
    std::vector<std::pair<int, Slot>> ordered(bins_.begin(), bins_.end());
    std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Target> out;
    out.reserve(ordered.size() * 2);
    for (const auto& [bin, slot] : ordered) {
      if (keep_ != SampleTargets::Keep::Farthest) out.push_back(slot.nearest);
      if (keep_ != SampleTargets::Keep::Nearest) out.push_back(slot.farthest);
    }
    return out;
  }

 private:
  struct Slot {
    Target nearest, farthest;
  };
  SampleTargets::Keep keep_;
  std::unordered_map<int, Slot> bins_;
};

}  // namespace

std::vector<Target> SampleTargets::CellCorners(const std::vector<uint32_t>& colours, const Vec3& screen,
                                               Keep keep) {
  std::vector<uint8_t> seen(LutGeometry::kNodes, 0);
  TargetMerger merger(keep);
  for (uint32_t colour : colours) {
    int cell[3] = {static_cast<int>(colour & 0xFF) / LutGeometry::kStep,
                   static_cast<int>((colour >> 8) & 0xFF) / LutGeometry::kStep,
                   static_cast<int>((colour >> 16) & 0xFF) / LutGeometry::kStep};
    for (int corner = 0; corner < 8; ++corner) {
      int r = cell[0] + (corner & 1), g = cell[1] + ((corner >> 1) & 1), b = cell[2] + ((corner >> 2) & 1);
      uint32_t index = LutGeometry::Index(r, g, b);
      if (seen[index]) continue;
      seen[index] = 1;
      Vec3 c{ColourSpace::ToLinear(LutGeometry::Encoded(r)), ColourSpace::ToLinear(LutGeometry::Encoded(g)),
             ColourSpace::ToLinear(LutGeometry::Encoded(b))};
      merger.Add(c, screen);
    }
  }
  return merger.Result();
}

std::vector<Target> SampleTargets::Colours(const std::vector<uint32_t>& colours, const Vec3& screen) {
  TargetMerger merger(Keep::Nearest);
  for (uint32_t colour : colours) merger.Add(ColourSpace::LinearOfColorRef(colour), screen);
  return merger.Result();
}

}  // namespace keyer
