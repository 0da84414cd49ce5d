#include "FoldersList.h"

#include "LinkTableFormat.h"
#include "MyException.h"

namespace {
constexpr uint16_t Schema = 0x0100;
}  // namespace

void FoldersList::Add(const FolderRecord& record) {
  auto position = records.insert(records.end(), record);
  byId.emplace(position->id, position);
  byName.emplace(position->name, position);
}

void FoldersList::Clear() {
  byName.clear();
  byId.clear();
  records.clear();
}

const FolderRecord& FoldersList::Get(const char* id) const {
  auto found = byId.find(id);
  if (found == byId.end())
    throw CMyException(E_INVALIDARG, "E_INVALIDARG", FoldersListSourceFile, FoldersListMissingIdLine);
  return *found->second;
}

std::vector<const FolderRecord*> FoldersList::FindByName(const char* name) const {
  std::vector<const FolderRecord*> found;
  auto range = byName.equal_range(name);
  for (auto it = range.first; it != range.second; ++it) found.push_back(&*it->second);
  return found;
}

zvk::Archive& FoldersList::Write(zvk::Archive& archive, const FoldersList& list) {
  zvk::WriteArchiveWord(archive, Schema);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(list.records.size()));
  for (const FolderRecord& record : list.records) FolderRecord::Write(archive, record);
  return archive;
}

zvk::Archive& FoldersList::Read(zvk::Archive& archive, FoldersList& list) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != (Schema >> 8))
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, FoldersListSourceFile,
                                FoldersListSchemaLine);
  list.Clear();
  int32_t count = ReadRecordCount(archive);
  for (int32_t i = 0; i < count; ++i) {
    FolderRecord record;
    FolderRecord::Read(archive, record);
    list.Add(record);
  }
  return archive;
}
