// Shared pieces of the tone-curve tests: golden bytes spelled out from the stored layouts, records read
// from bytes, and zvkLUT.ocx taken out of the registry for a while.
#pragma once

#include "GoldenBytes.h"
#include "LUTList.h"
#include "LUTRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace luttest {

using modeltest::ArchiveBytes;
using modeltest::GoldenBytes;
using modeltest::ReaderOver;

// The class identifier of the LUT object as it is stored.
inline GoldenBytes LutClassId() {
  const uint8_t clsid[] = {0x10, 0x5E, 0xB6, 0x12, 0x1C, 0x17, 0xD3, 0x11,
                           0xBD, 0x0F, 0x00, 0x80, 0xC8, 0xE4, 0xAF, 0xC3};
  return GoldenBytes().raw(clsid, sizeof clsid);
}

// The 113-byte version-2 record of a default object: gammas 1.0, black points 0, white points 255,
// input device, RGB, 8 bits, gamma over, basic. The gamma of the "all" channel may differ.
inline GoldenBytes DefaultObjectRecord(float gammaAll = 1.0f) {
  GoldenBytes out;
  out.u32(0x002567A0).u32(113).f32(gammaAll);
  for (int i = 1; i < 15; ++i) out.f32(1.0f);
  for (int i = 0; i < 5; ++i) out.i32(0);
  for (int i = 0; i < 5; ++i) out.i32(255);
  return out.u8(1).u8(1).u8(8).u8(1).u8(0);
}

// A record's bytes around the persisted object.
inline GoldenBytes RecordBytes(const std::string& name, const std::string& description,
                               const GoldenBytes& object) {
  return GoldenBytes()
      .u16(0x0100)
      .text(name)
      .text(description)
      .u8(42)
      .u32(static_cast<uint32_t>(object.bytes.size()))
      .append(object);
}

inline GoldenBytes DefaultObject(float gammaAll = 1.0f) {
  return LutClassId().append(DefaultObjectRecord(gammaAll));
}

inline std::vector<uint8_t> Written(const LUTRecord& record) {
  zvk::ArchiveMemory archive;
  WriteLUTRecord(archive, record);
  return ArchiveBytes(archive);
}

inline LUTRecord ReadRecord(const std::vector<uint8_t>& bytes) {
  LUTRecord record;
  zvk::ArchiveMemory archive = ReaderOver(bytes);
  ReadLUTRecord(archive, record);
  return record;
}

inline std::vector<uint8_t> Written(const LUTList& list) {
  zvk::ArchiveMemory archive;
  list.Write(archive);
  return ArchiveBytes(archive);
}

// The kind and text of the archive exception a call raises; kind -1 when it raises none.
template <class F>
int ArchiveFailure(F&& call, std::string* message = nullptr) {
  try {
    call();
  } catch (const zvk::ArchiveException& e) {
    if (message) *message = e.what();
    return e.GetKind();
  }
  return -1;
}

// The HRESULT of the _com_error a call raises; S_OK when it raises none.
template <class F>
HRESULT ComFailure(F&& call) {
  try {
    call();
  } catch (const _com_error& e) {
    return e.Error();
  }
  return S_OK;
}

inline std::string ArchiveMessage(const char* kind, const char* file, int line) {
  return std::string("Archive Exception [") + kind + "]\n" + file + "(" + std::to_string(line) + ")";
}

// Puts one value of the "all" channel of a record's object.
void PutAll(LUTRecord& record, const wchar_t* name, const VARIANT& value);
// The entries 0..255 of one plane of a record's table.
std::vector<int> Plane(const LUTRecord& record, int plane);

// zvkLUT.ocx unregistered for the scope; registered again when it ends.
class ServerUnregistered {
 public:
  ServerUnregistered();
  ~ServerUnregistered();
};

// The answer of the server's DllCanUnloadNow.
HRESULT ServerCanUnloadNow();

}  // namespace luttest
