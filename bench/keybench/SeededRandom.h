// A small deterministic generator (xoshiro256** seeded through splitmix64), so that a seed gives the same
// scene on every compiler and library: the standard distributions are not specified bit for bit.
#pragma once

#include <cstdint>

namespace keybench {

class SeededRandom {
 public:
  explicit SeededRandom(std::uint64_t seed);

  std::uint64_t Next();
  // Uniform in [0, 1).
  double Uniform();
  double Uniform(double low, double high) { return low + (high - low) * Uniform(); }
  // Standard normal (Box-Muller; the second value of each pair is kept for the next call).
  double Normal();

 private:
  std::uint64_t state_[4];
  bool hasSpare_ = false;
  double spare_ = 0.0;
};

}  // namespace keybench
