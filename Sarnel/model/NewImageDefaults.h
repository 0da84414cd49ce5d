// The corrections every newly placed image starts with; the "Apply to new" commands change them.
#pragma once

#include "ChromaKey.h"
#include "ColorCorrectValues.h"
#include "CropScale.h"

struct NewImageDefaults {
  CropScale cropScale;
  ColorCorrectValues colorCorrect;
  ChromaKey chromaKey;
};

// The one process-wide instance, made with the defaults on first use; user-interface thread only.
NewImageDefaults& GetNewImageDefaults();
