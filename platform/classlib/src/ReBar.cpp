#include "classlib/ReBar.h"

#include "classlib/App.h"
#include "classlib/Bitmap.h"
#include "classlib/FrameWnd.h"

IMPLEMENT_DYNAMIC(CReBar, CControlBar)

BEGIN_MESSAGE_MAP(CReBar, CControlBar)
  ON_NOTIFY_REFLECT(RBN_HEIGHTCHANGE, &CReBar::OnHeightChange)
END_MESSAGE_MAP()

namespace {

// The band structure as every comctl32 version since 4.71 reads it (without the later chevron
// fields).
#ifdef REBARBANDINFOA_V6_SIZE
const UINT kBandInfoSize = REBARBANDINFOA_V6_SIZE;
#else
const UINT kBandInfoSize = sizeof(REBARBANDINFOA);
#endif

}  // namespace

BOOL CReBar::Create(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID) {
  AfxInitCommonControls();
  DWORD windowStyle = SplitStyle(dwStyle);
  if (!CWnd::CreateEx(0, REBARCLASSNAMEA, nullptr,
                      windowStyle | WS_CHILD | dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0, 0, 0, 0,
                      AfxSafeHwnd(pParentWnd), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID))))
    return FALSE;
  REBARINFO info = {sizeof(REBARINFO), 0, nullptr};
  SendMessage(RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));
  return TRUE;
}

BOOL CReBar::InsertBand(CWnd* pBar, REBARBANDINFOA& band) {
  if (m_hWnd == nullptr || AfxSafeHwnd(pBar) == nullptr) return FALSE;
  CSize size;
  CWnd* pBarObject = CWnd::FromHandlePermanent(pBar->m_hWnd);
  if (pBarObject != nullptr && pBarObject->IsKindOf(RUNTIME_CLASS(CControlBar))) {
    size = static_cast<CControlBar*>(pBarObject)->CalcFixedLayout(FALSE, TRUE);
  } else {
    CRect rect;
    pBar->GetWindowRect(&rect);
    size = CSize(rect.Width(), rect.Height());
  }
  band.cbSize = kBandInfoSize;
  band.fMask |= RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
  band.hwndChild = pBar->m_hWnd;
  band.cxMinChild = static_cast<UINT>(size.cx);
  band.cyMinChild = static_cast<UINT>(size.cy);
  band.cx = static_cast<UINT>(size.cx);
  if (SendMessage(RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)) == 0)
    return FALSE;
  CFrameWnd* pFrame = GetParentFrame();
  if (pFrame != nullptr) pFrame->RecalcLayout();
  return TRUE;
}

BOOL CReBar::AddBar(CWnd* pBar, LPCTSTR pszText, CBitmap* pbmp, DWORD dwStyle) {
  REBARBANDINFOA band = {};
  band.fStyle = dwStyle;
  if (pszText != nullptr) {
    band.fMask |= RBBIM_TEXT;
    band.lpText = const_cast<LPSTR>(pszText);
  }
  if (pbmp != nullptr && AfxSafeGdiHandle(pbmp) != nullptr) {
    band.fMask |= RBBIM_BACKGROUND;
    band.hbmBack = static_cast<HBITMAP>(AfxSafeGdiHandle(pbmp));
  }
  return InsertBand(pBar, band);
}

BOOL CReBar::AddBar(CWnd* pBar, COLORREF clrFore, COLORREF clrBack, LPCTSTR pszText, DWORD dwStyle) {
  REBARBANDINFOA band = {};
  band.fStyle = dwStyle;
  band.fMask = RBBIM_COLORS;
  band.clrFore = clrFore;
  band.clrBack = clrBack;
  if (pszText != nullptr) {
    band.fMask |= RBBIM_TEXT;
    band.lpText = const_cast<LPSTR>(pszText);
  }
  return InsertBand(pBar, band);
}

CSize CReBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  CRect rect;
  GetWindowRect(&rect);
  int height = static_cast<int>(SendMessage(RB_GETBARHEIGHT));
  if (height <= 0) height = rect.Height();
  if (bHorz) return CSize(bStretch ? 32767 : rect.Width(), height);
  return CSize(rect.Width(), bStretch ? 32767 : rect.Height());
}

void CReBar::OnHeightChange(NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  CFrameWnd* pFrame = GetParentFrame();
  if (pFrame != nullptr) pFrame->RecalcLayout();
}
