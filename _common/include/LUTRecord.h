// A named tone curve. The curve itself is a LUT object of the tone-curve component; until a record needs
// that object, it keeps the object's persisted bytes exactly as they were read and writes them back.
#pragma once

#include "Archive.h"

#include "classlib/ClassLib.h"

#include <cstdint>
#include <vector>

constexpr const char* LUTRecordSourceFile = "LUT.cpp";
constexpr int LUTRecordMarkerLine = 141;
constexpr int LUTRecordObjectLine = 164;

class LUTRecord {
 public:
  CString name;
  CString description;

  int32_t GetOutput() const { return output; }
  void SetInput() { output = 0; }
  void SetOutput() { output = 1; }

  // No curve at all: the identity.
  bool IsEmpty() const { return persistedObject.empty(); }
  // Whether a live LUT object is bound, so that the curve can be applied. Not yet: the record only
  // carries the persisted object.
  bool HasObject() const { return false; }

  // The LUT object as it persists itself (its class identifier, then its own record).
  const std::vector<uint8_t>& GetPersistedObject() const { return persistedObject; }
  void SetPersistedObject(const std::vector<uint8_t>& bytes) { persistedObject = bytes; }
  void Clear() { *this = LUTRecord(); }

  bool operator==(const LUTRecord& other) const {
    return name == other.name && description == other.description && output == other.output &&
           persistedObject == other.persistedObject;
  }

 private:
  int32_t output = 0;  // 0 an input-device curve, 1 an output-device curve; not stored
  std::vector<uint8_t> persistedObject;
};

// u16 0x0100, name, description, marker byte 42, u32 length, the persisted object.
void WriteLUTRecord(zvk::Archive& archive, const LUTRecord& record);
// The target changes only when the whole record was read; its output flag is kept.
void ReadLUTRecord(zvk::Archive& archive, LUTRecord& record);
