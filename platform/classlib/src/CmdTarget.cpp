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
