// A plain child window whose painting and input go to an owner object (COwnerCtlOwner) or, without
// one, to its own virtual operations. It paints the whole client area in one call and never erases,
// keeps one delayed-repaint timer, takes the arrow keys inside dialogs and tells its parent about
// clicks with WM_NOTIFY. It listens on the application-wide bus for its whole life so that derived
// controls can use idle time.
#pragma once

#include "OwnerCtlOwner.h"

#include "EventSink.h"

#include "classlib/ClassLib.h"

class COwnerCtl : public CWnd, public EventSink {
 public:
  static constexpr const char* kWindowClass = "zvkOwnerCtl";
  // Registers the window class that dialog templates name; an existing class counts as success.
  static BOOL RegisterWindowClass();

  explicit COwnerCtl(COwnerCtlOwner* owner = nullptr);
  ~COwnerCtl() override;

  // Turns the dialog's placeholder child of that id into this control.
  BOOL AttachDlgItem(UINT id, CWnd* parent);

  COwnerCtlOwner* GetCtlOwner() const { return ctlOwner; }

  virtual void Redraw();
  virtual void RedrawNow();
  // Restarts the one delayed-repaint timer; returns what SetTimer gave.
  virtual UINT_PTR RedrawLater(UINT delayMs);
  virtual void Draw(CDC* dc, const CRect& client, const CRect& clip);
  virtual void LButtonDown(UINT flags, int x, int y);
  virtual void LButtonUp(UINT flags, int x, int y);
  virtual void LButtonDblClk(UINT flags, int x, int y);
  virtual void RButtonDown(UINT flags, int x, int y);
  virtual void RButtonUp(UINT flags, int x, int y);
  virtual void RButtonDblClk(UINT flags, int x, int y);
  virtual void MouseMove(UINT flags, int x, int y);
  // x and y are screen coordinates, as the wheel message gives them.
  virtual void MouseWheel(UINT flags, short delta, int x, int y);
  virtual void KeyDown(UINT key, UINT repeat, UINT flags);
  virtual void KeyUp(UINT key, UINT repeat, UINT flags);
  virtual void Char(UINT ch, UINT repeat, UINT flags);
  virtual void FocusGained(CWnd* previous);
  virtual void FocusLost(CWnd* next);
  // Timers other than the delayed repaint.
  virtual void OnTimer(UINT_PTR id);
  virtual void OnAttached();

  int OnEvent(EventSource* source, Event* event) override;

  // The pending delayed-repaint timer, 0 for none.
  UINT_PTR GetDelayedRepaintTimer() const { return delayedRepaintTimer; }

 protected:
  // The whole client area, without erasing, when there is a window.
  void InvalidateClient();
  void NotifyParent(int code);
  // The WM_TIMER handling of this class; derived controls pass on the identifiers they do not own.
  LRESULT OnTimerMessage(WPARAM wParam, LPARAM lParam);

  afx_msg void OnPaint();
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
  afx_msg void OnRButtonDown(UINT flags, CPoint point);
  afx_msg void OnRButtonUp(UINT flags, CPoint point);
  afx_msg void OnRButtonDblClk(UINT flags, CPoint point);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg void OnKeyUp(UINT key, UINT repeat, UINT flags);
  afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
  afx_msg void OnSetFocus(CWnd* previous);
  afx_msg void OnKillFocus(CWnd* next);
  afx_msg void OnEnable(BOOL enable);
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg UINT OnGetDlgCode();
  DECLARE_MESSAGE_MAP()

 private:
  COwnerCtlOwner* ctlOwner;
  UINT_PTR delayedRepaintTimer = 0;
};
