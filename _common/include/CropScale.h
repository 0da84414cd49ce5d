// The crop and scale of one image: where the crop sits and how much it enlarges.
#pragma once

#include <cstdint>

// Where a stored crop block reports an unknown schema.
constexpr const char* CropScaleSourceFile = "CropScale.h";
constexpr int CropScaleSchemaLine = 149;

struct CropScale {
  // Horizontal and vertical position of the crop (the view keeps them in -1..1) and its enlargement.
  double posA = 0.0;
  double posB = 0.0;
  double scale = 1.0;
  // Filled from the job's trim setting when a crop is handed out; never stored.
  bool fixedRatio = false;
  int32_t ratioWidth = 1;
  int32_t ratioHeight = 1;
};
