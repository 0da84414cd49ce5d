#include "FolderRecord.h"

namespace {
constexpr uint16_t Schema = 0x0100;
}  // namespace

void FolderRecord::Write(zvk::Archive& archive, const FolderRecord& record) {
  zvk::WriteArchiveWord(archive, Schema);
  WriteObjectID(archive, record.id);
  zvk::WriteArchiveCString(archive, record.name);
  record.values.Write(archive);
  record.details.Write(archive);
}

void FolderRecord::Read(zvk::Archive& archive, FolderRecord& record) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != (Schema >> 8))
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, FolderRecordSourceFile,
                                FolderRecordSchemaLine);
  ReadObjectID(archive, record.id);
  zvk::ReadArchiveCString(archive, record.name);
  record.values.Read(archive);
  record.details.Read(archive);
}
