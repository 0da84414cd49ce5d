// Turning a point about a centre by a fraction of a full turn, counter-clockwise on the screen (y runs
// down): a quarter turn takes a point right of the centre to above it. The picture turns of the image
// library, the cell painting and the output rendering all place things by this one rule.
#pragma once

struct TurnedPoint {
  double x = 0;
  double y = 0;
};

// Quarter and half turns are exact; any other turn is rounded half away from zero to five decimals, so that
// the same turn of the same point always lands on the same coordinates.
TurnedPoint RotatePointByTurns(double x, double y, double cx, double cy, double turns);
