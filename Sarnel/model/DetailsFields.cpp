#include "DetailsFields.h"

#include "MyException.h"

#include <memory>
#include <new>
#include <stdexcept>

namespace {

[[noreturn]] void ThrowAt(HRESULT code, const char* expression, int line) {
  throw CMyException(code, expression, DetailsFieldsSourceFile, line);
}

[[noreturn]] void ThrowBadSubscript() { throw std::out_of_range("invalid vector<T> subscript"); }

}  // namespace

CString MakeUpperKey(const char* name) {
  CString key(name ? name : "");
  key.MakeUpper();
  return key;
}

DetailsFields::Body::~Body() {
  for (DetailField* record : fields) delete record;
}

void DetailsFields::Body::Index(DetailField* record) {
  byId.emplace(record->id, record);  // a repeated id keeps pointing at the earlier record
  byName.emplace(MakeUpperKey(record->name), record);
  if (record->special != DetailRoleNone) byRole.emplace(record->special, record);
}

DetailsFields::Body::Body(const Body& original) {
  fields.reserve(original.fields.size());
  try {
    for (const DetailField* record : original.fields) {
      DetailField* duplicate = new (std::nothrow) DetailField();
      if (!duplicate) ThrowAt(E_OUTOFMEMORY, "E_OUTOFMEMORY", DetailsFieldsUnshareMemoryLine);
      fields.push_back(duplicate);
      *duplicate = *record;
      Index(duplicate);
    }
  } catch (...) {
    for (DetailField* record : fields) delete record;
    throw;
  }
}

int DetailsFields::GetCount() const { return static_cast<int>(GetBody()->fields.size()); }

const DetailField& DetailsFields::GetAt(int index) const {
  const Body* b = GetBody();
  if (index < 0 || static_cast<size_t>(index) >= b->fields.size()) ThrowBadSubscript();
  return *b->fields[index];
}

const DetailField& DetailsFields::Get(const char* id) const {
  const Body* b = GetBody();
  auto found = b->byId.find(CString(id ? id : ""));
  if (found == b->byId.end()) ThrowAt(E_INVALIDARG, "E_INVALIDARG", DetailsFieldsMissingIdLine);
  return *found->second;
}

const DetailField& DetailsFields::GetByName(const char* name) const {
  const Body* b = GetBody();
  auto found = b->byName.find(MakeUpperKey(name));
  if (found == b->byName.end()) ThrowAt(E_INVALIDARG, "E_INVALIDARG", DetailsFieldsMissingNameLine);
  return *found->second;
}

const DetailField& DetailsFields::GetBySpecial(int role) const {
  const Body* b = GetBody();
  auto found = role == DetailRoleNone ? b->byRole.end() : b->byRole.find(role);
  if (found == b->byRole.end()) ThrowAt(E_INVALIDARG, "E_INVALIDARG", DetailsFieldsMissingRoleLine);
  return *found->second;
}

bool DetailsFields::HasId(const char* id) const { return GetBody()->byId.count(CString(id ? id : "")) != 0; }

bool DetailsFields::HasName(const char* name) const {
  return GetBody()->byName.count(MakeUpperKey(name)) != 0;
}

bool DetailsFields::HasSpecial(int role) const {
  return role != DetailRoleNone && GetBody()->byRole.count(role) != 0;
}

void DetailsFields::Add(const DetailField& field) {
  CString key = MakeUpperKey(field.name);
  const Body* current = GetBody();
  if (current->byName.count(key)) ThrowAt(E_INVALIDARG, "E_INVALIDARG", DetailsFieldsDuplicateNameLine);
  if (field.special != DetailRoleNone && current->byRole.count(field.special))
    ThrowAt(E_INVALIDARG, "E_INVALIDARG", DetailsFieldsDuplicateRoleLine);
  std::unique_ptr<DetailField> copy(new (std::nothrow) DetailField());
  if (!copy) ThrowAt(E_OUTOFMEMORY, "E_OUTOFMEMORY", DetailsFieldsAddMemoryLine);
  *copy = field;

  Body* b = Unshare();
  // Make room first, so that a failing allocation leaves list and indexes in step.
  b->fields.reserve(b->fields.size() + 1);
  DetailField* record = copy.get();
  auto idEntry = b->byId.emplace(record->id, record);
  try {
    auto nameEntry = b->byName.emplace(key, record);
    try {
      if (record->special != DetailRoleNone) b->byRole.emplace(record->special, record);
    } catch (...) {
      b->byName.erase(nameEntry.first);
      throw;
    }
  } catch (...) {
    if (idEntry.second) b->byId.erase(idEntry.first);
    throw;
  }
  b->fields.push_back(copy.release());
}

void DetailsFields::RemoveAt(int index) {
  Body* b = Unshare();
  if (index < 0 || static_cast<size_t>(index) >= b->fields.size()) ThrowBadSubscript();
  DetailField* record = b->fields[index];
  auto idEntry = b->byId.find(record->id);
  // Another record may share the id; the index then points at that one and stays.
  if (idEntry != b->byId.end() && idEntry->second == record) {
    b->byId.erase(idEntry);
    // A later record with the same id becomes findable by it.
    for (DetailField* other : b->fields)
      if (other != record && other->id.str() == record->id.str()) {
        b->byId.emplace(other->id, other);
        break;
      }
  }
  b->byName.erase(MakeUpperKey(record->name));
  if (record->special != DetailRoleNone) b->byRole.erase(record->special);
  b->fields.erase(b->fields.begin() + index);
  delete record;
}

void DetailsFields::Remove(const DetailField* record) {
  const Body* b = GetBody();
  for (size_t i = 0; i < b->fields.size(); ++i) {
    if (b->fields[i] == record) {
      RemoveAt(static_cast<int>(i));
      return;
    }
  }
  ThrowBadSubscript();
}

void DetailsFields::Clear() { Release(); }

bool DetailsFields::IsEqual(const DetailsFields& other) const {
  const Body* a = GetBody();
  const Body* b = other.GetBody();
  if (a->fields.size() != b->fields.size()) return false;
  for (size_t i = 0; i < a->fields.size(); ++i)
    if (!a->fields[i]->IsEqual(*b->fields[i])) return false;
  return true;
}

void DetailsFields::Merge(const DetailsFields& other) {
  // Hold the other body, so that merging a set into itself or into a sharer works on stable records.
  DetailsFields source(other);
  int count = source.GetCount();
  for (int i = 0; i < count; ++i) {
    DetailField field = source.GetAt(i);
    const DetailField* sameId = HasId(field.id) ? &Get(field.id) : nullptr;
    const DetailField* sameName = HasName(field.name) ? &GetByName(field.name) : nullptr;
    // A role held by a record that stays refuses this field before its namesakes are removed, so a
    // refused field takes nothing with it.
    if (field.special != DetailRoleNone && HasSpecial(field.special)) {
      const DetailField* holder = &GetBySpecial(field.special);
      if (holder != sameId && holder != sameName)
        throw CMyException(E_INVALIDARG, "E_INVALIDARG", DetailsFieldsSourceFile,
                           DetailsFieldsDuplicateRoleLine);
    }
    // Looked up again: the first removal may have given this set a body of its own.
    if (HasId(field.id)) Remove(&Get(field.id));
    if (HasName(field.name)) Remove(&GetByName(field.name));
    Add(field);
  }
}

void DetailsFields::Write(zvk::Archive& archive) const {
  const Body* b = GetBody();
  zvk::WriteArchiveWord(archive, 0x0100);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(b->fields.size()));
  for (const DetailField* record : b->fields) record->Write(archive);
}

void DetailsFields::Read(zvk::Archive& archive) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != 1)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, DetailsFieldsSourceFile,
                                DetailsFieldsBlockSchemaLine);
  Clear();
  uint32_t count;
  zvk::ReadArchiveDword(archive, count);
  // The count is not trusted for any allocation: each record is read before it is added.
  for (uint32_t i = 0; i < count; ++i) {
    DetailField field;
    field.Read(archive);
    Add(field);
  }
}
