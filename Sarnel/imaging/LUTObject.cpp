#include "LUTObject.h"

#include <ole2.h>

#include <cstring>

namespace {

using IStreamPtr = _com_ptr_t<_com_IIID<IStream, &__uuidof(IStream)>>;
using IPersistStreamPtr = _com_ptr_t<_com_IIID<IPersistStream, &__uuidof(IPersistStream)>>;

constexpr DWORD CreationContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

IStreamPtr StreamOver(const uint8_t* data, size_t size) {
  IStreamPtr stream;
  HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  if (FAILED(hr)) _com_issue_error(hr);
  ULONG written = 0;
  if (size > 0) {
    hr = stream->Write(data, static_cast<ULONG>(size), &written);
    if (FAILED(hr)) _com_issue_error(hr);
    if (written != size) _com_issue_error(STG_E_MEDIUMFULL);
  }
  LARGE_INTEGER start = {};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

}  // namespace

ILutPtr CreateLUTObject() {
  IUnknown* unknown = nullptr;
  HRESULT hr =
      CoCreateInstance(CLSID_LUT, nullptr, CreationContext, IID_IUnknown, reinterpret_cast<void**>(&unknown));
  ILutPtr lut;
  if (SUCCEEDED(hr) && unknown != nullptr) {
    hr = OleRun(unknown);
    if (SUCCEEDED(hr)) {
      ILut* raw = nullptr;
      hr = unknown->QueryInterface(IID_ILut, reinterpret_cast<void**>(&raw));
      if (SUCCEEDED(hr) && raw != nullptr) lut.Attach(raw);
    }
    unknown->Release();
  }
  if (FAILED(hr) && hr != E_NOINTERFACE) _com_issue_error(hr);
  if (!lut) _com_issue_error(E_POINTER);
  return lut;
}

LUTObjectLoad LoadLUTObject(const std::vector<uint8_t>& bytes) {
  LUTObjectLoad result;
  ILutPtr object;
  try {
    object = CreateLUTObject();
  } catch (const _com_error& e) {
    result.creationError = e.Error();
    return result;
  }
  // What OleLoadFromStream does, but with the class fixed: the bytes name the class to load.
  if (bytes.size() < sizeof(CLSID) || std::memcmp(bytes.data(), &CLSID_LUT, sizeof(CLSID)) != 0) {
    result.refused = true;
    return result;
  }
  IPersistStream* persist = nullptr;
  if (FAILED(object->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist))) || !persist) {
    result.refused = true;
    return result;
  }
  HRESULT hr;
  try {
    hr = persist->Load(StreamOver(bytes.data() + sizeof(CLSID), bytes.size() - sizeof(CLSID)));
  } catch (const _com_error& e) {
    hr = e.Error();
  }
  persist->Release();
  // A refused load can leave the object half loaded: it is dropped.
  if (FAILED(hr)) {
    result.refused = true;
    return result;
  }
  result.object = object;
  return result;
}

std::vector<uint8_t> SaveLUTObject(ILut* object) {
  if (object == nullptr) _com_issue_error(E_POINTER);
  IPersistStream* persist = nullptr;
  HRESULT hr = object->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist));
  if (FAILED(hr) || persist == nullptr) _com_issue_errorex(FAILED(hr) ? hr : E_NOINTERFACE, object, IID_ILut);
  IPersistStreamPtr holder(persist, false);
  IStreamPtr stream = StreamOver(nullptr, 0);
  hr = OleSaveToStream(persist, stream);
  if (FAILED(hr)) _com_issue_errorex(hr, persist, IID_IPersistStream);
  // The bytes written are those up to the stream's position.
  LARGE_INTEGER none = {};
  ULARGE_INTEGER end = {};
  hr = stream->Seek(none, STREAM_SEEK_CUR, &end);
  if (FAILED(hr)) _com_issue_error(hr);
  if (end.QuadPart > UINT32_MAX) _com_issue_error(STG_E_MEDIUMFULL);
  HGLOBAL global = nullptr;
  hr = GetHGlobalFromStream(stream, &global);
  if (FAILED(hr)) _com_issue_error(hr);
  std::vector<uint8_t> bytes(static_cast<size_t>(end.QuadPart));
  if (!bytes.empty()) {
    const void* data = GlobalLock(global);
    if (data == nullptr) _com_issue_error(E_OUTOFMEMORY);
    std::memcpy(bytes.data(), data, bytes.size());
    GlobalUnlock(global);
  }
  return bytes;
}
