#include "LUTRecord.h"

#include "ArchiveBytes.h"
#include "ObjectID.h"

namespace {
constexpr uint16_t Schema = 0x0100;
constexpr uint8_t Marker = 42;
}  // namespace

void WriteLUTRecord(zvk::Archive& archive, const LUTRecord& record) {
  zvk::WriteArchiveWord(archive, Schema);
  zvk::WriteArchiveCString(archive, record.name);
  zvk::WriteArchiveCString(archive, record.description);
  zvk::WriteArchiveByte(archive, Marker);
  const std::vector<uint8_t>& bytes = record.GetPersistedObject();
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(bytes.size()));
  if (!bytes.empty()) archive.Write(bytes.data(), static_cast<unsigned>(bytes.size()));
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
  record.name = name;
  record.description = description;
  record.SetPersistedObject(bytes);
}
