#include "ScreenCreases.h"

#include <algorithm>

#include "ScreenLight.h"
#include "TableLookup.h"
#include "keyer/KeyerState.h"

namespace keyer {

ScreenCreases::ScreenCreases(const KeyerState& state)
    : state_(state), lead_(2 - ScreenLight::ScreenChannel(state.Model().screen)) {
  ScreenLight::FixedLevelsOfCodes(state.Model().screen, fixed_);
}

void ScreenCreases::Mark(const uint8_t* bgr, int first, int end, int8_t* level, uint8_t* alpha) const {
  const TableLookup& lookup = TableLookup::Shared();
  const uint64_t* table = state_.Table();
  const uint32_t bias = state_.TableBias();
  for (int x = first; x < end; ++x) {
    const uint8_t* p = bgr + 3 * x;
    const int l = ScreenLight::Level(fixed_[p[lead_]]);
    const uint8_t* remap = ScreenLight::Remap(l);
    const uint8_t a = lookup.Alpha(table, bias, remap[p[2]], remap[p[1]], remap[p[0]]);
    alpha[x] = a;
    level[x] = a <= KeyerTuning::kCreaseScreenAlpha ? static_cast<int8_t>(l) : kNotScreen;
  }
}

void ScreenCreases::Row(const int8_t* const* levels, const uint8_t* ownAlpha, int first, int end, int width,
                        uint8_t* alpha) const {
  const int k = Reach();
  const int8_t* centre = levels[k];
  const int8_t *top = levels[0], *bottom = levels[2 * k];
  constexpr int kDip = 2 * KeyerTuning::kCreaseDipLevels;
  for (int x = first; x < end; ++x) {
    const int own = centre[x];
    if (own == kNotScreen || ownAlpha[x] >= alpha[x]) continue;
    const int left = std::max(x - k, 0), right = std::min(x + k, width - 1);
    // The four directions' pairs: across, down, down to the right, down to the left.
    const int8_t pairs[4][2] = {{centre[left], centre[right]},
                                {top[x], bottom[x]},
                                {top[left], bottom[right]},
                                {top[right], bottom[left]}};
    bool beside = false, dip = false;
    for (const auto& pair : pairs) {
      if (pair[0] == kNotScreen || pair[1] == kNotScreen) continue;
      beside = true;
      dip = dip || 2 * own - pair[0] - pair[1] > kDip;
    }
    if (beside && !dip) alpha[x] = ownAlpha[x];
  }
}

}  // namespace keyer
