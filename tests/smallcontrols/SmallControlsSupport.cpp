#include "SmallControlsSupport.h"

#include "ColourPicker.h"
#include "ControlClasses.h"
#include "MessagePump.h"

namespace {

class CSmallControlsApp : public CWinApp {
 public:
  CSmallControlsApp() : CWinApp("Small Controls Tests") {}
  BOOL InitInstance() override { return TRUE; }
};

CSmallControlsApp app;

// Start-up registers the classes once, as the program does.
struct RegisterAtStart {
  RegisterAtStart() { ControlClasses::RegisterAll(); }
};

}  // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  return testsupport::PumpUntil(app, done, timeoutMs);
}

void PumpPending(DWORD ms) { testsupport::PumpPending(app, ms); }

CRecordingParent::CRecordingParent() {
  static RegisterAtStart once;
  LPCTSTR className =
      AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  CreateEx(0, className, "Test parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr,
           nullptr);
}

CRecordingParent::~CRecordingParent() {
  if (::IsWindow(m_hWnd)) DestroyWindow();
}

std::vector<int> CRecordingParent::Codes() const {
  std::vector<int> codes;
  for (const RecordedNotify& n : notifications) codes.push_back(n.code);
  return codes;
}

BOOL CRecordingParent::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  RecordedNotify record = {wParam, header->hwndFrom, static_cast<int>(header->code), 0};
  char className[64] = {};
  ::GetClassNameA(header->hwndFrom, className, sizeof(className));
  if (lstrcmpiA(className, ControlClasses::ColourPicker) == 0)
    record.colour = reinterpret_cast<ColourPickerNotify*>(lParam)->colour;
  notifications.push_back(record);
  return CWnd::OnNotify(wParam, lParam, result);
}

LRESULT CRecordingParent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == 0x8B1 || message == 0x8B2) {
    sliderMessages.push_back({message, wParam, lParam});
    return 0;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}
