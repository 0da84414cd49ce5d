// Message maps: window messages with their arguments cracked, chaining to the base class's map,
// private and registered messages, commands, notifications and reflection.
#include <gtest/gtest.h>

#include "WindowTestSupport.h"

#include <string>
#include <vector>

namespace {

const UINT WM_TEST_PRIVATE = WM_APP + 10;
UINT g_registeredMessage = RegisterWindowMessageA("ClassLibTest.Registered");

class CBaseTestWnd : public CWnd {
 public:
  std::vector<std::string> calls;
  CPoint lastPoint;
  UINT lastFlags = 0;
  int lastCx = 0, lastCy = 0;

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpcs) {
    calls.push_back("base:create");
    return CWnd::OnCreate(lpcs);
  }
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point) {
    calls.push_back("base:lbuttondown");
    lastFlags = nFlags;
    lastPoint = point;
  }
  afx_msg void OnSize(UINT, int cx, int cy) {
    calls.push_back("base:size");
    lastCx = cx;
    lastCy = cy;
  }
  afx_msg LRESULT OnPrivate(WPARAM wParam, LPARAM lParam) {
    calls.push_back("base:private");
    return static_cast<LRESULT>(wParam + lParam);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTestWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_LBUTTONDOWN()
  ON_WM_SIZE()
  ON_MESSAGE(WM_TEST_PRIVATE, &CBaseTestWnd::OnPrivate)
END_MESSAGE_MAP()

class CDerivedTestWnd : public CBaseTestWnd {
 public:
  UINT lastKey = 0, lastRepeat = 0;

 protected:
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point) {
    calls.push_back("derived:lbuttondown");
    CBaseTestWnd::OnLButtonDown(nFlags, point);
  }
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT) {
    lastKey = nChar;
    lastRepeat = nRepCnt;
  }
  afx_msg LRESULT OnRegistered(WPARAM wParam, LPARAM) {
    calls.push_back("derived:registered");
    return static_cast<LRESULT>(wParam * 2);
  }
  afx_msg BOOL OnMouseWheel(UINT, short zDelta, CPoint) {
    calls.push_back("derived:wheel " + std::to_string(zDelta));
    return TRUE;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTestWnd, CBaseTestWnd)
  ON_WM_LBUTTONDOWN()
  ON_WM_KEYDOWN()
  ON_WM_MOUSEWHEEL()
  ON_REGISTERED_MESSAGE(g_registeredMessage, &CDerivedTestWnd::OnRegistered)
END_MESSAGE_MAP()

bool Contains(const std::vector<std::string>& calls, const std::string& what) {
  for (auto& c : calls)
    if (c == what) return true;
  return false;
}

TEST(MessageMap, CracksArgumentsAndChainsToTheBaseMap) {
  CDerivedTestWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "test", WS_OVERLAPPEDWINDOW, 10, 10, 200, 150, nullptr, nullptr));
  EXPECT_TRUE(Contains(wnd.calls, "base:create"));
  EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);

  wnd.calls.clear();
  wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(12, -3));
  ASSERT_EQ(wnd.calls.size(), 2u);
  EXPECT_EQ(wnd.calls[0], "derived:lbuttondown");
  EXPECT_EQ(wnd.calls[1], "base:lbuttondown");
  EXPECT_EQ(wnd.lastFlags, static_cast<UINT>(MK_LBUTTON | MK_SHIFT));
  EXPECT_EQ(wnd.lastPoint.x, 12);
  EXPECT_EQ(wnd.lastPoint.y, -3);

  wnd.MoveWindow(10, 10, 300, 200);
  CRect client;
  wnd.GetClientRect(&client);
  EXPECT_EQ(wnd.lastCx, client.Width());
  EXPECT_EQ(wnd.lastCy, client.Height());

  wnd.SendMessage(WM_KEYDOWN, 'Q', MAKELPARAM(3, 0x10));
  EXPECT_EQ(wnd.lastKey, static_cast<UINT>('Q'));
  EXPECT_EQ(wnd.lastRepeat, 3u);

  EXPECT_EQ(wnd.SendMessage(WM_TEST_PRIVATE, 40, 2), 42);
  EXPECT_EQ(wnd.SendMessage(g_registeredMessage, 21, 0), 42);
  wnd.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_TRUE(Contains(wnd.calls, "derived:wheel -120"));
  wnd.DestroyWindow();
  EXPECT_EQ(wnd.m_hWnd, nullptr);
}

// Commands: exact ids, ranges, update handlers with ContinueRouting, and the handler query.
class CCommandTarget : public CCmdTarget {
 public:
  std::vector<UINT> seen;
  bool continueRouting = false;

 protected:
  afx_msg void OnOne() { seen.push_back(1); }
  afx_msg void OnRange(UINT nID) { seen.push_back(nID); }
  afx_msg void OnUpdateOne(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
    if (continueRouting) pCmdUI->ContinueRouting();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandTarget, CCmdTarget)
  ON_COMMAND(100, &CCommandTarget::OnOne)
  ON_COMMAND_RANGE(200, 205, &CCommandTarget::OnRange)
  ON_UPDATE_COMMAND_UI(100, &CCommandTarget::OnUpdateOne)
END_MESSAGE_MAP()

class CRecordingCmdUI : public CCmdUI {
 public:
  int enabled = -1;
  void Enable(BOOL bOn) override {
    enabled = bOn ? 1 : 0;
    m_bEnableChanged = TRUE;
  }
};

TEST(MessageMap, RoutesCommandsByIdAndRange) {
  CCommandTarget target;
  EXPECT_TRUE(target.OnCmdMsg(100, CN_COMMAND, nullptr, nullptr));
  EXPECT_TRUE(target.OnCmdMsg(203, CN_COMMAND, nullptr, nullptr));
  EXPECT_FALSE(target.OnCmdMsg(206, CN_COMMAND, nullptr, nullptr));
  EXPECT_EQ(target.seen, (std::vector<UINT>{1, 203}));

  AFX_CMDHANDLERINFO info = {nullptr, nullptr};
  EXPECT_TRUE(target.OnCmdMsg(201, CN_COMMAND, nullptr, &info));
  EXPECT_EQ(info.pTarget, &target);
  EXPECT_EQ(target.seen.size(), 2u) << "asking for the handler must not run it";

  CRecordingCmdUI ui;
  ui.m_nID = 100;
  EXPECT_TRUE(ui.DoUpdate(&target, FALSE));
  EXPECT_EQ(ui.enabled, 0);

  target.continueRouting = true;
  EXPECT_FALSE(target.OnCmdMsg(100, static_cast<int>(CN_UPDATE_COMMAND_UI), &ui, nullptr))
      << "ContinueRouting leaves the item to the next target";

  CRecordingCmdUI noHandler;
  noHandler.m_nID = 300;
  noHandler.DoUpdate(&target, TRUE);
  EXPECT_EQ(noHandler.enabled, 0) << "no handler: disabled";
  CRecordingCmdUI withHandler;
  withHandler.m_nID = 202;
  withHandler.DoUpdate(&target, TRUE);
  EXPECT_EQ(withHandler.enabled, -1) << "a command handler keeps the item as it is";
}

// A parent with a child control: WM_COMMAND and WM_NOTIFY reach the parent's map unless the
// child handles them through a reflected entry.
class CReflectingChild : public CWnd {
 public:
  int reflectedNotifies = 0;
  int reflectedClicks = 0;
  bool handleNotify = true;

 protected:
  afx_msg void OnReflectNotify(NMHDR*, LRESULT* pResult) {
    ++reflectedNotifies;
    *pResult = 77;
  }
  afx_msg BOOL OnReflectClick() {
    ++reflectedClicks;
    return FALSE;  // let the parent see it as well
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingChild, CWnd)
  ON_NOTIFY_REFLECT(NM_CLICK, &CReflectingChild::OnReflectNotify)
  ON_CONTROL_REFLECT_EX(BN_CLICKED, &CReflectingChild::OnReflectClick)
END_MESSAGE_MAP()

class CNotifyParent : public CWnd {
 public:
  int notifies = 0;
  int clicks = 0;
  UINT lastRangeId = 0;

 protected:
  afx_msg void OnChildNotify(NMHDR* pNMHDR, LRESULT* pResult) {
    ++notifies;
    EXPECT_EQ(pNMHDR->idFrom, 501u);
    *pResult = 5;
  }
  afx_msg void OnChildClicked() { ++clicks; }
  afx_msg void OnRangeChange(UINT nID) { lastRangeId = nID; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNotifyParent, CWnd)
  ON_NOTIFY(NM_DBLCLK, 501, &CNotifyParent::OnChildNotify)
  ON_NOTIFY(NM_CLICK, 501, &CNotifyParent::OnChildNotify)
  ON_BN_CLICKED(501, &CNotifyParent::OnChildClicked)
  ON_CONTROL_RANGE(EN_CHANGE, 600, 610, &CNotifyParent::OnRangeChange)
END_MESSAGE_MAP()

TEST(MessageMap, NotificationsReachTheParentOrAreReflectedToTheChild) {
  CNotifyParent parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr));
  CReflectingChild child;
  ASSERT_TRUE(child.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 50, 50), &parent, 501));

  NMHDR hdr = {child.m_hWnd, 501, static_cast<UINT>(NM_DBLCLK)};
  EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 501, reinterpret_cast<LPARAM>(&hdr)), 5);
  EXPECT_EQ(parent.notifies, 1);
  EXPECT_EQ(child.reflectedNotifies, 0);

  hdr.code = static_cast<UINT>(NM_CLICK);
  EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 501, reinterpret_cast<LPARAM>(&hdr)), 77);
  EXPECT_EQ(child.reflectedNotifies, 1);
  EXPECT_EQ(parent.notifies, 1) << "a reflected notification is consumed by the child";

  parent.SendMessage(WM_COMMAND, MAKEWPARAM(501, BN_CLICKED), reinterpret_cast<LPARAM>(child.m_hWnd));
  EXPECT_EQ(child.reflectedClicks, 1);
  EXPECT_EQ(parent.clicks, 1) << "an _EX reflection returning FALSE passes it on";

  parent.SendMessage(WM_COMMAND, MAKEWPARAM(604, EN_CHANGE), reinterpret_cast<LPARAM>(child.m_hWnd));
  EXPECT_EQ(parent.lastRangeId, 604u);
  parent.DestroyWindow();
  EXPECT_EQ(child.m_hWnd, nullptr) << "the child's object is detached when its window goes";
}

}  // namespace
