// The job's graphic library: its entries by library key, filled only from a loaded job.
#pragma once

#include "LibraryCollection.h"

constexpr const char* GraphicsSourceFile = "Graphics.cpp";
constexpr int GraphicsMissingKeyLine = 179;
constexpr int GraphicsGetMissingKeyLine = 171;
constexpr int GraphicsEntrySchemaLine = 208;
constexpr int GraphicsListSchemaLine = 236;

class Graphics : public LibraryCollection {
 public:
  Graphics();
  // A key that is not present throws CMyException E_INVALIDARG.
  const LibraryEntry& Get(const CString& key) const;
};

void ReadGraphicEntry(zvk::Archive& archive, LibraryEntry& entry);
