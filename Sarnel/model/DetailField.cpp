#include "DetailField.h"

#include "DetailsFields.h"

bool DetailField::IsEqual(const DetailField& other) const {
  return id.str() == other.id.str() && name.str() == other.name.str() && type == other.type &&
         reserved1.str() == other.reserved1.str() && reserved2.str() == other.reserved2.str() &&
         special == other.special;
}

void DetailField::Write(zvk::Archive& archive) const {
  zvk::WriteArchiveWord(archive, 0x0100);
  WriteObjectID(archive, id);
  zvk::WriteArchiveCString(archive, name);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(type));
  zvk::WriteArchiveCString(archive, reserved1);
  zvk::WriteArchiveCString(archive, reserved2);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(special));
}

void DetailField::Read(zvk::Archive& archive) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != 1)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, DetailsFieldsSourceFile,
                                DetailsFieldsRecordSchemaLine);
  ReadObjectID(archive, id);
  zvk::ReadArchiveCString(archive, name);
  zvk::ReadArchiveDword(archive, type);
  zvk::ReadArchiveCString(archive, reserved1);
  zvk::ReadArchiveCString(archive, reserved2);
  zvk::ReadArchiveDword(archive, special);
}
