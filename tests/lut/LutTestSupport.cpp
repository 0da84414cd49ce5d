#include "LutTestSupport.h"

#include <fstream>
#include <iterator>

#include "Fixtures.h"
#include "ServerTests.h"

namespace luttest {

std::string ServerPath() { return testsupport::BesideTestProgram("zvkLUT.ocx"); }

// The server is registered for the whole run and removed at the end.
static ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new testsupport::RegisteredServerEnvironment(ServerPath()));

CComPtr<ILut> CreateLut() {
  CLSID clsid;
  EXPECT_EQ(CLSIDFromProgID(L"Corvanith.LUT", &clsid), S_OK);
  CComPtr<ILut> lut;
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ILut, reinterpret_cast<void**>(&lut)),
            S_OK);
  return lut;
}

HRESULT PutValue(ILut* lut, long channel, const wchar_t* name, const VARIANT& value) {
  BSTR text = SysAllocString(name);
  HRESULT hr = lut->put_Value(static_cast<LUT_CHANNEL>(channel), text, value);
  SysFreeString(text);
  return hr;
}

HRESULT PutValue(ILut* lut, long channel, const wchar_t* name, long value) {
  return PutValue(lut, channel, name, CComVariant(value));
}

HRESULT PutValue(ILut* lut, long channel, const wchar_t* name, float value) {
  return PutValue(lut, channel, name, CComVariant(value));
}

std::vector<uint32_t> Table(ILut* lut, long channel, VARTYPE elementType, ULONG entries, LONG lower) {
  std::vector<uint32_t> values;
  SAFEARRAY* array = SafeArrayCreateVector(elementType, lower, entries);
  if (!array) {
    ADD_FAILURE() << "no array";
    return values;
  }
  CComVariant table;
  table.vt = static_cast<VARTYPE>(VT_ARRAY | elementType);
  table.parray = array;
  HRESULT hr = lut->GetTable(static_cast<LUT_CHANNEL>(channel), &table);
  EXPECT_EQ(hr, S_OK);
  if (FAILED(hr)) return values;
  void* data = nullptr;
  SafeArrayAccessData(array, &data);
  values.resize(entries);
  for (ULONG i = 0; i < entries; ++i) {
    switch (array->cbElements) {
      case 1:
        values[i] = static_cast<uint8_t*>(data)[i];
        break;
      case 2:
        values[i] = static_cast<uint16_t*>(data)[i];
        break;
      default:
        values[i] = static_cast<uint32_t*>(data)[i];
        break;
    }
  }
  SafeArrayUnaccessData(array);
  return values;
}

STDMETHODIMP RecordingSink::QueryInterface(REFIID riid, void** ppv) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPropertyNotifySink)) {
    *ppv = static_cast<IPropertyNotifySink*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP RecordingSink::OnChanged(DISPID id) {
  changes.push_back(id);
  if (m_unadviseInside) {
    m_unadviseInside = false;
    Unadvise();
  }
  return S_OK;
}

void RecordingSink::Advise(IUnknown* object) {
  CComQIPtr<IConnectionPointContainer> container(object);
  ASSERT_TRUE(container);
  ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &m_point), S_OK);
  ASSERT_EQ(m_point->Advise(static_cast<IPropertyNotifySink*>(this), &m_cookie), S_OK);
}

void RecordingSink::Unadvise() {
  if (m_point) {
    EXPECT_EQ(m_point->Unadvise(m_cookie), S_OK);
  }
  m_point.Release();
}

std::vector<unsigned char> SaveBytes(IUnknown* object, HRESULT* result, BOOL clearDirty) {
  CComQIPtr<IPersistStreamInit> persist(object);
  CComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  HRESULT hr = persist->Save(stream, clearDirty);
  if (result) *result = hr;
  STATSTG stat = {};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<unsigned char> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  LARGE_INTEGER zero = {};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  if (!bytes.empty()) stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  return bytes;
}

CComPtr<IStream> StreamOf(const std::vector<unsigned char>& bytes) {
  CComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  ULONG written = 0;
  if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
  LARGE_INTEGER zero = {};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  return stream;
}

std::vector<unsigned char> FixtureBytes(const std::string& name) {
  std::ifstream file(testsupport::FixturePath("lut\\" + name), std::ios::binary);
  EXPECT_TRUE(file.good()) << name;
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace luttest
