// The image button: attaching to a button, pictures drawn per state, check state, hover and the
// drop-down menu answered through the popup-menu script.
#include "SmallControlsSupport.h"

#include "ImageButton.h"

#include <string>
#include <utility>

namespace {

constexpr UINT ButtonId = 300;
constexpr int PictureId = 9101;  // 8x8: a 4x4 core of RGB(200, 100, 50) on magenta
constexpr UINT MenuId = 9102;    // one popup: 9201 "First", 9202 "Second"
constexpr COLORREF Magenta = RGB(255, 0, 255);

// Records the notifications and commands the parent receives, in order.
class CLoggingParent : public CRecordingParent {
 public:
  std::vector<std::pair<UINT, UINT>> log;  // (WM_NOTIFY code or WM_COMMAND, command)

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_NOTIFY) {
      auto* notify = reinterpret_cast<ImageButtonNotify*>(lParam);
      if (notify->hdr.idFrom == ButtonId) log.emplace_back(notify->hdr.code, notify->command);
    } else if (message == WM_COMMAND && lParam == 0) {
      log.emplace_back(WM_COMMAND, LOWORD(wParam));
    } else if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
      clicks++;
    }
    return CRecordingParent::WindowProc(message, wParam, lParam);
  }

 public:
  int clicks = 0;
};

class ImageButtonTest : public ::testing::Test {
 protected:
  void Attach(DWORD type, LPCTSTR caption = "") {
    HWND hwnd = ::CreateWindowExA(0, "BUTTON", caption, WS_CHILD | WS_VISIBLE | type, 20, 20, 40, 30,
                                  parent.m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ButtonId)),
                                  ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(button.SubclassWindow(hwnd));
  }

  // Draws the button in the given item state onto a fresh bitmap and returns the colour at (x, y).
  COLORREF DrawAndSample(UINT state, int x, int y) {
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 40, 30);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    DRAWITEMSTRUCT item = {ODT_BUTTON, ButtonId,       0, ODA_DRAWENTIRE, state, button.m_hWnd,
                           dc,         {0, 0, 40, 30}, 0};
    button.DrawItem(&item);
    const COLORREF colour = ::GetPixel(dc, x, y);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return colour;
  }

  CLoggingParent parent;
  CImageButton button;
};

TEST_F(ImageButtonTest, AttachingReadsTheTypeAndMakesTheButtonOwnerDrawn) {
  struct Case {
    DWORD type;
    BOOL checkBox;
    BOOL isDefault;
    LRESULT dlgCode;
  };
  const Case cases[] = {{BS_PUSHBUTTON, FALSE, FALSE, DLGC_UNDEFPUSHBUTTON},
                        {BS_DEFPUSHBUTTON, FALSE, TRUE, DLGC_DEFPUSHBUTTON},
                        {BS_AUTOCHECKBOX, TRUE, FALSE, DLGC_UNDEFPUSHBUTTON}};
  for (const Case& c : cases) {
    CImageButton attached;
    HWND hwnd = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | c.type, 0, 0, 20, 20, parent.m_hWnd, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(attached.SubclassWindow(hwnd));
    EXPECT_EQ(attached.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW)) << c.type;
    EXPECT_EQ(attached.IsCheckBoxMode(), c.checkBox) << c.type;
    EXPECT_EQ(attached.IsDefaultButton(), c.isDefault) << c.type;
    const LRESULT code = attached.SendMessage(WM_GETDLGCODE);
    EXPECT_EQ(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON), c.dlgCode) << c.type;
    attached.DestroyWindow();
  }
}

TEST_F(ImageButtonTest, SetStyleMovesTheDefaultFlagAndKeepsOwnerDraw) {
  Attach(BS_PUSHBUTTON);
  button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
  EXPECT_TRUE(button.IsDefaultButton());
  EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
  EXPECT_EQ(button.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON, DLGC_DEFPUSHBUTTON);
  button.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, FALSE);
  EXPECT_FALSE(button.IsDefaultButton());
  EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
}

TEST_F(ImageButtonTest, AlignmentOutsideTheFourValuesIsRefused) {
  Attach(BS_PUSHBUTTON);
  EXPECT_EQ(button.SetAlign(2), 0u);
  EXPECT_EQ(button.SetAlign(4), 4u);
  EXPECT_EQ(button.SetAlign(-1), 4u);
  EXPECT_EQ(button.GetAlign(), 2);
}

TEST_F(ImageButtonTest, CheckStateOnlyInCheckBoxModeAndThroughTheButtonMessages) {
  Attach(BS_PUSHBUTTON);
  button.SetCheck(TRUE);
  EXPECT_FALSE(button.GetCheck()) << "a push button has no check state of its own";

  CImageButton box;
  HWND hwnd = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_CHECKBOX, 0, 0, 20, 20, parent.m_hWnd, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(box.SubclassWindow(hwnd));
  box.SetCheck(TRUE);
  EXPECT_TRUE(box.GetCheck());
  EXPECT_EQ(box.SendMessage(BM_GETCHECK), TRUE);
  EXPECT_EQ(box.SendMessage(BM_SETCHECK, BST_UNCHECKED), 0);
  EXPECT_FALSE(box.GetCheck());
  box.SendMessage(BM_SETCHECK, BST_INDETERMINATE);
  EXPECT_TRUE(box.GetCheck());
  box.DestroyWindow();
}

TEST_F(ImageButtonTest, DerivedPicturesShowPerState) {
  Attach(BS_PUSHBUTTON);
  EXPECT_EQ(button.SetBitmaps(PictureId, Magenta, CImageButton::OutGrey), 0u);
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  // The 8x8 picture is centred in 40x30 at (16, 11); its core is at (18..21, 13..16).
  EXPECT_EQ(DrawAndSample(0, 19, 14), RGB(124, 124, 124)) << "the grey copy while normal";
  EXPECT_EQ(button.GetLastDrawnSlot(), 1);
  EXPECT_EQ(DrawAndSample(0, 16, 11), face) << "transparent pixels show the background";
  EXPECT_EQ(DrawAndSample(ODS_SELECTED, 20, 15), RGB(200, 100, 50)) << "pressed: colour, moved by one";
  EXPECT_EQ(button.GetLastDrawnSlot(), 0);
  EXPECT_EQ(DrawAndSample(ODS_DISABLED, 19, 14), RGB(156, 156, 156)) << "the lighter grey copy";
  EXPECT_EQ(button.GetLastDrawnSlot(), 2);

  EXPECT_EQ(button.SetBitmaps(PictureId, Magenta, CImageButton::OutDarker), 0u);
  EXPECT_EQ(DrawAndSample(0, 19, 14), RGB(150, 75, 37));

  EXPECT_EQ(button.SetBitmaps(PictureId, Magenta, 12345), 1u) << "a missing bitmap";
  EXPECT_EQ(DrawAndSample(0, 19, 14), face) << "and nothing is left of the pictures";
  EXPECT_EQ(button.GetLastDrawnSlot(), -1);
}

TEST_F(ImageButtonTest, EveryAlignmentAndStateDrawsWithACaption) {
  Attach(BS_DEFPUSHBUTTON, "Go");
  ASSERT_EQ(button.SetBitmaps(PictureId, Magenta, CImageButton::OutGrey), 0u);
  const UINT states[] = {0, ODS_SELECTED, ODS_FOCUS, ODS_DISABLED, ODS_SELECTED | ODS_FOCUS};
  for (int align = 0; align < 4; ++align) {
    ASSERT_EQ(button.SetAlign(align), 0u);
    for (UINT state : states) DrawAndSample(state, 0, 0);
  }
  button.SetWindowText("");
  button.SetBitmaps(0, 0);
  DrawAndSample(ODS_FOCUS, 0, 0);  // neither picture nor caption
  button.UpdateWindow();
}

TEST_F(ImageButtonTest, HoverFollowsTheMouseAndShowsTheColourPicture) {
  Attach(BS_PUSHBUTTON);
  ASSERT_EQ(button.SetBitmaps(PictureId, Magenta, CImageButton::OutGrey), 0u);
  button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  ASSERT_TRUE(button.IsHovered());
  EXPECT_EQ(DrawAndSample(0, 19, 14), RGB(200, 100, 50));
  button.SendMessage(WM_MOUSELEAVE);
  EXPECT_FALSE(button.IsHovered());

  button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  ASSERT_TRUE(button.IsHovered());
  button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(-15), static_cast<WORD>(-15)));
  EXPECT_FALSE(button.IsHovered()) << "the cursor over the parent";

  button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_FALSE(button.IsHovered()) << "a drag that began elsewhere";
  button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  button.SendMessage(WM_CANCELMODE);
  EXPECT_FALSE(button.IsHovered());
}

TEST_F(ImageButtonTest, MousePressOpensTheMenuAndTheChoiceReachesTheParent) {
  Attach(BS_PUSHBUTTON);
  EXPECT_EQ(button.SetMenu(12345, parent.m_hWnd), 1u);
  EXPECT_EQ(button.GetMenu(), nullptr);
  ASSERT_EQ(button.SetMenu(MenuId, parent.m_hWnd), 0u);
  ASSERT_NE(button.GetMenu(), nullptr);

  CPopupMenuScript script;
  script.Choose(9202);
  button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  PumpPending();

  const auto shown = script.GetShown();
  ASSERT_EQ(shown.size(), 1u);
  ASSERT_EQ(shown[0].items.size(), 2u) << "the first sub-menu is tracked";
  EXPECT_EQ(shown[0].items[1].text, CString("Second"));
  CRect rect;
  button.GetWindowRect(&rect);
  EXPECT_EQ(shown[0].point.x, rect.right + 2);
  EXPECT_EQ(shown[0].point.y, rect.top + rect.Height() / 2);
  EXPECT_EQ(shown[0].nFlags & (TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON),
            static_cast<UINT>(TPM_RETURNCMD | TPM_NONOTIFY));
  const std::vector<std::pair<UINT, UINT>> expected = {
      {IBN_MENUOPENING, 0}, {IBN_MENUCLOSED, 9202}, {IBN_MENUCOMMAND, 9202}, {WM_COMMAND, 9202}};
  EXPECT_EQ(parent.log, expected);
  EXPECT_EQ(parent.clicks, 0) << "a mouse press on a menu button is no click";
}

TEST_F(ImageButtonTest, KeyboardClickOpensTheMenuAndDismissingSendsNoCommand) {
  Attach(BS_PUSHBUTTON);
  ASSERT_EQ(button.SetMenu(MenuId, parent.m_hWnd), 0u);
  CPopupMenuScript script;
  script.Choose(0);
  parent.SendMessage(WM_COMMAND, MAKEWPARAM(ButtonId, BN_CLICKED), reinterpret_cast<LPARAM>(button.m_hWnd));
  PumpPending();
  const auto shown = script.GetShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].nFlags & TPM_RIGHTBUTTON, 0u);
  const std::vector<std::pair<UINT, UINT>> expected = {{IBN_MENUOPENING, 0}, {IBN_MENUCLOSED, 0}};
  EXPECT_EQ(parent.log, expected);

  button.SetMenu(0, nullptr);
  EXPECT_EQ(button.GetMenu(), nullptr);
}

TEST_F(ImageButtonTest, TooltipIsMadeOnceWithOneTool) {
  Attach(BS_PUSHBUTTON);
  button.SetTooltipText(nullptr);
  EXPECT_EQ(button.GetTooltip(), nullptr);
  button.SetTooltipText("Brighter");
  ASSERT_NE(button.GetTooltip(), nullptr);
  button.SetTooltipText("Darker", FALSE);
  EXPECT_EQ(button.GetTooltip()->GetToolCount(), 1);
}

}  // namespace
