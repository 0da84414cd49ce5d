// The handle map and the object's lifetime: either side going away detaches the object first;
// temporary wrappers; self-deleting windows; failures inside handlers reported, not unwound.
#include <gtest/gtest.h>

#include "WindowTestIds.h"
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

// A window whose popup menus do idle work while they are up, as a menu's own loop may.
class CIdleInMenuWnd : public CWnd {
 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_INITMENUPOPUP) TestApp().CWinApp::OnIdle(1);
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

CDialog* g_modal = nullptr;

TEST(WndLifetime, TemporaryWrappersOutliveModalLoopsAndPopups) {
  CIdleInMenuWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
  HWND label = CreateWindowExA(0, "STATIC", "label", WS_CHILD | WS_VISIBLE, 0, 0, 60, 20, owner.m_hWnd,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(100)), nullptr, nullptr);
  ASSERT_NE(label, nullptr);
  CWnd* held = owner.GetDlgItem(100);
  CDC* heldDC = owner.GetDC();
  CMenu popup;
  ASSERT_TRUE(popup.CreatePopupMenu());
  popup.AppendMenu(MF_STRING, 1, "One");
  CMenu* heldMenu = CMenu::FromHandle(popup.m_hMenu);
  ASSERT_NE(held, nullptr);
  ASSERT_EQ(CWnd::FromHandlePermanent(label), nullptr) << "the wrapper must be a temporary one";

  // True when every held wrapper is still the one the map hands out (no new one was made).
  auto stillHeld = [&] {
    size_t count = AfxGetTempWrapperCount();
    bool same = CWnd::FromHandle(label) == held && CDC::FromHandle(heldDC->m_hDC) == heldDC &&
                CMenu::FromHandle(popup.m_hMenu) == heldMenu;
    return same && AfxGetTempWrapperCount() == count;
  };

  // The application's idle time releases wrappers on every call, as the program's does; a modal
  // loop runs it.
  CDialog dialog(IDD_MODELESS, &owner);
  g_modal = &dialog;
  int idlePasses = 0;
  TestApp().recordIdle = true;
  TestApp().onIdle = [&](LONG) {
    TestApp().CWinApp::OnIdle(1);
    if (++idlePasses == 1) dialog.EndDialog(IDOK);
  };
  UINT_PTR guard = SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR, DWORD) {
    ADD_FAILURE() << "the modal loop never became idle";
    g_modal->EndDialog(IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  KillTimer(nullptr, guard);
  TestApp().recordIdle = false;
  TestApp().onIdle = nullptr;
  TestApp().idleCounts.clear();
  g_modal = nullptr;
  EXPECT_GE(idlePasses, 1);
  EXPECT_TRUE(stillHeld()) << "after the modal loop";

  {
    CPopupMenuScript script;
    script.Choose(1);
    EXPECT_EQ(popup.TrackPopupMenu(TPM_RETURNCMD, 0, 0, &owner), 1);
  }
  EXPECT_TRUE(stillHeld()) << "after the popup";
  CString text;
  held->GetWindowText(text);
  EXPECT_EQ(text, "label");
  owner.ReleaseDC(heldDC);

  // The outermost loop's idle time does release them.
  TestApp().OnIdle(1);
  EXPECT_EQ(AfxGetTempWrapperCount(), 0u);
  owner.DestroyWindow();
}

TEST(WndLifetime, ASecondCreateOnTheSameObjectIsRefused) {
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "first", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  HWND first = wnd.m_hWnd;
  EXPECT_FALSE(wnd.CreateEx(0, nullptr, "second", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  EXPECT_EQ(wnd.m_hWnd, first);
  EXPECT_EQ(CWnd::FromHandlePermanent(first), &wnd);
  EXPECT_EQ(FindWindowA(nullptr, "second"), nullptr);
  wnd.DestroyWindow();
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

struct CountedFailure : std::runtime_error {
  static int alive;
  CountedFailure() : std::runtime_error("counted") { ++alive; }
  CountedFailure(const CountedFailure& other) : std::runtime_error(other) { ++alive; }
  ~CountedFailure() override { --alive; }
};
int CountedFailure::alive = 0;

class CFailingPaintWnd : public CWnd {
 protected:
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    throw CountedFailure();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFailingPaintWnd, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(WndLifetime, APaintFailureWaitingForItsReportDiesWithTheWindow) {
  CScriptedPrompt prompt;
  prompt.FailWhenEmpty(true);
  for (bool deleteObject : {false, true}) {
    auto* wnd = new CFailingPaintWnd;
    ASSERT_TRUE(wnd->CreateEx(0, nullptr, "paints", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
    wnd->ShowWindow(SW_SHOW);
    wnd->UpdateWindow();
    EXPECT_EQ(CountedFailure::alive, 1) << "the failure waits for its report";
    if (deleteObject) {
      delete wnd;  // the object goes first and takes its window
    } else {
      wnd->DestroyWindow();
      delete wnd;
    }
    PumpPending(50);
    EXPECT_EQ(CountedFailure::alive, 0);
  }
  EXPECT_TRUE(prompt.GetShown().empty()) << "nobody is left to tell";
}

}  // namespace
