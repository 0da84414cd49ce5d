// The cell-size popup run modally; the keys come from a timer on the test thread.
#include "SmallControlsSupport.h"

#include "CellSizeCtl.h"

#include <deque>

namespace {

std::deque<std::pair<UINT, WPARAM>> script;

void CALLBACK Play(HWND, UINT, UINT_PTR id, DWORD) {
  HWND popup = ::FindWindowA("GridPopupCtl", nullptr);
  if (popup == nullptr) return;
  if (script.empty()) {
    ::KillTimer(nullptr, id);
    ::DestroyWindow(popup);  // never leave the loop waiting
    return;
  }
  auto [message, wParam] = script.front();
  script.pop_front();
  ::SendMessageA(popup, message, wParam, 0);
}

bool RunPopup(CCellSizeCtl& popup, CPoint point, CWnd* parent) {
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, Play);
  const BOOL result = popup.TrackPopup(point, parent);
  ::KillTimer(nullptr, timer);
  return result != FALSE;
}

TEST(CellSizeCtl, ArrowKeysGrowAndShrinkNeverBelowOneAndEscapeRestores) {
  CRecordingParent parent;
  CCellSizeCtl popup;
  script = {{WM_KEYDOWN, VK_RIGHT}, {WM_KEYDOWN, VK_RIGHT}, {WM_KEYDOWN, VK_ESCAPE}};
  ASSERT_TRUE(RunPopup(popup, CPoint(100, 100), &parent));
  EXPECT_EQ(popup.columns, 2);
  EXPECT_EQ(popup.rows, 2);
  EXPECT_EQ(popup.GetQuadrant(), 0);

  CCellSizeCtl second;
  script = {{WM_KEYDOWN, VK_RIGHT},
            {WM_KEYDOWN, VK_UP},
            {WM_KEYDOWN, VK_UP},
            {WM_KEYDOWN, VK_UP},
            {WM_KEYDOWN, VK_RETURN}};
  ASSERT_TRUE(RunPopup(second, CPoint(100, 100), &parent));
  EXPECT_EQ(second.columns, 3);
  EXPECT_EQ(second.rows, 1);
}

TEST(CellSizeCtl, APopupInTheLowerLeftGrowsUpAndRightAndAPressAndReleaseAccepts) {
  CRecordingParent parent;
  CRect work;
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  CCellSizeCtl popup;
  script = {{WM_KEYDOWN, VK_UP}, {WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}};
  ASSERT_TRUE(RunPopup(popup, CPoint(work.left + 50, work.bottom - 50), &parent));
  EXPECT_EQ(popup.GetQuadrant(), 2);
  EXPECT_EQ(popup.rows, 3) << "VK_UP adds a row to a choice growing up";
  EXPECT_EQ(popup.columns, 2);
}

TEST(CellSizeCtl, AQuitEndsThePopupAndIsPassedOnWithItsExitCode) {
  CRecordingParent parent;
  CCellSizeCtl popup;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ::PostQuitMessage(7);
  });
  EXPECT_TRUE(popup.TrackPopup(CPoint(100, 100), &parent));
  ::KillTimer(nullptr, timer);
  EXPECT_EQ(popup.m_hWnd, nullptr) << "the popup closes";
  MSG msg = {};
  ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
      << "the outer loop still sees the quit";
  EXPECT_EQ(msg.wParam, 7u);
}

}  // namespace

namespace {

int g_tick = 0;
CSize g_clientAfterFrameChange;

// Gives the popup a thicker frame, then measures its client area once it has refitted.
void CALLBACK ChangeFrame(HWND, UINT, UINT_PTR id, DWORD) {
  HWND popup = ::FindWindowA("GridPopupCtl", nullptr);
  if (popup == nullptr) return;
  if (g_tick++ == 0) {
    ::SetWindowLongA(popup, GWL_STYLE, ::GetWindowLongA(popup, GWL_STYLE) | WS_THICKFRAME);
    ::SetWindowPos(popup, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  RECT client;
  ::GetClientRect(popup, &client);
  g_clientAfterFrameChange = CSize(client.right, client.bottom);
  ::KillTimer(nullptr, id);
  ::DestroyWindow(popup);
}

TEST(CellSizeCtl, AChangedFrameIsRefittedSoTheClientHoldsTheSquaresExactly) {
  CRecordingParent parent;
  CCellSizeCtl popup;
  g_tick = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, ChangeFrame);
  ASSERT_TRUE(popup.TrackPopup(CPoint(200, 200), &parent));
  ::KillTimer(nullptr, timer);
  HDC info = ::CreateICA("DISPLAY", nullptr, nullptr, nullptr);
  const int cell = ::MulDiv(450, ::GetDeviceCaps(info, LOGPIXELSX), 1440);
  const int gap = ::MulDiv(16, ::GetDeviceCaps(info, LOGPIXELSX), 1440);
  const int cellY = ::MulDiv(450, ::GetDeviceCaps(info, LOGPIXELSY), 1440);
  const int gapY = ::MulDiv(16, ::GetDeviceCaps(info, LOGPIXELSY), 1440);
  ::DeleteDC(info);
  EXPECT_EQ(g_clientAfterFrameChange.cx, gap + (cell + gap) * 2);
  EXPECT_EQ(g_clientAfterFrameChange.cy, gapY + (cellY + gapY) * 2);
}

}  // namespace
