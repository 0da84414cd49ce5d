#include "keyer/KeyerCreation.h"

#include <atomic>

#include "KeyerClassFactory.h"
#include "KeyerStateStore.h"
#include "keyer/ChromaKeyer.h"

namespace {
std::atomic<HRESULT> creationFailure{S_OK};
}

HRESULT GetKeyerClassObject(REFCLSID clsid, REFIID iid, void** factory) {
  if (!factory) return E_POINTER;
  *factory = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_ChromaKeyer)) return CLASS_E_CLASSNOTAVAILABLE;
  return KeyerClassFactory::Instance().QueryInterface(iid, factory);
}

HRESULT CreateKeyerObject(REFCLSID clsid, IUnknown** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  HRESULT failure = creationFailure.load();
  if (FAILED(failure)) return failure;
  IClassFactory* factory = nullptr;
  HRESULT hr = GetKeyerClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(object));
  factory->Release();
  return hr;
}

void SetKeyerCreationFailure(HRESULT failure) { creationFailure = SUCCEEDED(failure) ? S_OK : failure; }

void SetKeyerStateFolder(const char* folder) { KeyerStateStore::SetFolderOverride(folder); }
