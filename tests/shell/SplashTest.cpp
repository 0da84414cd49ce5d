// The splash window: one at a time, closed by a key or a click, by its timer, and its texts.
#include "ShellTestSupport.h"

#include "SplashWnd.h"
#include "StaticBitmapControls.h"

namespace {

class SplashTest : public ShellTest {};

TEST_F(SplashTest, OneSplashAtATimeClosedByAKeyThatIsThenEaten) {
  CSplashWnd::ShowSplashScreen(true, nullptr);
  CSplashWnd* splash = CSplashWnd::GetSplash();
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(splash->IsWindowVisible());
  char title[64] = {};
  ::GetWindowTextA(splash->m_hWnd, title, sizeof(title));
  EXPECT_STREQ(title, "Pellorin");
  CRect rect;
  splash->GetWindowRect(&rect);
  EXPECT_EQ(rect.Width(), 360);
  EXPECT_EQ(rect.Height(), 220);

  CSplashWnd::ShowSplashScreen(true, nullptr);
  EXPECT_EQ(CSplashWnd::GetSplash(), splash);

  MSG move = {splash->m_hWnd, WM_MOUSEMOVE, 0, 0};
  EXPECT_FALSE(CSplashWnd::PreTranslateAppMessage(&move));
  EXPECT_NE(CSplashWnd::GetSplash(), nullptr);
  MSG key = {splash->m_hWnd, WM_KEYDOWN, VK_SPACE, 0};
  EXPECT_TRUE(CSplashWnd::PreTranslateAppMessage(&key));
  EXPECT_EQ(CSplashWnd::GetSplash(), nullptr);
  EXPECT_FALSE(CSplashWnd::PreTranslateAppMessage(&key));
}

TEST_F(SplashTest, ATimerThatFiredBeforeTheWaitEndsTheWaitAtOnce) {
  CSplashWnd::ShowSplashScreen(true, nullptr);
  ASSERT_NE(CSplashWnd::GetSplash(), nullptr);
  CSplashWnd::GetSplash()->SendMessage(WM_TIMER, CSplashWnd::CloseTimerId);
  EXPECT_NE(CSplashWnd::GetSplash(), nullptr);
  CSplashWnd::WaitForClose();
  EXPECT_EQ(CSplashWnd::GetSplash(), nullptr);
}

TEST_F(SplashTest, AClickDuringTheWaitClosesTheSplash) {
  CSplashWnd::ShowSplashScreen(false, nullptr);
  ASSERT_NE(CSplashWnd::GetSplash(), nullptr);
  HWND hwnd = CSplashWnd::GetSplash()->m_hWnd;
  ::PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  CSplashWnd::WaitForClose();
  EXPECT_EQ(CSplashWnd::GetSplash(), nullptr);
  EXPECT_FALSE(::IsWindow(hwnd));
}

TEST_F(SplashTest, TheTextsComeFromTheVersionBlock) {
  EXPECT_STREQ(CSplashWnd::GetProductLine(), "Pellorin Version 1.0.0");
  EXPECT_STREQ(CSplashWnd::GetLegalLine(), "Copyright \xA9 2026 Corvanith");
}

}  // namespace

namespace {

class StartupSplashTest : public ShellTest {};

void CALLBACK PressKeyOnMainWindow(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (CWnd* main = TestApp().m_pMainWnd) main->PostMessage(WM_KEYDOWN, VK_SPACE, 0);
}

TEST_F(StartupSplashTest, StartUpWaitsForTheSplashAndAKeyEndsTheWait) {
  TestApp().showSplash = true;
  SetTimer(nullptr, 0, 100, &PressKeyOnMainWindow);
  ASSERT_TRUE(Start());
  EXPECT_EQ(CSplashWnd::GetSplash(), nullptr);
  EXPECT_EQ(Title(), "Pellorin - <untitled>");
}

TEST(StaticBitmapControls, ABitmapNamedByNumberIsLoadedForTheControl) {
  HINSTANCE program = GetModuleHandleA(nullptr);
  ASSERT_TRUE(SubclassStaticControls(program));
  EXPECT_TRUE(SubclassStaticControls(program));
  const char name[] = {'\xFF', 120, 0, 0};
  HWND control = CreateWindowExA(0, "STATIC", name, WS_POPUP | SS_BITMAP, 0, 0, 10, 10, nullptr, nullptr,
                                 program, nullptr);
  ASSERT_NE(control, nullptr);
  auto picture = reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(picture, nullptr);
  BITMAP info = {};
  GetObjectA(picture, sizeof(info), &info);
  EXPECT_EQ(info.bmWidth, 360);
  DestroyWindow(control);

  // Other statics are left alone.
  HWND text = CreateWindowExA(0, "STATIC", "text", WS_POPUP | SS_LEFT, 0, 0, 10, 10, nullptr, nullptr,
                              program, nullptr);
  ASSERT_NE(text, nullptr);
  char buffer[16] = {};
  GetWindowTextA(text, buffer, sizeof(buffer));
  EXPECT_STREQ(buffer, "text");
  DestroyWindow(text);
}

}  // namespace
