#include "GridTestSupport.h"

#include <gtest/gtest.h>

namespace gridtest {

namespace {
// OLE stays initialised for the whole run, so that no grid initialises and uninitialises it.
class OleEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ::OleInitialize(nullptr); }
  void TearDown() override { ::OleUninitialize(); }
};
const auto* const kOle = ::testing::AddGlobalTestEnvironment(new OleEnvironment);
}  // namespace

NotifyParent& SharedParent() {
  static NotifyParent* parent = new NotifyParent;  // lives for the run: one top-level window
  return *parent;
}

NotifyParent::NotifyParent() {
  CGridCtrl::RegisterWindowClass(::GetModuleHandleA(nullptr));
  CreateEx(0, AfxRegisterWndClass(0), "grid test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 300,
           nullptr, nullptr);
}

NotifyParent::~NotifyParent() {
  if (m_hWnd != nullptr) DestroyWindow();
}

BOOL NotifyParent::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
  const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
  const int code = static_cast<int>(hdr->code);
  if (code == GN_KEYDOWN || code == GN_DRAWCELL) {
    records.push_back({code, -1, -1, -1, -1});
  } else {
    const GridNotify* n = reinterpret_cast<const GridNotify*>(lParam);
    records.push_back({code, n->row, n->col, n->prevRow, n->prevCol});
  }
  *result = 0;
  return TRUE;
}

BOOL NotifyParent::OnCommand(WPARAM wParam, LPARAM) {
  commands.push_back(static_cast<UINT>(wParam));
  return TRUE;
}

std::vector<int> NotifyParent::Codes() const {
  std::vector<int> codes;
  for (const Record& r : records) codes.push_back(r.code);
  return codes;
}

int NotifyParent::Count(int code) const {
  int n = 0;
  for (const Record& r : records) n += r.code == code;
  return n;
}

Fixture::Fixture(int rows, int cols, int fixedRows, int fixedCols) : parent(SharedParent()) {
  parent.records.clear();
  parent.commands.clear();
  grid = new CGridCtrl;
  EXPECT_TRUE(grid->Create(CRect(0, 0, 300, 200), &parent, 77));
  grid->SetColumnCount(cols);
  grid->SetRowCount(rows);
  grid->SetFixedRowCount(fixedRows);
  grid->SetFixedColumnCount(fixedCols);
  grid->SetFocus();
  Pump();
}

Fixture::~Fixture() {
  delete grid;
  Pump();
}

void Fixture::Pump() {
  MSG msg;
  for (int i = 0; i < 200 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

CPoint Fixture::CellCentre(int row, int col) {
  RECT rect{};
  EXPECT_TRUE(grid->GetCellRect(row, col, &rect));
  return CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void Fixture::Click(int row, int col, UINT flags) {
  const CPoint p = CellCentre(row, col);
  grid->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | flags, MAKELPARAM(p.x, p.y));
  grid->SendMessage(WM_LBUTTONUP, flags, MAKELPARAM(p.x, p.y));
  Pump();
}

}  // namespace gridtest
