#include "DetailsValues.h"

#include "ArchiveVariant.h"
#include "MyException.h"
#include "ObjectID.h"

namespace {

const COleVariant& SharedEmptyValue() {
  static const COleVariant empty;
  return empty;
}

}  // namespace

void DetailsValues::Set(const char* id, const VARIANT& value) {
  if (!CanStoreArchiveVariant(value))
    throw CMyException(DISP_E_BADVARTYPE, "DISP_E_BADVARTYPE", DetailsValuesSourceFile,
                       DetailsValuesUnstorableLine);
  Store(id, value);
}

void DetailsValues::Store(const char* id, const VARIANT& value) {
  CString key(id ? id : "");
  COleVariant copy(value);  // copied first: a failing copy leaves the map as it was
  Body* b = Unshare();
  auto found = b->values.find(key);
  if (found == b->values.end()) {
    b->values.emplace(key, copy);
  } else if (value.vt == VT_EMPTY) {
    b->values.erase(found);
  } else {
    found->second.Attach(copy);
  }
}

const VARIANT& DetailsValues::Get(const char* id) const {
  const Body* b = GetBody();
  auto found = b->values.find(CString(id ? id : ""));
  if (found == b->values.end()) return SharedEmptyValue();
  return found->second;
}

bool DetailsValues::Contains(const char* id) const {
  return GetBody()->values.count(CString(id ? id : "")) != 0;
}

void DetailsValues::Remove(const char* id) {
  CString key(id ? id : "");
  if (!GetBody()->values.count(key)) return;
  Unshare()->values.erase(key);
}

void DetailsValues::Clear() { Release(); }

bool DetailsValues::IsEmpty() const { return GetBody()->values.empty(); }

void DetailsValues::Merge(const DetailsValues& other) {
  DetailsValues source(other);  // stable while this one unshares
  for (const auto& entry : source.GetMap()) Store(entry.first, entry.second);
}

void DetailsValues::Write(zvk::Archive& archive) const {
  const Body* b = GetBody();
  zvk::WriteArchiveWord(archive, 0x0100);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(b->values.size()));
  for (const auto& entry : b->values) {
    WriteObjectID(archive, entry.first);
    WriteArchiveVariant(archive, entry.second);
  }
}

void DetailsValues::Read(zvk::Archive& archive) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != 1)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, DetailsValuesSourceFile,
                                DetailsValuesSchemaLine);
  Clear();
  uint32_t count;
  zvk::ReadArchiveDword(archive, count);
  for (uint32_t i = 0; i < count; ++i) {
    CString id;
    ReadObjectID(archive, id);
    COleVariant value;
    ReadArchiveVariant(archive, value);
    Store(id, value);
  }
}
