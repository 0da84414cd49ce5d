// One folder of a job: its id, its name, its values for the job's folder fields and a detail block of
// its own.
#pragma once

#include "Details.h"
#include "DetailsValues.h"
#include "ObjectID.h"

#include "Archive.h"

constexpr const char* FolderRecordSourceFile = "FoldersList.cpp";
constexpr int FolderRecordSchemaLine = 259;

struct FolderRecord {
  CObjectID id;
  CString name;
  DetailsValues values;
  Details details;

  // u16 0x0100, the id as an identifier block, the name, the values, the details.
  static void Write(zvk::Archive& archive, const FolderRecord& record);
  static void Read(zvk::Archive& archive, FolderRecord& record);
};
