// What the pages draw and how their controls answer: the brightness square and its full-screen
// window, the line patterns of the device-gamma page, the target gamma's edit and previews.
#include <cmath>
#include <string>
#include <vector>

#include "CalibrationTestSupport.h"
#include "DialogDriver.h"
#include "WindowShot.h"
#include "resource.h"

using namespace caltest;
using testsupport::DialogDriver;

namespace {

RECT ScreenRectOf(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return rect;
}

// The top-level dialog of the test thread without a caption: the full-screen test.
HWND FindFullScreen(DWORD thread) {
  HWND found = nullptr;
  testsupport::WaitFor([&] { return (found = testsupport::FindThreadDialog(thread, "")) != nullptr; });
  return found;
}

void Click(int x, int y) {
  SetCursorPos(x, y);
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
}

int Level(int channel, COLORREF colour) {
  return channel == 0 ? GetRValue(colour) : channel == 1 ? GetGValue(colour) : GetBValue(colour);
}

COLORREF OfChannel(int channel, int level) {
  return channel == 0 ? RGB(level, 0, 0) : channel == 1 ? RGB(0, level, 0) : RGB(0, 0, level);
}

uint8_t Expected(int v, float target, float device) {
  const float level = static_cast<float>(v) / 255.0f;
  return static_cast<uint8_t>(
      255 * std::pow(static_cast<double>(level), static_cast<double>(target / device)) + 0.5);
}

struct Picture {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture Read(HBITMAP bitmap) {
  Picture picture;
  BITMAP info = {};
  if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info)) return picture;
  picture.width = info.bmWidth;
  picture.height = info.bmHeight;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) picture.pixels.push_back(DibPixel(bitmap, x, y));
  return picture;
}

void Shot(HWND window, const std::string& name) {
  testsupport::SaveWindowShot(window, "calibration-" + name);
}

}  // namespace

TEST(CalibrationPages, TheBlackAndWhitePageDrawsTheTestSquareAndItsIcons) {
  RecordingHost host;
  monwz::Gammas gammas;
  COLORREF left = 0, right = 0, middle = 0;
  bool icons = false;
  DialogDriver driver(kSheetCaption, [&](HWND sheet) {
    if (!WalkTo(sheet, IDD_BLACK_WHITE)) return false;
    HWND page = CurrentPage(sheet);
    Shot(sheet, "page-206");
    const RECT square = ScreenRectOf(GetDlgItem(page, IDC_TEST_SQUARE));
    // The page may not have been painted yet.
    testsupport::WaitFor([&] { return ScreenPixel(square.left + 1, square.top + 1) == RGB(0, 0, 0); }, 3000);
    left = ScreenPixel(square.left + 1, square.top + 1);
    right = ScreenPixel(square.right - 2, square.top + 1);
    middle = ScreenPixel((square.left + square.right) / 2, (square.top + square.bottom) / 2);
    icons = SendDlgItemMessageA(page, IDC_CONTRAST_ICON, STM_GETICON, 0, 0) != 0 &&
            SendDlgItemMessageA(page, IDC_BRIGHTNESS_ICON, STM_GETICON, 0, 0) != 0;
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    return true;
  });
  EXPECT_EQ(monwz::Calibrate(host.host, gammas, nullptr, nullptr, nullptr), S_FALSE);
  EXPECT_TRUE(driver.Succeeded());
  EXPECT_EQ(left, RGB(0, 0, 0));
  EXPECT_EQ(right, RGB(8, 8, 8));
  EXPECT_EQ(middle, RGB(20, 20, 20));
  EXPECT_TRUE(icons);
}

TEST(CalibrationPages, TheFullScreenTestCoversTheScreenAndAClickAnywhereClosesIt) {
  RecordingHost host;
  monwz::Gammas gammas;
  const DWORD testThread = GetCurrentThreadId();
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  RECT window = {}, pattern = {}, edgeText = {}, centreText = {}, button = {}, label = {};
  bool topmost = false, checked = false, closed = false;
  COLORREF corner = 0, patternLeft = 0, patternRight = 0, patternMiddle = 0, mark = 0, arrow = 0, text = 0;
  DialogDriver driver(kSheetCaption, [&](HWND sheet) {
    if (!WalkTo(sheet, IDD_BLACK_WHITE)) return false;
    HWND page = CurrentPage(sheet);
    testsupport::ClickButton(page, IDC_FULL_SCREEN);
    HWND full = FindFullScreen(testThread);
    if (!full) return false;
    pattern = ScreenRectOf(GetDlgItem(full, IDC_TEST_SQUARE));
    const POINT centre = {(pattern.left + pattern.right) / 2, (pattern.top + pattern.bottom) / 2};
    testsupport::WaitFor([&] { return ScreenPixel(centre.x, centre.y) == RGB(20, 20, 20); }, 3000);
    Shot(full, "dialog-207");
    window = ScreenRectOf(full);
    topmost = (GetWindowLongPtrA(full, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    edgeText = ScreenRectOf(GetDlgItem(full, IDC_EDGE_TEXT));
    centreText = ScreenRectOf(GetDlgItem(full, IDC_CENTRE_TEXT));
    button = ScreenRectOf(GetDlgItem(full, IDC_FULL_SCREEN));
    label = ScreenRectOf(GetDlgItem(full, IDC_FULL_SCREEN_LABEL));
    checked = IsDlgButtonChecked(full, IDC_FULL_SCREEN) == BST_CHECKED;
    corner = ScreenPixel(2, 2);
    patternLeft = ScreenPixel(pattern.left + 1, pattern.top + 1);
    patternRight = ScreenPixel(pattern.right - 2, pattern.top + 1);
    patternMiddle = ScreenPixel(centre.x, centre.y);
    mark = ScreenPixel(width - 1, height / 2 + 3);
    arrow = ScreenPixel((edgeText.left + edgeText.right) / 2, height - 2);
    // Some pixel of the edge text is white.
    for (int x = edgeText.left; x < edgeText.right && text != RGB(255, 255, 255); ++x)
      for (int y = edgeText.top; y < edgeText.bottom && text != RGB(255, 255, 255); ++y)
        text = ScreenPixel(x, y);
    Click(width / 4, 5);
    closed = testsupport::WaitFor([&] { return !IsWindow(full); });
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    return true;
  });
  EXPECT_EQ(monwz::Calibrate(host.host, gammas, nullptr, nullptr, nullptr), S_FALSE);
  EXPECT_TRUE(driver.Succeeded());
  EXPECT_TRUE(closed);
  EXPECT_EQ(window.left, 0);
  EXPECT_EQ(window.top, 0);
  EXPECT_EQ(window.right, width);
  EXPECT_EQ(window.bottom, height);
  EXPECT_TRUE(topmost);
  EXPECT_EQ(pattern.right - pattern.left, 2 * width / 3);
  EXPECT_EQ(pattern.bottom - pattern.top, 2 * height / 3);
  EXPECT_EQ(pattern.left, (width - 2 * width / 3) / 2);
  EXPECT_EQ(pattern.top, (height - 2 * height / 3) / 2);
  EXPECT_NEAR((centreText.left + centreText.right) / 2, width / 2, 1);
  EXPECT_LT(centreText.bottom, pattern.top);
  EXPECT_NEAR((edgeText.left + edgeText.right) / 2, width / 2, 1);
  EXPECT_GT(edgeText.top, pattern.bottom);
  EXPECT_TRUE(checked);
  EXPECT_EQ(button.right, width - 4);
  EXPECT_EQ(button.bottom, height - 4);
  EXPECT_EQ(label.right, button.left - 6);
  EXPECT_EQ(label.bottom, height - 4);
  EXPECT_EQ(corner, RGB(0, 0, 0));
  EXPECT_EQ(patternLeft, RGB(0, 0, 0));
  EXPECT_EQ(patternRight, RGB(8, 8, 8));
  EXPECT_EQ(patternMiddle, RGB(20, 20, 20));
  EXPECT_EQ(mark, RGB(192, 192, 192));
  EXPECT_EQ(arrow, RGB(192, 192, 192));
  EXPECT_EQ(text, RGB(255, 255, 255));
}

TEST(CalibrationPages, EachGammaPatternAlternatesFullAndBlackLinesAroundItsEllipse) {
  RecordingHost host;
  monwz::Gammas gammas;
  std::vector<Picture> patterns;
  std::vector<int> lows, highs;
  Picture redAfterMove;
  DialogDriver driver(kSheetCaption, [&](HWND sheet) {
    return FinishAfterDeviceGamma(sheet, [&](HWND page) {
      for (int id : {IDC_PATTERN_RED, IDC_PATTERN_GREEN, IDC_PATTERN_BLUE})
        patterns.push_back(Read(ControlBitmap(page, id)));
      for (int id : {IDC_GAMMA_RED, IDC_GAMMA_GREEN, IDC_GAMMA_BLUE}) {
        lows.push_back(static_cast<int>(SendDlgItemMessageA(page, id, TBM_GETRANGEMIN, 0, 0)));
        highs.push_back(static_cast<int>(SendDlgItemMessageA(page, id, TBM_GETRANGEMAX, 0, 0)));
      }
      Shot(sheet, "page-205");
      MoveTrackbar(page, IDC_GAMMA_RED, 18);
      redAfterMove = Read(ControlBitmap(page, IDC_PATTERN_RED));
    });
  });
  EXPECT_EQ(monwz::Calibrate(host.host, gammas, nullptr, nullptr, nullptr), S_OK);
  EXPECT_TRUE(driver.Succeeded());
  EXPECT_EQ(lows, (std::vector<int>{10, 10, 10}));
  EXPECT_EQ(highs, (std::vector<int>{35, 35, 35}));
  ASSERT_EQ(patterns.size(), 3u);
  for (int channel = 0; channel < 3; ++channel) {
    SCOPED_TRACE(channel);
    const Picture& pattern = patterns[channel];
    ASSERT_GT(pattern.width, 20);
    ASSERT_GT(pattern.height, 20);
    // Outside the ellipse: full lines on even rows, black on odd ones.
    for (int y = 0; y < pattern.height; ++y) {
      const COLORREF expected = y % 2 == 0 ? OfChannel(channel, 255) : RGB(0, 0, 0);
      ASSERT_EQ(pattern.At(0, y), expected) << "row " << y;
      ASSERT_EQ(pattern.At(pattern.width - 1, y), expected) << "row " << y;
    }
    EXPECT_EQ(pattern.At(pattern.width / 2, pattern.height / 2), OfChannel(channel, 186));
    EXPECT_EQ(pattern.At(pattern.width / 2, pattern.height / 2 + 1), OfChannel(channel, 186));
    EXPECT_EQ(Level(channel, pattern.At(pattern.width / 2, 0)), 255);
  }
  ASSERT_GT(redAfterMove.width, 0);
  EXPECT_EQ(redAfterMove.At(redAfterMove.width / 2, redAfterMove.height / 2), RGB(174, 0, 0));
  EXPECT_EQ(host.saved.deviceRed, 1.8f);
  EXPECT_EQ(host.saved.deviceGreen, 2.2f);
}

TEST(CalibrationPages, AnAbsurdDeviceGammaDrawsAFullEllipseAtTheTopOfTheScale) {
  RecordingHost host;
  monwz::Gammas gammas;
  gammas.deviceRed = 1e8f;
  Picture red;
  int position = 0;
  DialogDriver driver(kSheetCaption, [&](HWND sheet) {
    if (!WalkTo(sheet, IDD_DEVICE_GAMMA)) return false;
    HWND page = CurrentPage(sheet);
    red = Read(ControlBitmap(page, IDC_PATTERN_RED));
    position = static_cast<int>(SendDlgItemMessageA(page, IDC_GAMMA_RED, TBM_GETPOS, 0, 0));
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    return true;
  });
  EXPECT_EQ(monwz::Calibrate(host.host, gammas, nullptr, nullptr, nullptr), S_FALSE);
  EXPECT_TRUE(driver.Succeeded());
  EXPECT_EQ(position, 35);
  ASSERT_GT(red.width, 0);
  EXPECT_EQ(red.At(red.width / 2, red.height / 2), RGB(255, 0, 0));
}

TEST(CalibrationPages, TheTargetGammaEditTakesOnlyGammasUpTo35) {
  RecordingHost host;
  monwz::Gammas gammas;
  std::vector<std::string> shown;
  DialogDriver driver(kSheetCaption, [&](HWND sheet) {
    if (!WalkTo(sheet, IDD_TARGET_GAMMA)) return false;
    HWND page = CurrentPage(sheet);
    auto spin = [&](int delta) {
      NMUPDOWN change = {};
      change.hdr.hwndFrom = GetDlgItem(page, IDC_TARGET_SPIN);
      change.hdr.idFrom = IDC_TARGET_SPIN;
      change.hdr.code = UDN_DELTAPOS;
      change.iDelta = delta;
      SendMessageA(page, WM_NOTIFY, IDC_TARGET_SPIN, reinterpret_cast<LPARAM>(&change));
      shown.push_back(ItemText(page, IDC_TARGET_EDIT));
    };
    shown.push_back(ItemText(page, IDC_TARGET_EDIT));
    spin(-1);
    spin(-3);
    spin(4);
    for (const char* typed : {"4", "abc", "0.1", "", "3.5", "1.8"}) {
      SetDlgItemTextA(page, IDC_TARGET_EDIT, typed);
      shown.push_back(ItemText(page, IDC_TARGET_EDIT));
    }
    if (!WalkTo(sheet, IDD_COMPLETING)) return false;
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    return true;
  });
  EXPECT_EQ(monwz::Calibrate(host.host, gammas, nullptr, nullptr, nullptr), S_OK);
  EXPECT_TRUE(driver.Succeeded());
  // The spin moves 0.1 a step against its sign; a refused entry shows the working gamma again.
  EXPECT_EQ(shown,
            (std::vector<std::string>{"2.2", "2.3", "2.6", "2.2", "2.2", "2.2", "2.2", "2.2", "3.5", "1.8"}));
  EXPECT_EQ(host.saved.target, 1.8f);
}

TEST(CalibrationPages, ThePreviewsShowTheWorkingGammasTables) {
  RecordingHost host;
  monwz::Gammas gammas;
  Picture rampEqual, photoEqual, rampAfter, photoAfter;
  DialogDriver driver(kSheetCaption, [&](HWND sheet) {
    if (!WalkTo(sheet, IDD_TARGET_GAMMA)) return false;
    HWND page = CurrentPage(sheet);
    rampEqual = Read(ControlBitmap(page, IDC_RAMP_PREVIEW));
    photoEqual = Read(ControlBitmap(page, IDC_PHOTO_PREVIEW));
    Shot(sheet, "page-204");
    SetDlgItemTextA(page, IDC_TARGET_EDIT, "1.8");
    rampAfter = Read(ControlBitmap(page, IDC_RAMP_PREVIEW));
    photoAfter = Read(ControlBitmap(page, IDC_PHOTO_PREVIEW));
    Shot(sheet, "page-204-target-1.8");
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    return true;
  });
  EXPECT_EQ(monwz::Calibrate(host.host, gammas, nullptr, nullptr, nullptr), S_FALSE);
  EXPECT_TRUE(driver.Succeeded());

  HBITMAP original = static_cast<HBITMAP>(LoadImageA(
      GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_PHOTOGRAPH), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  const Picture photograph = Read(original);
  DeleteObject(original);
  ASSERT_GT(photograph.width, 0);

  ASSERT_GT(rampEqual.width, 0);
  ASSERT_EQ(rampAfter.width, rampEqual.width);
  const int width = rampEqual.width;
  for (int x = 0; x < width; ++x) {
    const int v = static_cast<int>(static_cast<double>(x) / width * 255 + 0.5);
    const uint8_t corrected = Expected(v, 1.8f, 2.2f);
    ASSERT_EQ(rampEqual.At(x, 0), RGB(v, v, v)) << x;
    ASSERT_EQ(rampEqual.At(x, rampEqual.height - 1), RGB(v, v, v)) << x;
    ASSERT_EQ(rampAfter.At(x, rampAfter.height / 2), RGB(corrected, corrected, corrected)) << x;
    if (v == 128) {
      EXPECT_EQ(corrected, 145);
    }
  }
  EXPECT_EQ(photoEqual.pixels, photograph.pixels);
  ASSERT_EQ(photoAfter.pixels.size(), photograph.pixels.size());
  for (size_t i = 0; i < photograph.pixels.size(); ++i) {
    const COLORREF source = photograph.pixels[i];
    ASSERT_EQ(photoAfter.pixels[i],
              RGB(Expected(GetRValue(source), 1.8f, 2.2f), Expected(GetGValue(source), 1.8f, 2.2f),
                  Expected(GetBValue(source), 1.8f, 2.2f)))
        << i;
  }
}
