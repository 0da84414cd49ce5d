// The handle map and the object's lifetime: either side going away detaches the object first;
// temporary wrappers; self-deleting windows; failures inside handlers reported, not unwound.
#include <gtest/gtest.h>

#include "WindowTestSupport.h"

#include <stdexcept>
#include <string>

namespace {

class CCountingWnd : public CWnd {
 public:
  int* messagesAfterDeath = nullptr;
  bool alive = true;
  ~CCountingWnd() override { alive = false; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (!alive && messagesAfterDeath != nullptr) ++*messagesAfterDeath;
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

TEST(WndLifetime, DeletingTheObjectDetachesItBeforeTheWindowGoes) {
  int late = 0;
  auto* wnd = new CCountingWnd;
  wnd->messagesAfterDeath = &late;
  ASSERT_TRUE(wnd->CreateEx(0, nullptr, "doomed", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  HWND hWnd = wnd->m_hWnd;
  delete wnd;
  EXPECT_FALSE(IsWindow(hWnd));
  EXPECT_EQ(late, 0);
  EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

class CSelfDeletingWnd : public CWnd {
 public:
  static int deleted;
  ~CSelfDeletingWnd() override { ++deleted; }

 protected:
  void PostNcDestroy() override { delete this; }
};
int CSelfDeletingWnd::deleted = 0;

TEST(WndLifetime, DestroyingTheWindowDetachesAndLetsTheObjectDeleteItself) {
  auto* wnd = new CSelfDeletingWnd;
  ASSERT_TRUE(wnd->CreateEx(0, nullptr, "self", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  HWND hWnd = wnd->m_hWnd;
  DestroyWindow(hWnd);
  EXPECT_EQ(CSelfDeletingWnd::deleted, 1);
  EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(WndLifetime, TemporaryWrappersLiveUntilIdle) {
  HWND hWnd =
      CreateWindowExA(0, "STATIC", "plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hWnd, nullptr);
  CWnd* temp = CWnd::FromHandle(hWnd);
  ASSERT_NE(temp, nullptr);
  EXPECT_EQ(temp->m_hWnd, hWnd);
  EXPECT_EQ(CWnd::FromHandle(hWnd), temp) << "one wrapper per handle";
  EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
  CString text;
  temp->GetWindowText(text);
  EXPECT_EQ(text, "plain");
  TestApp().OnIdle(1);  // releases the wrappers, never the windows
  EXPECT_TRUE(IsWindow(hWnd));
  DestroyWindow(hWnd);
}

TEST(WndLifetime, SubclassingKeepsTheOldProcedureForDefault) {
  HWND hWnd = CreateWindowExA(0, "EDIT", "abc", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hWnd, nullptr);
  {
    CEdit edit;
    ASSERT_TRUE(edit.SubclassWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &edit);
    edit.SetWindowText("changed");  // handled by the edit's own procedure through Default()
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, "changed");
    EXPECT_EQ(edit.UnsubclassWindow(), hWnd);
  }
  EXPECT_TRUE(IsWindow(hWnd)) << "an unsubclassed window outlives its object";
  DestroyWindow(hWnd);
}

class CThrowingWnd : public CWnd {
 public:
  int paints = 0;

 protected:
  afx_msg void OnLButtonDown(UINT, CPoint) { throw std::runtime_error("mouse failed"); }
  afx_msg void OnRButtonDown(UINT, CPoint) { AfxThrowNotSupportedException(); }
  afx_msg void OnPaint() {
    ++paints;
    CPaintDC dc(this);
    throw std::runtime_error("paint failed");
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CThrowingWnd, CWnd)
  ON_WM_LBUTTONDOWN()
  ON_WM_RBUTTONDOWN()
  ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(WndLifetime, FailuresInHandlersAreReportedThroughThePrompt) {
  CScriptedPrompt prompt;
  prompt.FailWhenEmpty(true);
  CThrowingWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "throws", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  wnd.SendMessage(WM_LBUTTONDOWN, 0, 0);
  auto shown = prompt.GetShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "mouse failed");
  EXPECT_EQ(shown[0].flags, 0x52010u);
  EXPECT_EQ(shown[0].caption, AfxGetAppName());

  wnd.SendMessage(WM_RBUTTONDOWN, 0, 0);
  EXPECT_EQ(prompt.GetShown().size(), 2u) << "a CException* is reported with ReportError";

  // Painting twice fails twice, but the user hears of it once, after the paint.
  wnd.ShowWindow(SW_SHOW);
  wnd.Invalidate();
  wnd.UpdateWindow();
  EXPECT_EQ(prompt.GetShown().size(), 2u) << "never reported inside the paint";
  wnd.Invalidate();
  wnd.UpdateWindow();
  EXPECT_GE(wnd.paints, 2);
  PumpPending(100);
  shown = prompt.GetShown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[2].text, "paint failed");
  wnd.DestroyWindow();
}

}  // namespace
