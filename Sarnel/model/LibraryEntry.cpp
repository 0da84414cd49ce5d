#include "LibraryEntry.h"

namespace {
constexpr uint16_t Schema = 0x0100;
}  // namespace

void WriteLibraryEntry(zvk::Archive& archive, const LibraryEntry& entry) {
  zvk::WriteArchiveWord(archive, Schema);
  zvk::WriteArchiveCString(archive, entry.name);
  zvk::WriteArchiveCString(archive, entry.secondText);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(entry.flag));
  zvk::WriteArchiveDword(archive, 0);
}

void ReadLibraryEntry(zvk::Archive& archive, LibraryEntry& entry, const char* sourceFile, int schemaLine) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != (Schema >> 8))
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, sourceFile, schemaLine);
  LibraryEntry read;
  zvk::ReadArchiveCString(archive, read.name);
  zvk::ReadArchiveCString(archive, read.secondText);
  zvk::ReadArchiveDword(archive, read.flag);
  uint32_t reserved;
  zvk::ReadArchiveDword(archive, reserved);
  entry = read;
}
