// The processing an import source applies to its images, as chosen in its set-up dialog: a quarter
// turn, two mirrors, a tone curve by name from the source's own list, and sharpening.
#pragma once

#include "ImageProcessing.h"
#include "LUTList.h"
#include "SharpenValues.h"

#include "classlib/ClassLib.h"

#include <cstdint>

struct ImportProcessingChoice {
  int32_t rotation = 0;  // quarter turns 0..3; anything else is no turn
  bool flipVertical = false;
  bool flipHorizontal = false;
  CString lutName;  // empty for none
  LUTList lutList;
  SharpenValues sharpen;  // off, 3, 100 before loading

  // The record for one image: the tone curve found by name in the list (an empty record when the
  // name is empty or unknown); the sharpening only when asked for.
  ImageProcessing MakeProcessing(bool withSharpening) const;

 protected:
  // The processing keys of a source's section, its LUT list and its sharpening.
  void LoadProcessing(const char* section, const char* moduleKey);
  void SaveProcessing(const char* section, const char* moduleKey) const;
};

// A stored rotation outside 0..3 reads as no turn.
int32_t ValidRotation(int32_t rotation);
