#include "CalibrationTestSupport.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <ostream>

#include "DialogDriver.h"
#include "ServerTests.h"
#include "resource.h"

namespace caltest {

namespace {

const int kWalkOrder[] = {IDD_WELCOME,      IDD_GETTING_STARTED, IDD_BLACK_WHITE,
                          IDD_DEVICE_GAMMA, IDD_TARGET_GAMMA,    IDD_COMPLETING};

}  // namespace

std::string ServerPath() { return testsupport::BesideTestProgram("zvkMonWz.DLL"); }

// The server is registered for the whole run and removed at the end.
static ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new testsupport::RegisteredServerEnvironment(ServerPath()));

CComPtr<IMonitorCalibrationWiz> CreateWizard() {
  CLSID clsid;
  EXPECT_EQ(CLSIDFromProgID(L"Corvanith.MonitorCalibrationWiz", &clsid), S_OK);
  CComPtr<IMonitorCalibrationWiz> wizard;
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IMonitorCalibrationWiz,
                             reinterpret_cast<void**>(&wizard)),
            S_OK);
  return wizard;
}

SettingsKeyGuard::SettingsKeyGuard() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, monwz::kSettingsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    m_existed = true;
    for (DWORD index = 0;; ++index) {
      char name[256];
      DWORD nameSize = sizeof(name);
      DWORD type = 0;
      DWORD size = 0;
      if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
      Value value{name, type, std::vector<BYTE>(size)};
      nameSize = sizeof(name);
      RegEnumValueA(key, index, name, &nameSize, nullptr, &type, value.bytes.data(), &size);
      value.bytes.resize(size);
      m_values.push_back(std::move(value));
    }
    RegCloseKey(key);
  }
  DeleteSettingsKey();
}

SettingsKeyGuard::~SettingsKeyGuard() {
  DeleteSettingsKey();
  if (!m_existed) return;
  for (const Value& value : m_values)
    WriteSetting(value.name.c_str(), value.type, value.bytes.data(), static_cast<DWORD>(value.bytes.size()));
}

void DeleteSettingsKey() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, monwz::kSettingsKey); }

void WriteSetting(const char* name, DWORD type, const void* bytes, DWORD size) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, monwz::kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(bytes), size), ERROR_SUCCESS);
  RegCloseKey(key);
}

void WriteSetting(const char* name, const std::string& text) {
  WriteSetting(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

std::string ReadSetting(const char* name) {
  char text[256] = {};
  DWORD size = sizeof(text);
  DWORD type = 0;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, monwz::kSettingsKey, name, RRF_RT_ANY, &type, text, &size) !=
      ERROR_SUCCESS)
    return "<missing>";
  return type == REG_SZ ? std::string(text) : "<not a string>";
}

RecordingHost::RecordingHost(int depth, LONG access) {
  host.resources = GetModuleHandleA(nullptr);
  host.colourDepth = [depth](HDC) { return depth; };
  host.openKey = [access](const char*, REGSAM) { return access; };
  host.save = [this](const monwz::Gammas& gammas) {
    saved = gammas;
    ++saves;
    return S_OK;
  };
}

HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

int CurrentPageId(HWND sheet) {
  HWND page = CurrentPage(sheet);
  if (!page) return 0;
  LRESULT index = SendMessageA(sheet, PSM_HWNDTOINDEX, WPARAM(page), 0);
  if (index < 0) return 0;
  return static_cast<int>(SendMessageA(sheet, PSM_INDEXTOID, WPARAM(index), 0));
}

bool WaitForPage(HWND sheet, int id) {
  return testsupport::WaitFor(
      [&] { return CurrentPageId(sheet) == id && IsWindowVisible(CurrentPage(sheet)); });
}

bool PressAndWaitFor(HWND sheet, int button, int expected) {
  PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
  return WaitForPage(sheet, expected);
}

WizardButtons ButtonsOf(HWND sheet) {
  // The sheet's own buttons: Back 0x3023, Next 0x3024, Finish 0x3025.
  auto usable = [&](int id) {
    HWND button = GetDlgItem(sheet, id);
    return button && IsWindowVisible(button) && IsWindowEnabled(button);
  };
  return {usable(0x3023), usable(0x3024), usable(0x3025), usable(IDCANCEL)};
}

std::ostream& operator<<(std::ostream& out, const WizardButtons& buttons) {
  return out << "{back " << buttons.back << ", next " << buttons.next << ", finish " << buttons.finish
             << ", cancel " << buttons.cancel << "}";
}

std::vector<std::string> ChildTexts(HWND page) {
  std::vector<std::string> texts;
  EnumChildWindows(
      page,
      [](HWND child, LPARAM lParam) -> BOOL {
        reinterpret_cast<std::vector<std::string>*>(lParam)->push_back(testsupport::WindowText(child));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

std::string ItemText(HWND page, int id) { return testsupport::WindowText(GetDlgItem(page, id)); }

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return colour;
}

COLORREF DibPixel(HBITMAP bitmap, int x, int y) {
  DIBSECTION dib = {};
  if (!bitmap || GetObjectA(bitmap, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBitsPixel != 24)
    return CLR_INVALID;
  if (x < 0 || y < 0 || x >= dib.dsBm.bmWidth || y >= dib.dsBm.bmHeight) return CLR_INVALID;
  const int stride = (dib.dsBm.bmWidth * 3 + 3) & ~3;
  const int row = dib.dsBmih.biHeight > 0 ? dib.dsBm.bmHeight - 1 - y : y;
  const BYTE* pixel = static_cast<const BYTE*>(dib.dsBm.bmBits) + static_cast<size_t>(row) * stride + x * 3;
  return RGB(pixel[2], pixel[1], pixel[0]);
}

HBITMAP ControlBitmap(HWND page, int id) {
  return reinterpret_cast<HBITMAP>(SendDlgItemMessageA(page, id, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

void MoveTrackbar(HWND page, int id, int position) {
  HWND trackbar = GetDlgItem(page, id);
  SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
  SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(trackbar));
}

bool WalkTo(HWND sheet, int id) {
  if (!testsupport::WaitFor([&] { return CurrentPageId(sheet) != 0 && IsWindowVisible(CurrentPage(sheet)); }))
    return false;
  const int* const end = std::end(kWalkOrder);
  const int* next = std::find(std::begin(kWalkOrder), end, CurrentPageId(sheet));
  if (next == end) return false;
  for (++next; CurrentPageId(sheet) != id && next != end; ++next)
    if (!PressAndWaitFor(sheet, PSBTN_NEXT, *next)) return false;
  return CurrentPageId(sheet) == id;
}

bool FinishAfterDeviceGamma(HWND sheet, const std::function<void(HWND page)>& onPage) {
  if (!WalkTo(sheet, IDD_DEVICE_GAMMA)) return false;
  onPage(CurrentPage(sheet));
  if (!WalkTo(sheet, IDD_COMPLETING)) return false;
  PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  return true;
}

}  // namespace caltest
