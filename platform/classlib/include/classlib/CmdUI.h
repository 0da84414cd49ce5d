// CCmdUI: asks the handlers of one command how its menu item, button or pane should look.
#pragma once

#include "classlib/Base.h"

class CCmdTarget;
class CMenu;
class CWnd;

class CCmdUI {
 public:
  CCmdUI() = default;
  virtual ~CCmdUI() = default;

  UINT m_nID = 0;
  UINT m_nIndex = 0;         // menu position, button or pane index
  CMenu* m_pMenu = nullptr;  // set when updating a menu item
  CMenu* m_pSubMenu = nullptr;
  CWnd* m_pOther = nullptr;  // set when updating a window (control, bar)
  UINT m_nIndexMax = 0;
  BOOL m_bEnableChanged = FALSE;
  BOOL m_bContinueRouting = FALSE;

  virtual void Enable(BOOL bOn = TRUE);
  virtual void SetCheck(int nCheck = 1);
  virtual void SetRadio(BOOL bOn = TRUE);
  virtual void SetText(LPCTSTR lpszText);
  // Lets the next command target in the route update this item as well.
  void ContinueRouting() { m_bContinueRouting = TRUE; }
  // Offers the item to pTarget's route; with bDisableIfNoHndler an item whose command nobody
  // handles is disabled.
  BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};
