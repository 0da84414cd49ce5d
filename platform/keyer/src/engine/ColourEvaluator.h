// What a state makes of one colour: its alpha and its colour with the screen unmixed and the spill
// removed and replaced. The lookup table holds this function at its nodes.
#pragma once

#include "keyer/KeyerModel.h"

namespace keyer {

class ColourEvaluator {
 public:
  explicit ColourEvaluator(const KeyerModel& model);

  // c in linear light; the colour out in linear light, alpha 0..1.
  void Evaluate(const Vec3& c, Vec3& colour, double& alpha) const;

 private:
  double Ramp(double x) const;

  const KeyerModel& model_;
  int screenChannel_;
  Vec3 replacement_;  // added per unit of spill removed
};

}  // namespace keyer
