#include "ImagesList.h"

#include "MyException.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

constexpr uint16_t Schema = 0x0100;

[[noreturn]] void ThrowInvalidArgument(int line) {
  throw CMyException(E_INVALIDARG, "E_INVALIDARG", ImagesListSourceFile, line);
}

[[noreturn]] void ThrowBadPosition() { throw std::out_of_range("invalid vector<T> subscript"); }

bool NumberLess(const ImageRecord* record, int32_t number) { return record->number < number; }

// Erases the one entry of the key that names the id; entries of other records stay.
void EraseNameEntry(ImagesList::NameIndex& names, const CString& key, const CString& id) {
  auto range = names.equal_range(key);
  for (auto it = range.first; it != range.second; ++it) {
    if (it->second == id) {
      names.erase(it);
      return;
    }
  }
}

}  // namespace

struct ImagesList::IndexBlock {
  std::vector<ImageRecord*> records;  // owned, ascending number
  std::map<int32_t, ImageRecord*> byNumber;
  std::map<CString, ImageRecord*, NumericStringLessOrder> byId;
  NameIndex byFileName;
  NameIndex byBaseName;

  IndexBlock() = default;
  IndexBlock(const IndexBlock&) = delete;
  IndexBlock& operator=(const IndexBlock&) = delete;
  ~IndexBlock() {
    for (ImageRecord* record : records) delete record;
  }
};

bool ImagesList::NoCaseLess::operator()(const CString& a, const CString& b) const {
  return _stricmp(a, b) < 0;
}

ImagesList::ImagesList() : index(new IndexBlock()) {}

ImagesList::~ImagesList() = default;

int ImagesList::GetCount() const {
  ScopedRecursiveLock hold(lock);
  return static_cast<int>(index->records.size());
}

ImageRecord& ImagesList::GetAt(unsigned position) const {
  ScopedRecursiveLock hold(lock);
  if (position >= index->records.size()) ThrowBadPosition();
  return *index->records[position];
}

ImageRecord& ImagesList::GetByNumber(int32_t number) const {
  ScopedRecursiveLock hold(lock);
  auto found = index->byNumber.find(number);
  if (found == index->byNumber.end()) ThrowInvalidArgument(ImagesListMissingNumberLine);
  return *found->second;
}

ImageRecord& ImagesList::Get(const char* id) const {
  ScopedRecursiveLock hold(lock);
  auto found = index->byId.find(id);
  if (found == index->byId.end()) ThrowInvalidArgument(ImagesListMissingIdLine);
  return *found->second;
}

bool ImagesList::ContainsNumber(int32_t number) const {
  ScopedRecursiveLock hold(lock);
  return index->byNumber.count(number) != 0;
}

bool ImagesList::Contains(const char* id) const {
  ScopedRecursiveLock hold(lock);
  return index->byId.count(id) != 0;
}

bool ImagesList::ContainsFileName(const char* name) const {
  ScopedRecursiveLock hold(lock);
  return index->byFileName.count(name) != 0 || index->byBaseName.count(name) != 0;
}

SharedStringList ImagesList::FindByFileName(const char* name) const {
  ScopedRecursiveLock hold(lock);
  SharedStringList ids;
  auto range = index->byFileName.equal_range(name);
  if (range.first == range.second) range = index->byBaseName.equal_range(name);
  for (auto it = range.first; it != range.second; ++it) ids.Append(it->second);
  return ids;
}

void ImagesList::Add(const ImageRecord& record) {
  ScopedRecursiveLock hold(lock);
  std::unique_ptr<ImageRecord> copy;
  try {
    copy.reset(new ImageRecord(record));
  } catch (const std::bad_alloc&) {
    throw CMyException(E_OUTOFMEMORY, "E_OUTOFMEMORY", ImagesListSourceFile, ImagesListAddMemoryLine);
  }
  CString fileNameKey = copy->GetFileNameKey();
  CString baseNameKey = copy->GetBaseNameKey();
  IndexBlock& block = *index;
  auto place = std::lower_bound(block.records.begin(), block.records.end(), copy->number, NumberLess);
  block.records.insert(place, copy.get());
  ImageRecord* stored = copy.release();
  try {
    block.byNumber.emplace(stored->number, stored);
    block.byId.emplace(stored->id, stored);
    block.byFileName.emplace(fileNameKey, stored->id);
    block.byBaseName.emplace(baseNameKey, stored->id);
  } catch (...) {
    // Leave no half-indexed record behind.
    RemoveRecordAt(static_cast<unsigned>(FindPosition(stored)), fileNameKey, baseNameKey);
    throw;
  }
}

int ImagesList::FindPosition(const ImageRecord* record) const {
  const std::vector<ImageRecord*>& records = index->records;
  auto it = std::lower_bound(records.begin(), records.end(), record->number, NumberLess);
  for (; it != records.end() && (*it)->number == record->number; ++it)
    if (*it == record) return static_cast<int>(it - records.begin());
  return -1;
}

void ImagesList::RemoveAt(unsigned position) {
  ScopedRecursiveLock hold(lock);
  if (position >= index->records.size()) ThrowBadPosition();
  const ImageRecord* record = index->records[position];
  // The keys are made first: they are the only step that can fail, and nothing has changed yet.
  RemoveRecordAt(position, record->GetFileNameKey(), record->GetBaseNameKey());
}

void ImagesList::RemoveRecordAt(unsigned position, const CString& fileNameKey, const CString& baseNameKey) {
  IndexBlock& block = *index;
  ImageRecord* record = block.records[position];
  block.records.erase(block.records.begin() + position);

  // Damaged data may give two records one number or one id: an index entry is dropped only when it
  // names this record, and then passes to a remaining record of the same key.
  auto byNumber = block.byNumber.find(record->number);
  if (byNumber != block.byNumber.end() && byNumber->second == record) {
    auto other = std::lower_bound(block.records.begin(), block.records.end(), record->number, NumberLess);
    if (other != block.records.end() && (*other)->number == record->number)
      byNumber->second = *other;
    else
      block.byNumber.erase(byNumber);
  }
  auto byId = block.byId.find(record->id);
  if (byId != block.byId.end() && byId->second == record) {
    auto other = std::find_if(block.records.begin(), block.records.end(),
                              [&](const ImageRecord* r) { return r->id == record->id; });
    if (other != block.records.end())
      byId->second = *other;
    else
      block.byId.erase(byId);
  }
  EraseNameEntry(block.byFileName, fileNameKey, record->id);
  EraseNameEntry(block.byBaseName, baseNameKey, record->id);
  delete record;
}

void ImagesList::Remove(const char* id) {
  ScopedRecursiveLock hold(lock);
  auto found = index->byId.find(id);
  if (found == index->byId.end()) ThrowInvalidArgument(ImagesListRemoveMissingIdLine);
  RemoveAt(static_cast<unsigned>(FindPosition(found->second)));
}

void ImagesList::Replace(unsigned position, const ImageRecord& record) {
  ScopedRecursiveLock hold(lock);
  if (position >= index->records.size()) ThrowBadPosition();
  // Everything that can fail comes first: the copy (the given record may be the one being removed),
  // the old record's keys, then the add. The removal after it cannot fail, so the list either
  // holds the new record instead of the old one or is left as it was.
  ImageRecord copy(record);
  const ImageRecord* old = index->records[position];
  CString fileNameKey = old->GetFileNameKey();
  CString baseNameKey = old->GetBaseNameKey();
  Add(copy);
  RemoveRecordAt(static_cast<unsigned>(FindPosition(old)), fileNameKey, baseNameKey);
}

void ImagesList::Clear() {
  ScopedRecursiveLock hold(lock);
  std::unique_ptr<IndexBlock> fresh(new IndexBlock());
  index.swap(fresh);
}

void ImagesList::Write(zvk::Archive& archive) const {
  ScopedRecursiveLock hold(lock);
  zvk::WriteArchiveWord(archive, Schema);
  zvk::WriteArchiveDword(archive, 0);
  zvk::WriteArchiveDword(archive, 0);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(index->records.size()));
  for (const ImageRecord* record : index->records) ImageRecord::Write(archive, *record);
}

void ImagesList::Read(zvk::Archive& archive) {
  ScopedRecursiveLock hold(lock);
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != (Schema >> 8))
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, ImagesListSourceFile, ImagesListSchemaLine);
  Clear();
  uint32_t reserved, count;
  zvk::ReadArchiveDword(archive, reserved);
  zvk::ReadArchiveDword(archive, reserved);
  zvk::ReadArchiveDword(archive, count);
  // Nothing is reserved ahead: a damaged count only runs into the end of the data.
  for (uint32_t i = 0; i < count; ++i) {
    ImageRecord record;
    ImageRecord::Read(archive, record);
    Add(record);
  }
}

ImagesList::NameIndex ImagesList::GetFileNameIndex() const {
  ScopedRecursiveLock hold(lock);
  return index->byFileName;
}

ImagesList::NameIndex ImagesList::GetBaseNameIndex() const {
  ScopedRecursiveLock hold(lock);
  return index->byBaseName;
}
