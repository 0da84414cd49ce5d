#include "classlib/ControlBars.h"

#include "classlib/App.h"
#include "classlib/CmdUI.h"
#include "classlib/Controls.h"
#include "classlib/Frame.h"

#include <vector>

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)
IMPLEMENT_DYNAMIC(CToolBarCtrl, CWnd)

CImageList* CToolBarCtrl::SetImageList(CImageList* pImageList) {
  SendMessage(TB_SETIMAGELIST, 0,
              reinterpret_cast<LPARAM>(pImageList != nullptr ? pImageList->GetSafeHandle() : nullptr));
  return nullptr;
}
CImageList* CToolBarCtrl::SetHotImageList(CImageList* pImageList) {
  SendMessage(TB_SETHOTIMAGELIST, 0,
              reinterpret_cast<LPARAM>(pImageList != nullptr ? pImageList->GetSafeHandle() : nullptr));
  return nullptr;
}
CImageList* CToolBarCtrl::SetDisabledImageList(CImageList* pImageList) {
  SendMessage(TB_SETDISABLEDIMAGELIST, 0,
              reinterpret_cast<LPARAM>(pImageList != nullptr ? pImageList->GetSafeHandle() : nullptr));
  return nullptr;
}

CToolBar::~CToolBar() { m_ctrl.m_hWnd = nullptr; }

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  return CreateEx(pParentWnd, 0, dwStyle, CRect(0, 0, 0, 0), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect, UINT nID) {
  AfxInitCommonControls();
  DWORD windowStyle = SplitStyle(dwStyle);
  if ((m_dwStyle & CBRS_TOOLTIPS) != 0) dwCtrlStyle |= TBSTYLE_TOOLTIPS;
  if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, nullptr,
                      windowStyle | WS_CHILD | dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER,
                      0, 0, 0, 0, AfxSafeHwnd(pParentWnd),
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID))))
    return FALSE;
  SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  m_ctrl.m_hWnd = m_hWnd;
  return TRUE;
}

CToolBarCtrl& CToolBar::GetToolBarCtrl() const {
  m_ctrl.m_hWnd = m_hWnd;
  return m_ctrl;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage) {
  m_sizeImage = sizeImage;
  SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(sizeImage.cx, sizeImage.cy));
  SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(sizeButton.cx, sizeButton.cy));
}

BOOL CToolBar::LoadBitmap(UINT nIDResource) {
  TBADDBITMAP bitmap = {AfxGetResourceHandle(), nIDResource};
  // The number of images is what the bitmap holds; the system counts them from its width.
  BITMAP info = {};
  HBITMAP hBitmap = ::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
  if (hBitmap == nullptr) return FALSE;
  ::GetObjectA(hBitmap, sizeof(info), &info);
  ::DeleteObject(hBitmap);
  int count = m_sizeImage.cx > 0 ? info.bmWidth / m_sizeImage.cx : 0;
  return SendMessage(TB_ADDBITMAP, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&bitmap)) != -1;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
  while (SendMessage(TB_BUTTONCOUNT) > 0) SendMessage(TB_DELETEBUTTON, 0);
  std::vector<TBBUTTON> buttons;
  int image = 0;
  for (int i = 0; i < nIDCount; ++i) {
    TBBUTTON button = {};
    if (lpIDArray[i] == ID_SEPARATOR) {
      button.fsStyle = TBSTYLE_SEP;
    } else {
      button.iBitmap = image++;
      button.idCommand = static_cast<int>(lpIDArray[i]);
      button.fsState = TBSTATE_ENABLED;
      button.fsStyle = TBSTYLE_BUTTON;
    }
    buttons.push_back(button);
  }
  if (!buttons.empty() &&
      !SendMessage(TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())))
    return FALSE;
  SendMessage(TB_AUTOSIZE);
  return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT nIDResource) {
  HINSTANCE hInst = AfxGetResourceHandle();
  HRSRC resource = ::FindResourceA(hInst, MAKEINTRESOURCEA(nIDResource), MAKEINTRESOURCEA(241));
  if (resource == nullptr) return FALSE;
  DWORD bytes = ::SizeofResource(hInst, resource);
  const void* raw = ::LockResource(::LoadResource(hInst, resource));
  if (raw == nullptr || bytes < 8) return FALSE;
  // Two layouts exist: 16-bit fields (version 1, width, height, count, ids) as the Microsoft
  // compiler writes them, and 32-bit fields without a version (width, height, count, ids) as
  // windres writes them. The sizes tell which.
  std::vector<UINT> ids;
  SIZE image = {};
  auto* words = static_cast<const WORD*>(raw);
  auto* dwords = static_cast<const DWORD*>(raw);
  if (words[0] == 1 && bytes >= 8u + 2u * words[3]) {
    image = {words[1], words[2]};
    ids.assign(words + 4, words + 4 + words[3]);
  } else if (bytes >= 12 && dwords[2] <= (bytes - 12) / 4) {
    image = {static_cast<LONG>(dwords[0]), static_cast<LONG>(dwords[1])};
    ids.assign(dwords + 3, dwords + 3 + dwords[2]);
  } else {
    return FALSE;
  }
  int count = static_cast<int>(ids.size());
  SIZE button = {image.cx + 7, image.cy + 7};
  SetSizes(button, image);
  if (!LoadBitmap(nIDResource)) return FALSE;
  return SetButtons(ids.data(), count);
}

int CToolBar::CommandToIndex(UINT nIDFind) const {
  return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, nIDFind));
}

UINT CToolBar::GetItemID(int nIndex) const {
  TBBUTTON button = {};
  if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&button))) return 0;
  return (button.fsStyle & TBSTYLE_SEP) != 0 ? ID_SEPARATOR : static_cast<UINT>(button.idCommand);
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const {
  SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect));
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  SIZE size = {};
  SendMessage(TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
  DWORD buttonSize = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE));
  int height = size.cy > 0 ? size.cy : HIWORD(buttonSize);
  height += 4;
  if (bHorz) return CSize(bStretch ? 32767 : size.cx, height);
  return CSize(LOWORD(buttonSize) + 4, bStretch ? 32767 : size.cy);
}

namespace {

// A tool bar button being updated.
class CToolCmdUI : public CCmdUI {
 public:
  void Enable(BOOL bOn) override {
    m_bEnableChanged = TRUE;
    ::SendMessageA(m_pOther->m_hWnd, TB_ENABLEBUTTON, m_nID, MAKELPARAM(bOn ? TRUE : FALSE, 0));
  }
  void SetCheck(int nCheck) override {
    ::SendMessageA(m_pOther->m_hWnd, TB_CHECKBUTTON, m_nID, MAKELPARAM(nCheck != 0 ? TRUE : FALSE, 0));
  }
  void SetText(LPCTSTR) override {}
};

}  // namespace

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
  CToolCmdUI state;
  state.m_pOther = this;
  state.m_nIndexMax = static_cast<UINT>(SendMessage(TB_BUTTONCOUNT));
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    state.m_nID = GetItemID(static_cast<int>(state.m_nIndex));
    if (state.m_nID == ID_SEPARATOR) continue;
    state.DoUpdate(pTarget, bDisableIfNoHndler);
  }
}
