// COwnerCellCtl: the item store, item references and the page layout.
#include "OwnerCellCtl.h"

#include "MyException.h"

#include <algorithm>
#include <utility>

namespace {
// A layout of no columns or rows would divide by zero in every cell computation.
int AtLeastOne(int value) { return value < 1 ? 1 : value; }
}  // namespace

BOOL COwnerCellCtl::RegisterWindowClass() {
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = AfxGetInstanceHandle();
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kWindowClass;
  return AfxRegisterClass(&wc);
}

COwnerCellCtl::COwnerCellCtl(int columns, int rows, int style, COwnerCellCtlOwner* owner)
    : COwnerCtl(owner),
      cellOwner(owner),
      styleBits(style),
      columns(AtLeastOne(columns)),
      rows(AtLeastOne(rows)) {}

// The owner frees the items' data beforehand (DeleteAllItems); the control only drops its own state.
COwnerCellCtl::~COwnerCellCtl() {
  if (m_hWnd != nullptr && deferredRedrawTimer != 0) ::KillTimer(m_hWnd, DeferredTimerId());
}

int COwnerCellCtl::ResolveIndex(const ItemPos& item) const {
  if (item.kind == 0) return item.index;
  if (item.kind == 1) {
    auto it = idToIndex.find(item.id);
    return it == idToIndex.end() ? -1 : it->second;
  }
  return -1;
}

const COwnerCellCtl::Item& COwnerCellCtl::ItemAt(const ItemPos& item) const {
  if (item.kind != 0 && item.kind != 1)
    throw CMyException(E_INVALIDARG, "E_INVALIDARG", "OwnerCellCtl", __LINE__);
  const int index = ResolveIndex(item);
  if (!IsIndexInRange(index)) throw CMyException(E_INVALIDARG, "E_INVALIDARG", "OwnerCellCtl", __LINE__);
  return items[static_cast<size_t>(index)];
}

LPARAM COwnerCellCtl::GetItemData(const ItemPos& item) const {
  const int index = ResolveIndex(item);
  return IsIndexInRange(index) ? items[static_cast<size_t>(index)].data : 0;
}

int COwnerCellCtl::GetItemId(const ItemPos& item) const {
  if (item.kind == 1) return item.id;
  if (item.kind == 0) return ItemAt(item).id;
  return 0;
}

COwnerCellCtl::ItemHandle COwnerCellCtl::InsertItem(const ItemPos& position, LPARAM data) {
  try {
    const int index = ResolveIndex(position);
    if (index < 0 || index > GetItemCount()) return {};
    const int id = ++lastId;  // never handed out again, even when this insertion fails
    items.insert(items.begin() + index, Item{id, data});
    for (auto& entry : idToIndex)
      if (entry.second >= index) ++entry.second;
    std::map<int, int> shifted;
    for (const auto& entry : selection)
      shifted.emplace(entry.first >= index ? entry.first + 1 : entry.first, entry.second);
    selection.swap(shifted);
    try {
      idToIndex.emplace(id, index);
    } catch (...) {
      items.erase(items.begin() + index);
      for (auto& entry : idToIndex)
        if (entry.second > index) --entry.second;
      std::map<int, int> back;
      for (const auto& entry : selection)
        back.emplace(entry.first > index ? entry.first - 1 : entry.first, entry.second);
      selection.swap(back);
      throw;
    }
    ItemInserted(index, data);
    if (redrawEnabled) {
      InvalidateVisibleFrom(index);
      RefreshScrollBars();
    }
    return {index, id};
  } catch (CException* e) {
    e->Delete();
  } catch (...) {
  }
  return {};
}

int COwnerCellCtl::FindInsertPosition(LPARAM data) {
  int lo = 0;
  int hi = GetItemCount();
  const int newIndex = GetItemCount();
  while (lo != hi) {
    const int mid = lo + (hi - lo) / 2;
    const int result = Compare(mid, items[static_cast<size_t>(mid)].data, newIndex, data);
    if (result < 0)
      lo = mid + 1;
    else if (result == 0)
      return mid;
    else
      hi = mid;
  }
  return lo;
}

COwnerCellCtl::ItemHandle COwnerCellCtl::InsertItemSorted(LPARAM data) {
  try {
    return InsertItem(ItemPos::ByIndex(FindInsertPosition(data)), data);
  } catch (CException* e) {
    e->Delete();
  } catch (...) {
  }
  return {};
}

void COwnerCellCtl::DeleteItem(const ItemPos& item) {
  try {
    const Item entry = ItemAt(item);
    const int index = ResolveIndex(item);
    if (cellOwner != nullptr)
      cellOwner->OnDeleteItemData(this, entry.data);
    else
      DeleteItemData(entry.data);
    idToIndex.erase(entry.id);
    selection.erase(index);
    items.erase(items.begin() + index);
    for (auto& e : idToIndex)
      if (e.second > index) --e.second;
    std::map<int, int> shifted;
    for (const auto& e : selection) shifted.emplace(e.first > index ? e.first - 1 : e.first, e.second);
    selection.swap(shifted);
    if (topIndex >= GetItemCount()) SetTopIndex(ItemPos::ByIndex(topIndex - columns));
    if (anchor >= index) anchor = -1;
    if (caret >= index) caret = -1;
    InvalidateVisibleFrom(index);
    RefreshScrollBars();
  } catch (CException* e) {
    e->Delete();
  } catch (...) {
  }
}

void COwnerCellCtl::DeleteAllItems() {
  for (const Item& entry : items) {
    if (cellOwner != nullptr)
      cellOwner->OnDeleteItemData(this, entry.data);
    else
      DeleteItemData(entry.data);
  }
  idToIndex.clear();
  selection.clear();
  items.clear();
  topIndex = 0;
  anchor = -1;
  caret = -1;
  if (m_hWnd != nullptr) Redraw();
  RefreshScrollBars();
}

int COwnerCellCtl::Compare(int index1, LPARAM data1, int index2, LPARAM data2) {
  if (cellOwner != nullptr) return cellOwner->OnCompareItems(this, index1, data1, index2, data2);
  return CompareItems(index1, data1, index2, data2);
}

void COwnerCellCtl::SwapItems(int a, int b) {
  std::swap(items[static_cast<size_t>(a)], items[static_cast<size_t>(b)]);
  auto selA = selection.find(a);
  auto selB = selection.find(b);
  const int orderA = selA == selection.end() ? 0 : selA->second;
  const int orderB = selB == selection.end() ? 0 : selB->second;
  selection.erase(a);
  selection.erase(b);
  if (orderA != 0) selection.emplace(b, orderA);
  if (orderB != 0) selection.emplace(a, orderB);
  idToIndex[items[static_cast<size_t>(a)].id] = a;
  idToIndex[items[static_cast<size_t>(b)].id] = b;
  RedrawItem(ItemPos::ByIndex(a));
  RedrawItem(ItemPos::ByIndex(b));
}

void COwnerCellCtl::SortItems() {
  const int count = GetItemCount();
  for (int gap = count / 2; gap > 0; gap /= 2) {
    for (int i = gap; i < count; ++i) {
      for (int j = i - gap; j >= 0; j -= gap) {
        if (Compare(j, items[static_cast<size_t>(j)].data, j + gap,
                    items[static_cast<size_t>(j + gap)].data) <= 0)
          break;
        SwapItems(j, j + gap);
      }
    }
  }
}

void COwnerCellCtl::SetLayout(int newColumns, int newRows) {
  newColumns = AtLeastOne(newColumns);
  newRows = AtLeastOne(newRows);
  if (newColumns == columns && newRows == rows) return;
  columns = newColumns;
  rows = newRows;
  const int page = columns * rows;
  const int from = caret != -1 ? caret : topIndex;
  const int newTop = from / page * page;
  if (newTop != topIndex) {
    topIndex = newTop;
    ReportTopChanged();
  }
  Redraw();
  RefreshScrollBars();
}

bool COwnerCellCtl::SetRedraw(bool enable) {
  const bool previous = redrawEnabled;
  redrawEnabled = enable;
  if (enable) {
    Redraw();
    RefreshScrollBars();
  }
  return previous;
}

bool COwnerCellCtl::IsHorizontal() const { return m_hWnd != nullptr && (GetStyle() & WS_HSCROLL) != 0; }

CRect COwnerCellCtl::GetCellRect(int position) const {
  CRect client;
  if (m_hWnd != nullptr) GetClientRect(&client);
  const int row = position / columns;
  const int column = position % columns;
  const int width = client.Width();
  const int height = client.Height();
  return CRect(client.left + width * column / columns, client.top + height * row / rows,
               client.left + width * (column + 1) / columns, client.top + height * (row + 1) / rows);
}

bool COwnerCellCtl::IsItemVisible(const ItemPos& item) const {
  const int index = ResolveIndex(item);
  return index >= topIndex && index < topIndex + GetPageSize();
}

void COwnerCellCtl::ItemInserted(int, LPARAM) {}
void COwnerCellCtl::DeleteItemData(LPARAM) {}
int COwnerCellCtl::CompareItems(int index1, LPARAM, int index2, LPARAM) {
  return index1 < index2 ? -1 : (index1 > index2 ? 1 : 0);
}
void COwnerCellCtl::TopChanged() {}

void COwnerCellCtl::ReportTopChanged() {
  if (cellOwner != nullptr)
    cellOwner->OnTopChanged(this);
  else
    TopChanged();
}
