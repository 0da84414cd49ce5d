// The colour picker and its palette popup: keys, mouse, the colour dialog and the notifications.
#include "SmallControlsSupport.h"

#include "ColourPicker.h"
#include "ColourPickerPopup.h"
#include "ControlClasses.h"

namespace {

constexpr UINT PickerId = 100;

class ColourPickerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    picker.CWnd::Create(ControlClasses::ColourPicker, "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                        CRect(10, 10, 60, 20), &parent, PickerId);
    ASSERT_NE(picker.m_hWnd, nullptr);
  }
  void TearDown() override {
    if (CColourPickerPopup* popup = Popup()) popup->DestroyWindow();
  }

  CColourPickerPopup* Open() {
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(PickerId, BN_CLICKED), reinterpret_cast<LPARAM>(picker.m_hWnd));
    return Popup();
  }
  static CColourPickerPopup* Popup() {
    return dynamic_cast<CColourPickerPopup*>(CWnd::FromHandlePermanent(::GetCapture()));
  }
  static void Key(CColourPickerPopup* popup, UINT key) { popup->SendMessage(WM_KEYDOWN, key, 0); }

  CRecordingParent parent;
  CColourPicker picker;
};

TEST_F(ColourPickerTest, SubclassingMakesAnOwnerDrawButtonOfTheArrowHeight) {
  EXPECT_EQ(picker.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
  const int cxEdge = ::GetSystemMetrics(SM_CXEDGE), cyEdge = ::GetSystemMetrics(SM_CYEDGE);
  const int arrow = std::max(std::max(5 * cxEdge, ::GetSystemMetrics(SM_CXHTHUMB)),
                             std::max(5 * cyEdge, ::GetSystemMetrics(SM_CYVTHUMB)));
  CRect rect;
  picker.GetWindowRect(&rect);
  EXPECT_EQ(rect.Height(), arrow + 2 * cyEdge);
  EXPECT_EQ(rect.Width(), std::max(50, 2 * (cxEdge + arrow)));
  EXPECT_EQ(picker.GetArrowRect(),
            CRect(rect.Width() - arrow - cxEdge, cyEdge, rect.Width() - cxEdge, rect.Height() - cyEdge));
  EXPECT_EQ(picker.GetColour(), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(ColourPickerTest, ArrowKeysWalkTheRingAndEnterAcceptsWithThreeNotifications) {
  picker.SetColour(RGB(255, 0, 0));
  CColourPickerPopup* popup = Open();
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(picker.IsPopupActive());
  EXPECT_EQ(popup->GetChosenBox(), 16);
  // From no box the ring starts at "More Colors...", then "Automatic", then the first colour.
  Key(popup, VK_RIGHT);
  EXPECT_EQ(popup->GetHotBox(), CColourPickerPopup::CustomBox);
  Key(popup, VK_RIGHT);
  EXPECT_EQ(popup->GetHotBox(), CColourPickerPopup::DefaultBox);
  Key(popup, VK_RIGHT);
  EXPECT_EQ(popup->GetHotBox(), 0);
  Key(popup, VK_DOWN);
  EXPECT_EQ(popup->GetHotBox(), 8);
  Key(popup, VK_LEFT);
  EXPECT_EQ(popup->GetHotBox(), 7);
  Key(popup, VK_UP);
  EXPECT_EQ(popup->GetHotBox(), CColourPickerPopup::DefaultBox);
  Key(popup, VK_UP);
  EXPECT_EQ(popup->GetHotBox(), CColourPickerPopup::CustomBox);
  Key(popup, VK_UP);
  EXPECT_EQ(popup->GetHotBox(), 39);
  Key(popup, VK_DOWN);
  EXPECT_EQ(popup->GetHotBox(), CColourPickerPopup::CustomBox);
  Key(popup, VK_LEFT);
  Key(popup, VK_LEFT);
  EXPECT_EQ(popup->GetHotBox(), 38);
  EXPECT_EQ(picker.GetColour(), RGB(255, 0, 0)) << "without track selection the picker waits";
  Key(popup, VK_RETURN);
  EXPECT_EQ(Popup(), nullptr);
  EXPECT_FALSE(picker.IsPopupActive());
  EXPECT_EQ(picker.GetColour(), RGB(230, 230, 250));
  EXPECT_EQ(parent.Codes(), (std::vector<int>{PICKN_DROPDOWN, PICKN_CLOSED, PICKN_ACCEPTED, PICKN_CHANGED}));
  EXPECT_EQ(parent.notifications[0].colour, RGB(255, 0, 0));
  EXPECT_EQ(parent.notifications[3].colour, RGB(230, 230, 250));
  EXPECT_EQ(parent.notifications[3].id, PickerId);
  EXPECT_EQ(parent.notifications[3].from, picker.m_hWnd);
}

TEST_F(ColourPickerTest, ChoosingTheSameColourSendsNothingAndAutomaticStoresTheSpecialValue) {
  picker.SetColour(RGB(0, 0, 0));
  CColourPickerPopup* popup = Open();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->GetChosenBox(), 0);
  for (int i = 0; i < 3; ++i) Key(popup, VK_RIGHT);
  Key(popup, VK_SPACE);
  EXPECT_EQ(parent.Codes(), (std::vector<int>{PICKN_DROPDOWN}));

  popup = Open();
  ASSERT_NE(popup, nullptr);
  Key(popup, VK_LEFT);  // "Automatic"
  Key(popup, VK_RETURN);
  EXPECT_EQ(picker.GetColour(), CLR_AUTOMATIC);
  popup = Open();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->GetChosenBox(), CColourPickerPopup::DefaultBox);
}

TEST_F(ColourPickerTest, AColourOutsideTheTableShowsMoreColorsChosen) {
  picker.SetColour(RGB(1, 2, 3));
  CColourPickerPopup* popup = Open();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->GetChosenBox(), CColourPickerPopup::CustomBox);
  Key(popup, VK_ESCAPE);
  EXPECT_EQ(picker.GetColour(), RGB(1, 2, 3));
  EXPECT_EQ(parent.Codes(), (std::vector<int>{PICKN_DROPDOWN, PICKN_CLOSED, PICKN_CANCELLED}));
}

TEST_F(ColourPickerTest, MoreColorsRunsTheColourDialogAndItsCancelRestores) {
  picker.SetColour(RGB(0, 0, 255));
  CColorDialogScript script;
  script.Cancel().Answer(RGB(10, 20, 30));

  CColourPickerPopup* popup = Open();
  ASSERT_NE(popup, nullptr);
  Key(popup, VK_RIGHT);  // "More Colors..."
  Key(popup, VK_RETURN);
  EXPECT_EQ(picker.GetColour(), RGB(0, 0, 255));
  EXPECT_EQ(parent.Codes(), (std::vector<int>{PICKN_DROPDOWN, PICKN_CLOSED, PICKN_CANCELLED}));

  parent.notifications.clear();
  popup = Open();
  ASSERT_NE(popup, nullptr);
  Key(popup, VK_RIGHT);
  Key(popup, VK_RETURN);
  EXPECT_EQ(picker.GetColour(), RGB(10, 20, 30));
  EXPECT_EQ(parent.Codes(), (std::vector<int>{PICKN_DROPDOWN, PICKN_CLOSED, PICKN_ACCEPTED, PICKN_CHANGED}));

  auto shown = script.GetShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].initial, RGB(0, 0, 255));
  EXPECT_EQ(shown[0].flags & (CC_FULLOPEN | CC_ANYCOLOR), static_cast<DWORD>(CC_FULLOPEN | CC_ANYCOLOR));
}

TEST_F(ColourPickerTest, TrackSelectionAppliesEveryHotBoxAndCancelRestores) {
  picker.SetColour(RGB(0, 0, 255));
  picker.SetTrackSelection(TRUE);
  CColourPickerPopup* popup = Open();
  ASSERT_NE(popup, nullptr);
  for (int box : {0, 1, 9}) {
    CRect rect = popup->GetBoxRect(box);
    // The popup measures mouse points from one margin in.
    const int margin = ::GetSystemMetrics(SM_CXEDGE);
    popup->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(rect.left + margin + 4, rect.top + 4));
    EXPECT_EQ(popup->GetHotBox(), box);
    EXPECT_EQ(picker.GetColour(), CColourPickerPopup::Colours[box].colour);
  }
  Key(popup, VK_ESCAPE);
  EXPECT_EQ(picker.GetColour(), RGB(0, 0, 255));
  EXPECT_EQ(parent.Codes(), (std::vector<int>{PICKN_DROPDOWN, PICKN_CHANGED, PICKN_CHANGED, PICKN_CHANGED,
                                              PICKN_CLOSED, PICKN_CANCELLED}));
}

TEST_F(ColourPickerTest, SwitchingToAnotherApplicationCancels) {
  picker.SetColour(RGB(0, 0, 255));
  CColourPickerPopup* popup = Open();
  ASSERT_NE(popup, nullptr);
  Key(popup, VK_RIGHT);
  Key(popup, VK_RIGHT);
  Key(popup, VK_RIGHT);
  popup->SendMessage(WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(Popup(), nullptr);
  EXPECT_EQ(picker.GetColour(), RGB(0, 0, 255));
  EXPECT_EQ(parent.Codes().back(), static_cast<int>(PICKN_CANCELLED));
}

TEST_F(ColourPickerTest, APickerNearTheBottomOpensItsPopupAboveItself) {
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  parent.SetWindowPos(nullptr, 100, screenHeight - 60, 400, 60, SWP_NOZORDER | SWP_NOACTIVATE);
  picker.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  CColourPickerPopup* popup = Open();
  ASSERT_NE(popup, nullptr);
  CRect pickerRect, popupRect;
  picker.GetWindowRect(&pickerRect);
  popup->GetWindowRect(&popupRect);
  EXPECT_EQ(popupRect.bottom, pickerRect.top);
}

TEST_F(ColourPickerTest, DataExchangeMovesTheColourBothWays) {
  COLORREF colour = RGB(5, 6, 7);
  CDataExchange load(&parent, FALSE);
  DDX_ColourPicker(&load, PickerId, colour);
  EXPECT_EQ(picker.GetColour(), RGB(5, 6, 7));
  picker.SetSelectionMode(1);
  picker.SetTextColour(RGB(8, 9, 10));
  CDataExchange save(&parent, TRUE);
  DDX_ColourPicker(&save, PickerId, colour);
  EXPECT_EQ(colour, RGB(8, 9, 10));
}

}  // namespace
