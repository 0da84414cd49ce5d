#include "comserver/ComObjectRoot.h"

namespace comserver {

HRESULT InternalQueryInterface(void* object, const ComMapEntry* entries, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (IsEqualIID(riid, IID_IUnknown)) {
    IUnknown* unknown = entries[0].cast(object);
    unknown->AddRef();
    *ppv = unknown;
    return S_OK;
  }
  for (const ComMapEntry* entry = entries; entry->piid; ++entry) {
    if (!IsEqualIID(*entry->piid, riid)) continue;
    if (entry->cast) {
      IUnknown* unknown = entry->cast(object);
      unknown->AddRef();
      *ppv = unknown;
      return S_OK;
    }
    HRESULT hr = entry->delegate(object, riid, ppv);
    if (SUCCEEDED(hr)) return hr;
  }
  return E_NOINTERFACE;
}

}  // namespace comserver
