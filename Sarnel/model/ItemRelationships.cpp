#include "ItemRelationships.h"

#include "LinkTableFormat.h"
#include "ObjectID.h"

namespace {
constexpr uint16_t Schema = 0x0100;
}  // namespace

bool ItemRelationships::Contains(const CString& related, const CString& item) const {
  auto found = relations.find(item);
  return found != relations.end() && found->second.count(related) != 0;
}

void ItemRelationships::Set(const CString& related, const CString& item, const char* text) {
  RelatedMap& inner = relations[item];
  auto found = inner.find(related);
  if (found != inner.end()) {
    found->second = text;
    return;
  }
  inner.emplace(related, CString(text));
  relatedBack.emplace(related, item);
}

void ItemRelationships::Clear() {
  relations.clear();
  relatedBack.clear();
}

zvk::Archive& ItemRelationships::Write(zvk::Archive& archive, const ItemRelationships& table) {
  zvk::WriteArchiveWord(archive, Schema);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(table.relations.size()));
  for (const auto& item : table.relations) {
    WriteObjectID(archive, item.first);
    zvk::WriteArchiveDword(archive, static_cast<uint32_t>(item.second.size()));
    for (const auto& related : item.second) {
      WriteObjectID(archive, related.first);
      zvk::WriteArchiveCString(archive, related.second);
    }
  }
  return archive;
}

zvk::Archive& ItemRelationships::Read(zvk::Archive& archive, ItemRelationships& table) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != (Schema >> 8))
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, ItemRelationshipsSourceFile,
                                ItemRelationshipsSchemaLine);
  table.Clear();
  int32_t items = ReadRecordCount(archive);
  for (int32_t i = 0; i < items; ++i) {
    CString item;
    ReadObjectID(archive, item);
    int32_t relatedCount = ReadRecordCount(archive);
    for (int32_t j = 0; j < relatedCount; ++j) {
      CString related, text;
      ReadObjectID(archive, related);
      zvk::ReadArchiveCString(archive, text);
      table.Set(related, item, text);
    }
  }
  return archive;
}
