#include "ProductionFrame.h"

#include "ImagesFromDiskDlg.h"
#include "TheDocument.h"

#include "resource.h"

IMPLEMENT_DYNAMIC(CProductionFrame, CChildFrame)

BEGIN_MESSAGE_MAP(CProductionFrame, CChildFrame)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_WM_SETFOCUS()
  ON_COMMAND(ID_TAKE_PICTURE, &CProductionFrame::OnTakePicture)
  ON_UPDATE_COMMAND_UI(ID_TAKE_PICTURE, &CProductionFrame::OnUpdateTakePicture)
  ON_COMMAND(ID_IMPORT_FROM_DISK, &CProductionFrame::OnImportFromDisk)
  ON_UPDATE_COMMAND_UI(ID_IMPORT_FROM_DISK, &CProductionFrame::OnUpdateImportFromDisk)
  ON_COMMAND(ID_IMPORT_PANEL, &CProductionFrame::OnImportPanel)
  ON_UPDATE_COMMAND_UI(ID_IMPORT_PANEL, &CProductionFrame::OnUpdateImportPanel)
END_MESSAGE_MAP()

namespace {

constexpr UINT ReBarId = 0xE804;
constexpr UINT ToolBarId = 0xE800;
constexpr UINT ViewId = AFX_IDW_PANE_FIRST;

}  // namespace

CProductionFrame::CProductionFrame(CTheDocument* document) : document(document), importPanel(*document) {}

CProductionFrame::~CProductionFrame() = default;

UINT CProductionFrame::GetMenuResourceId() { return IDR_JOB_SCREEN; }

int CProductionFrame::OnCreate(LPCREATESTRUCT lpcs) {
  if (CChildFrame::OnCreate(lpcs) == -1) return -1;
  if (!reBar.Create(this, RBS_BANDBORDERS,
                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP, ReBarId))
    return -1;
  EnableDocking(CBRS_ALIGN_ANY);
  if (!CreateToolBar()) return -1;
  // The correction bar takes its place here, after the tool bar.
  if (!CreateImportPanel()) return -1;
  LoadBarState("Main Frame\\Bars\\");
  // The hot import window is made here, once it exists.

  CRect client;
  GetClientRect(&client);
  if (!view.CreateView(this, ViewId, document, nullptr)) return -1;
  SetActiveView(&view);
  LayoutView();
  return 0;
}

bool CProductionFrame::CreateToolBar() {
  if (!toolBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_TOOLTIPS,
                        CRect(0, 0, 0, 0), ToolBarId))
    return false;
  if (!toolBar.LoadToolBar(IDR_PRODUCTION_BAR)) return false;
  const COLORREF transparent = RGB(192, 192, 192);
  if (toolImages.Create(16, 15, ILC_COLORDDB | ILC_MASK, 11, 1)) {
    CBitmap normal;
    if (normal.LoadBitmap(IDB_PRODUCTION_BAR)) toolImages.Add(&normal, transparent);
    toolBar.GetToolBarCtrl().SetImageList(&toolImages);
    toolBar.GetToolBarCtrl().SendMessage(TB_SETHOTIMAGELIST, 0,
                                         reinterpret_cast<LPARAM>(toolImages.GetSafeHandle()));
  }
  if (toolImagesDisabled.Create(16, 15, ILC_COLORDDB | ILC_MASK, 11, 1)) {
    CBitmap disabled;
    if (disabled.LoadBitmap(IDB_PRODUCTION_BAR_DISABLED)) toolImagesDisabled.Add(&disabled, transparent);
    toolBar.GetToolBarCtrl().SendMessage(TB_SETDISABLEDIMAGELIST, 0,
                                         reinterpret_cast<LPARAM>(toolImagesDisabled.GetSafeHandle()));
  }
  CString title;
  title.LoadString(IDS_CONTROL_BAR);
  toolBar.SetWindowText(title);
  return reBar.AddBar(&toolBar, nullptr, nullptr, RBBS_GRIPPERALWAYS | RBBS_CHILDEDGE) != FALSE;
}

void CProductionFrame::LayoutView() {
  if (m_hWnd == nullptr) return;
  RecalcLayout();
}

void CProductionFrame::OnSize(UINT type, int cx, int cy) {
  CChildFrame::OnSize(type, cx, cy);
  if (type != SIZE_MINIMIZED) LayoutView();
}

void CProductionFrame::OnSetFocus(CWnd*) {
  if (view.m_hWnd != nullptr) view.SetFocus();
}

void CProductionFrame::OnDestroy() {
  diskImport.reset();
  SetActiveView(nullptr);
  CChildFrame::OnDestroy();
}

void CProductionFrame::OnActivateScreen() {
  view.SetUpdatesEnabled(true);
  if (document != nullptr) document->SetMainWindowTitle();
}

void CProductionFrame::OnDeactivateScreen() { view.SetUpdatesEnabled(false); }

BOOL CProductionFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (view.m_hWnd != nullptr && view.OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return document != nullptr && document->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// Taking a picture needs a camera driver, which this program has none of: the command stays
// enabled and does nothing.
void CProductionFrame::OnTakePicture() {}

void CProductionFrame::OnUpdateTakePicture(CCmdUI* cmdUI) { cmdUI->Enable(TRUE); }

// The import panel floats hidden near the main window's lower right corner until it is asked for.
bool CProductionFrame::CreateImportPanel() {
  if (!importPanel.Create(this, IDD_IMAGES_IMPORT_PANEL,
                          CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC, IDD_IMAGES_IMPORT_PANEL))
    return false;
  CString title;
  title.LoadString(IDS_IMPORT_PANEL_TITLE);
  importPanel.SetWindowText(title);
  importPanel.EnableDocking(0);
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof(placement);
  CWnd* main = AfxGetMainWnd();
  if (main != nullptr && main->GetSafeHwnd() != nullptr && main->GetWindowPlacement(&placement)) {
    const LONG units = ::GetDialogBaseUnits();
    const CPoint corner(placement.rcNormalPosition.right - MulDiv(140, LOWORD(units), 4),
                        placement.rcNormalPosition.bottom - MulDiv(50, HIWORD(units), 8));
    FloatControlBar(&importPanel, corner);
  }
  ShowControlBar(&importPanel, FALSE, FALSE);
  return true;
}

void CProductionFrame::OnImportFromDisk() {
  if (!diskImport) diskImport = std::make_unique<CImagesFromDiskDlg>(*document, this);
  diskImport->ShowWindow(diskImport->IsWindowVisible() ? SW_HIDE : SW_SHOW);
}

void CProductionFrame::OnUpdateImportFromDisk(CCmdUI* cmdUI) {
  cmdUI->SetCheck(diskImport && diskImport->GetSafeHwnd() != nullptr && diskImport->IsWindowVisible());
}

void CProductionFrame::OnImportPanel() {
  ShowControlBar(&importPanel, !importPanel.IsWindowVisible(), FALSE);
}

void CProductionFrame::OnUpdateImportPanel(CCmdUI* cmdUI) {
  cmdUI->SetCheck(importPanel.GetSafeHwnd() != nullptr && importPanel.IsWindowVisible());
}
