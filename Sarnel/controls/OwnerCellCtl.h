// A grid of equal cells, columns x rows per page, over a list of items. Each item keeps an opaque
// data word, a stable id and its selection state; an owner (or a derived class) paints every cell.
// Painting can run in two passes: a quick one during WM_PAINT and, for cells the owner could not
// finish, one cell per application idle event. A timed queue repaints chosen cells one by one.
//
// Vertical mode (no WS_HSCROLL) scrolls by rows; horizontal mode (WS_HSCROLL) scrolls by items.
#pragma once

#include "OwnerCellCtlOwner.h"
#include "OwnerCtl.h"

#include <map>
#include <set>
#include <vector>

class COwnerCellCtl : public COwnerCtl {
 public:
  static constexpr const char* kWindowClass = "zvkOwnerCellCtl";
  static BOOL RegisterWindowClass();

  // Style bits.
  enum : int {
    StyleTwoPassDrawing = 1,
    StyleMultipleSelection = 2,
    StyleHideScrollBar = 4,
    StyleReportEmptySelection = 8,
  };

  // An item named by its index (kind 0) or by its stable id (kind 1).
  struct ItemPos {
    int kind = 0;
    int index = 0;
    int id = 0;
    static ItemPos ByIndex(int index) { return {0, index, 0}; }
    static ItemPos ById(int id) { return {1, 0, id}; }
  };
  // An item's index and stable id; the null handle is (-1, 0).
  struct ItemHandle {
    int index = -1;
    int id = 0;
    bool IsNull() const { return index == -1; }
  };
  // The data word is pointer-sized: owners keep pointers in it.
  struct Item {
    int id = 0;
    LPARAM data = 0;
  };

  COwnerCellCtl(int columns, int rows, int style, COwnerCellCtlOwner* owner);
  ~COwnerCellCtl() override;

  // Items.
  ItemHandle InsertItem(const ItemPos& position, LPARAM data);
  ItemHandle InsertItemSorted(LPARAM data);
  int FindInsertPosition(LPARAM data);
  void DeleteItem(const ItemPos& item);
  void DeleteAllItems();
  void SortItems();
  int GetItemCount() const { return static_cast<int>(items.size()); }
  LPARAM GetItemData(const ItemPos& item) const;
  // Raises E_INVALIDARG for an index out of range.
  int GetItemId(const ItemPos& item) const;
  // Raises E_INVALIDARG for a reference that names no item.
  const Item& ItemAt(const ItemPos& item) const;
  // The index a reference names: no range test for kind 0; -1 for an unknown id or kind.
  int ResolveIndex(const ItemPos& item) const;

  // Layout.
  void SetLayout(int columns, int rows);
  int GetColumns() const { return columns; }
  int GetRows() const { return rows; }
  int GetPageSize() const { return columns * rows; }
  int GetTopIndex() const { return topIndex; }
  // Returns the previous state; enabling redraws and updates the scroll bars.
  bool SetRedraw(bool enable);
  bool IsRedrawEnabled() const { return redrawEnabled; }
  int GetStyleBits() const { return styleBits; }
  CRect GetCellRect(int position) const;
  bool IsItemVisible(const ItemPos& item) const;
  bool IsHorizontal() const;

  // Selection.
  void SelectItem(const ItemPos& item, bool makeVisible);
  void SetItemSelected(const ItemPos& item, bool select);
  void SelectRange(const ItemPos& item);
  int GetSelectedCount() const { return static_cast<int>(selection.size()); }
  int GetSelectionOrder(const ItemPos& item) const;
  ItemHandle GetNextSelected(const ItemPos& item) const;
  ItemHandle GetFirstSelected() const { return GetNextSelected(ItemPos::ByIndex(0)); }
  int GetAnchor() const { return anchor; }
  int GetCaret() const { return caret; }

  // Scrolling.
  void SetTopIndex(const ItemPos& item);
  void ScrollTo(const ItemPos& item);
  void EnsureVisible(const ItemPos& item);
  void PageDown();
  void PageUp();
  bool CanPageDown() const { return topIndex + GetPageSize() < GetItemCount(); }
  bool CanPageUp() const { return topIndex > 0; }

  // Drawing.
  void RedrawItem(const ItemPos& item);
  void RedrawItemDeferred(const ItemPos& item, UINT delayMs);
  void DrawCellNow(const ItemPos& item);
  static void DrawCellFrame(CDC* dc, const CRect& rect, bool hasItem, bool selected);
  size_t GetIdleQueueSize() const { return idleQueue.size(); }
  size_t GetDeferredQueueSize() const { return deferredQueue.size(); }

  void Redraw() override;
  void RedrawNow() override;
  UINT_PTR RedrawLater(UINT delayMs) override;
  void Draw(CDC* dc, const CRect& client, const CRect& clip) override;
  void LButtonDown(UINT flags, int x, int y) override;
  void LButtonUp(UINT flags, int x, int y) override;
  void LButtonDblClk(UINT flags, int x, int y) override;
  void RButtonDown(UINT flags, int x, int y) override;
  void RButtonUp(UINT flags, int x, int y) override;
  void RButtonDblClk(UINT flags, int x, int y) override;
  void MouseMove(UINT flags, int x, int y) override;
  void MouseWheel(UINT flags, short delta, int x, int y) override;
  void KeyDown(UINT key, UINT repeat, UINT flags) override;
  void KeyUp(UINT key, UINT repeat, UINT flags) override;
  void Char(UINT ch, UINT repeat, UINT flags) override;
  void OnAttached() override;
  // Runs the idle-time pass on IdleTimeEvent.
  int OnEvent(EventSource* source, Event* event) override;

  // The control's own operations; each is what the owner's default calls.
  virtual void ItemInserted(int index, LPARAM data);
  virtual void DeleteItemData(LPARAM data);
  virtual BOOL DrawCell(CDC* dc, int index, const CRect& cell, const CRect& clip, int mode);
  virtual int CompareItems(int index1, LPARAM data1, int index2, LPARAM data2);
  virtual void CellLButtonDown(int index, const CRect& cell, UINT flags, int x, int y);
  virtual void CellLButtonUp(int index, const CRect& cell, UINT flags, int x, int y);
  virtual void CellLButtonDblClk(int index, const CRect& cell, UINT flags, int x, int y);
  virtual void CellRButtonDown(int index, const CRect& cell, UINT flags, int x, int y);
  virtual void CellRButtonUp(int index, const CRect& cell, UINT flags, int x, int y);
  virtual void CellRButtonDblClk(int index, const CRect& cell, UINT flags, int x, int y);
  virtual void CellMouseMove(int index, const CRect& cell, UINT flags, int x, int y);
  virtual void CellMouseWheel(int index, const CRect& cell, UINT flags, short delta, int x, int y);
  // Keyboard navigation from the caret.
  virtual void CellKeyDown(UINT key, UINT repeat, UINT flags);
  virtual void CellKeyUp(UINT key, UINT repeat, UINT flags);
  virtual void CellChar(UINT ch, UINT repeat, UINT flags);
  virtual void ClickSelect(UINT flags, int index);
  virtual void RClickSelect(UINT flags, int index);
  virtual void ActivateItem(int index);
  virtual void RActivateItem(int index);
  virtual void HoverItem(int index);
  virtual void SelectionChanged(int index);
  virtual void TopChanged();
  virtual void UpdateScrollBars();

 protected:
  void PreSubclassWindow() override;

  afx_msg int OnCreate(LPCREATESTRUCT cs);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg UINT OnGetDlgCode();
  LRESULT OnScrollMessage(WPARAM wParam, LPARAM lParam);
  LRESULT OnCellTimerMessage(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  bool IsIndexInRange(int index) const { return index >= 0 && index < GetItemCount(); }
  // Scroll bars are touched only while redraw is enabled.
  void RefreshScrollBars();
  void ClearDrawingQueues();
  void QueueIdleUpdate(int index, const CRect& rect);
  void InvalidateVisibleFrom(int index);
  int HitTest(int x, int y, CRect& cell) const;
  void SwapItems(int a, int b);
  int Compare(int index1, LPARAM data1, int index2, LPARAM data2);
  BOOL DrawCellThrough(CDC* dc, int index, const CRect& cell, const CRect& clip, int mode);
  void ReportSelectionChanged(int index);
  void ReportTopChanged();
  UINT_PTR DeferredTimerId() const { return reinterpret_cast<UINT_PTR>(&deferredRedrawTimer); }

  COwnerCellCtlOwner* cellOwner;
  bool redrawEnabled = true;
  int styleBits;
  int columns;
  int rows;
  std::vector<Item> items;
  std::map<int, int> idToIndex;
  std::map<int, int> selection;  // index -> selection order number
  int topIndex = 0;
  int anchor = -1;
  int caret = -1;
  int lastId = 0;
  int lastSelectionOrder = 0;
  int rememberedScrollBar = -1;
  std::map<int, CRect> idleQueue;
  bool idleDrawFailureReported = false;  // a failing idle-time cell is reported once
  std::set<int> deferredQueue;
  UINT_PTR deferredRedrawTimer = 0;
};
