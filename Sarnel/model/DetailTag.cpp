#include "DetailTag.h"

#include "DetailsTags.h"

bool DetailTag::IsEqual(const DetailTag& other) const {
  if (kind != other.kind) return false;
  return kind != 0 || text.str() == other.text.str();
}

void DetailTag::Write(zvk::Archive& archive) const {
  zvk::WriteArchiveWord(archive, 0x0100);
  zvk::WriteArchiveByte(archive, kind);
  zvk::WriteArchiveCString(archive, text);
}

void DetailTag::Read(zvk::Archive& archive) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != 1)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, DetailsTagsSourceFile,
                                DetailsTagsEntrySchemaLine);
  zvk::ReadArchiveByte(archive, kind);
  zvk::ReadArchiveCString(archive, text);
}
