#include "ItemRecord.h"

uint16_t ItemRecord::GetSchema() const {
  uint16_t schema = (!extraText.IsEmpty() || flag) ? 0x0200 : 0x0100;
  return static_cast<uint16_t>(schema + (versionFlag ? 1 : 0));
}

void ItemRecord::Write(zvk::Archive& archive, const ItemRecord& record) {
  uint16_t schema = record.GetSchema();
  zvk::WriteArchiveWord(archive, schema);
  WriteObjectID(archive, record.id);
  zvk::WriteArchiveCString(archive, record.name);
  record.values.Write(archive);
  record.details.Write(archive);
  if ((schema >> 8) == 2) {
    zvk::WriteArchiveCString(archive, record.extraText);
    zvk::WriteArchiveDword(archive, record.flag ? 1 : 0);
  }
}

void ItemRecord::Read(zvk::Archive& archive, ItemRecord& record) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  int major = schema >> 8;
  if (major != 1 && major != 2)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, ItemRecordSourceFile, ItemRecordSchemaLine);
  ReadObjectID(archive, record.id);
  zvk::ReadArchiveCString(archive, record.name);
  record.values.Read(archive);
  record.details.Read(archive);
  record.versionFlag = (schema & 1) != 0;
  if (major == 1) {
    record.extraText.Empty();
    record.flag = false;
  } else {
    zvk::ReadArchiveCString(archive, record.extraText);
    uint32_t flagWord;
    zvk::ReadArchiveDword(archive, flagWord);
    record.flag = (flagWord & 1) != 0;
  }
}
