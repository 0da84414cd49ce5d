#include "SeededRandom.h"

#include <cmath>

namespace keybench {

namespace {

std::uint64_t SplitMix(std::uint64_t& x) {
  std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::uint64_t RotateLeft(std::uint64_t v, int k) { return (v << k) | (v >> (64 - k)); }

}  // namespace

SeededRandom::SeededRandom(std::uint64_t seed) {
  for (auto& s : state_) s = SplitMix(seed);
}

std::uint64_t SeededRandom::Next() {
  const std::uint64_t result = RotateLeft(state_[1] * 5, 7) * 9;
  const std::uint64_t t = state_[1] << 17;
  state_[2] ^= state_[0];
  state_[3] ^= state_[1];
  state_[1] ^= state_[2];
  state_[0] ^= state_[3];
  state_[2] ^= t;
  state_[3] = RotateLeft(state_[3], 45);
  return result;
}

double SeededRandom::Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

double SeededRandom::Normal() {
  if (hasSpare_) {
    hasSpare_ = false;
    return spare_;
  }
  double u = Uniform();
  while (u <= 0.0) u = Uniform();
  const double v = Uniform();
  const double radius = std::sqrt(-2.0 * std::log(u));
  const double angle = 6.283185307179586 * v;
  spare_ = radius * std::sin(angle);
  hasSpare_ = true;
  return radius * std::cos(angle);
}

}  // namespace keybench
