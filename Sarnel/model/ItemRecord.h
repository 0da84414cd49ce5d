// One item (subject) of a job: its id, name, values for the job's item fields, a detail block of its
// own and three fields that the record carries unchanged.
#pragma once

#include "Details.h"
#include "DetailsValues.h"
#include "ObjectID.h"

#include "Archive.h"

constexpr const char* ItemRecordSourceFile = "ItemsList.cpp";
constexpr int ItemRecordSchemaLine = 355;

struct ItemRecord {
  CObjectID id;
  bool flag = false;  // stored in version 2 only
  CString extraText;  // stored in version 2 only
  CString name;
  DetailsValues values;
  Details details;
  bool versionFlag = false;  // bit 0 of the schema word

  // Version 2 when extraText or flag is set, else 1; versionFlag adds 1 to the word.
  uint16_t GetSchema() const;
  static void Write(zvk::Archive& archive, const ItemRecord& record);
  // Accepts versions 1 and 2; the flag word's bit 0 is the flag (written back as 1).
  static void Read(zvk::Archive& archive, ItemRecord& record);
};
