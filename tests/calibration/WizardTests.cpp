// Calibrate end to end: which sheet shows at which colour depth and write access, the walk through
// the pages with their texts, fonts and buttons, the argument rules, and what Finish and Cancel leave.
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "CalibrationTestSupport.h"
#include "DialogDriver.h"
#include "WindowShot.h"
#include "resource.h"

using namespace caltest;
using testsupport::DialogDriver;

namespace {

struct PageText {
  int id;
  int titleControl;  // IDC_TITLE or IDC_HEADER
  const char* title;
  std::vector<const char*> others;
  WizardButtons buttons;
};

const WizardButtons kNextOnly = {false, true, false, true};
const WizardButtons kBackNext = {true, true, false, true};
const WizardButtons kBackFinish = {true, false, true, true};
const WizardButtons kCancelOnly = {false, false, false, true};

const std::vector<PageText>& WizardPages() {
  static const std::vector<PageText> pages = {
      {IDD_WELCOME,
       IDC_TITLE,
       "Welcome to the Monitor Calibration Wizard",
       {"This wizard helps you adjust your monitor for optimal viewing performance.\n\nTo continue with "
        "calibration, click Next."},
       kNextOnly},
      {IDD_GETTING_STARTED,
       IDC_HEADER,
       "Getting Started",
       {"Start by adjusting your monitor's controls to your preference. Don't worry too much about contrast and "
        "brightness yet - those will be adjusted in the next step.",
        "If your monitor has a 'COLOR TEMPERATURE' adjustment, the recommended setting is 6500K."},
       kBackNext},
      {IDD_BLACK_WHITE,
       IDC_HEADER,
       "Black and white points",
       {"First, adjust the contrast setting. Normally contrast should be set to maximum, which gives you the "
        "largest dynamic range.",
        "Second, adjust the brightness setting so that you can just see the ellipse inside the black square to the "
        "right. Don't increase brightness any higher than necessary.",
        "&Full screen -->", "Too bright", "Too dark"},
       kBackNext},
      {IDD_DEVICE_GAMMA,
       IDC_HEADER,
       "Device Gamma",
       {"To determine the physical gamma of your monitor, adjust the sliders so the inner ellipse merges with the "
        "outer pattern. You need to de-focus or squint your eyes a little. It might also help to stand back a few "
        "feet from your monitor."},
       kBackNext},
      {IDD_TARGET_GAMMA,
       IDC_HEADER,
       "Target Gamma",
       {"Specify the target gamma you want to use. This will be the gamma at which images are displayed. Use the "
        "control images to judge the relative affects of different gammas.",
        "Target gamma:"},
       kBackNext},
      {IDD_COMPLETING,
       IDC_TITLE,
       "Completing the Monitor Calibration Wizard",
       {"You have successfully completed the Monitor Calibration Wizard.\n\nIf you ever adjust any controls on "
        "your monitor, you should re-run this wizard.\n\nTo exit the wizard, click Finish."},
       kBackFinish},
  };
  return pages;
}

const PageText kHighColourPage = {
    IDD_HIGH_COLOUR,
    IDC_HEADER,
    "High Colour Mode Warning",
    {"Please note!",
     "Your system is currently configured for high colour mode. For optimal results you should re-configure your "
     "system for true colour (24-bit or greater)."},
    kBackNext};

const PageText kLowColourPage = {
    IDD_LOW_COLOUR,
    IDC_TITLE,
    "Cannot run the Monitor Calibration Wizard",
    {"Sorry, your monitor cannot be calibrated because your system is running in low color mode.\n\nYou need to "
     "re-configure your system for high color (16-bit or greater).\n\nPlease click Cancel."},
    kCancelOnly};

const PageText kPermissionsPage = {
    IDD_NO_PERMISSION,
    IDC_TITLE,
    "Cannot run the Monitor Calibration Wizard",
    {"Sorry, you cannot perform monitor calibration at this time because you do not have sufficient "
     "permissions.\n\nTo allow access to the Monitor Calibration Wizard, ask a system administrator to grant you "
     "write permissions to the following registry key:",
     "HKEY_LOCAL_MACHINE\\\nSoftware\\Corvanith\\Monitor Calibration", "Please click Cancel."},
    kCancelOnly};

LOGFONTA FontOf(HWND control) {
  LOGFONTA font = {};
  auto handle = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  if (handle) GetObjectA(handle, sizeof(font), &font);
  return font;
}

bool IsStatic(HWND control) {
  char name[32] = {};
  GetClassNameA(control, name, sizeof(name));
  return lstrcmpiA(name, "Static") == 0;
}

int PixelsOfPoints(int points) {
  HDC screen = GetDC(nullptr);
  int pixels = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// Checks the page on show: its title, its other texts, the fonts of 205 and 206, the buttons.
void CheckPage(HWND sheet, const PageText& expected) {
  SCOPED_TRACE(expected.id);
  EXPECT_EQ(CurrentPageId(sheet), expected.id);
  HWND page = CurrentPage(sheet);
  EXPECT_EQ(ItemText(page, expected.titleControl), expected.title);
  const std::vector<std::string> texts = ChildTexts(page);
  for (const char* text : expected.others)
    EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << text;
  if (HWND title = GetDlgItem(page, IDC_TITLE); title && IsStatic(title)) {
    LOGFONTA font = FontOf(title);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfHeight, PixelsOfPoints(12));
  }
  if (HWND header = GetDlgItem(page, IDC_HEADER); header && IsStatic(header)) {
    LOGFONTA font = FontOf(header);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfHeight, PixelsOfPoints(8));
  }
  EXPECT_EQ(ButtonsOf(sheet), expected.buttons);
  EXPECT_EQ(testsupport::WindowText(sheet), kSheetCaption);
}

POINT CentreOf(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT WorkAreaCentre() {
  RECT area;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

HWND MakeParentWindow() {
  HWND window = CreateWindowA("STATIC", "Calibration host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 30, 900,
                              640, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  UpdateWindow(window);
  return window;
}

SAFEARRAY* GammaVector(LONG lower, std::vector<float> values) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_R4, lower, static_cast<ULONG>(values.size()));
  for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
    LONG index = lower + i;
    SafeArrayPutElement(array, &index, &values[i]);
  }
  return array;
}

// A VARIANT holding the caller's own vector (not owning it).
VARIANT ArrayArgument(SAFEARRAY* array) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_ARRAY | VT_R4;
  value.parray = array;
  return value;
}

std::vector<float> ValuesOf(SAFEARRAY* array) {
  std::vector<float> values;
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  for (LONG i = lower; i <= upper; ++i) {
    float value = 0;
    SafeArrayGetElement(array, &i, &value);
    values.push_back(value);
  }
  return values;
}

monwz::Gammas ObjectGammas() {
  monwz::Gammas gammas;
  gammas.deviceRed = 2.0f;
  gammas.deviceGreen = 2.2f;
  gammas.deviceBlue = 2.6f;
  gammas.target = 2.2f;
  return gammas;
}

bool SameGammas(const monwz::Gammas& a, const monwz::Gammas& b) {
  return a.deviceRed == b.deviceRed && a.deviceGreen == b.deviceGreen && a.deviceBlue == b.deviceBlue &&
         a.target == b.target;
}

void Shot(HWND sheet, const std::string& name) { testsupport::SaveWindowShot(sheet, "calibration-" + name); }

}  // namespace

TEST(CalibrationWizard, AtTrueColourTheWalkShowsEveryPageCentredOnTheParentAndBackWalksBack) {
  SettingsKeyGuard key;
  CComPtr<IMonitorCalibrationWiz> wizard = CreateWizard();
  ASSERT_TRUE(wizard);
  HWND parent = MakeParentWindow();
  std::vector<int> backWalk;
  POINT sheetCentre = {};
  DialogDriver driver(kSheetCaption, [&](HWND sheet) {
    if (!WaitForPage(sheet, IDD_WELCOME)) return false;
    sheetCentre = CentreOf(sheet);
    const auto& pages = WizardPages();
    for (size_t i = 0; i < pages.size(); ++i) {
      CheckPage(sheet, pages[i]);
      Shot(sheet, "page-" + std::to_string(pages[i].id));
      if (i + 1 < pages.size() && !PressAndWaitFor(sheet, PSBTN_NEXT, pages[i + 1].id)) return false;
    }
    for (size_t i = pages.size() - 1; i > 0; --i) {
      PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_BACK, 0);
      if (!WaitForPage(sheet, pages[i - 1].id)) return false;
      backWalk.push_back(CurrentPageId(sheet));
    }
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    return true;
  });
  VARIANT deviceGamma;
  VariantInit(&deviceGamma);
  float target = 0;
  EXPECT_EQ(wizard->Calibrate(reinterpret_cast<LONG_PTR>(parent), &deviceGamma, &target), S_FALSE);
  EXPECT_TRUE(driver.Succeeded());
  EXPECT_EQ(backWalk, (std::vector<int>{IDD_TARGET_GAMMA, IDD_DEVICE_GAMMA, IDD_BLACK_WHITE,
                                        IDD_GETTING_STARTED, IDD_WELCOME}));
  const POINT parentCentre = CentreOf(parent);
  EXPECT_NEAR(sheetCentre.x, parentCentre.x, 1);
  EXPECT_NEAR(sheetCentre.y, parentCentre.y, 1);
  // Cancelled: nothing stored, nothing handed back.
  EXPECT_EQ(ReadSetting("DeviceGammaR"), "<missing>");
  EXPECT_EQ(deviceGamma.vt, VT_EMPTY);
  EXPECT_EQ(target, 0.0f);
  DestroyWindow(parent);
}

TEST(CalibrationWizard, AtHighColourTheWarningPageComesBetweenWelcomeAndGettingStarted) {
  RecordingHost host(16);
  monwz::Gammas gammas = ObjectGammas();
  std::vector<int> walk;
  DialogDriver driver(kSheetCaption, [&](HWND sheet) {
    if (!WaitForPage(sheet, IDD_WELCOME)) return false;
    if (!PressAndWaitFor(sheet, PSBTN_NEXT, IDD_HIGH_COLOUR)) return false;
    CheckPage(sheet, kHighColourPage);
    Shot(sheet, "page-209");
    for (int button : {PSBTN_NEXT, PSBTN_BACK, PSBTN_BACK}) {
      const int previous = walk.empty() ? IDD_HIGH_COLOUR : walk.back();
      PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
      if (!testsupport::WaitFor([&] { return CurrentPageId(sheet) != previous; })) return false;
      walk.push_back(CurrentPageId(sheet));
    }
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    return true;
  });
  EXPECT_EQ(monwz::Calibrate(host.host, gammas, nullptr, nullptr, nullptr), S_FALSE);
  EXPECT_TRUE(driver.Succeeded());
  EXPECT_EQ(walk, (std::vector<int>{IDD_GETTING_STARTED, IDD_HIGH_COLOUR, IDD_WELCOME}));
  EXPECT_EQ(host.saves, 0);
}

TEST(CalibrationWizard, AtLowColourOrWithoutWriteAccessOnlyAOnePageSheetShows) {
  const struct {
    const char* what;
    int depth;
    LONG access;
    const PageText* page;
  } cases[] = {
      {"15 bits", 15, ERROR_SUCCESS, &kLowColourPage},
      {"8 bits", 8, ERROR_SUCCESS, &kLowColourPage},
      {"access denied", 32, ERROR_ACCESS_DENIED, &kPermissionsPage},
  };
  for (const auto& entry : cases) {
    SCOPED_TRACE(entry.what);
    RecordingHost host(entry.depth, entry.access);
    monwz::Gammas gammas = ObjectGammas();
    // Those sheets come before the argument rules: even a wrong argument is not looked at.
    CComVariant notAVector(5L);
    float target = 1.8f;
    int secondPage = -1;
    DialogDriver driver(kSheetCaption, [&](HWND sheet) {
      if (!WaitForPage(sheet, entry.page->id)) return false;
      CheckPage(sheet, *entry.page);
      secondPage = static_cast<int>(SendMessageA(sheet, PSM_INDEXTOID, 1, 0));
      Shot(sheet, "page-" + std::to_string(entry.page->id));
      PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
      return true;
    });
    EXPECT_EQ(monwz::Calibrate(host.host, gammas, nullptr, &notAVector, &target), S_FALSE);
    EXPECT_TRUE(driver.Succeeded());
    EXPECT_EQ(secondPage, 0) << "a second page";
    EXPECT_TRUE(SameGammas(gammas, ObjectGammas()));
    EXPECT_EQ(notAVector.vt, VT_I4);
    EXPECT_EQ(target, 1.8f);
    EXPECT_EQ(host.saves, 0);
  }
}

TEST(CalibrationWizard, AnyOtherWriteAccessErrorFailsWithoutASheet) {
  RecordingHost host(32, ERROR_INVALID_PARAMETER);
  monwz::Gammas gammas = ObjectGammas();
  EXPECT_EQ(monwz::Calibrate(host.host, gammas, nullptr, nullptr, nullptr), static_cast<HRESULT>(0x8007FFFF));
  EXPECT_TRUE(SameGammas(gammas, ObjectGammas()));
}

TEST(CalibrationWizard, TheWriteAccessProbeWalksUpTheKeyPath) {
  const char* const levels[] = {"Software\\Corvanith\\Monitor Calibration", "Software\\Corvanith", "Software",
                                ""};
  const struct {
    const char* what;
    std::vector<LONG> answers;  // per level, from the key itself up to the root
    LONG expected;
  } cases[] = {
      {"the key opens", {ERROR_SUCCESS}, ERROR_SUCCESS},
      {"the key refuses", {ERROR_ACCESS_DENIED}, ERROR_ACCESS_DENIED},
      {"a new key under an open parent", {ERROR_FILE_NOT_FOUND, ERROR_SUCCESS}, ERROR_SUCCESS},
      {"a new key under a refusing parent",
       {ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED},
       ERROR_ACCESS_DENIED},
      {"only the root exists",
       {ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND, ERROR_SUCCESS},
       ERROR_SUCCESS},
      {"not even the root",
       {ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND},
       ERROR_FILE_NOT_FOUND},
      {"another error at the key", {ERROR_INVALID_HANDLE}, ERROR_INVALID_HANDLE},
      {"another error on the way up", {ERROR_FILE_NOT_FOUND, ERROR_OUTOFMEMORY}, ERROR_OUTOFMEMORY},
  };
  for (const auto& entry : cases) {
    SCOPED_TRACE(entry.what);
    std::vector<std::pair<std::string, REGSAM>> asked;
    LONG result = monwz::ProbeWriteAccess([&](const char* path, REGSAM access) {
      asked.emplace_back(path, access);
      return asked.size() <= entry.answers.size() ? entry.answers[asked.size() - 1] : ERROR_SUCCESS;
    });
    EXPECT_EQ(result, entry.expected);
    ASSERT_EQ(asked.size(), entry.answers.size());
    for (size_t i = 0; i < asked.size(); ++i) {
      EXPECT_EQ(asked[i].first, levels[i]);
      EXPECT_EQ(asked[i].second, i == 0 ? static_cast<REGSAM>(KEY_QUERY_VALUE | KEY_SET_VALUE)
                                        : static_cast<REGSAM>(KEY_CREATE_SUB_KEY));
    }
  }
  // Here the machine key is writable.
  EXPECT_EQ(monwz::ProbeWriteAccess(monwz::OpenMachineKey), ERROR_SUCCESS);
}

TEST(CalibrationWizard, ADeviceGammaThatIsNotAThreeElementVectorFailsBeforeAnyPage) {
  SAFEARRAYBOUND square[2] = {{3, 0}, {3, 0}};
  SAFEARRAY* nowhere = nullptr;
  struct Case {
    const char* what;
    VARIANT value;
  };
  std::vector<Case> cases(7);
  for (Case& entry : cases) VariantInit(&entry.value);
  cases[0].what = "VT_I4";
  cases[0].value.vt = VT_I4;
  cases[1].what = "two elements";
  cases[1].value.vt = VT_ARRAY | VT_R4;
  cases[1].value.parray = GammaVector(0, {2.0f, 2.0f});
  cases[2].what = "two dimensions";
  cases[2].value.vt = VT_ARRAY | VT_R4;
  cases[2].value.parray = SafeArrayCreate(VT_R4, 2, square);
  cases[3].what = "VT_R8 elements";
  cases[3].value.vt = VT_ARRAY | VT_R8;
  cases[3].value.parray = SafeArrayCreateVector(VT_R8, 0, 3);
  cases[4].what = "bounds 2 to 4";
  cases[4].value.vt = VT_ARRAY | VT_R4;
  cases[4].value.parray = GammaVector(2, {2.0f, 2.0f, 2.0f});
  cases[5].what = "a reference to no array";
  cases[5].value.vt = VT_BYREF | VT_ARRAY | VT_R4;
  cases[5].value.pparray = &nowhere;
  cases[6].what = "a string";
  cases[6].value.vt = VT_BSTR;
  cases[6].value.bstrVal = SysAllocString(L"2.2");
  for (Case& entry : cases) {
    SCOPED_TRACE(entry.what);
    RecordingHost host;
    monwz::Gammas gammas = ObjectGammas();
    float target = 1.8f;
    EXPECT_EQ(monwz::Calibrate(host.host, gammas, nullptr, &entry.value, &target), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(target, 1.8f);
    if (entry.value.vt != (VT_BYREF | VT_ARRAY | VT_R4)) VariantClear(&entry.value);
  }
}

TEST(CalibrationWizard, UsableArgumentsReplaceTheWorkingGammas) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float infinity = std::numeric_limits<float>::infinity();
  const struct {
    const char* what;
    LONG lower;
    std::vector<float> device;  // empty: VT_EMPTY
    bool byReference;
    float target;
    std::vector<int> positions;  // red, green, blue trackbars
    const char* shownTarget;
  } cases[] = {
      {"too small red kept", 1, {0.05f, 2.4f, 1.8f}, false, 1.8f, {20, 24, 18}, "1.8"},
      {"by reference, not numbers", 0, {nan, infinity, 3.0f}, true, nan, {20, 22, 30}, "2.2"},
      {"no vector, infinite target", 0, {}, false, infinity, {20, 22, 26}, "2.2"},
      {"target too small", 0, {}, false, 0.1f, {20, 22, 26}, "2.2"},
  };
  for (const auto& entry : cases) {
    SCOPED_TRACE(entry.what);
    RecordingHost host;
    monwz::Gammas gammas = ObjectGammas();
    SAFEARRAY* array = entry.device.empty() ? nullptr : GammaVector(entry.lower, entry.device);
    VARIANT device;
    VariantInit(&device);
    if (array && entry.byReference) {
      device.vt = VT_BYREF | VT_ARRAY | VT_R4;
      device.pparray = &array;
    } else if (array) {
      device = ArrayArgument(array);
    }
    float target = entry.target;
    std::vector<int> positions;
    std::string shownTarget;
    DialogDriver driver(kSheetCaption, [&](HWND sheet) {
      if (!WalkTo(sheet, IDD_DEVICE_GAMMA)) return false;
      for (int id : {IDC_GAMMA_RED, IDC_GAMMA_GREEN, IDC_GAMMA_BLUE})
        positions.push_back(static_cast<int>(SendDlgItemMessageA(CurrentPage(sheet), id, TBM_GETPOS, 0, 0)));
      if (!PressAndWaitFor(sheet, PSBTN_NEXT, IDD_TARGET_GAMMA)) return false;
      shownTarget = ItemText(CurrentPage(sheet), IDC_TARGET_EDIT);
      PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
      return true;
    });
    EXPECT_EQ(monwz::Calibrate(host.host, gammas, nullptr, &device, &target), S_FALSE);
    EXPECT_TRUE(driver.Succeeded());
    EXPECT_EQ(positions, entry.positions);
    EXPECT_EQ(shownTarget, entry.shownTarget);
    // Cancelled: the caller's arguments and the object stay as they were.
    if (array) {
      const std::vector<float> after = ValuesOf(array);
      ASSERT_EQ(after.size(), 3u);
      EXPECT_EQ(memcmp(after.data(), entry.device.data(), sizeof(float) * 3), 0);  // NaN included
    }
    EXPECT_TRUE(SameGammas(gammas, ObjectGammas()));
    if (array) SafeArrayDestroy(array);
  }
}

TEST(CalibrationWizard, FinishStoresTheGammasAndHandsThemBack) {
  SettingsKeyGuard key;
  CComPtr<IMonitorCalibrationWiz> wizard = CreateWizard();
  ASSERT_TRUE(wizard);
  DialogDriver driver(kSheetCaption, [&](HWND sheet) {
    return FinishAfterDeviceGamma(sheet, [&](HWND page) {
      MoveTrackbar(page, IDC_GAMMA_RED, 20);
      MoveTrackbar(page, IDC_GAMMA_GREEN, 22);
      MoveTrackbar(page, IDC_GAMMA_BLUE, 25);
      Shot(sheet, "page-205-moved");
    });
  });
  VARIANT deviceGamma;
  VariantInit(&deviceGamma);
  float target = 0;
  EXPECT_EQ(wizard->Calibrate(0, &deviceGamma, &target), S_OK);
  EXPECT_TRUE(driver.Succeeded());
  EXPECT_EQ(ReadSetting("DeviceGammaR"), "2.0");
  EXPECT_EQ(ReadSetting("DeviceGammaG"), "2.2");
  EXPECT_EQ(ReadSetting("DeviceGammaB"), "2.5");
  EXPECT_EQ(ReadSetting("TargetGamma"), "2.2");
  ASSERT_EQ(deviceGamma.vt, VT_ARRAY | VT_R4);
  LONG lower = 0;
  SafeArrayGetLBound(deviceGamma.parray, 1, &lower);
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(ValuesOf(deviceGamma.parray), (std::vector<float>{2.0f, 2.2f, 2.5f}));
  EXPECT_EQ(target, 2.2f);
  VariantClear(&deviceGamma);

  // This object and a new one give the tables of the stored gammas.
  CComPtr<IMonitorCalibrationWiz> another = CreateWizard();
  ASSERT_TRUE(another);
  for (IMonitorCalibrationWiz* object : {wizard.p, another.p}) {
    CComVariant tables;
    ASSERT_EQ(object->get_LUTs(8, &tables), S_OK);
    BYTE* data = nullptr;
    SafeArrayAccessData(tables.parray, reinterpret_cast<void**>(&data));
    EXPECT_EQ(data[128], 119);
    SafeArrayUnaccessData(tables.parray);
  }
}

TEST(CalibrationWizard, FinishWritesIntoTheCallersOwnArray) {
  RecordingHost host;
  monwz::Gammas gammas = ObjectGammas();
  SAFEARRAY* array = GammaVector(0, {2.4f, 1.8f, 3.0f});
  VARIANT device = ArrayArgument(array);
  float target = 2.5f;
  DialogDriver driver(kSheetCaption, [&](HWND sheet) {
    return FinishAfterDeviceGamma(sheet, [](HWND page) { MoveTrackbar(page, IDC_GAMMA_RED, 20); });
  });
  EXPECT_EQ(monwz::Calibrate(host.host, gammas, nullptr, &device, &target), S_OK);
  EXPECT_TRUE(driver.Succeeded());
  EXPECT_EQ(device.parray, array);
  EXPECT_EQ(ValuesOf(array), (std::vector<float>{2.0f, 1.8f, 3.0f}));
  EXPECT_EQ(target, 2.5f);
  EXPECT_EQ(host.saves, 1);
  EXPECT_EQ(host.saved.deviceRed, 2.0f);
  EXPECT_EQ(host.saved.target, 2.5f);
  EXPECT_TRUE(SameGammas(gammas, host.saved));
  SafeArrayDestroy(array);
}

TEST(CalibrationWizard, AFailedSaveKeepsTheNewGammasInTheObjectButWritesNoArgument) {
  RecordingHost host;
  host.host.save = [](const monwz::Gammas&) { return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED); };
  monwz::Gammas gammas = ObjectGammas();
  VARIANT device;
  VariantInit(&device);
  float target = 0;
  DialogDriver driver(kSheetCaption, [&](HWND sheet) {
    return FinishAfterDeviceGamma(sheet, [](HWND page) { MoveTrackbar(page, IDC_GAMMA_BLUE, 30); });
  });
  EXPECT_EQ(monwz::Calibrate(host.host, gammas, nullptr, &device, &target),
            HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(driver.Succeeded());
  EXPECT_EQ(gammas.deviceBlue, 3.0f);
  EXPECT_EQ(device.vt, VT_EMPTY);
  EXPECT_EQ(target, 0.0f);
}

TEST(CalibrationWizard, CancelOnAnyPageLeavesEverythingAsItWas) {
  for (int id : {IDD_WELCOME, IDD_GETTING_STARTED, IDD_BLACK_WHITE, IDD_DEVICE_GAMMA, IDD_TARGET_GAMMA,
                 IDD_COMPLETING}) {
    SCOPED_TRACE(id);
    RecordingHost host;
    monwz::Gammas gammas = ObjectGammas();
    SAFEARRAY* array = GammaVector(1, {2.4f, 1.8f, 3.0f});
    VARIANT device = ArrayArgument(array);
    float target = 2.5f;
    DialogDriver driver(kSheetCaption, [&](HWND sheet) {
      // Change what the pages change before reaching the page, so that Cancel has something to drop.
      if (id == IDD_TARGET_GAMMA || id == IDD_COMPLETING) {
        if (!WalkTo(sheet, IDD_DEVICE_GAMMA)) return false;
        MoveTrackbar(CurrentPage(sheet), IDC_GAMMA_RED, 12);
      }
      if (!WalkTo(sheet, id)) return false;
      if (id == IDD_DEVICE_GAMMA) MoveTrackbar(CurrentPage(sheet), IDC_GAMMA_GREEN, 12);
      if (id == IDD_TARGET_GAMMA) SetDlgItemTextA(CurrentPage(sheet), IDC_TARGET_EDIT, "1.2");
      PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
      return true;
    });
    EXPECT_EQ(monwz::Calibrate(host.host, gammas, nullptr, &device, &target), S_FALSE);
    EXPECT_TRUE(driver.Succeeded());
    EXPECT_EQ(host.saves, 0);
    EXPECT_TRUE(SameGammas(gammas, ObjectGammas()));
    EXPECT_EQ(device.parray, array);
    EXPECT_EQ(ValuesOf(array), (std::vector<float>{2.4f, 1.8f, 3.0f}));
    EXPECT_EQ(target, 2.5f);
    SafeArrayDestroy(array);
  }
}

TEST(CalibrationWizard, WithoutAUsableParentTheSheetIsCentredOnTheScreen) {
  const struct {
    const char* what;
    HWND parent;
  } cases[] = {{"no parent", nullptr},
               {"not a window", reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x7FFF1234))}};
  for (const auto& entry : cases) {
    SCOPED_TRACE(entry.what);
    RecordingHost host;
    monwz::Gammas gammas = ObjectGammas();
    POINT sheetCentre = {};
    DialogDriver driver(kSheetCaption, [&](HWND sheet) {
      if (!WaitForPage(sheet, IDD_WELCOME)) return false;
      sheetCentre = CentreOf(sheet);
      PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
      return true;
    });
    EXPECT_EQ(monwz::Calibrate(host.host, gammas, entry.parent, nullptr, nullptr), S_FALSE);
    EXPECT_TRUE(driver.Succeeded());
    const POINT screenCentre = WorkAreaCentre();
    EXPECT_NEAR(sheetCentre.x, screenCentre.x, 1);
    EXPECT_NEAR(sheetCentre.y, screenCentre.y, 1);
  }
}
