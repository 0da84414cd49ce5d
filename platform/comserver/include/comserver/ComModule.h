// The server's module: its object map, lock count, class objects, self-registration and type library.
#pragma once

#include <windows.h>
#include <string>
#include <utility>
#include <vector>

#include "comserver/CriticalSection.h"

namespace comserver {

// One class the server hands out: its class identifier, its registry script and its creator.
struct ObjectMapEntry {
  const CLSID* pclsid;
  HRESULT (*UpdateRegistry)(BOOL bRegister);
  HRESULT (*CreateInstance)(void* outer, REFIID riid, void** ppv);
};

#define BEGIN_OBJECT_MAP(x) static const ::comserver::ObjectMapEntry x[] = {
#define OBJECT_ENTRY(clsid, class) {&clsid, &class ::UpdateRegistry, &class ::_CreatorClass::CreateInstance},
#define END_OBJECT_MAP()        \
  { nullptr, nullptr, nullptr } \
  }                             \
  ;

class CComModule {
 public:
  HRESULT Init(const ObjectMapEntry* objectMap, HINSTANCE instance, const GUID* plibid = nullptr);
  // Releases what the module cached (type information); processExit skips the releases.
  void Term(bool processExit = false);

  // Every living object, class object and LockServer lock counts; DllCanUnloadNow asks for zero.
  LONG Lock();
  LONG Unlock();
  LONG GetLockCount() const;

  HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);
  HRESULT RegisterServer(BOOL bRegTypeLib = FALSE);
  HRESULT UnregisterServer(BOOL bUnRegTypeLib = FALSE);
  // Runs the REGISTRY resource `id` of this module, %MODULE% being the module's path.
  HRESULT UpdateRegistryFromResource(UINT id, BOOL bRegister);
  // The type library is the module's TYPELIB resource 1.
  HRESULT RegisterTypeLib();
  HRESULT UnRegisterTypeLib();

  HINSTANCE GetModuleInstance() const { return m_instance; }
  const GUID* GetTypeLibId() const { return m_plibid; }
  std::string GetModulePath() const;
  std::wstring GetModulePathW() const;

  // Called by Term: caches hand over their release here.
  void AddTermFunc(void (*function)(void*), void* argument);

 private:
  const ObjectMapEntry* m_objectMap = nullptr;
  HINSTANCE m_instance = nullptr;
  const GUID* m_plibid = nullptr;
  volatile LONG m_lockCount = 0;
  CComAutoCriticalSection m_termLock;
  std::vector<std::pair<void (*)(void*), void*>> m_termFuncs;
};

// The one module of the server binary this library is linked into.
CComModule& Module();

}  // namespace comserver
