#include "LUTList.h"

#include "ArchiveException.h"
#include "ArchivePrimitives.h"

#include <mutex>
#include <set>

namespace {

constexpr uint16_t Schema = 0x0100;

// Never destroyed: lists that are static objects may go after any other static.
struct LiveLists {
  std::mutex lock;
  std::set<LUTList*> lists;
};

LiveLists& Live() {
  static LiveLists* live = new LiveLists;
  return *live;
}

void Register(LUTList* list) {
  std::lock_guard<std::mutex> guard(Live().lock);
  Live().lists.insert(list);
}

void Unregister(LUTList* list) {
  std::lock_guard<std::mutex> guard(Live().lock);
  Live().lists.erase(list);
}

}  // namespace

LUTList::LUTList() { Register(this); }

LUTList::LUTList(const LUTList& other) : records(other.records) { Register(this); }

LUTList& LUTList::operator=(const LUTList& other) {
  records = other.records;
  return *this;
}

LUTList::~LUTList() { Unregister(this); }

LUTRecord LUTList::GetAt(int index) const { return records.at(static_cast<size_t>(index)); }

void LUTList::Add(const LUTRecord& record) { records.push_back(record); }

void LUTList::Clear() { records.clear(); }

LUTRecord LUTList::FindByName(const char* name) const {
  for (const LUTRecord& record : records) {
    if (record.name == name) return record;
  }
  return LUTRecord();
}

void LUTList::Write(zvk::Archive& archive) const {
  zvk::WriteArchiveWord(archive, Schema);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(records.size()));
  for (const LUTRecord& record : records) WriteLUTRecord(archive, record);
}

void LUTList::Read(zvk::Archive& archive) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != (Schema >> 8))
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, LUTRecordSourceFile, LUTListSchemaLine);
  uint32_t count;
  zvk::ReadArchiveDword(archive, count);
  std::vector<LUTRecord> read;
  // Every attempt uses up data or ends the list, so a count larger than the data cannot spin.
  for (uint32_t i = 0; i < count; ++i) {
    LUTRecord record;
    try {
      ReadLUTRecord(archive, record);
    } catch (const zvk::ArchiveException& e) {
      if (e.GetKind() == zvk::ArchiveException::EndOfFile) break;
      continue;
    }
    read.push_back(std::move(record));
  }
  records = std::move(read);
}

void LUTList::Load(const char* section, const char* entry) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return;
  LPBYTE data = nullptr;
  UINT bytes = 0;
  app->GetProfileBinary(section, entry, &data, &bytes);
  std::unique_ptr<BYTE[]> owned(data);
  if (data == nullptr || bytes == 0) return;
  zvk::ArchiveMemory archive(static_cast<const void*>(data), bytes);
  Read(archive);
}

bool LUTList::Save(const char* section, const char* entry) const {
  zvk::ArchiveMemory archive;
  Write(archive);
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return false;
  return app->WriteProfileBinary(section, entry, archive.GetData(), archive.GetSize()) != FALSE;
}

void LoadLUTList(const char* moduleKey, LUTList& list) { list.Load(LUTListSection, moduleKey); }

bool SaveLUTList(const char* moduleKey, const LUTList& list) { return list.Save(LUTListSection, moduleKey); }

void ClearAllLUTLists() {
  std::lock_guard<std::mutex> guard(Live().lock);
  for (LUTList* list : Live().lists) list->Clear();
}
