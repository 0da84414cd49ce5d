// Shared pieces of the calibration tests: the registered server, the settings key kept safe, and a
// driver for the wizard's sheet from a second thread.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Calibration.h"
#include "comserver/ComPtr.h"
#include "comserver/ComVariant.h"
#include "zvkMonWz_h.h"

namespace caltest {

using comserver::CComPtr;
using comserver::CComQIPtr;
using comserver::CComVariant;

constexpr const char* kSheetCaption = "Monitor Calibration Wizard";

// zvkMonWz.DLL beside the test executable.
std::string ServerPath();

CComPtr<IMonitorCalibrationWiz> CreateWizard();

// Keeps HKEY_LOCAL_MACHINE\Software\Corvanith\Monitor Calibration as it was before the test and puts
// it back afterwards; starts the test without the key.
class SettingsKeyGuard {
 public:
  SettingsKeyGuard();
  ~SettingsKeyGuard();

 private:
  struct Value {
    std::string name;
    DWORD type;
    std::vector<BYTE> bytes;
  };
  bool m_existed = false;
  std::vector<Value> m_values;
};

void DeleteSettingsKey();
void WriteSetting(const char* name, DWORD type, const void* bytes, DWORD size);
void WriteSetting(const char* name, const std::string& text);
// The stored text, or "<missing>".
std::string ReadSetting(const char* name);

// Calibrate's surroundings with a chosen colour depth and write-access answer; saving records the
// gammas (and how often it ran) instead of writing the registry.
struct RecordingHost {
  explicit RecordingHost(int depth = 32, LONG access = ERROR_SUCCESS);
  monwz::CalibrationHost host;
  monwz::Gammas saved;
  int saves = 0;
};

// The sheet's current page, its template id (0 when unknown), and its wizard buttons.
HWND CurrentPage(HWND sheet);
int CurrentPageId(HWND sheet);
bool WaitForPage(HWND sheet, int id);
// Presses a wizard button (PSBTN_*) and waits until the page `expected` shows.
bool PressAndWaitFor(HWND sheet, int button, int expected);
struct WizardButtons {
  bool back, next, finish, cancel;
  bool operator==(const WizardButtons& other) const {
    return back == other.back && next == other.next && finish == other.finish && cancel == other.cancel;
  }
};
WizardButtons ButtonsOf(HWND sheet);
std::ostream& operator<<(std::ostream& out, const WizardButtons& buttons);

// The texts of a page's children.
std::vector<std::string> ChildTexts(HWND page);
std::string ItemText(HWND page, int id);

// One pixel of the screen, as drawn.
COLORREF ScreenPixel(int x, int y);
// A pixel of a 24-bit DIB section held by a static control.
COLORREF DibPixel(HBITMAP bitmap, int x, int y);
HBITMAP ControlBitmap(HWND page, int id);

// Moves a trackbar as the user does and tells its page.
void MoveTrackbar(HWND page, int id, int position);

// Walks the wizard from the page shown to `id` with Next, at true colour.
bool WalkTo(HWND sheet, int id);
// Walks to the device-gamma page, lets `onPage` work there, walks on and presses Finish.
bool FinishAfterDeviceGamma(HWND sheet, const std::function<void(HWND page)>& onPage);

}  // namespace caltest
