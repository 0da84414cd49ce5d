#include "ImageButton.h"

#include "MemDC.h"

#include <windowsx.h>

#include <vector>

IMPLEMENT_DYNAMIC(CImageButton, CButton)

BEGIN_MESSAGE_MAP(CImageButton, CButton)
  ON_MESSAGE(BM_SETCHECK, &CImageButton::OnSetCheckMessage)
  ON_MESSAGE(BM_GETCHECK, &CImageButton::OnGetCheckMessage)
  ON_MESSAGE(BM_SETSTYLE, &CImageButton::OnSetStyleMessage)
  ON_MESSAGE(WM_GETDLGCODE, &CImageButton::OnGetDlgCodeMessage)
  ON_MESSAGE(WM_MOUSEMOVE, &CImageButton::OnMouseMoveMessage)
  ON_MESSAGE(WM_MOUSELEAVE, &CImageButton::OnMouseLeaveMessage)
  ON_MESSAGE(WM_KILLFOCUS, &CImageButton::OnKillFocusMessage)
  ON_MESSAGE(WM_ACTIVATE, &CImageButton::OnActivateMessage)
  ON_MESSAGE(WM_CANCELMODE, &CImageButton::OnCancelModeMessage)
  ON_MESSAGE(WM_ENABLE, &CImageButton::OnEnableMessage)
  ON_MESSAGE(WM_LBUTTONDOWN, &CImageButton::OnLButtonDownMessage)
  ON_MESSAGE(WM_SYSCOLORCHANGE, &CImageButton::OnSysColorChangeMessage)
  ON_CONTROL_REFLECT_EX(BN_CLICKED, &CImageButton::OnClicked)
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

namespace {

enum class Derive { Grey, Darker, LighterGrey };

// A device-dependent copy of source with every pixel that is not the transparent colour recoloured.
HBITMAP DeriveBitmap(HBITMAP source, int width, int height, COLORREF transparent, Derive how) {
  HDC screen = ::GetDC(nullptr);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<RGBQUAD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  HBITMAP result = nullptr;
  if (::GetDIBits(screen, source, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) ==
      height) {
    const BYTE tr = GetRValue(transparent), tg = GetGValue(transparent), tb = GetBValue(transparent);
    for (int y = 0; y < height; ++y) {
      RGBQUAD* row = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
      for (int x = 0; x < width; ++x) {
        RGBQUAD& p = row[x];
        if (p.rgbRed == tr && p.rgbGreen == tg && p.rgbBlue == tb) continue;
        if (how == Derive::Darker) {
          p.rgbRed = static_cast<BYTE>(p.rgbRed - p.rgbRed * 0.25);
          p.rgbGreen = static_cast<BYTE>(p.rgbGreen - p.rgbGreen * 0.25);
          p.rgbBlue = static_cast<BYTE>(p.rgbBlue - p.rgbBlue * 0.25);
          continue;
        }
        int l = static_cast<int>(0.299 * p.rgbRed + 0.587 * p.rgbGreen + 0.114 * p.rgbBlue);
        if (how == Derive::LighterGrey) l = static_cast<int>((255 - l) * 0.25 + l);
        p.rgbRed = p.rgbGreen = p.rgbBlue = static_cast<BYTE>(l);
      }
    }
    result = ::CreateCompatibleBitmap(screen, width, height);
    if (result != nullptr && ::SetDIBits(screen, result, 0, static_cast<UINT>(height), pixels.data(), &info,
                                         DIB_RGB_COLORS) != height) {
      ::DeleteObject(result);
      result = nullptr;
    }
  }
  ::ReleaseDC(nullptr, screen);
  return result;
}

// White where the picture has its transparent colour, black elsewhere; the picture's transparent
// pixels are blacked out so that SRCAND then SRCPAINT draws it transparently.
HBITMAP MakeMask(HBITMAP picture, int width, int height, COLORREF transparent) {
  HBITMAP mask = ::CreateBitmap(width, height, 1, 1, nullptr);
  if (mask == nullptr) return nullptr;
  HDC screen = ::GetDC(nullptr);
  HDC pictureDC = ::CreateCompatibleDC(screen);
  HDC maskDC = ::CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ oldPicture = ::SelectObject(pictureDC, picture);
  HGDIOBJ oldMask = ::SelectObject(maskDC, mask);
  ::SetBkColor(pictureDC, transparent);
  ::BitBlt(maskDC, 0, 0, width, height, pictureDC, 0, 0, SRCCOPY);
  // Monochrome to colour: set bits become the background colour, clear bits the text colour.
  ::SetBkColor(pictureDC, RGB(255, 255, 255));
  ::SetTextColor(pictureDC, RGB(0, 0, 0));
  ::BitBlt(pictureDC, 0, 0, width, height, maskDC, 0, 0, 0x00220326);  // picture AND NOT mask
  ::SelectObject(maskDC, oldMask);
  ::SelectObject(pictureDC, oldPicture);
  ::DeleteDC(maskDC);
  ::DeleteDC(pictureDC);
  return mask;
}

HBITMAP LoadDeviceBitmap(int id) {
  HINSTANCE module = AfxGetResourceHandle();
  if (::FindResourceA(module, MAKEINTRESOURCEA(id), RT_BITMAP) == nullptr)
    module = ::GetModuleHandleA(nullptr);
  return static_cast<HBITMAP>(::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
}

}  // namespace

CImageButton::CImageButton() { SetDefaultColours(); }

CImageButton::~CImageButton() {
  FreePictures();
  if (ownsMenu && menu != nullptr) ::DestroyMenu(menu);
  if (tooltip && ::IsWindow(tooltip->m_hWnd)) tooltip->DestroyWindow();
}

void CImageButton::SetDefaultColours() {
  for (int state = 0; state < ColourStates; ++state) {
    background[state] = ::GetSysColor(COLOR_BTNFACE);
    text[state] = ::GetSysColor(COLOR_BTNTEXT);
  }
}

void CImageButton::PreSubclassWindow() {
  buttonType = GetStyle() & BS_TYPEMASK;
  if (buttonType == BS_DEFPUSHBUTTON) {
    defaultButton = TRUE;
    buttonType = BS_PUSHBUTTON;
  }
  checkBoxMode = buttonType != BS_PUSHBUTTON;
  CButton::PreSubclassWindow();
  const DWORD style = (GetStyle() & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
  ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(style));
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CImageButton::Repaint(BOOL repaint) {
  if (repaint && ::IsWindow(m_hWnd)) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CImageButton::FreePictures() {
  for (Picture& picture : pictures) {
    if (picture.bitmap != nullptr) ::DeleteObject(picture.bitmap);
    if (picture.mask != nullptr) ::DeleteObject(picture.mask);
    picture = Picture();
  }
}

DWORD CImageButton::SetBitmaps(int inId, COLORREF inColour, int outId, COLORREF outColour, int disabledId,
                               COLORREF disabledColour, int checkedId, COLORREF checkedColour) {
  FreePictures();
  DWORD result = 0;
  if (inId != 0) {
    auto load = [&](int slot, int id, COLORREF colour) {
      Picture& picture = pictures[slot];
      picture.bitmap = LoadDeviceBitmap(id);
      if (picture.bitmap == nullptr) return false;
      BITMAP info = {};
      ::GetObjectA(picture.bitmap, sizeof(info), &info);
      picture.width = info.bmWidth;
      picture.height = info.bmHeight;
      picture.transparent = colour;
      return true;
    };
    auto derive = [&](int slot, Derive how) {
      const Picture& in = pictures[SlotIn];
      Picture& picture = pictures[slot];
      picture.bitmap = DeriveBitmap(in.bitmap, in.width, in.height, in.transparent, how);
      picture.width = in.width;
      picture.height = in.height;
      picture.transparent = in.transparent;
      return picture.bitmap != nullptr;
    };
    bool ok = load(SlotIn, inId, inColour);
    if (ok && outId == OutGrey)
      ok = derive(SlotOut, Derive::Grey);
    else if (ok && outId == OutDarker)
      ok = derive(SlotOut, Derive::Darker);
    else if (ok && outId != 0)
      ok = load(SlotOut, outId, outColour);
    if (ok)
      ok = disabledId != 0 ? load(SlotDisabled, disabledId, disabledColour)
                           : derive(SlotDisabled, Derive::LighterGrey);
    if (ok && checkedId != 0) ok = load(SlotChecked, checkedId, checkedColour);
    // Masks come after every derivation: making one blacks out the picture's transparent pixels.
    for (int slot = 0; ok && slot < SlotCount; ++slot) {
      Picture& picture = pictures[slot];
      if (picture.bitmap == nullptr) continue;
      picture.mask = MakeMask(picture.bitmap, picture.width, picture.height, picture.transparent);
      if (picture.mask == nullptr) result = 2;
      ok = picture.mask != nullptr;
    }
    if (!ok) {
      if (result == 0) result = 1;
      FreePictures();
    }
  }
  Repaint(TRUE);
  return result;
}

DWORD CImageButton::SetAlign(int align, BOOL repaint) {
  if (align < 0 || align > 3) return 4;
  alignment = align;
  Repaint(repaint);
  return 0;
}

void CImageButton::SetCheck(BOOL check, BOOL repaint) {
  if (!checkBoxMode) return;
  checked = check ? TRUE : FALSE;
  Repaint(repaint);
}

void CImageButton::SetDrawBorder(BOOL draw, BOOL repaint) {
  drawBorder = draw ? TRUE : FALSE;
  Repaint(repaint);
}

void CImageButton::SetTooltipText(LPCTSTR tipText, BOOL activate) {
  if (tipText == nullptr) return;
  if (!tooltip) {
    auto created = std::make_unique<CToolTipCtrl>();
    if (!created->Create(this)) return;
    created->Activate(FALSE);
    created->SetMaxTipWidth(400);
    tooltip = std::move(created);
  }
  if (tooltip->GetToolCount() == 0) {
    CRect client;
    GetClientRect(&client);
    tooltip->AddTool(this, tipText, &client, 1);
  }
  tooltip->UpdateTipText(tipText, this, 1);
  tooltip->Activate(activate);
}

DWORD CImageButton::SetMenu(UINT menuId, HWND window, BOOL repaint) {
  if (ownsMenu && menu != nullptr) ::DestroyMenu(menu);
  menu = nullptr;
  ownsMenu = FALSE;
  showFirstSubMenu = FALSE;
  menuWindow = window;
  DWORD result = 0;
  if (menuId != 0) {
    HINSTANCE module = AfxGetResourceHandle();
    if (::FindResourceA(module, MAKEINTRESOURCEA(menuId), RT_MENU) == nullptr)
      module = ::GetModuleHandleA(nullptr);
    menu = ::LoadMenuA(module, MAKEINTRESOURCEA(menuId));
    if (menu == nullptr) {
      result = 1;
    } else {
      ownsMenu = TRUE;
      showFirstSubMenu = TRUE;
    }
  }
  Repaint(repaint);
  return result;
}

void CImageButton::Notify(UINT code, UINT command) {
  HWND parent = ::GetParent(m_hWnd);
  if (parent == nullptr) return;
  ImageButtonNotify notify = {};
  notify.hdr.hwndFrom = m_hWnd;
  notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
  notify.hdr.code = code;
  notify.menu = menu;
  notify.command = command;
  ::SendMessageA(parent, WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
}

void CImageButton::OpenMenu(bool fromClick) {
  HMENU shown = showFirstSubMenu ? ::GetSubMenu(menu, 0) : menu;
  menuShown = TRUE;
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  ::UpdateWindow(m_hWnd);
  Notify(IBN_MENUOPENING, 0);
  CRect rect;
  GetWindowRect(&rect);
  UINT flags = TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY;
  if (fromClick) flags |= TPM_RIGHTBUTTON;
  HWND owner = menuWindow != nullptr ? menuWindow : m_hWnd;
  const UINT command = shown != nullptr
                           ? static_cast<UINT>(AfxTrackPopupMenu(shown, flags, rect.right + 2,
                                                                 rect.top + rect.Height() / 2, owner))
                           : 0;
  Notify(IBN_MENUCLOSED, command);
  menuShown = FALSE;
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  ::UpdateWindow(m_hWnd);
  if (command != 0) {
    Notify(IBN_MENUCOMMAND, command);
    HWND target = menuWindow != nullptr ? menuWindow : ::GetParent(m_hWnd);
    if (target != nullptr) ::PostMessageA(target, WM_COMMAND, MAKEWPARAM(command, 0), 0);
  }
}

BOOL CImageButton::OnClicked() {
  if (menu == nullptr) return FALSE;
  OpenMenu(true);
  return TRUE;
}

LRESULT CImageButton::OnLButtonDownMessage(WPARAM, LPARAM) {
  if (menu != nullptr) {
    OpenMenu(false);
    return 0;
  }
  return Default();
}

LRESULT CImageButton::OnSetCheckMessage(WPARAM wParam, LPARAM) {
  checked = (wParam == BST_CHECKED || wParam == BST_INDETERMINATE) ? TRUE : FALSE;
  Repaint(TRUE);
  return 0;
}

LRESULT CImageButton::OnGetCheckMessage(WPARAM, LPARAM) { return checked; }

LRESULT CImageButton::OnSetStyleMessage(WPARAM wParam, LPARAM lParam) {
  const UINT type = static_cast<UINT>(wParam) & BS_TYPEMASK;
  if (type == BS_DEFPUSHBUTTON)
    defaultButton = TRUE;
  else if (type == BS_PUSHBUTTON)
    defaultButton = FALSE;
  const WPARAM style = (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW;
  return DefWindowProc(BM_SETSTYLE, style, lParam);
}

LRESULT CImageButton::OnGetDlgCodeMessage(WPARAM, LPARAM) {
  LRESULT code = Default();
  code &= ~static_cast<LRESULT>(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
  return code | (defaultButton ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

HBRUSH CImageButton::CtlColor(CDC*, UINT) { return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)); }

LRESULT CImageButton::OnSysColorChangeMessage(WPARAM, LPARAM) {
  const LRESULT result = Default();
  SetDefaultColours();
  Repaint(TRUE);
  return result;
}

void CImageButton::LeaveHover() {
  if (!hovered) return;
  hovered = FALSE;
  Repaint(TRUE);
}

LRESULT CImageButton::OnMouseMoveMessage(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = Default();
  if (!flat) return result;
  if ((wParam & MK_LBUTTON) != 0 && !hovered) return result;
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ::ClientToScreen(m_hWnd, &point);
  const bool over = ::WindowFromPoint(point) == m_hWnd && (alwaysTrack || ::GetActiveWindow() != nullptr);
  if (over) {
    if (!hovered) {
      hovered = TRUE;
      Repaint(TRUE);
      TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
      ::TrackMouseEvent(&track);
    }
  } else {
    LeaveHover();
  }
  return result;
}

LRESULT CImageButton::OnMouseLeaveMessage(WPARAM, LPARAM) {
  const LRESULT result = Default();
  LeaveHover();
  return result;
}

LRESULT CImageButton::OnKillFocusMessage(WPARAM, LPARAM) {
  const LRESULT result = Default();
  LeaveHover();
  return result;
}

LRESULT CImageButton::OnActivateMessage(WPARAM wParam, LPARAM) {
  const LRESULT result = Default();
  if (LOWORD(wParam) == WA_INACTIVE) LeaveHover();
  return result;
}

LRESULT CImageButton::OnCancelModeMessage(WPARAM, LPARAM) {
  const LRESULT result = Default();
  LeaveHover();
  return result;
}

LRESULT CImageButton::OnEnableMessage(WPARAM wParam, LPARAM) {
  const LRESULT result = Default();
  if (!wParam) LeaveHover();
  return result;
}

BOOL CImageButton::PreTranslateMessage(MSG* msg) {
  if (msg->hwnd == m_hWnd && msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST) {
    if (!tooltip) {
      auto created = std::make_unique<CToolTipCtrl>();
      if (created->Create(this)) {
        created->Activate(FALSE);
        created->SetMaxTipWidth(400);
        tooltip = std::move(created);
      }
    }
    if (tooltip) tooltip->RelayEvent(msg);
  }
  // A double click acts as a second click.
  if (msg->hwnd == m_hWnd && msg->message == WM_LBUTTONDBLCLK) msg->message = WM_LBUTTONDOWN;
  return CButton::PreTranslateMessage(msg);
}

int CImageButton::PictureSlot(bool pressed, bool disabled) const {
  if (pictures[SlotIn].bitmap == nullptr) return -1;
  if (disabled && useDisabledPicture && pictures[SlotDisabled].bitmap != nullptr) return SlotDisabled;
  if (checkBoxMode) {
    if (checked && pictures[SlotChecked].bitmap != nullptr) return SlotChecked;
    return (pictures[SlotOut].bitmap != nullptr && !hovered) ? SlotOut : SlotIn;
  }
  return (pictures[SlotOut].bitmap != nullptr && !pressed && !hovered) ? SlotOut : SlotIn;
}

void CImageButton::DrawPicture(HDC dc, int slot, bool pressed, bool hasCaption, CRect& caption) const {
  const Picture& picture = pictures[slot];
  const CRect item = caption;
  CRect place(0, 0, picture.width, picture.height);
  int left = item.left + (item.Width() - picture.width) / 2;
  int top = item.top + (item.Height() - picture.height) / 2;
  switch (alignment) {
    case 0:
      if (hasCaption) {
        left = item.left + margin.cx;
        caption.left = left + picture.width + margin.cx;
      }
      break;
    case 1:
      if (hasCaption) {
        top = item.top + margin.cy;
        caption.top = top + picture.height + margin.cy;
      }
      break;
    case 2:
      if (hasCaption) {
        left = item.right - margin.cx - picture.width;
        caption.right = left - margin.cx;
      }
      break;
    default:
      break;
  }
  place.OffsetRect(left, top);
  if (pressed && !checkBoxMode) place.OffsetRect(pressedOffset.cx, pressedOffset.cy);

  HDC source = ::CreateCompatibleDC(dc);
  HGDIOBJ old = ::SelectObject(source, picture.mask);
  ::SetBkColor(dc, RGB(255, 255, 255));
  ::SetTextColor(dc, RGB(0, 0, 0));
  ::BitBlt(dc, place.left, place.top, picture.width, picture.height, source, 0, 0, SRCAND);
  ::SelectObject(source, picture.bitmap);
  ::BitBlt(dc, place.left, place.top, picture.width, picture.height, source, 0, 0, SRCPAINT);
  ::SelectObject(source, old);
  ::DeleteDC(source);
}

void CImageButton::DrawCaption(HDC dc, const CString& caption, bool pressed, bool focused, bool disabled,
                               CRect area) const {
  CRect measured = area;
  ::DrawTextA(dc, caption, -1, &measured, DT_CALCRECT | DT_WORDBREAK);
  CRect place = measured;
  place.OffsetRect(0, area.top + (area.Height() - measured.Height()) / 2 - measured.top);
  if (captionFormat & DT_CENTER)
    place.OffsetRect(area.left + (area.Width() - measured.Width()) / 2 - measured.left, 0);
  if (pressed && !checkBoxMode) place.OffsetRect(pressedOffset.cx, pressedOffset.cy);
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const UINT format = DT_WORDBREAK | captionFormat;
  if (disabled) {
    CRect shifted = place;
    shifted.OffsetRect(1, 1);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::DrawTextA(dc, caption, -1, &shifted, format);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
  } else {
    const int state = (hovered || pressed) ? ColourIn : focused ? ColourFocus : ColourOut;
    ::SetTextColor(dc, text[state]);
  }
  ::DrawTextA(dc, caption, -1, &place, format);
  ::SetBkMode(dc, oldMode);
}

void CImageButton::DrawItem(LPDRAWITEMSTRUCT item) {
  const UINT state = item->itemState;
  const bool selected = (state & ODS_SELECTED) != 0;
  bool pressed;
  if (checkBoxMode)
    pressed = pictures[SlotIn].bitmap != nullptr ? selected : (selected || checked);
  else
    pressed = selected || menuShown;
  const bool focused = (state & ODS_FOCUS) != 0;
  const bool disabled = (state & ODS_DISABLED) != 0;

  CRect rect(item->rcItem);
  zvk::MemDC memory;
  memory.Create(item->hDC, &rect, false);
  HDC dc = memory.GetSafeHdc();
  HGDIOBJ oldFont = ::SelectObject(dc, ::GetCurrentObject(item->hDC, OBJ_FONT));

  CRect inner = rect;
  if (!flat && (focused || defaultButton)) {
    HBRUSH black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    ::FrameRect(dc, &inner, black);
    inner.DeflateRect(1, 1);
  }
  const int colourState = (hovered || pressed) ? ColourIn : focused ? ColourFocus : ColourOut;
  ::SetBkColor(dc, background[colourState]);
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &inner, nullptr, 0, nullptr);

  if (pressed) {
    if (!flat) {
      HBRUSH shadow = ::GetSysColorBrush(COLOR_BTNSHADOW);
      ::FrameRect(dc, &inner, shadow);
    } else if (drawBorder) {
      CDC::FromHandle(dc)->Draw3dRect(&inner, ::GetSysColor(COLOR_BTNSHADOW),
                                      ::GetSysColor(COLOR_BTNHIGHLIGHT));
    }
  } else if (!flat) {
    CDC* cdc = CDC::FromHandle(dc);
    CRect border = inner;
    cdc->Draw3dRect(&border, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_3DDKSHADOW));
    border.DeflateRect(1, 1);
    cdc->Draw3dRect(&border, ::GetSysColor(COLOR_3DLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
  } else if (hovered && drawBorder) {
    CDC::FromHandle(dc)->Draw3dRect(&inner, ::GetSysColor(COLOR_BTNHIGHLIGHT),
                                    ::GetSysColor(COLOR_BTNSHADOW));
  }

  CString caption;
  GetWindowText(caption);
  CRect captionRect = rect;
  lastDrawnSlot = PictureSlot(pressed, disabled);
  if (lastDrawnSlot >= 0) DrawPicture(dc, lastDrawnSlot, pressed, !caption.IsEmpty(), captionRect);
  if (!caption.IsEmpty()) DrawCaption(dc, caption, pressed, focused, disabled, captionRect);

  if (focused && (!flat || drawFlatFocus)) {
    CRect focus = rect;
    focus.DeflateRect(3, 3);
    ::DrawFocusRect(dc, &focus);
  }
  ::SelectObject(dc, oldFont);
  memory.Flush();
}
