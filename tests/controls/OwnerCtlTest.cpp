// The owner-drawn control base: window class, notifications, owner and own dispatch, the delayed
// repaint, dialog keys and attaching to a dialog item.
#include "OwnerControlsTestSupport.h"

#include "OwnerCtl.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Without an owner: records what reaches its own operations.
class RecordingCtl : public COwnerCtl {
 public:
  using COwnerCtl::COwnerCtl;
  std::vector<std::string> calls;
  int draws = 0;
  void Draw(CDC*, const CRect&, const CRect&) override { ++draws; }
  void LButtonDown(UINT, int x, int y) override {
    calls.push_back("ldown " + std::to_string(x) + "," + std::to_string(y));
  }
  void LButtonUp(UINT, int, int) override { calls.push_back("lup"); }
  void LButtonDblClk(UINT, int, int) override { calls.push_back("ldbl"); }
  void RButtonDown(UINT, int, int) override { calls.push_back("rdown"); }
  void RButtonUp(UINT, int, int) override { calls.push_back("rup"); }
  void MouseWheel(UINT, short delta, int, int) override { calls.push_back(Text("wheel", delta)); }
  void KeyDown(UINT key, UINT, UINT) override { calls.push_back(Text("key", static_cast<int>(key))); }
  void OnAttached() override { calls.push_back("attached"); }
};

// Overrides only the drawing; everything else must still reach the control through the defaults.
class DrawOnlyOwner : public COwnerCtlOwner {
 public:
  int draws = 0;
  void OwnerDraw(COwnerCtl*, CDC*, const CRect&, const CRect&) override { ++draws; }
};

class OwnerCtlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(COwnerCtl::RegisterWindowClass());
    parent->Open();
    ASSERT_NE(parent->GetSafeHwnd(), nullptr);
    parent->codes.clear();
  }
  static void Create(COwnerCtl& ctl) {
    ASSERT_TRUE(
        ctl.Create(COwnerCtl::kWindowClass, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 210, 110), parent, 77));
  }
  static void SetUpTestSuite() { parent = new RecordingParent; }
  static void TearDownTestSuite() {
    parent->DestroyWindow();
    delete parent;
    parent = nullptr;
  }
  static RecordingParent* parent;
};
RecordingParent* OwnerCtlTest::parent = nullptr;

TEST_F(OwnerCtlTest, RegisteringTwiceSucceedsWithTheDocumentedAttributes) {
  EXPECT_TRUE(COwnerCtl::RegisterWindowClass());
  EXPECT_TRUE(COwnerCellCtl::RegisterWindowClass());
  EXPECT_TRUE(COwnerCellCtl::RegisterWindowClass());
  for (const char* name : {COwnerCtl::kWindowClass, COwnerCellCtl::kWindowClass}) {
    WNDCLASSA wc = {};
    ASSERT_TRUE(::GetClassInfoA(AfxGetInstanceHandle(), name, &wc)) << name;
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW)) << name;
    EXPECT_EQ(wc.cbWndExtra, 0) << name;
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1))) << name;
  }
}

TEST_F(OwnerCtlTest, ClicksNotifyTheParentBeforeTheControlSeesThem) {
  RecordingCtl ctl(nullptr);
  Create(ctl);
  ctl.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  ctl.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
  ctl.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 6));
  ctl.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
  ctl.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 6));
  ctl.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(5, 6));
  EXPECT_EQ(parent->codes,
            (std::vector<int>{-2, -3, -3, -5, -6}));  // NM_CLICK, NM_DBLCLK, NM_RCLICK, NM_RDBLCLK
  EXPECT_EQ(parent->ids.back(), 77u);
  EXPECT_EQ(ctl.calls, (std::vector<std::string>{"ldown 5,6", "lup", "ldbl", "lup", "rdown", "rup"}));
}

TEST_F(OwnerCtlTest, AnOwnerThatOnlyDrawsStillLetsInputReachTheControl) {
  DrawOnlyOwner owner;
  RecordingCtl ctl(&owner);
  Create(ctl);
  ctl.RedrawNow();
  EXPECT_EQ(owner.draws, 1);
  EXPECT_EQ(ctl.draws, 0);
  ctl.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 2));
  ctl.SendMessage(WM_KEYDOWN, VK_LEFT, 1);
  // The wheel always goes to the control itself and counts as handled.
  EXPECT_EQ(ctl.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(50, 50)), TRUE);
  EXPECT_EQ(ctl.calls,
            (std::vector<std::string>{"ldown 1,2", Text("key", VK_LEFT), Text("wheel", -WHEEL_DELTA)}));
}

TEST_F(OwnerCtlTest, TakesArrowsOnlyAndNeverErases) {
  RecordingCtl ctl(nullptr);
  Create(ctl);
  EXPECT_EQ(ctl.SendMessage(WM_GETDLGCODE), DLGC_WANTARROWS);
  EXPECT_EQ(ctl.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(::GetDC(nullptr))), TRUE);
}

TEST_F(OwnerCtlTest, RedrawLaterPostponesAndRepaintsOnce) {
  RecordingCtl ctl(nullptr);
  Create(ctl);
  ctl.UpdateWindow();
  PumpFor(50);
  const int before = ctl.draws;
  const UINT_PTR first = ctl.RedrawLater(200);
  ASSERT_NE(first, 0u);
  const UINT_PTR second = ctl.RedrawLater(200);
  EXPECT_EQ(second, first);  // the same identifier, restarted
  EXPECT_EQ(ctl.draws, before);
  ASSERT_TRUE(PumpUntil([&] { return ctl.GetDelayedRepaintTimer() == 0; }));
  ASSERT_TRUE(PumpUntil([&] { return ctl.draws > before; }));
  PumpFor(100);
  EXPECT_EQ(ctl.draws, before + 1);
}

TEST_F(OwnerCtlTest, EnablingRepaintsTheWholeControl) {
  RecordingCtl ctl(nullptr);
  Create(ctl);
  ctl.UpdateWindow();
  const int before = ctl.draws;
  ctl.EnableWindow(FALSE);
  ctl.UpdateWindow();
  EXPECT_EQ(ctl.draws, before + 1);
}

TEST_F(OwnerCtlTest, AttachDlgItemSubclassesAnExistingChildOnly) {
  HWND placeholder = ::CreateWindowExA(
      0, COwnerCtl::kWindowClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, parent->GetSafeHwnd(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(1234)), AfxGetInstanceHandle(), nullptr);
  ASSERT_NE(placeholder, nullptr);
  RecordingCtl missing(nullptr);
  EXPECT_FALSE(missing.AttachDlgItem(4321, parent));
  EXPECT_TRUE(missing.calls.empty());
  RecordingCtl attached(nullptr);
  EXPECT_TRUE(attached.AttachDlgItem(1234, parent));
  EXPECT_EQ(attached.GetSafeHwnd(), placeholder);
  EXPECT_EQ(attached.calls, (std::vector<std::string>{"attached"}));
  attached.SendMessage(WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(attached.calls.back(), Text("key", VK_DOWN));
  attached.DestroyWindow();
}

}  // namespace
