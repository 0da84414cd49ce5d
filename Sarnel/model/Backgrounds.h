// The job's backgrounds library: its entries by library key.
#pragma once

#include "LibraryCollection.h"

constexpr const char* BackgroundsSourceFile = "Backgrounds.cpp";
constexpr int BackgroundsMissingKeyLine = 104;
constexpr int BackgroundsEntrySchemaLine = 133;
constexpr int BackgroundsListSchemaLine = 161;

class Backgrounds : public LibraryCollection {
 public:
  Backgrounds();
};

void ReadBackgroundEntry(zvk::Archive& archive, LibraryEntry& entry);
