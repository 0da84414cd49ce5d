// Registration of the controls' window classes at start-up.
#include "SmallControlsSupport.h"

#include "ControlClasses.h"

namespace {

bool ClassExists(const char* name) {
  WNDCLASSA info = {};
  return ::GetClassInfoA(AfxGetInstanceHandle(), name, &info) != FALSE;
}

TEST(ControlClasses, RegisteringTwiceChangesNothingAndSucceeds) {
  CRecordingParent parent;  // start-up registration
  for (const char* name : {ControlClasses::MenuList, ControlClasses::PickList, ControlClasses::ColourPicker,
                           ControlClasses::OwnerCtl, ControlClasses::OwnerCellCtl, ControlClasses::Grid,
                           ControlClasses::ButtonList})
    EXPECT_TRUE(ClassExists(name)) << name;
  EXPECT_NO_THROW(ControlClasses::RegisterAll());
  EXPECT_TRUE(ControlClasses::RegisterMenuListClass());
  EXPECT_TRUE(ControlClasses::RegisterPickListClass());
  EXPECT_TRUE(ControlClasses::RegisterButtonListClass());

  WNDCLASSA picker = {}, button = {};
  ASSERT_TRUE(::GetClassInfoA(AfxGetInstanceHandle(), ControlClasses::ColourPicker, &picker));
  ASSERT_TRUE(::GetClassInfoA(nullptr, "BUTTON", &button));
  EXPECT_EQ(picker.lpfnWndProc, button.lpfnWndProc);
  EXPECT_EQ(picker.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

TEST(ControlClasses, TheButtonListCopiesTheGridClassAndNeedsIt) {
  CRecordingParent parent;
  ASSERT_TRUE(::UnregisterClassA(ControlClasses::ButtonList, AfxGetInstanceHandle()));
  ASSERT_TRUE(::UnregisterClassA(ControlClasses::Grid, AfxGetInstanceHandle()));
  EXPECT_FALSE(ControlClasses::RegisterButtonListClass());
  EXPECT_FALSE(ClassExists(ControlClasses::ButtonList));
  ControlClasses::RegisterGridClass();
  EXPECT_TRUE(ControlClasses::RegisterButtonListClass());
  WNDCLASSA list = {};
  ASSERT_TRUE(::GetClassInfoA(AfxGetInstanceHandle(), ControlClasses::ButtonList, &list));
  EXPECT_EQ(list.style, static_cast<UINT>(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW));
}

TEST(ControlClasses, TheListClassesKeepTheirFontAndThePickListClipsChildren) {
  CRecordingParent parent;
  HFONT font = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
  for (const char* name : {ControlClasses::MenuList, ControlClasses::PickList}) {
    HWND control = ::CreateWindowExA(0, name, "", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20, parent.m_hWnd,
                                     reinterpret_cast<HMENU>(7), AfxGetInstanceHandle(), nullptr);
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(::SendMessageA(control, WM_GETFONT, 0, 0), 0);
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)), font) << name;
    const bool clips = (::GetWindowLongPtrA(control, GWL_STYLE) & WS_CLIPCHILDREN) != 0;
    EXPECT_EQ(clips, name == ControlClasses::PickList) << name;
    ::DestroyWindow(control);
  }
}

}  // namespace
