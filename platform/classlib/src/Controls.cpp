// Run-time classes and the reflected owner-draw members of the standard controls.
#include "classlib/Controls.h"

#include "classlib/App.h"
#include "classlib/Gdi.h"

IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

// Owner-drawn controls override these; the defaults draw nothing.
void CButton::DrawItem(LPDRAWITEMSTRUCT) {}
void CStatic::DrawItem(LPDRAWITEMSTRUCT) {}
void CComboBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CComboBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CComboBox::DeleteItem(LPDELETEITEMSTRUCT) {}
void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CListBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CListBox::DeleteItem(LPDELETEITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, pResult);
  if (CWnd::OnChildNotify(message, wParam, lParam, pResult)) return TRUE;
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (pResult != nullptr) *pResult = TRUE;
  return TRUE;
}

BOOL CStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, pResult);
  if (CWnd::OnChildNotify(message, wParam, lParam, pResult)) return TRUE;
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (pResult != nullptr) *pResult = TRUE;
  return TRUE;
}

namespace {
template <class T>
BOOL OwnerDrawNotify(T* control, UINT message, LPARAM lParam, LRESULT* pResult) {
  switch (message) {
    case WM_DRAWITEM:
      control->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
      if (pResult != nullptr) *pResult = TRUE;
      return TRUE;
    case WM_MEASUREITEM:
      control->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
      if (pResult != nullptr) *pResult = TRUE;
      return TRUE;
    case WM_COMPAREITEM: {
      int result = control->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
      if (pResult != nullptr) *pResult = result;
      return TRUE;
    }
    case WM_DELETEITEM:
      control->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
      if (pResult != nullptr) *pResult = TRUE;
      return TRUE;
    default:
      return FALSE;
  }
}
}  // namespace

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (CWnd::OnChildNotify(message, wParam, lParam, pResult)) return TRUE;
  return OwnerDrawNotify(this, message, lParam, pResult);
}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (CWnd::OnChildNotify(message, wParam, lParam, pResult)) return TRUE;
  return OwnerDrawNotify(this, message, lParam, pResult);
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
  int length = GetLBTextLen(nIndex);
  if (length < 0) {
    rString.Empty();
    return;
  }
  char* buffer = rString.GetBuffer(length + 1);
  int got = GetLBText(nIndex, buffer);
  rString.ReleaseBuffer(got < 0 ? 0 : got);
}

void CListBox::GetText(int nIndex, CString& rString) const {
  int length = GetTextLen(nIndex);
  if (length < 0) {
    rString.Empty();
    return;
  }
  char* buffer = rString.GetBuffer(length + 1);
  int got = GetText(nIndex, buffer);
  rString.ReleaseBuffer(got < 0 ? 0 : got);
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  AfxInitCommonControls();
  BOOL created =
      CWnd::CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT,
                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, AfxSafeHwnd(pParentWnd), nullptr);
  if (created) SetOwner(pParentWnd);
  return created;
}

void CToolTipCtrl::FillToolInfo(TTTOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) const {
  ti = {};
  ti.cbSize = sizeof(ti);
  ti.hwnd = AfxSafeHwnd(pWnd);
  if (nIDTool == 0) {
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.uId = reinterpret_cast<UINT_PTR>(AfxSafeHwnd(pWnd));
  } else {
    ti.uFlags = TTF_SUBCLASS;
    ti.uId = nIDTool;
  }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  TTTOOLINFOA ti;
  FillToolInfo(ti, pWnd, nIDTool);
  if (lpRectTool != nullptr) ti.rect = *lpRectTool;
  ti.lpszText = const_cast<LPSTR>(lpszText);
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  CString text;
  text.LoadString(nIDText);
  return AddTool(pWnd, text, lpRectTool, nIDTool);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool) {
  TTTOOLINFOA ti;
  FillToolInfo(ti, pWnd, nIDTool);
  SendMessage(TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
  TTTOOLINFOA ti;
  FillToolInfo(ti, pWnd, nIDTool);
  ti.lpszText = const_cast<LPSTR>(lpszText);
  SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool) {
  CString text;
  text.LoadString(nIDText);
  UpdateTipText(text, pWnd, nIDTool);
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect) {
  TTTOOLINFOA ti;
  FillToolInfo(ti, pWnd, nIDTool);
  ti.rect = *lpRect;
  SendMessage(TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
  return Attach(ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask) {
  return Attach(ImageList_LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nBitmapID), cx, nGrow, crMask,
                                     IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

BOOL CImageList::Attach(HIMAGELIST hImageList) {
  if (hImageList == nullptr) return FALSE;
  DeleteImageList();
  m_hImageList = hImageList;
  return TRUE;
}

HIMAGELIST CImageList::Detach() {
  HIMAGELIST hImageList = m_hImageList;
  m_hImageList = nullptr;
  return hImageList;
}

BOOL CImageList::DeleteImageList() {
  if (m_hImageList == nullptr) return FALSE;
  return ImageList_Destroy(Detach());
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask) {
  return ImageList_Add(m_hImageList, static_cast<HBITMAP>(AfxSafeGdiHandle(pbmImage)),
                       static_cast<HBITMAP>(AfxSafeGdiHandle(pbmMask)));
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask) {
  return ImageList_AddMasked(m_hImageList, static_cast<HBITMAP>(AfxSafeGdiHandle(pbmImage)), crMask);
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) {
  return ImageList_Draw(m_hImageList, nImage, AfxSafeHdc(pDC), pt.x, pt.y, nStyle);
}
