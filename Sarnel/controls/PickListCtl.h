// A scrolling single-selection list of text lines with separators, dimmed lines, a value per line
// and an optional size grip; the grid's list editor drops it down as its list of choices.
// Window class "bxqPickListCtl"; the messages are those of the menu list (MenuListCtl.h).
#pragma once

#include "PickListItem.h"

#include "classlib/ClassLib.h"

#include <vector>

class CPickListCtl : public CWnd {
 public:
  // Low bits of the window style.
  static constexpr DWORD DropDownStyle = 1;  // hover selects; a click does not activate
  static constexpr DWORD GripStyle = 2;      // size grip in the lower right corner

  CPickListCtl();
  ~CPickListCtl() override;

  BOOL Create(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id);

  int AddItem(LPCTSTR text, bool dimmed = false, bool select = false);
  int GetCount() const { return static_cast<int>(items.size()); }
  CString GetItemText(int index) const;
  void SetItemValue(int index, const VARIANT& value);
  const VARIANT& GetItemValue(int index) const;
  void SetCurSel(int index);
  int GetCurSel() const { return selection; }
  int GetTopIndex() const { return topIndex; }
  // While off, changes neither repaint nor touch the scroll bar.
  void SetRedrawFlag(bool on) { redraw = on; }

  void ScrollTo(int top);
  void EnsureVisible(int index);
  void PageDown();
  void PageUp();
  void UpdateScrollBar();
  int GetVisibleRows();
  bool IsScrollBarShown() const { return scrollBarShown; }

  virtual void ItemClicked(int index);
  virtual void ItemDblClicked(int index);

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg void OnChar(UINT ch, UINT repeat, UINT flags);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message);
  afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  afx_msg void OnSetFocus(CWnd* oldWnd);
  afx_msg void OnKillFocus(CWnd* newWnd);
  afx_msg LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetCurSel(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetCurSel(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetTextLen(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  int LineHeight();
  int ItemAt(CPoint point);
  CRect GripRect() const;
  bool OnGrip(CPoint point) const;
  void Notify(int code);
  void SelectQuietly(int index);

  int scrollBarWidth;
  int gripWidth;
  int gripHeight;
  bool scrollBarShown = false;
  CScrollBar scrollBar;
  bool sizing = false;
  CPoint sizingStart;
  CRect sizingRect;
  std::vector<PickListItem> items;
  int topIndex = 0;
  int selection = -1;
  int lineHeight = -1;
  bool redraw = true;
};
