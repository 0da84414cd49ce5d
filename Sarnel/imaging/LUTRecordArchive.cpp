// The record's archive layout, and binding its object as it is read.
#include "LUTRecord.h"

#include "ArchiveBytes.h"
#include "ArchiveException.h"
#include "ArchivePrimitives.h"
#include "ObjectID.h"

namespace {
constexpr uint16_t Schema = 0x0100;
constexpr uint8_t Marker = 42;
}  // namespace

void WriteLUTRecord(zvk::Archive& archive, const LUTRecord& record) {
  // The object's bytes first: when they cannot be had, nothing of the record is written.
  std::vector<uint8_t> saved;
  const std::vector<uint8_t>* bytes = record.GetUnloadedObject();
  if (ILut* lut = record.PeekObject()) {
    saved = SaveLUTObject(lut);
    bytes = &saved;
  }
  zvk::WriteArchiveWord(archive, Schema);
  zvk::WriteArchiveCString(archive, record.name);
  zvk::WriteArchiveCString(archive, record.description);
  zvk::WriteArchiveByte(archive, Marker);
  const uint32_t length = bytes ? static_cast<uint32_t>(bytes->size()) : 0;
  zvk::WriteArchiveDword(archive, length);
  if (length > 0) archive.Write(bytes->data(), length);
}

void ReadLUTRecord(zvk::Archive& archive, LUTRecord& record) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  // The record shares the identifier block's schema check.
  if ((schema >> 8) != (Schema >> 8))
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, ObjectIDSourceFile, ObjectIDSchemaLine);
  CString name, description;
  zvk::ReadArchiveCString(archive, name);
  zvk::ReadArchiveCString(archive, description);
  uint8_t marker;
  zvk::ReadArchiveByte(archive, marker);
  if (marker != Marker)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, LUTRecordSourceFile, LUTRecordMarkerLine);
  uint32_t length;
  zvk::ReadArchiveDword(archive, length);
  std::vector<uint8_t> bytes;
  zvk::ReadArchiveBytes(archive, length, bytes);

  ILutPtr object;
  std::shared_ptr<const std::vector<uint8_t>> unloaded;
  if (!bytes.empty()) {
    LUTObjectLoad load = LoadLUTObject(bytes);
    if (load.object)
      object = load.object;
    else  // kept as read: dropping it would lose the curve at the next save
      unloaded = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
  }
  record.name = name;
  record.description = description;
  record.object = object;
  record.unloaded = unloaded;
}
