#include "ImageProcessing.h"

bool ImageProcessing::IsActive() const {
  return quarterTurns != 0 || flipA != 0 || flipB != 0 || !lut.IsEmpty() || sharpen.on != 0;
}
