#include "classlib/ControlBars.h"

#include "classlib/App.h"
#include "classlib/CmdUI.h"
#include "classlib/DataExchange.h"
#include "classlib/Frame.h"

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
  ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  AfxInitCommonControls();
  DWORD windowStyle = SplitStyle(dwStyle);
  if (!CreateEx(0, STATUSCLASSNAMEA, nullptr, windowStyle | WS_CHILD, 0, 0, 0, 0, AfxSafeHwnd(pParentWnd),
                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID))))
    return FALSE;
  SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
  return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
  m_panes.clear();
  CClientDC dc(this);
  CFont* pOldFont = dc.SelectObject(GetFont());
  for (int i = 0; i < nIDCount; ++i) {
    Pane pane{lpIDArray[i], SBPS_NORMAL, 0, CString()};
    if (pane.nID == ID_SEPARATOR) {
      pane.nStyle = SBPS_STRETCH | SBPS_NOBORDERS;
      if (i == 0) pane.text = AfxLayerString(AFX_IDS_IDLEMESSAGE);
    } else {
      pane.text.LoadString(pane.nID);
      pane.cxText = dc.GetTextExtent(pane.text).cx + 8;
    }
    m_panes.push_back(pane);
  }
  if (pOldFont != nullptr) dc.SelectObject(pOldFont);
  UpdateParts();
  return TRUE;
}

void CStatusBar::UpdateParts() {
  if (m_hWnd == nullptr || m_panes.empty()) return;
  CRect client;
  GetClientRect(&client);
  int fixed = 0, stretchy = 0;
  for (const Pane& pane : m_panes) {
    if ((pane.nStyle & SBPS_STRETCH) != 0)
      ++stretchy;
    else
      fixed += pane.cxText;
  }
  int spare = client.Width() - fixed - ::GetSystemMetrics(SM_CXVSCROLL);
  if (spare < 0) spare = 0;
  std::vector<int> edges;
  int right = 0;
  for (const Pane& pane : m_panes) {
    right += (pane.nStyle & SBPS_STRETCH) != 0 ? spare / (stretchy > 0 ? stretchy : 1) : pane.cxText;
    edges.push_back(right);
  }
  edges.back() = -1;
  SendMessage(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (size_t i = 0; i < m_panes.size(); ++i) {
    UINT type = m_panes[i].nStyle & (SBT_NOBORDERS | SBT_POPOUT | SBT_OWNERDRAW);
    CString text = (m_panes[i].nStyle & SBPS_DISABLED) != 0 ? CString() : m_panes[i].text;
    SendMessage(SB_SETTEXTA, i | type, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(text)));
  }
}

void CStatusBar::OnSize(UINT, int, int) {
  Default();
  UpdateParts();
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL) {
  if (nIndex < 0 || nIndex >= GetCount()) return FALSE;
  Pane& pane = m_panes[static_cast<size_t>(nIndex)];
  CString text = lpszNewText != nullptr ? lpszNewText : "";
  if (pane.text == text) return TRUE;
  pane.text = text;
  if (m_hWnd != nullptr && (pane.nStyle & SBPS_DISABLED) == 0) {
    UINT type = pane.nStyle & (SBT_NOBORDERS | SBT_POPOUT | SBT_OWNERDRAW);
    SendMessage(SB_SETTEXTA, static_cast<WPARAM>(nIndex) | type,
                reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(pane.text)));
  }
  return TRUE;
}

CString CStatusBar::GetPaneText(int nIndex) const {
  if (nIndex < 0 || nIndex >= GetCount()) return CString();
  return m_panes[static_cast<size_t>(nIndex)].text;
}

UINT CStatusBar::GetItemID(int nIndex) const {
  return nIndex >= 0 && nIndex < GetCount() ? m_panes[static_cast<size_t>(nIndex)].nID : 0;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const {
  for (size_t i = 0; i < m_panes.size(); ++i)
    if (m_panes[i].nID == nIDFind) return static_cast<int>(i);
  return -1;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth) {
  if (nIndex < 0 || nIndex >= GetCount()) return;
  Pane& pane = m_panes[static_cast<size_t>(nIndex)];
  pane.nID = nID;
  pane.nStyle = nStyle;
  pane.cxText = cxWidth;
  UpdateParts();
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const {
  if (nIndex < 0 || nIndex >= GetCount()) return;
  const Pane& pane = m_panes[static_cast<size_t>(nIndex)];
  nID = pane.nID;
  nStyle = pane.nStyle;
  cxWidth = pane.cxText;
}

CSize CStatusBar::CalcFixedLayout(BOOL, BOOL) {
  CRect rect;
  GetWindowRect(&rect);
  return CSize(32767, rect.Height());
}

namespace {

// An indicator pane: disabled panes show nothing.
class CStatusCmdUI : public CCmdUI {
 public:
  CStatusBar* m_pBar = nullptr;
  void Enable(BOOL bOn) override {
    m_bEnableChanged = TRUE;
    UINT nID, nStyle;
    int cx;
    m_pBar->GetPaneInfo(static_cast<int>(m_nIndex), nID, nStyle, cx);
    UINT newStyle = bOn ? (nStyle & ~SBPS_DISABLED) : (nStyle | SBPS_DISABLED);
    if (newStyle != nStyle) m_pBar->SetPaneInfo(static_cast<int>(m_nIndex), nID, newStyle, cx);
  }
  void SetCheck(int nCheck) override {
    UINT nID, nStyle;
    int cx;
    m_pBar->GetPaneInfo(static_cast<int>(m_nIndex), nID, nStyle, cx);
    UINT newStyle = nCheck ? (nStyle | SBPS_POPOUT) : (nStyle & ~SBPS_POPOUT);
    if (newStyle != nStyle) m_pBar->SetPaneInfo(static_cast<int>(m_nIndex), nID, newStyle, cx);
  }
  void SetText(LPCTSTR lpszText) override { m_pBar->SetPaneText(static_cast<int>(m_nIndex), lpszText); }
};

}  // namespace

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL) {
  CStatusCmdUI state;
  state.m_pBar = this;
  state.m_pOther = this;
  state.m_nIndexMax = static_cast<UINT>(GetCount());
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    state.m_nID = GetItemID(static_cast<int>(state.m_nIndex));
    if (state.m_nID == ID_SEPARATOR) continue;
    state.DoUpdate(pTarget, FALSE);
  }
}
