// The identifier of every object of a job: 25 characters of 0-9 and A-Z made from a GUID or a digest.
#pragma once

#include "Archive.h"

#include "classlib/ClassLib.h"

#include <guiddef.h>

class CObjectID : public CString {
 public:
  CObjectID() = default;
  CObjectID(const char* text) : CString(text) {}  // NOLINT: identifiers convert from texts freely
  CObjectID(const CString& text) : CString(text) {}

  CObjectID& operator=(const char* text) {
    CString::operator=(text);
    return *this;
  }
  CObjectID& operator=(const CString& text) {
    CString::operator=(text);
    return *this;
  }

  // A new identifier from a new GUID; throws CMyException when the platform cannot make one.
  static CObjectID CreateNew();
  // The stored text form of a GUID (or of a 16-byte digest taken as a GUID).
  static CObjectID FromGuid(const GUID& guid);
};

// The identifier block: u16 schema 0x0100, then the text.
void WriteObjectID(zvk::Archive& archive, const CString& id);
// Reads an identifier block; a major version other than 1 is BadSchema, short data EndOfFile.
void ReadObjectID(zvk::Archive& archive, CString& id);

// Where identifier blocks report an unknown schema.
constexpr const char* ObjectIDSourceFile = "ObjectID.h";
constexpr int ObjectIDSchemaLine = 74;

// Reads and checks the schema word of an identifier block (what every record reader does in place).
void ReadObjectIDSchema(zvk::Archive& archive);

// The class library's hashed maps take identifiers as keys, by identifier or by character text.
template <>
inline UINT HashKey<const CObjectID&>(const CObjectID& key) {
  return HashText(key);
}
template <>
inline UINT HashKey<CObjectID>(CObjectID key) {
  return HashText(key);
}
