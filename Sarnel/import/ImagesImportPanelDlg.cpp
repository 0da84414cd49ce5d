#include "ImagesImportPanelDlg.h"

#include "DocumentEvents.h"
#include "ImageEvents.h"
#include "ImagesImportSettings.h"
#include "TheDocument.h"
#include "resource.h"

namespace {
constexpr int PlacementIds[] = {IDC_IMPORT_TO_END, IDC_IMPORT_INSERT, IDC_IMPORT_REPLACE};
}  // namespace

BEGIN_MESSAGE_MAP(CImagesImportPanelDlg, CDialogBar)
  ON_BN_CLICKED(IDC_IMPORT_PAUSE, &CImagesImportPanelDlg::OnPause)
  ON_BN_CLICKED(IDC_IMPORT_FOLLOW, &CImagesImportPanelDlg::OnFollow)
  ON_BN_CLICKED(IDC_IMPORT_TO_END, &CImagesImportPanelDlg::OnPlacement)
  ON_BN_CLICKED(IDC_IMPORT_INSERT, &CImagesImportPanelDlg::OnPlacement)
  ON_BN_CLICKED(IDC_IMPORT_REPLACE, &CImagesImportPanelDlg::OnPlacement)
  ON_BN_CLICKED(IDC_IMPORT_REVERSE, &CImagesImportPanelDlg::OnPlacement)
END_MESSAGE_MAP()

CImagesImportPanelDlg::CImagesImportPanelDlg(CTheDocument& document) : document(document) {}

CImagesImportPanelDlg::~CImagesImportPanelDlg() { UnsubscribeAll(); }

BOOL CImagesImportPanelDlg::Create(CWnd* parent, UINT templateId, UINT style, UINT id) {
  if (!CDialogBar::Create(parent, templateId, style, id)) return FALSE;
  const ImagesImportSettings& import = GetImagesImportSettings();
  CheckDlgButton(IDC_IMPORT_PAUSE, import.ImportActive ? BST_UNCHECKED : BST_CHECKED);
  CheckDlgButton(IDC_IMPORT_FOLLOW, import.FollowImages ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_IMPORT_REVERSE, import.Reverse ? BST_CHECKED : BST_UNCHECKED);
  const int mode = import.Mode == 1 || import.Mode == 2 ? import.Mode : 0;
  CheckRadioButton(IDC_IMPORT_TO_END, IDC_IMPORT_REPLACE, PlacementIds[mode]);
  UpdateControls();
  document.Subscribe(this);
  return TRUE;
}

void CImagesImportPanelDlg::OnUpdateCmdUI(CFrameWnd*, BOOL) {}

void CImagesImportPanelDlg::ReadControls() {
  pause = IsDlgButtonChecked(IDC_IMPORT_PAUSE) == BST_CHECKED;
  follow = IsDlgButtonChecked(IDC_IMPORT_FOLLOW) == BST_CHECKED;
  reverse = IsDlgButtonChecked(IDC_IMPORT_REVERSE) == BST_CHECKED;
  placement = -1;
  for (int i = 0; i < 3; ++i)
    if (IsDlgButtonChecked(PlacementIds[i]) == BST_CHECKED) placement = i;
}

CString CImagesImportPanelDlg::SelectedImage() {
  ImageSelectionRequestEvent request;
  document.FireEvent(request);
  return request.answered && request.kind == ImageSelectionRequestEvent::One ? request.id : CString();
}

void CImagesImportPanelDlg::UpdateControls() {
  if (m_hWnd == nullptr) return;
  ReadControls();
  const bool active = GetImagesImportSettings().ImportActive;
  const bool fits = document.IsOpen() && !document.IsReadOnly() && !document.IsIndexed();
  const bool placeable = !active && fits;
  const bool oneSelected = placeable && !SelectedImage().IsEmpty();
  for (int id : {IDC_IMPORT_PLACEMENT_GROUP, IDC_IMPORT_REVERSE, IDC_IMPORT_TO_END})
    if (CWnd* item = GetDlgItem(id)) item->EnableWindow(placeable);
  for (int id : {IDC_IMPORT_INSERT, IDC_IMPORT_REPLACE})
    if (CWnd* item = GetDlgItem(id)) item->EnableWindow(oneSelected);
}

void CImagesImportPanelDlg::OnFollow() {
  ReadControls();
  GetImagesImportSettings().FollowImages = follow;
  UpdateControls();
}

void CImagesImportPanelDlg::OnPlacement() {
  ReadControls();
  ImagesImportSettings& import = GetImagesImportSettings();
  import.Reverse = reverse;
  import.Mode = placement >= 0 && placement <= 2 ? placement : 0;
  UpdateControls();
}

void CImagesImportPanelDlg::OnPause() {
  ReadControls();
  ImagesImportSettings& import = GetImagesImportSettings();
  import.ImportActive = !import.ImportActive;
  import.Reverse = reverse;
  import.Mode = placement >= 0 && placement <= 2 ? placement : 0;
  if (import.Mode == ImagesImportSettings::Insert || import.Mode == ImagesImportSettings::Replace) {
    const CString selected = SelectedImage();
    if (!selected.IsEmpty()) import.Position = document.GetImageNumber(selected) - 1;
  }
  UpdateControls();
  ImageImportGoEvent go(IsDlgButtonChecked(IDC_IMPORT_PAUSE) == BST_CHECKED);
  document.FireEvent(go);
}

int CImagesImportPanelDlg::OnEvent(EventSource* source, Event* event) {
  if (dynamic_cast<FileNewEvent*>(event) != nullptr || dynamic_cast<FileOpenEvent*>(event) != nullptr ||
      dynamic_cast<FileCloseEvent*>(event) != nullptr ||
      dynamic_cast<PropertiesChangeEvent*>(event) != nullptr) {
    UpdateControls();
  } else if (dynamic_cast<ImageSelectionChangeEvent*>(event) != nullptr) {
    if (!GetImagesImportSettings().ImportActive) UpdateControls();
  } else if (dynamic_cast<ImageImportGoEvent*>(event) != nullptr) {
    if (m_hWnd != nullptr)
      CheckDlgButton(IDC_IMPORT_PAUSE, GetImagesImportSettings().ImportActive ? BST_UNCHECKED : BST_CHECKED);
    UpdateControls();
  }
  return EventSink::OnEvent(source, event);
}
