#include "comserver/ComModule.h"

#include <oleauto.h>

#include <new>

#include "comserver/ComClassFactory.h"
#include "comserver/GuardedCall.h"
#include "comserver/Registrar.h"

namespace comserver {

CComModule& Module() {
  static CComModule module;
  return module;
}

HRESULT CComModule::Init(const ObjectMapEntry* objectMap, HINSTANCE instance, const GUID* plibid) {
  m_objectMap = objectMap;
  m_instance = instance;
  m_plibid = plibid;
  return S_OK;
}

void CComModule::Term(bool processExit) {
  std::vector<std::pair<void (*)(void*), void*>> funcs;
  {
    CComCritSecLock<CComAutoCriticalSection> lock(m_termLock);
    funcs.swap(m_termFuncs);
  }
  if (processExit) return;  // other DLLs may be gone already: let the process take the memory back
  for (auto it = funcs.rbegin(); it != funcs.rend(); ++it) it->first(it->second);
}

void CComModule::AddTermFunc(void (*function)(void*), void* argument) {
  CComCritSecLock<CComAutoCriticalSection> lock(m_termLock);
  m_termFuncs.emplace_back(function, argument);
}

LONG CComModule::Lock() { return InterlockedIncrement(&m_lockCount); }
LONG CComModule::Unlock() { return InterlockedDecrement(&m_lockCount); }
LONG CComModule::GetLockCount() const { return m_lockCount; }

HRESULT CComModule::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (!m_objectMap) return CLASS_E_CLASSNOTAVAILABLE;
  for (const ObjectMapEntry* entry = m_objectMap; entry->pclsid; ++entry) {
    if (!IsEqualCLSID(*entry->pclsid, clsid)) continue;
    return GuardedCall([&] {
      auto* factory = new CComClassFactory(entry->CreateInstance);
      HRESULT hr = factory->QueryInterface(riid, ppv);
      factory->Release();
      return hr;
    });
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CComModule::RegisterServer(BOOL bRegTypeLib) {
  HRESULT hr = S_OK;
  for (const ObjectMapEntry* entry = m_objectMap; entry && entry->pclsid && SUCCEEDED(hr); ++entry)
    hr = entry->UpdateRegistry(TRUE);
  if (SUCCEEDED(hr) && bRegTypeLib) hr = RegisterTypeLib();
  return hr;
}

HRESULT CComModule::UnregisterServer(BOOL bUnRegTypeLib) {
  HRESULT result = S_OK;
  for (const ObjectMapEntry* entry = m_objectMap; entry && entry->pclsid; ++entry) {
    HRESULT hr = entry->UpdateRegistry(FALSE);
    if (FAILED(hr) && SUCCEEDED(result)) result = hr;
  }
  if (bUnRegTypeLib) {
    HRESULT hr = UnRegisterTypeLib();
    if (FAILED(hr) && SUCCEEDED(result)) result = hr;
  }
  return result;
}

HRESULT CComModule::UpdateRegistryFromResource(UINT id, BOOL bRegister) {
  return GuardedCall([&] {
    CRegistrar registrar;
    registrar.AddReplacement("MODULE", GetModulePath());
    return bRegister ? registrar.ResourceRegister(m_instance, id)
                     : registrar.ResourceUnregister(m_instance, id);
  });
}

HRESULT CComModule::RegisterTypeLib() {
  // Registered under the module's own path as the loader reports it, not the loader's spelling of it.
  std::wstring path = GetModulePathW();
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
  if (FAILED(hr)) return hr;
  hr = ::RegisterTypeLib(library, path.data(), nullptr);
  library->Release();
  return hr;
}

HRESULT CComModule::UnRegisterTypeLib() {
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(GetModulePathW().c_str(), REGKIND_NONE, &library);
  if (FAILED(hr)) return hr;
  TLIBATTR* attributes = nullptr;
  hr = library->GetLibAttr(&attributes);
  if (SUCCEEDED(hr)) {
    // Nothing registered is what unregistration wants (the platforms differ in how they say so).
    wchar_t guid[40] = {};
    StringFromGUID2(attributes->guid, guid, 40);
    wchar_t versionKey[80] = {};
    wsprintfW(versionKey, L"TypeLib\\%s\\%x.%x", guid, attributes->wMajorVerNum, attributes->wMinorVerNum);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, versionKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
      RegCloseKey(key);
      hr = ::UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                               attributes->lcid, attributes->syskind);
    }
    library->ReleaseTLibAttr(attributes);
  }
  library->Release();
  return hr;
}

std::string CComModule::GetModulePath() const {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD length = GetModuleFileNameA(m_instance, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::string();
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring CComModule::GetModulePathW() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(m_instance, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace comserver
