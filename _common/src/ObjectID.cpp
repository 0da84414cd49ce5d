#include "ObjectID.h"

#include "MyException.h"

#include <objbase.h>

CObjectID CObjectID::CreateNew() {
  GUID guid{};
  HRESULT hr = CoCreateGuid(&guid);
  // A failed call would leave a zero or repeated GUID: identifiers must be unique, so refuse.
  if (FAILED(hr)) throw CMyException(hr, "hr", __FILE__, __LINE__);
  return FromGuid(guid);
}

CObjectID CObjectID::FromGuid(const GUID& guid) {
  const uint8_t* b = guid.Data4;
  uint16_t words[8];  // words[0] is the least significant
  words[7] = static_cast<uint16_t>(guid.Data1 >> 16);
  words[6] = static_cast<uint16_t>(guid.Data1 & 0xFFFF);
  words[5] = guid.Data2;
  words[4] = guid.Data3;
  words[3] = static_cast<uint16_t>(b[6] + 256 * b[7]);
  words[2] = static_cast<uint16_t>(b[4] + 256 * b[5]);
  words[1] = static_cast<uint16_t>(b[2] + 256 * b[3]);
  words[0] = static_cast<uint16_t>(b[0] + 256 * b[1]);

  char text[26];
  for (int i = 0; i < 25; ++i) {
    unsigned d = words[0] % 36;
    text[i] = static_cast<char>(d < 10 ? '0' + d : 'A' + (d - 10));
    // Not an exact division of the 128-bit number: the carry stands for r * 1820 in the next word
    // and the remainder 16 * r is dropped. Stored identifiers were made this way.
    unsigned carry = 0;
    for (int w = 7; w >= 0; --w) {
      unsigned old = words[w];
      words[w] = static_cast<uint16_t>(old / 36 + 1820 * carry);
      carry = old % 36;
    }
  }
  text[25] = '\0';
  return CObjectID(text);
}

void WriteObjectID(zvk::Archive& archive, const CString& id) {
  zvk::WriteArchiveWord(archive, 0x0100);
  zvk::WriteArchiveCString(archive, id);
}

void ReadObjectIDSchema(zvk::Archive& archive) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != 1)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, ObjectIDSourceFile, ObjectIDSchemaLine);
}

void ReadObjectID(zvk::Archive& archive, CString& id) {
  ReadObjectIDSchema(archive);
  zvk::ReadArchiveCString(archive, id);
}
