#include "LibraryCollection.h"

#include "LinkTableFormat.h"
#include "MyException.h"
#include "ObjectID.h"

namespace {
constexpr uint16_t Schema = 0x0100;
}  // namespace

void LibraryCollection::Set(const CString& key, const LibraryEntry& entry) { entries[key] = entry; }

void LibraryCollection::Remove(const CString& key) {
  auto found = entries.find(key);
  if (found == entries.end()) ThrowMissingKey(places.missingKeyLine);
  entries.erase(found);
}

void LibraryCollection::ThrowMissingKey(int line) const {
  throw CMyException(E_INVALIDARG, "E_INVALIDARG", places.sourceFile, line);
}

void LibraryCollection::Write(zvk::Archive& archive) const {
  zvk::WriteArchiveWord(archive, Schema);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(entries.size()));
  for (const auto& entry : entries) {
    WriteObjectID(archive, entry.first);
    WriteLibraryEntry(archive, entry.second);
  }
}

void LibraryCollection::ReadEntry(zvk::Archive& archive, LibraryEntry& entry) const {
  ReadLibraryEntry(archive, entry, places.sourceFile, places.entrySchemaLine);
}

void LibraryCollection::Read(zvk::Archive& archive) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != (Schema >> 8))
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, places.sourceFile, places.listSchemaLine);
  entries.clear();
  int32_t count = ReadRecordCount(archive);
  for (int32_t i = 0; i < count; ++i) {
    CString key;
    ReadObjectID(archive, key);
    LibraryEntry entry;
    ReadEntry(archive, entry);
    Set(key, entry);
  }
}
