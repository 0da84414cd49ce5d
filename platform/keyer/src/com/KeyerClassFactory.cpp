#include "KeyerClassFactory.h"

#include <new>

#include "ChromaKeyer.h"

KeyerClassFactory& KeyerClassFactory::Instance() {
  static KeyerClassFactory factory;
  return factory;
}

HRESULT KeyerClassFactory::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    *object = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT KeyerClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  ChromaKeyer* keyer = new (std::nothrow) ChromaKeyer();
  if (!keyer) return E_OUTOFMEMORY;
  HRESULT hr = keyer->QueryInterface(iid, object);
  keyer->Release();
  return hr;
}

HRESULT KeyerClassFactory::LockServer(BOOL lock) {
  if (lock)
    InterlockedIncrement(&locks_);
  else
    InterlockedDecrement(&locks_);
  return S_OK;
}
