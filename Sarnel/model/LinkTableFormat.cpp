#include "LinkTableFormat.h"

#include "ObjectID.h"

int32_t ReadRecordCount(zvk::Archive& archive) {
  int32_t count;
  zvk::ReadArchiveDword(archive, count);
  return count < 1 ? 0 : count;
}

void ReadLinkTable(zvk::Archive& archive, const char* sourceFile, int schemaLine,
                   const std::function<void()>& clear,
                   const std::function<void(const CString&, const CString&)>& enter) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != (LinkTableSchema >> 8))
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, sourceFile, schemaLine);
  clear();
  // Nothing is reserved ahead: a damaged count only runs the loop into the end of the data.
  int32_t count = ReadRecordCount(archive);
  for (int32_t i = 0; i < count; ++i) {
    CString first, second;
    ReadObjectID(archive, first);
    ReadObjectID(archive, second);
    enter(first, second);
  }
}
