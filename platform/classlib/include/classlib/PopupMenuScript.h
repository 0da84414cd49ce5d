// CPopupMenuScript: answers popup menus from a queue and records what they showed, for tests.
// While one lives it is the process's popup-menu handler. Like the real menu it sends
// WM_INITMENUPOPUP to the owner first (unless TPM_NONOTIFY), so update handlers run.
#pragma once

#include "classlib/String.h"

#include <deque>
#include <mutex>
#include <vector>

class CPopupMenuScript {
 public:
  CPopupMenuScript();
  ~CPopupMenuScript();
  CPopupMenuScript(const CPopupMenuScript&) = delete;
  CPopupMenuScript& operator=(const CPopupMenuScript&) = delete;

  // The command to choose next; 0 dismisses the menu. With the queue empty menus are dismissed.
  CPopupMenuScript& Choose(UINT nCommand);

  struct Item {
    UINT nID;  // 0 for separators, -1 for submenus
    CString text;
    UINT nState;  // MF_CHECKED, MF_GRAYED ... as GetMenuState reports them
  };
  struct Shown {
    std::vector<Item> items;
    UINT nFlags;
    POINT point;
    HWND hWndOwner;
    UINT nChosen;
  };
  std::vector<Shown> GetShown() const;

 private:
  static BOOL Handle(HMENU hMenu, UINT nFlags, int x, int y, HWND hWnd, LPCRECT lpRect);

  mutable std::mutex m_lock;
  std::deque<UINT> m_choices;
  std::vector<Shown> m_shown;
  CPopupMenuScript* m_previousScript = nullptr;
  void* m_previousHandler = nullptr;
};
