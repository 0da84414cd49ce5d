// The slider button: its frame button, typed values reported to the parent, and the popup.
#include "SmallControlsSupport.h"

#include "SliderButton.h"

namespace {

constexpr UINT EditId = 400;

class SliderButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    edit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 100, 24, parent.m_hWnd,
                             reinterpret_cast<HMENU>(EditId), AfxGetInstanceHandle(), nullptr);
    ASSERT_NE(edit, nullptr);
    CDataExchange dx(&parent, FALSE);
    DDX_SliderButton(&dx, EditId, slider, FALSE);
    ASSERT_EQ(slider.m_hWnd, edit);
    slider.SetRange(-50, 50);
  }
  void TearDown() override {
    if (HWND capture = ::GetCapture()) ::ReleaseCapture();
  }

  CRecordingParent parent;
  HWND edit = nullptr;
  wcSliderButton slider;
};

TEST_F(SliderButtonTest, TheButtonTakesEightTenthsOfTheHeightAtTheRight) {
  CRect client, window;
  slider.GetClientRect(&client);
  slider.GetWindowRect(&window);
  CRect button = slider.GetButtonRect();
  EXPECT_EQ(button.Width(), button.Height() * 8 / 10);
  EXPECT_GE(button.left, client.right);
  EXPECT_LE(button.right, window.Width());
  CDataExchange again(&parent, FALSE);
  DDX_SliderButton(&again, EditId, slider, TRUE);  // later calls do nothing
  EXPECT_EQ(slider.GetButtonRect(), button);
}

TEST_F(SliderButtonTest, TypedValuesInsideTheRangeReachTheParent) {
  slider.SetWindowText("12");
  slider.SetWindowText("300");
  ASSERT_FALSE(parent.sliderMessages.empty());
  EXPECT_EQ(parent.sliderMessages[0].message, WM_SLIDER_CHANGED);
  EXPECT_EQ(static_cast<int>(parent.sliderMessages[0].value), 12);
  EXPECT_EQ(parent.sliderMessages[0].id, static_cast<LPARAM>(EditId));
  for (const auto& message : parent.sliderMessages)
    EXPECT_EQ(static_cast<int>(message.value), 12) << "300 is outside the slider range";
  EXPECT_EQ(slider.GetPos(), 12);
  EXPECT_EQ(slider.CheckText(), 1);
}

TEST_F(SliderButtonTest, TheKeyboardPopupStepsAndJumpsAndClosesOnEscape) {
  slider.SetPos(10);
  parent.sliderMessages.clear();
  slider.OpenPopup(100, 100, TRUE);
  CWnd* popup = CWnd::GetFocus();
  ASSERT_NE(popup, nullptr);
  ASSERT_NE(popup->m_hWnd, slider.m_hWnd);
  popup->SendMessage(WM_KEYDOWN, VK_RIGHT);
  EXPECT_EQ(slider.GetPos(), 11);
  popup->SendMessage(WM_KEYDOWN, VK_END);
  EXPECT_EQ(slider.GetPos(), 50);
  popup->SendMessage(WM_KEYDOWN, VK_UP);
  EXPECT_EQ(slider.GetPos(), 50);
  popup->SendMessage(WM_KEYDOWN, VK_HOME);
  CString text;
  slider.GetWindowText(text);
  EXPECT_STREQ(text, "-50");
  HWND popupWindow = popup->m_hWnd;
  ::SendMessageA(popupWindow, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(::IsWindow(popupWindow));
  ASSERT_FALSE(parent.sliderMessages.empty());
  EXPECT_EQ(parent.sliderMessages.back().message, WM_SLIDER_CLOSED);
  EXPECT_EQ(static_cast<int>(parent.sliderMessages.back().value), -50);
  EXPECT_EQ(slider.GetPos(), -50) << "values already sent stay after Escape";
}

}  // namespace
