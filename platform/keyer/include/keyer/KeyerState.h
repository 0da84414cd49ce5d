// A state ready to apply: the model and its lookup table over RGB, built once. Immutable after
// construction, so one parsed state may be shared read-only by any number of threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "keyer/KeyerModel.h"

namespace keyer {

class KeyerState {
 public:
  static std::shared_ptr<const KeyerState> FromModel(const KeyerModel& model);
  // Reads a state file's bytes; throws StateFormatError on anything not in the keyer's format.
  static std::shared_ptr<const KeyerState> Parse(const uint8_t* data, size_t size);

  const KeyerModel& Model() const { return model_; }
  // False for a state without a screen colour: applying it keys nothing.
  bool Keys() const { return model_.keyed; }
  // Table nodes: four 16-bit lanes, B, G, R in 1/16 of a code and alpha in 1/16 of 255.
  const uint64_t* Table() const { return table_.data(); }
  // Index of Table()[0] among all nodes: 0, except for a state built for one colour only.
  uint32_t TableBias() const { return bias_; }

  // What applying the state gives a single pixel of this colour (COLORREF in and out).
  void KeyColour(uint32_t colorRef, uint32_t& colour, uint8_t& alpha) const;
  // The same for a model, computing only the table nodes around the colour: exactly what a
  // state of the model gives a 1 x 1 bitmap of that colour, without building the whole table.
  static void KeyColourOfModel(const KeyerModel& model, uint32_t colorRef, uint32_t& colour, uint8_t& alpha);

  explicit KeyerState(const KeyerModel& model);

 private:
  KeyerState(const KeyerModel& model, uint32_t onlyAround);
  void Fill(int firstRed, int endRed, int firstGreen, int endGreen, int firstBlue, int endBlue);

  KeyerModel model_;
  std::vector<uint64_t> table_;
  uint32_t bias_ = 0;
};

}  // namespace keyer
