#include "ItemsList.h"

#include "LinkTableFormat.h"

#include <cstring>

namespace {
constexpr uint16_t Schema = 0x0100;
}  // namespace

bool ItemsList::NoCaseLess::operator()(const CString& a, const CString& b) const {
  return _stricmp(a, b) < 0;
}

void ItemsList::Add(const ItemRecord& record) {
  auto position = records.insert(records.end(), record);
  byId.emplace(position->id, position);
  if (!position->name.IsEmpty()) byName.emplace(position->name, position);
}

void ItemsList::Clear() {
  byName.clear();
  byId.clear();
  records.clear();
}

const ItemRecord* ItemsList::Find(const char* id) const {
  auto found = byId.find(id);
  return found == byId.end() ? nullptr : &*found->second;
}

std::vector<const ItemRecord*> ItemsList::FindByName(const char* name) const {
  std::vector<const ItemRecord*> found;
  auto range = byName.equal_range(name);
  for (auto it = range.first; it != range.second; ++it) found.push_back(&*it->second);
  return found;
}

zvk::Archive& ItemsList::Write(zvk::Archive& archive, const ItemsList& list) {
  zvk::WriteArchiveWord(archive, Schema);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(list.records.size()));
  for (const ItemRecord& record : list.records) ItemRecord::Write(archive, record);
  return archive;
}

zvk::Archive& ItemsList::Read(zvk::Archive& archive, ItemsList& list) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != (Schema >> 8))
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, ItemsListSourceFile, ItemsListSchemaLine);
  list.Clear();
  int32_t count = ReadRecordCount(archive);
  for (int32_t i = 0; i < count; ++i) {
    ItemRecord record;
    ItemRecord::Read(archive, record);
    list.Add(record);
  }
  return archive;
}
