// The object that paints the cells of a COwnerCellCtl and takes its cell events. Every default hands
// the call to the control's own virtual operation of the same role.
#pragma once

#include "OwnerCtlOwner.h"

class COwnerCellCtl;

class COwnerCellCtlOwner : public COwnerCtlOwner {
 public:
  // The control never calls this one; it is here for owners that forward insertions themselves.
  virtual void OnItemInserted(COwnerCellCtl* ctl, int index, LPARAM data);
  virtual void OnDeleteItemData(COwnerCellCtl* ctl, LPARAM data);
  // index -1 for a cell without an item; mode 0 plain, 1 quick first pass (FALSE: finish later), 2 idle
  // finish.
  virtual BOOL OnDrawCell(COwnerCellCtl* ctl, CDC* dc, int index, const CRect& cell, const CRect& clip,
                          int mode);
  virtual int OnCompareItems(COwnerCellCtl* ctl, int index1, LPARAM data1, int index2, LPARAM data2);
  virtual void OnCellLButtonDown(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x, int y);
  virtual void OnCellLButtonUp(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x, int y);
  virtual void OnCellLButtonDblClk(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x,
                                   int y);
  virtual void OnCellRButtonDown(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x, int y);
  virtual void OnCellRButtonUp(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x, int y);
  virtual void OnCellRButtonDblClk(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x,
                                   int y);
  virtual void OnCellMouseMove(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x, int y);
  virtual void OnCellMouseWheel(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, short delta,
                                int x, int y);
  virtual void OnCellKeyDown(COwnerCellCtl* ctl, UINT key, UINT repeat, UINT flags);
  virtual void OnCellKeyUp(COwnerCellCtl* ctl, UINT key, UINT repeat, UINT flags);
  virtual void OnCellChar(COwnerCellCtl* ctl, UINT ch, UINT repeat, UINT flags);
  virtual void OnClickSelect(COwnerCellCtl* ctl, UINT flags, int index);
  // Defaults to this owner's OnClickSelect.
  virtual void OnRClickSelect(COwnerCellCtl* ctl, UINT flags, int index);
  virtual void OnActivateItem(COwnerCellCtl* ctl, int index);
  // Defaults to this owner's OnActivateItem.
  virtual void OnRActivateItem(COwnerCellCtl* ctl, int index);
  virtual void OnSelectionChanged(COwnerCellCtl* ctl, int index);
  virtual void OnHoverItem(COwnerCellCtl* ctl, int index);
  virtual void OnTopChanged(COwnerCellCtl* ctl);
  virtual void OnUpdateScrollBars(COwnerCellCtl* ctl);
};
