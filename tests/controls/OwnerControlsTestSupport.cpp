#include "OwnerControlsTestSupport.h"

#include <stdexcept>

namespace {
class OwnerControlsTestApp : public CWinApp {
 public:
  OwnerControlsTestApp() : CWinApp("Pellorin Owner Control Tests") {}
};
OwnerControlsTestApp g_app;
}  // namespace

void RecordingParent::Open() {
  if (m_hWnd != nullptr) return;
  CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW)), "owner controls",
           WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 500, 400, nullptr, nullptr);
}

LRESULT RecordingParent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    codes.push_back(static_cast<int>(header->code));
    ids.push_back(header->idFrom);
    return 0;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() > end) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

void PumpFor(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  PumpUntil([&] { return GetTickCount64() > end; }, ms + 1000);
}

std::string Text(const char* what, int value) { return std::string(what) + " " + std::to_string(value); }

void RecordingCellOwner::OnDeleteItemData(COwnerCellCtl*, LPARAM data) {
  calls.push_back(Text("delete", static_cast<int>(data)));
}

BOOL RecordingCellOwner::OnDrawCell(COwnerCellCtl*, CDC*, int index, const CRect&, const CRect&, int mode) {
  if (index != -1) draws.push_back(std::to_string(index) + ":" + std::to_string(mode));
  if (mode == 2 && failAtIdle.count(index) != 0) throw std::runtime_error("picture unreadable");
  return mode == 1 && unfinished.count(index) != 0 ? FALSE : TRUE;
}

// Items compare by their data word.
int RecordingCellOwner::OnCompareItems(COwnerCellCtl*, int, LPARAM data1, int, LPARAM data2) {
  return data1 < data2 ? -1 : (data1 > data2 ? 1 : 0);
}

void RecordingCellOwner::OnCellLButtonDown(COwnerCellCtl* ctl, int index, const CRect& cell, UINT flags,
                                           int x, int y) {
  calls.push_back(Text("cell-ldown", index));
  COwnerCellCtlOwner::OnCellLButtonDown(ctl, index, cell, flags, x, y);
}

void RecordingCellOwner::OnCellMouseWheel(COwnerCellCtl*, int index, const CRect&, UINT, short delta, int x,
                                          int y) {
  calls.push_back(Text("wheel", index) + " " + std::to_string(delta) + " " + std::to_string(x) + "," +
                  std::to_string(y));
}

void RecordingCellOwner::OnActivateItem(COwnerCellCtl*, int index) {
  calls.push_back(Text("activate", index));
}

void RecordingCellOwner::OnSelectionChanged(COwnerCellCtl*, int index) {
  calls.push_back(Text("selchange", index));
}

void RecordingCellOwner::OnTopChanged(COwnerCellCtl* ctl) {
  calls.push_back(Text("top", ctl->GetTopIndex()));
}

std::vector<std::string> RecordingCellOwner::Take(const std::string& prefix) {
  std::vector<std::string> taken;
  std::vector<std::string> rest;
  for (auto& call : calls) (call.rfind(prefix, 0) == 0 ? taken : rest).push_back(call);
  calls.swap(rest);
  return taken;
}
