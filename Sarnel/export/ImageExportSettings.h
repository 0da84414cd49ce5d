// What the image export writes besides the choice of images: folder, naming, format and depth, size and
// resolution, tone curve, sharpening and the colour behind transparent parts. One instance per process,
// loaded with the other modules at start and saved at exit.
#pragma once

#include "LUTList.h"
#include "SharpenValues.h"
#include "classlib/ClassLib.h"

#include <cstdint>

// One row of the export format table: the name the set-up shows and the image library's file type code.
struct ImageExportFormat {
  const char* name;
  int32_t type;
};

class ImageExportSettings {
 public:
  // Profile section, and the module key of the LUT list and sharpening (distinct from the imports').
  static constexpr const char* Section = "Image Export";
  static constexpr const char* ModuleKey = "ImageExport";
  // Ranges checked where a size or resolution is confirmed or used.
  static constexpr int MaxSide = 20000;
  static constexpr int MaxDpi = 10000;

  static ImageExportSettings& Instance();
  static ImageExportFormat GetFormat(int row);
  static int GetFormatCount() { return 7; }
  // The row of a type code, -1 for a code not in the table.
  static int FindFormat(int32_t type);

  void Load();
  void Save() const;
  // The width clamped into 1..9, as the set-up confirms it.
  static int32_t ClampFilenameWidth(int32_t width) { return width < 1 ? 1 : width > 9 ? 9 : width; }
  // True when the size (with "to size") and the resolution are in range.
  bool SizeAndDpiValid() const;

  CString Path;
  uint8_t OriginalFilename = 0;
  CString FilenamePre;
  int32_t FilenameWidth = 1;
  CString FilenamePost;
  CString FilenameExt;
  int32_t Type = 10;
  int32_t Bits = 24;
  uint8_t SameSize = 1;
  int32_t SizeX = 100;
  int32_t SizeY = 100;
  int32_t DPI = 75;
  CString LUT;
  LUTList LUTs;
  SharpenValues Sharpen;
  uint8_t DoSelected = 0;
  uint8_t DoFiltered = 0;
  uint8_t DoOff = 0;
  uint8_t TransparencyUse = 0;
  int32_t TransparencyColor = 0;
};
