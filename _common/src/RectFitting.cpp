#include "RectFitting.h"

PlacementRect PlaceScaledRect(const PlacementRect& target, float scale, int w, int h) {
  PlacementRect r;
  r.width = static_cast<int>(w * scale + 0.5f);
  r.height = static_cast<int>(h * scale + 0.5f);
  int dx = target.width - r.width;
  int dy = target.height - r.height;
  r.x = target.x + dx - dx / 2;
  r.y = target.y + dy - dy / 2;
  return r;
}

PlacementRect FitRect(const PlacementRect& target, int w, int h) {
  if (w == 0 || h == 0) return target;
  float sx = static_cast<float>(target.width) / w;
  float sy = static_cast<float>(target.height) / h;
  return PlaceScaledRect(target, sx < sy ? sx : sy, w, h);
}

PlacementRect CoverRect(const PlacementRect& target, int w, int h) {
  if (w == 0 || h == 0) return target;
  float sx = static_cast<float>(target.width) / w;
  float sy = static_cast<float>(target.height) / h;
  return PlaceScaledRect(target, sx > sy ? sx : sy, w, h);
}
