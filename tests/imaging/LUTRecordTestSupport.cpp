#include "LUTRecordTestSupport.h"

#include "LutTestSupport.h"

namespace luttest {

void PutAll(LUTRecord& record, const wchar_t* name, const VARIANT& value) {
  ASSERT_EQ(PutValue(record.GetObject(), chAll, name, value), S_OK) << name;
}

std::vector<int> Plane(const LUTRecord& record, int plane) {
  std::vector<int> entries;
  _variant_t table;
  EXPECT_EQ(record.GetTable(&table), S_OK);
  if (table.vt != (VT_ARRAY | VT_UI1)) {
    ADD_FAILURE() << "table type " << table.vt;
    return entries;
  }
  const uint8_t* data = nullptr;
  SafeArrayAccessData(table.parray, reinterpret_cast<void**>(const_cast<uint8_t**>(&data)));
  entries.assign(data + plane * 256, data + plane * 256 + 256);
  SafeArrayUnaccessData(table.parray);
  return entries;
}

namespace {

HRESULT CallServer(const char* entry) {
  HMODULE server = GetModuleHandleA("zvkLUT.ocx");
  if (!server) return E_UNEXPECTED;
  auto function = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(server, entry));
  return function ? function() : E_UNEXPECTED;
}

}  // namespace

ServerUnregistered::ServerUnregistered() { EXPECT_EQ(CallServer("DllUnregisterServer"), S_OK); }

ServerUnregistered::~ServerUnregistered() { EXPECT_EQ(CallServer("DllRegisterServer"), S_OK); }

HRESULT ServerCanUnloadNow() { return CallServer("DllCanUnloadNow"); }

}  // namespace luttest
