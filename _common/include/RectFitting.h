// Placing an image of a given shape inside or over a rectangle.
#pragma once

// {x, y, width, height}
struct PlacementRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PlacementRect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

// The largest w:h box inside target, centred; target itself when w or h is 0.
PlacementRect FitRect(const PlacementRect& target, int w, int h);
// The smallest w:h box that covers target, centred.
PlacementRect CoverRect(const PlacementRect& target, int w, int h);
// A w:h box scaled by `scale`, centred on target.
PlacementRect PlaceScaledRect(const PlacementRect& target, float scale, int w, int h);
