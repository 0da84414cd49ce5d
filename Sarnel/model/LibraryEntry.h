// One entry of the background, mask or graphic library.
#pragma once

#include "Archive.h"

#include "classlib/ClassLib.h"

#include <cstdint>

struct LibraryEntry {
  CString name;        // the picture file's name without its folder
  CString secondText;  // carried as read; empty for entries made here
  int32_t flag = 0;    // carried as read; 0 for entries made here

  bool operator==(const LibraryEntry& other) const {
    return name == other.name && secondText == other.secondText && flag == other.flag;
  }
};

// u16 0x0100, name, second text, u32 flag, u32 0.
void WriteLibraryEntry(zvk::Archive& archive, const LibraryEntry& entry);
// The entry reader of every library, naming the library's place for an unknown major version. The
// reserved u32 is read and dropped; the target changes only when the whole entry was read.
void ReadLibraryEntry(zvk::Archive& archive, LibraryEntry& entry, const char* sourceFile, int schemaLine);
