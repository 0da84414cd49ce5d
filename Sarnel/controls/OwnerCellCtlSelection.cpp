// COwnerCellCtl: selection with its selection order, the anchor and the caret.
#include "OwnerCellCtl.h"

#include <algorithm>
#include <vector>

void COwnerCellCtl::SelectionChanged(int) {}

void COwnerCellCtl::ReportSelectionChanged(int index) {
  if (cellOwner != nullptr)
    cellOwner->OnSelectionChanged(this, index);
  else
    SelectionChanged(index);
}

void COwnerCellCtl::SelectItem(const ItemPos& item, bool makeVisible) {
  int index = ResolveIndex(item);
  if (!IsIndexInRange(index)) index = -1;  // a reference to no item clears the selection
  if (index != -1 && selection.size() == 1 && selection.begin()->first == index) return;
  auto found = index == -1 ? selection.end() : selection.find(index);
  const bool wasSelected = found != selection.end();
  const int order = wasSelected ? found->second : ++lastSelectionOrder;
  std::vector<int> others;
  for (const auto& entry : selection)
    if (entry.first != index) others.push_back(entry.first);
  selection.clear();
  for (int other : others) RedrawItem(ItemPos::ByIndex(other));
  if (index == -1) {
    if ((styleBits & StyleReportEmptySelection) != 0) ReportSelectionChanged(-1);
    return;
  }
  selection.emplace(index, order);
  anchor = index;
  caret = index;
  if (!wasSelected || !others.empty()) {
    ReportSelectionChanged(index);
    RedrawItem(ItemPos::ByIndex(index));
  }
  if (makeVisible && !IsItemVisible(ItemPos::ByIndex(index))) EnsureVisible(ItemPos::ByIndex(index));
}

void COwnerCellCtl::SetItemSelected(const ItemPos& item, bool select) {
  const int index = ResolveIndex(item);
  if (!IsIndexInRange(index)) return;
  const bool isSelected = selection.count(index) != 0;
  if (isSelected == select) return;
  if (select)
    selection.emplace(index, ++lastSelectionOrder);
  else
    selection.erase(index);
  ReportSelectionChanged(index);
  RedrawItem(ItemPos::ByIndex(index));
  if (selection.size() == 1) anchor = selection.begin()->first;
}

void COwnerCellCtl::SelectRange(const ItemPos& item) {
  if (anchor == -1) {
    SelectItem(item, true);
    return;
  }
  const int index = ResolveIndex(item);
  if (!IsIndexInRange(index)) return;
  caret = index;
  const int low = std::min(anchor, index);
  const int high = std::max(anchor, index);
  std::vector<int> outside;
  for (const auto& entry : selection)
    if (entry.first < low) outside.push_back(entry.first);
  for (const auto& entry : selection)
    if (entry.first > high) outside.push_back(entry.first);
  for (int other : outside) SetItemSelected(ItemPos::ByIndex(other), false);
  // Deselecting may have moved the anchor to the one item left selected; the range grows from there.
  const int from = anchor;
  const int step = index >= from ? 1 : -1;
  for (int i = from;; i += step) {
    SetItemSelected(ItemPos::ByIndex(i), true);
    if (i == index) break;
  }
}

int COwnerCellCtl::GetSelectionOrder(const ItemPos& item) const {
  auto found = selection.find(ResolveIndex(item));
  return found == selection.end() ? 0 : found->second;
}

COwnerCellCtl::ItemHandle COwnerCellCtl::GetNextSelected(const ItemPos& item) const {
  auto found = selection.lower_bound(ResolveIndex(item));
  if (found == selection.end()) return {};
  return {found->first, items[static_cast<size_t>(found->first)].id};
}
