#include "classlib/CmdTarget.h"

#include "classlib/CmdUI.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
  static const AFX_MSGMAP map = {nullptr, entries};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

namespace {

bool MessageMatches(const AFX_MSGMAP_ENTRY& e, UINT message) {
  if (e.pRegisteredMessage != nullptr) return *e.pRegisteredMessage != 0 && *e.pRegisteredMessage == message;
  return e.nMessage == message;
}

}  // namespace

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message, UINT nCode, UINT nID) const {
  for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
       map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn != nullptr; ++e) {
      if (!MessageMatches(*e, message)) continue;
      if (e->nCode == nCode && e->nID <= nID && nID <= e->nLastID) return e;
    }
  }
  return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  UINT message = WM_COMMAND;
  UINT code = static_cast<UINT>(nCode);
  bool isNotify = false;
  if (code != CN_UPDATE_COMMAND_UI && HIWORD(code) == WM_NOTIFY) {
    message = WM_NOTIFY;
    code = LOWORD(code);
    isNotify = true;
  }
  for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
       map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn != nullptr; ++e) {
      if (e->nMessage != message || e->pRegisteredMessage != nullptr) continue;
      bool codeMatches = isNotify ? LOWORD(e->nCode) == code : e->nCode == code;
      if (!codeMatches || nID < e->nID || nID > e->nLastID) continue;
      if (pHandlerInfo != nullptr) {
        pHandlerInfo->pTarget = this;
        pHandlerInfo->pEntry = e;
        return TRUE;
      }
      AFX_MSGCALL call = {message, 0, 0, 0, nID, pExtra};
      return e->pfn(this, call);
    }
  }
  return FALSE;
}

BOOL CCmdTarget::DispatchThreadMessage(MSG* pMsg) {
  const AFX_MSGMAP_ENTRY* e = FindMessageEntry(pMsg->message);
  if (e == nullptr) return FALSE;
  AFX_MSGCALL call = {pMsg->message, pMsg->wParam, pMsg->lParam, 0, 0, nullptr};
  e->pfn(this, call);
  return TRUE;
}

const AFX_INTERFACEMAP* CCmdTarget::GetThisInterfaceMap() {
  static const AFX_INTERFACEMAP_ENTRY entries[] = {{nullptr, 0}};
  static const AFX_INTERFACEMAP map = {nullptr, entries};
  return &map;
}

const AFX_INTERFACEMAP* CCmdTarget::GetInterfaceMap() const { return GetThisInterfaceMap(); }

LPUNKNOWN CCmdTarget::GetInterface(const void* iid) {
  const IID& wanted = *static_cast<const IID*>(iid);
  const bool anyFirst = IsEqualIID(wanted, IID_IUnknown);
  for (const AFX_INTERFACEMAP* map = GetInterfaceMap(); map != nullptr;
       map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_INTERFACEMAP_ENTRY* e = map->pEntry; e->piid != nullptr; ++e) {
      if (anyFirst || IsEqualIID(*static_cast<const IID*>(e->piid), wanted))
        return reinterpret_cast<LPUNKNOWN>(reinterpret_cast<BYTE*>(this) + e->nOffset);
    }
  }
  return nullptr;
}

LPUNKNOWN CCmdTarget::GetControllingUnknown() { return GetInterface(&IID_IUnknown); }

DWORD CCmdTarget::ExternalAddRef() { return static_cast<DWORD>(InterlockedIncrement(&m_dwRef)); }

DWORD CCmdTarget::ExternalRelease() {
  const LONG left = InterlockedDecrement(&m_dwRef);
  if (left == 0) OnFinalRelease();
  return static_cast<DWORD>(left);
}

HRESULT CCmdTarget::ExternalQueryInterface(const void* iid, LPVOID* ppvObj) {
  if (ppvObj == nullptr) return E_POINTER;
  LPUNKNOWN found = iid != nullptr ? GetInterface(iid) : nullptr;
  *ppvObj = found;
  if (found == nullptr) return E_NOINTERFACE;
  ExternalAddRef();
  return S_OK;
}

void CCmdTarget::OnFinalRelease() { delete this; }
