// Who saved a job, with which program version, on which computer and when. A job keeps two: its
// first save and its last save, in the stream "@Usage".
#pragma once

#include "Archive.h"

#include "classlib/ClassLib.h"

#include <cstdint>

class CTheDocument;

constexpr const char* JobUsageSourcePlace = "DocumentFile";
constexpr int JobUsageRecordSchemaLine = 237;

class JobUsageRecord {
 public:
  JobUsageRecord() { Reset(); }

  void Reset();
  // Describes the save being made now.
  void Fill(CTheDocument& document);

  // u16 0x0100, title, version, u32 0, user, computer, f64 save time, 16 zero bytes.
  void Write(zvk::Archive& archive) const;
  // A major version other than 1 throws BadSchema; a stream ending before the save time throws
  // EndOfFile. The 16 reserved bytes at the end may be missing.
  void Read(zvk::Archive& archive);

  bool IsEmpty() const { return empty; }

  CString applicationTitle;
  CString productVersion;
  uint32_t reserved = 0;
  CString userName;
  CString computerName;
  double saveTime = 0.0;  // OLE automation date, local time
  uint8_t reservedBytes[16] = {};

 private:
  bool empty = true;
};

// The product version text of the program's own file: the build texts of a private build, else the
// product version, in the language that best fits the thread locale. False when the program file or
// its version block cannot be read.
bool ReadProductVersion(CString& version);
