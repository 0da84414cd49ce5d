// CWnd: a C++ object attached to a window. Each thread keeps a permanent map from window handles
// to their objects; the object is taken out of that map before anything else happens when either
// the window or the object goes away, so no message ever reaches a half-destroyed object.
#pragma once

#include "classlib/CmdTarget.h"
#include "classlib/Geometry.h"
#include "classlib/String.h"

class CDC;
class CMenu;
class CFont;
class CRgn;
class CScrollBar;
class CFrameWnd;
class CDataExchange;
struct CCreateContext;

class CWnd;
// Out of line on purpose: the compiler may not assume the object pointer is non-null here.
HWND AfxSafeHwnd(const CWnd* pWnd);

class CWnd : public CCmdTarget {
  DECLARE_DYNCREATE(CWnd)

 public:
  CWnd() = default;
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;

  // Lifetime.
  // Both are safe on a null object pointer, as callers of this layer expect.
  operator HWND() const { return AfxSafeHwnd(this); }  // NOLINT(google-explicit-constructor)
  HWND GetSafeHwnd() const { return AfxSafeHwnd(this); }
  // The permanent object of the window, or a temporary wrapper that lives until the next idle.
  static CWnd* FromHandle(HWND hWnd);
  static CWnd* FromHandlePermanent(HWND hWnd);
  BOOL Attach(HWND hWndNew);
  HWND Detach();
  virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                      CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
  BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
  BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
  virtual BOOL DestroyWindow();
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  HWND UnsubclassWindow();
  virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
  virtual void PreSubclassWindow();
  virtual void PostNcDestroy();
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // A notification the parent received from this control, offered back first.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // Offers the message to the permanent object of hWndChild (FALSE when it has none).
  static BOOL SendChildNotify(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // Calls the window's previous procedure with the message being handled.
  LRESULT Default();
  // PreTranslateMessage of the message's window and its parents up to hWndStop.
  static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

  // Relatives.
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  int SetDlgCtrlID(int nID) { return static_cast<int>(::SetWindowLongPtrA(m_hWnd, GWLP_ID, nID)); }
  CWnd* GetDlgItem(int nID) const;
  void GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  CWnd* SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, AfxSafeHwnd(pWndNewParent))); }
  CWnd* GetOwner() const;
  void SetOwner(CWnd* pOwnerWnd) { m_hWndOwner = AfxSafeHwnd(pOwnerWnd); }
  CWnd* GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
  CWnd* GetTopLevelParent() const;
  CFrameWnd* GetParentFrame() const;
  CFrameWnd* GetTopLevelFrame() const;
  BOOL IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, AfxSafeHwnd(pWnd)); }
  CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const {
    return FromHandle(::GetNextDlgTabItem(m_hWnd, AfxSafeHwnd(pWndCtl), bPrevious));
  }
  void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE,
                                BOOL bOnlyPerm = FALSE);
  static CWnd* GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
  static CWnd* GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
  static CWnd* FindWindow(LPCTSTR lpszClassName, LPCTSTR lpszWindowName) {
    return FromHandle(::FindWindowA(lpszClassName, lpszWindowName));
  }

  // Geometry and state.
  void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
  void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
  void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
  void ClientToScreen(LPRECT lpRect) const;
  void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
  void ScreenToClient(LPRECT lpRect) const;
  void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const {
    ::MapWindowPoints(m_hWnd, AfxSafeHwnd(pwndTo), lpPoint, nCount);
  }
  void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const {
    ::MapWindowPoints(m_hWnd, AfxSafeHwnd(pwndTo), reinterpret_cast<LPPOINT>(lpRect), 2);
  }
  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
  }
  void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
               bRepaint);
  }
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  void CenterWindow(CWnd* pAlternateOwner = nullptr);
  BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const {
    lpwndpl->length = sizeof(WINDOWPLACEMENT);
    return ::GetWindowPlacement(m_hWnd, lpwndpl);
  }
  BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl) { return ::SetWindowPlacement(m_hWnd, lpwndpl); }
  BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
  BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
  void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
  CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
  static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
  CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
  static CWnd* GetCapture() { return FromHandle(::GetCapture()); }

  // Painting.
  void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
  void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
  void InvalidateRgn(CRgn* pRgn, BOOL bErase = TRUE);
  void ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, CRgn* prgnUpdate = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  void SetRedraw(BOOL bRedraw = TRUE) { ::SendMessageA(m_hWnd, WM_SETREDRAW, bRedraw, 0); }
  CDC* GetDC();
  CDC* GetWindowDC();
  int ReleaseDC(CDC* pDC);

  // Text and style.
  void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
  CFont* GetFont() const;
  void SetWindowText(LPCTSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }
  int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
  }
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0) {
    return ModifyStyle(m_hWnd, dwRemove, dwAdd, nFlags);
  }
  BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0) {
    return ModifyStyleEx(m_hWnd, dwRemove, dwAdd, nFlags);
  }
  static BOOL ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
  static BOOL ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
  void SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }
  int GetDlgItemText(int nID, CString& rString) const;
  void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE) {
    ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned);
  }
  UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const {
    return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
  }
  void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
  UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
  void CheckRadioButton(int nIDFirst, int nIDLast, int nIDCheck) {
    ::CheckRadioButton(m_hWnd, nIDFirst, nIDLast, nIDCheck);
  }

  // Messages.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
  }
  LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam);
  }
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
  }
  BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

  // Scrolling.
  void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = nullptr, LPCRECT lpClipRect = nullptr) {
    ::ScrollWindow(m_hWnd, xAmount, yAmount, lpRect, lpClipRect);
  }
  BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL) const;
  BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
  int GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
  int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE) {
    return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw);
  }
  void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const {
    ::GetScrollRange(m_hWnd, nBar, lpMinPos, lpMaxPos);
  }
  void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE) {
    ::SetScrollRange(m_hWnd, nBar, nMinPos, nMaxPos, bRedraw);
  }
  void ShowScrollBar(UINT nBar, BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, nBar, bShow); }

  // Menus.
  CMenu* GetMenu() const;
  BOOL SetMenu(CMenu* pMenu);
  void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
  CMenu* GetSystemMenu(BOOL bRevert) const;

  // Other.
  int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  void UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
  // Lays out the control bars among the children with ids nIDFirst..nIDLast along the edges of
  // the client area and gives the rest to child nIDLeftOver. With reposQuery only computes that
  // rest into lpRectParam.
  enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2, reposNoPosLeftOver = 0x8000 };
  void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlags = reposDefault,
                      LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr, BOOL bStretch = TRUE);

  // Control containment (AfxEnableControlContainer first; the program calls it at start-up).
  //
  // | member | behaviour |
  // |---|---|
  // | `CreateControl` | creates the ActiveX control `clsid` as the child `nID` of `pParentWnd` at `rect`: a
  // host window of the platform's control host ("AtlAxWin") holds the control, loaded from `pPersist`
  // (IPersistStreamInit) or initialised new, sited and active in place; this object is attached to the
  // host. Returns the creation's HRESULT (REGDB_E_CLASSNOTREG for a class nobody registered); on failure
  // no window remains. |
  // | `GetControlUnknown` | the hosted control's IUnknown, without a reference of the caller's (the host
  // holds it while its window lives); also on a temporary object from `GetDlgItem`. Null for an
  // ordinary window. |
  //
  // Keys reach the control through the dialog's own IsDialogMessage: its window is a control parent.
  HRESULT CreateControl(REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, IStream* pPersist = nullptr);
  IUnknown* GetControlUnknown();
  void SetControlUnknown(IUnknown* pUnknown) { m_pControlUnknown = pUnknown; }

 protected:
  virtual void DoDataExchange(CDataExchange* pDX);

  // The previous window procedure (Default and DefWindowProc call it).
  WNDPROC m_pfnSuper = nullptr;
  HWND m_hWndOwner = nullptr;
  BOOL m_bPaintErrorReported = FALSE;
  IUnknown* m_pControlUnknown = nullptr;

  // Default handlers: the window's own procedure does the work.
  afx_msg int OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
  afx_msg void OnDestroy() { Default(); }
  afx_msg void OnNcDestroy() { Default(); }
  afx_msg void OnClose() { Default(); }
  afx_msg BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
  afx_msg void OnPaint() { Default(); }
  afx_msg void OnSize(UINT, int, int) { Default(); }
  afx_msg void OnMove(int, int) { Default(); }
  afx_msg void OnTimer(UINT_PTR) { Default(); }
  afx_msg void OnInitMenu(CMenu*) { Default(); }
  afx_msg void OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
  afx_msg void OnMenuSelect(UINT, UINT, HMENU) { Default(); }
  afx_msg void OnEnable(BOOL) { Default(); }
  afx_msg void OnShowWindow(BOOL, UINT) { Default(); }
  afx_msg void OnSysColorChange() { Default(); }
  afx_msg void OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
  afx_msg void OnWindowPosChanging(WINDOWPOS*) { Default(); }
  afx_msg void OnWindowPosChanged(WINDOWPOS*) { Default(); }
  afx_msg void OnActivate(UINT, CWnd*, BOOL) { Default(); }
  afx_msg void OnActivateApp(BOOL, DWORD) { Default(); }
  afx_msg void OnSysCommand(UINT, LPARAM) { Default(); }
  afx_msg void OnDropFiles(HDROP) { Default(); }
  afx_msg void OnCancelMode() { Default(); }
  afx_msg void OnParentNotify(UINT, LPARAM) { Default(); }
  afx_msg void OnPaletteChanged(CWnd*) { Default(); }
  afx_msg BOOL OnQueryNewPalette() { return static_cast<BOOL>(Default()); }
  afx_msg void OnContextMenu(CWnd*, CPoint) { Default(); }
  afx_msg void OnSetFocus(CWnd*) { Default(); }
  afx_msg void OnKillFocus(CWnd*) { Default(); }
  afx_msg void OnKeyDown(UINT, UINT, UINT) { Default(); }
  afx_msg void OnKeyUp(UINT, UINT, UINT) { Default(); }
  afx_msg void OnSysKeyDown(UINT, UINT, UINT) { Default(); }
  afx_msg void OnSysKeyUp(UINT, UINT, UINT) { Default(); }
  afx_msg void OnChar(UINT, UINT, UINT) { Default(); }
  afx_msg void OnSysChar(UINT, UINT, UINT) { Default(); }
  afx_msg UINT OnGetDlgCode() { return static_cast<UINT>(Default()); }
  afx_msg void OnLButtonDown(UINT, CPoint) { Default(); }
  afx_msg void OnLButtonUp(UINT, CPoint) { Default(); }
  afx_msg void OnLButtonDblClk(UINT, CPoint) { Default(); }
  afx_msg void OnRButtonDown(UINT, CPoint) { Default(); }
  afx_msg void OnRButtonUp(UINT, CPoint) { Default(); }
  afx_msg void OnRButtonDblClk(UINT, CPoint) { Default(); }
  afx_msg void OnMButtonDown(UINT, CPoint) { Default(); }
  afx_msg void OnMButtonUp(UINT, CPoint) { Default(); }
  afx_msg void OnMouseMove(UINT, CPoint) { Default(); }
  afx_msg BOOL OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
  afx_msg int OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
  afx_msg void OnCaptureChanged(CWnd*) { Default(); }
  afx_msg BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
  afx_msg void OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
  afx_msg void OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
  afx_msg void OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
  afx_msg LRESULT OnNcHitTest(CPoint) { return Default(); }
  afx_msg void OnNcPaint() { Default(); }
  afx_msg void OnNcLButtonDown(UINT, CPoint) { Default(); }
  afx_msg void OnNcMouseMove(UINT, CPoint) { Default(); }
  afx_msg void OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
  afx_msg void OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
  afx_msg HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

  friend LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  friend LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam);
};

// The window procedure of every window with an object.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Window classes. "Already registered" counts as success.
BOOL AfxRegisterClass(WNDCLASSA* lpWndClass);
LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                            HICON hIcon = nullptr);

// The message being handled on this thread (Default() uses it).
const MSG* AfxGetCurrentMessage();

// Reports the exception being handled (call inside a catch block) through the one prompt path:
// a CException* with ReportError and Delete, anything else through the installed reporter.
void AfxReportCaughtException();
// The program's reporter for exceptions that are not CException*: called with the exception;
// the default shows std::exception::what() or a general text. Returns the one it replaces.
#include <exception>
typedef void (*AFX_EXCEPTION_REPORTER)(std::exception_ptr exception);
AFX_EXCEPTION_REPORTER AfxSetExceptionReporter(AFX_EXCEPTION_REPORTER reporter);

// The argument crackers use these.
#include "classlib/Dc.h"
#include "classlib/Menu.h"
#include "classlib/ScrollBar.h"
