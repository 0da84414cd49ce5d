#include "DetailsTags.h"

bool DetailsTags::IsEqual(const DetailsTags& other) const {
  for (int i = 0; i < Count; ++i)
    if (!entries[i].IsEqual(other.entries[i])) return false;
  return true;
}

void DetailsTags::Write(zvk::Archive& archive) const {
  zvk::WriteArchiveWord(archive, 0x0100);
  for (const DetailTag& entry : entries) entry.Write(archive);
}

void DetailsTags::Read(zvk::Archive& archive) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != 1)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, DetailsTagsSourceFile,
                                DetailsTagsBlockSchemaLine);
  for (DetailTag& entry : entries) entry.Read(archive);
}
