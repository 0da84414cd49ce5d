#include "ColourPicker.h"

#include "ColourPickerPopup.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CColourPicker, CButton)

BEGIN_MESSAGE_MAP(CColourPicker, CButton)
  ON_WM_CREATE()
  ON_CONTROL_REFLECT(BN_CLICKED, &CColourPicker::OnClicked)
  ON_MESSAGE(WM_COLOUR_SELCHANGE, &CColourPicker::OnSelChange)
  ON_MESSAGE(WM_COLOUR_SELENDOK, &CColourPicker::OnSelEndOK)
  ON_MESSAGE(WM_COLOUR_SELENDCANCEL, &CColourPicker::OnSelEndCancel)
END_MESSAGE_MAP()

CColourPicker::CColourPicker()
    : backgroundColour(::GetSysColor(COLOR_BTNFACE)), textColour(::GetSysColor(COLOR_BTNTEXT)) {}

COLORREF CColourPicker::GetColour() const { return selectionMode == 1 ? textColour : backgroundColour; }

void CColourPicker::SetColour(COLORREF colour) {
  if (selectionMode == 1)
    SetTextColour(colour);
  else
    SetBkColour(colour);
}

void CColourPicker::SetBkColour(COLORREF colour) {
  backgroundColour = colour;
  Redraw();
}

void CColourPicker::SetTextColour(COLORREF colour) {
  textColour = colour;
  Redraw();
}

void CColourPicker::Redraw() {
  if (::IsWindow(m_hWnd)) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CColourPicker::PreSubclassWindow() {
  ModifyStyle(0, BS_OWNERDRAW);
  CButton::PreSubclassWindow();
  SizeToContent();
}

int CColourPicker::OnCreate(LPCREATESTRUCT create) {
  int result = CButton::OnCreate(create);
  if (result == -1) return -1;
  SizeToContent();
  return result;
}

void CColourPicker::SizeToContent() {
  const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
  const int cyEdge = ::GetSystemMetrics(SM_CYEDGE);
  const int arrow = std::max(std::max(5 * cxEdge, ::GetSystemMetrics(SM_CXHTHUMB)),
                             std::max(5 * cyEdge, ::GetSystemMetrics(SM_CYVTHUMB)));
  CRect rect;
  GetWindowRect(&rect);
  if (CWnd* parent = GetParent()) parent->ScreenToClient(&rect);
  const int width = std::max(rect.Width(), 2 * (cxEdge + arrow));
  const int height = arrow + 2 * cyEdge;
  SetWindowPos(nullptr, rect.left, rect.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  arrowRect = CRect(width - arrow - cxEdge, cyEdge, width - cxEdge, height - cyEdge);
}

LRESULT CColourPicker::Notify(UINT code, COLORREF colour) {
  HWND target = m_hWndOwner != nullptr ? m_hWndOwner : ::GetParent(m_hWnd);
  if (target == nullptr || !::IsWindow(target)) return 0;
  ColourPickerNotify notify = {};
  notify.hdr.hwndFrom = m_hWnd;
  notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
  notify.hdr.code = code;
  notify.colour = colour;
  return ::SendMessageA(target, WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
}

void CColourPicker::OnClicked() {
  popupActive = TRUE;
  CRect rect;
  GetWindowRect(&rect);
  auto* popup = new CColourPickerPopup;
  if (!popup->Create(CPoint(rect.left, rect.bottom), GetColour(), this, defaultText, customText)) {
    // Without a popup nothing will ever end the drop-down state.
    delete popup;
    popupActive = FALSE;
    Redraw();
    return;
  }
  Notify(PICKN_DROPDOWN, GetColour());
}

LRESULT CColourPicker::OnSelChange(WPARAM wParam, LPARAM) {
  if (trackSelection) {
    SetColour(static_cast<COLORREF>(wParam));
    Notify(PICKN_CHANGED, GetColour());
  }
  return 0;
}

LRESULT CColourPicker::OnSelEndOK(WPARAM wParam, LPARAM) {
  popupActive = FALSE;
  const COLORREF colour = static_cast<COLORREF>(wParam);
  if (colour == GetColour()) {
    Redraw();
    return 0;
  }
  SetColour(colour);
  Notify(PICKN_CLOSED, colour);
  Notify(PICKN_ACCEPTED, colour);
  Notify(PICKN_CHANGED, colour);
  return 0;
}

LRESULT CColourPicker::OnSelEndCancel(WPARAM wParam, LPARAM) {
  popupActive = FALSE;
  const COLORREF colour = static_cast<COLORREF>(wParam);
  SetColour(colour);
  Notify(PICKN_CLOSED, colour);
  Notify(PICKN_CANCELLED, colour);
  return 0;
}

void CColourPicker::DrawItem(LPDRAWITEMSTRUCT item) {
  HDC dc = item->hDC;
  CRect rect(item->rcItem);
  const UINT state = item->itemState;
  const bool disabled = (state & ODS_DISABLED) != 0;

  UINT arrowState = DFCS_SCROLLDOWN;
  if (popupActive || (state & ODS_SELECTED)) arrowState |= DFCS_PUSHED;
  if (disabled) arrowState |= DFCS_INACTIVE;
  CRect arrow = arrowRect;
  ::DrawFrameControl(dc, &arrow, DFC_SCROLL, arrowState);

  ::DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT);
  const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
  const int cyEdge = ::GetSystemMetrics(SM_CYEDGE);
  CRect swatch(rect.left + cxEdge, rect.top + cyEdge, rect.right - cxEdge - arrowRect.Width(),
               rect.bottom - cyEdge);
  const COLORREF fill =
      (disabled || backgroundColour == CLR_AUTOMATIC) ? ::GetSysColor(COLOR_BTNFACE) : backgroundColour;
  HBRUSH brush = ::CreateSolidBrush(fill);
  HGDIOBJ oldBrush = ::SelectObject(dc, brush);
  HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
  // A null pen leaves the right and bottom pixel: one more each way covers the whole swatch.
  ::Rectangle(dc, swatch.left, swatch.top, swatch.right + 1, swatch.bottom + 1);
  ::SelectObject(dc, oldPen);
  ::SelectObject(dc, oldBrush);
  ::DeleteObject(brush);

  CString text;
  GetWindowText(text);
  if (!text.IsEmpty()) {
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (disabled) {
      CRect shifted = swatch;
      shifted.OffsetRect(1, 1);
      ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
      ::DrawTextA(dc, text, -1, &shifted, format);
      ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
    } else {
      ::SetTextColor(dc, textColour == CLR_AUTOMATIC ? RGB(0, 0, 0) : textColour);
    }
    ::DrawTextA(dc, text, -1, &swatch, format);
    ::SetBkMode(dc, oldMode);
  }
  if (state & ODS_FOCUS) {
    CRect focus = rect;
    focus.DeflateRect(1, 1);
    ::DrawFocusRect(dc, &focus);
  }
}

void DDX_ColourPicker(CDataExchange* pDX, int nIDC, COLORREF& colour) {
  HWND control = pDX->PrepareCtrl(nIDC);
  auto* picker = dynamic_cast<CColourPicker*>(CWnd::FromHandlePermanent(control));
  if (picker == nullptr) return;
  if (pDX->m_bSaveAndValidate)
    colour = picker->GetColour();
  else
    picker->SetColour(colour);
}
