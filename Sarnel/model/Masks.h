// The job's masks library: its entries by library key.
#pragma once

#include "LibraryCollection.h"

constexpr const char* MasksSourceFile = "Masks.cpp";
constexpr int MasksMissingKeyLine = 104;
constexpr int MasksEntrySchemaLine = 133;
constexpr int MasksListSchemaLine = 161;

class Masks : public LibraryCollection {
 public:
  Masks();
};

void ReadMaskEntry(zvk::Archive& archive, LibraryEntry& entry);
