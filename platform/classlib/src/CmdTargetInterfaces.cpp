// Reference counting and QueryInterface through a command target's interface map chain.
#include "classlib/CmdTarget.h"

namespace {
const AFX_INTERFACEMAP_ENTRY kNoInterfaces[] = {{nullptr, nullptr}};
const AFX_INTERFACEMAP kBaseInterfaceMap = {nullptr, kNoInterfaces};
}  // namespace

const AFX_INTERFACEMAP* CCmdTarget::GetThisInterfaceMap() { return &kBaseInterfaceMap; }
const AFX_INTERFACEMAP* CCmdTarget::GetInterfaceMap() const { return &kBaseInterfaceMap; }

IUnknown* CCmdTarget::GetInterface(const void* iid) {
  const IID& wanted = *static_cast<const IID*>(iid);
  IUnknown* first = nullptr;
  for (const AFX_INTERFACEMAP* map = GetInterfaceMap(); map;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_INTERFACEMAP_ENTRY* entry = map->pEntry; entry->piid; ++entry) {
      IUnknown* part = entry->pfnGetPart(this);
      if (!first) first = part;
      if (IsEqualIID(*entry->piid, wanted)) return part;
    }
    if (map == &kBaseInterfaceMap) break;
  }
  // Every part answers for the object, so the first one is its IUnknown.
  return IsEqualIID(wanted, IID_IUnknown) ? first : nullptr;
}

IUnknown* CCmdTarget::GetControllingUnknown() { return GetInterface(&IID_IUnknown); }

DWORD CCmdTarget::ExternalAddRef() { return static_cast<DWORD>(InterlockedIncrement(&m_dwRef)); }

DWORD CCmdTarget::ExternalRelease() {
  LONG count = InterlockedDecrement(&m_dwRef);
  if (count == 0) OnFinalRelease();
  return static_cast<DWORD>(count);
}

DWORD CCmdTarget::ExternalQueryInterface(const void* iid, void** ppvObj) {
  if (!ppvObj) return static_cast<DWORD>(E_POINTER);
  IUnknown* part = GetInterface(iid);
  *ppvObj = part;
  if (!part) return static_cast<DWORD>(E_NOINTERFACE);
  ExternalAddRef();
  return S_OK;
}

void CCmdTarget::OnFinalRelease() { delete this; }
