// One crop aspect ratio: a named width:height frame drawn over the images.
#pragma once

#include "ObjectID.h"

#include "classlib/ClassLib.h"

class AspectRatio {
 public:
  AspectRatio() = default;
  AspectRatio(const char* name, int width, int height, COLORREF colour, int tag = 0)
      : tag(tag), name(name), width(width), height(height), colour(colour) {}

  int tag = 0;  // not stored
  CObjectID id;
  CString name;
  int width = 1;
  int height = 1;
  COLORREF colour = 0;
  bool enabled = true;
};
