#include "OwnerCellCtlOwner.h"

#include "OwnerCellCtl.h"

void COwnerCellCtlOwner::OnItemInserted(COwnerCellCtl* ctl, int index, LPARAM data) {
  ctl->ItemInserted(index, data);
}
void COwnerCellCtlOwner::OnDeleteItemData(COwnerCellCtl* ctl, LPARAM data) { ctl->DeleteItemData(data); }
BOOL COwnerCellCtlOwner::OnDrawCell(COwnerCellCtl* ctl, CDC* dc, int index, const CRect& cell,
                                    const CRect& clip, int mode) {
  return ctl->DrawCell(dc, index, cell, clip, mode);
}
int COwnerCellCtlOwner::OnCompareItems(COwnerCellCtl* ctl, int index1, LPARAM data1, int index2,
                                       LPARAM data2) {
  return ctl->CompareItems(index1, data1, index2, data2);
}
void COwnerCellCtlOwner::OnCellLButtonDown(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags,
                                           int x, int y) {
  ctl->CellLButtonDown(index, cell, flags, x, y);
}
void COwnerCellCtlOwner::OnCellLButtonUp(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x,
                                         int y) {
  ctl->CellLButtonUp(index, cell, flags, x, y);
}
void COwnerCellCtlOwner::OnCellLButtonDblClk(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags,
                                             int x, int y) {
  ctl->CellLButtonDblClk(index, cell, flags, x, y);
}
void COwnerCellCtlOwner::OnCellRButtonDown(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags,
                                           int x, int y) {
  ctl->CellRButtonDown(index, cell, flags, x, y);
}
void COwnerCellCtlOwner::OnCellRButtonUp(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x,
                                         int y) {
  ctl->CellRButtonUp(index, cell, flags, x, y);
}
void COwnerCellCtlOwner::OnCellRButtonDblClk(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags,
                                             int x, int y) {
  ctl->CellRButtonDblClk(index, cell, flags, x, y);
}
void COwnerCellCtlOwner::OnCellMouseMove(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags, int x,
                                         int y) {
  ctl->CellMouseMove(index, cell, flags, x, y);
}
void COwnerCellCtlOwner::OnCellMouseWheel(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags,
                                          short delta, int x, int y) {
  ctl->CellMouseWheel(index, cell, flags, delta, x, y);
}
void COwnerCellCtlOwner::OnCellKeyDown(COwnerCellCtl* ctl, UINT key, UINT repeat, UINT flags) {
  ctl->CellKeyDown(key, repeat, flags);
}
void COwnerCellCtlOwner::OnCellKeyUp(COwnerCellCtl* ctl, UINT key, UINT repeat, UINT flags) {
  ctl->CellKeyUp(key, repeat, flags);
}
void COwnerCellCtlOwner::OnCellChar(COwnerCellCtl* ctl, UINT ch, UINT repeat, UINT flags) {
  ctl->CellChar(ch, repeat, flags);
}
void COwnerCellCtlOwner::OnClickSelect(COwnerCellCtl* ctl, UINT flags, int index) {
  ctl->ClickSelect(flags, index);
}
void COwnerCellCtlOwner::OnRClickSelect(COwnerCellCtl* ctl, UINT flags, int index) {
  OnClickSelect(ctl, flags, index);
}
void COwnerCellCtlOwner::OnActivateItem(COwnerCellCtl* ctl, int index) { ctl->ActivateItem(index); }
void COwnerCellCtlOwner::OnRActivateItem(COwnerCellCtl* ctl, int index) { OnActivateItem(ctl, index); }
void COwnerCellCtlOwner::OnSelectionChanged(COwnerCellCtl* ctl, int index) { ctl->SelectionChanged(index); }
void COwnerCellCtlOwner::OnHoverItem(COwnerCellCtl* ctl, int index) { ctl->HoverItem(index); }
void COwnerCellCtlOwner::OnTopChanged(COwnerCellCtl* ctl) { ctl->TopChanged(); }
void COwnerCellCtlOwner::OnUpdateScrollBars(COwnerCellCtl* ctl) { ctl->UpdateScrollBars(); }
