#include "classlib/Menu.h"

namespace {
std::mutex g_scriptLock;
CPopupMenuScript* g_script = nullptr;
}  // namespace

CPopupMenuScript::CPopupMenuScript() {
  std::lock_guard<std::mutex> guard(g_scriptLock);
  m_previousScript = g_script;
  g_script = this;
  m_previousHandler = reinterpret_cast<void*>(AfxSetTrackPopupMenuHandler(&CPopupMenuScript::Handle));
}

CPopupMenuScript::~CPopupMenuScript() {
  std::lock_guard<std::mutex> guard(g_scriptLock);
  g_script = m_previousScript;
  AfxSetTrackPopupMenuHandler(reinterpret_cast<AFX_TRACKPOPUPMENU_HANDLER>(m_previousHandler));
}

CPopupMenuScript& CPopupMenuScript::Choose(UINT nCommand) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_choices.push_back(nCommand);
  return *this;
}

std::vector<CPopupMenuScript::Shown> CPopupMenuScript::GetShown() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_shown;
}

BOOL CPopupMenuScript::Handle(HMENU hMenu, UINT nFlags, int x, int y, HWND hWnd, LPCRECT) {
  CPopupMenuScript* script;
  {
    std::lock_guard<std::mutex> guard(g_scriptLock);
    script = g_script;
  }
  if (script == nullptr) return FALSE;
  if ((nFlags & TPM_NONOTIFY) == 0 && hWnd != nullptr) {
    ::SendMessageA(hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hMenu), 0);
  }
  Shown shown{{}, nFlags, {x, y}, hWnd, 0};
  int count = ::GetMenuItemCount(hMenu);
  for (int i = 0; i < count; ++i) {
    Item item;
    item.nID = ::GetMenuItemID(hMenu, i);
    item.nState = ::GetMenuState(hMenu, static_cast<UINT>(i), MF_BYPOSITION);
    char text[256] = {};
    ::GetMenuStringA(hMenu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
    item.text = text;
    shown.items.push_back(item);
  }
  UINT chosen = 0;
  {
    std::lock_guard<std::mutex> guard(script->m_lock);
    if (!script->m_choices.empty()) {
      chosen = script->m_choices.front();
      script->m_choices.pop_front();
    }
    shown.nChosen = chosen;
    script->m_shown.push_back(shown);
  }
  if ((nFlags & TPM_RETURNCMD) != 0) return static_cast<BOOL>(chosen);
  if (chosen != 0 && hWnd != nullptr) ::PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
  return TRUE;
}
