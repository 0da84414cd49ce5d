#include "Details.h"

void Details::Merge(const Details& other) {
  fields.Merge(other.fields);
  values.Merge(other.values);
}

void Details::Write(zvk::Archive& archive) const {
  zvk::WriteArchiveWord(archive, 0x0100);
  fields.Write(archive);
  values.Write(archive);
}

void Details::Read(zvk::Archive& archive) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != 1)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, DetailsSourceFile, DetailsSchemaLine);
  fields.Read(archive);
  values.Read(archive);
}
