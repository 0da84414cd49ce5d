#include "ImportSetupDlg.h"

#include "LUTsDlg.h"
#include "resource.h"

namespace {

// The rotation radios in the order of their quarter turns.
constexpr int RotationIds[] = {IDC_IMPORT_ROTATE_0, IDC_IMPORT_ROTATE_90, IDC_IMPORT_ROTATE_180,
                               IDC_IMPORT_ROTATE_270};

}  // namespace

BEGIN_MESSAGE_MAP(CImportSetupDlg, CDialog)
  ON_BN_CLICKED(IDC_IMPORT_SHARPEN, &CImportSetupDlg::OnSharpen)
  ON_BN_CLICKED(IDC_IMPORT_LUT_EDITOR, &CImportSetupDlg::OnLUTEditor)
END_MESSAGE_MAP()

CImportSetupDlg::CImportSetupDlg(UINT templateId, ImportProcessingChoice& choice, CWnd* parent)
    : CDialog(templateId, parent), choice(choice) {}

BOOL CImportSetupDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CheckRadioButton(IDC_IMPORT_ROTATE_0, IDC_IMPORT_ROTATE_180, RotationIds[ValidRotation(choice.rotation)]);
  CheckDlgButton(IDC_IMPORT_FLIP_VERTICAL, choice.flipVertical ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_IMPORT_FLIP_HORIZONTAL, choice.flipHorizontal ? BST_CHECKED : BST_UNCHECKED);
  FillLUTs(choice.lutName);
  CheckDlgButton(IDC_IMPORT_SHARPEN, choice.sharpen.on ? BST_CHECKED : BST_UNCHECKED);
  kernel.SubclassDlgItem(IDC_IMPORT_KERNEL, this);
  kernel.AddItem(3, "3");
  kernel.AddItem(5, "5");
  kernel.AddItem(7, "7");
  const int k = choice.sharpen.kernel;
  kernel.SetCurSel(k == 5 || k == 7 ? k : 3);
  SetDlgItemInt(IDC_IMPORT_STRENGTH, static_cast<UINT>(static_cast<uint16_t>(choice.sharpen.strength)),
                FALSE);
  EnableSharpening();
  return TRUE;
}

void CImportSetupDlg::FillLUTs(const CString& selectedName) {
  auto* box = static_cast<CComboBox*>(GetDlgItem(IDC_IMPORT_LUT));
  if (box == nullptr) return;
  box->SetRedraw(FALSE);
  box->ResetContent();
  box->AddString("[name]");
  int selected = 0;
  for (int i = 0; i < choice.lutList.GetCount(); ++i) {
    const LUTRecord record = choice.lutList.GetAt(i);
    box->AddString(record.description);
    if (selected == 0 && !selectedName.IsEmpty() && record.name == selectedName) selected = i + 1;
  }
  box->SetCurSel(selected);
  box->SetRedraw(TRUE);
  box->Invalidate();
}

void CImportSetupDlg::EnableSharpening() {
  const BOOL on = IsDlgButtonChecked(IDC_IMPORT_SHARPEN) == BST_CHECKED;
  kernel.EnableWindow(on);
  if (CWnd* strength = GetDlgItem(IDC_IMPORT_STRENGTH)) strength->EnableWindow(on);
}

void CImportSetupDlg::OnSharpen() { EnableSharpening(); }

// The tone-curve editor works on the list this dialog offers; the curve chosen there is chosen here.
void CImportSetupDlg::OnLUTEditor() {
  CString current;
  if (auto* box = static_cast<CComboBox*>(GetDlgItem(IDC_IMPORT_LUT))) {
    const int index = box->GetCurSel();
    if (index > 0 && index <= choice.lutList.GetCount()) current = choice.lutList.GetAt(index - 1).name;
  }
  CLUTsDlg editor(&choice.lutList, 0, current, this);
  if (editor.DoModal() == IDOK) FillLUTs(editor.m_selectedName);
}

void CImportSetupDlg::OnOK() {
  int rotation = 0;
  for (int turns = 0; turns < 4; ++turns)
    if (IsDlgButtonChecked(RotationIds[turns]) == BST_CHECKED) rotation = turns;
  choice.rotation = ValidRotation(rotation);
  choice.flipVertical = IsDlgButtonChecked(IDC_IMPORT_FLIP_VERTICAL) == BST_CHECKED;
  choice.flipHorizontal = IsDlgButtonChecked(IDC_IMPORT_FLIP_HORIZONTAL) == BST_CHECKED;
  choice.lutName.Empty();
  if (auto* box = static_cast<CComboBox*>(GetDlgItem(IDC_IMPORT_LUT))) {
    const int index = box->GetCurSel();
    if (index > 0 && index <= choice.lutList.GetCount())
      choice.lutName = choice.lutList.GetAt(index - 1).name;
  }
  choice.sharpen.on = IsDlgButtonChecked(IDC_IMPORT_SHARPEN) == BST_CHECKED ? 1 : 0;
  choice.sharpen.kernel = static_cast<int16_t>(kernel.GetCurSel());
  // Kept in 16 bits as typed, without a range check.
  choice.sharpen.strength = static_cast<int16_t>(GetDlgItemInt(IDC_IMPORT_STRENGTH, nullptr, FALSE));
  CDialog::OnOK();
}

BEGIN_MESSAGE_MAP(CImagesFromDiskSetupDlg, CImportSetupDlg)
  ON_BN_CLICKED(IDC_IMPORT_REFERENCE, &CImagesFromDiskSetupDlg::OnReference)
END_MESSAGE_MAP()

CImagesFromDiskSetupDlg::CImagesFromDiskSetupDlg(CWnd* parent, ImageFromDiskSettings& settings)
    : CImportSetupDlg(IDD_IMAGES_FROM_DISK_SETUP, settings, parent), settings(settings) {}

BOOL CImagesFromDiskSetupDlg::OnInitDialog() {
  CImportSetupDlg::OnInitDialog();
  CheckDlgButton(IDC_IMPORT_REFERENCE, settings.reference ? BST_CHECKED : BST_UNCHECKED);
  CheckRadioButton(IDC_IMPORT_KEEP_PATH, IDC_IMPORT_DISCARD_PATH,
                   settings.keepPath ? IDC_IMPORT_KEEP_PATH : IDC_IMPORT_DISCARD_PATH);
  EnableRecording();
  return TRUE;
}

void CImagesFromDiskSetupDlg::EnableRecording() {
  const BOOL on = IsDlgButtonChecked(IDC_IMPORT_REFERENCE) == BST_CHECKED;
  for (int id : {IDC_IMPORT_KEEP_PATH, IDC_IMPORT_DISCARD_PATH, IDC_IMPORT_SEARCH_NOTE})
    if (CWnd* item = GetDlgItem(id)) item->EnableWindow(on);
}

void CImagesFromDiskSetupDlg::OnReference() { EnableRecording(); }

void CImagesFromDiskSetupDlg::OnOK() {
  settings.reference = IsDlgButtonChecked(IDC_IMPORT_REFERENCE) == BST_CHECKED;
  settings.keepPath = IsDlgButtonChecked(IDC_IMPORT_KEEP_PATH) == BST_CHECKED;
  CImportSetupDlg::OnOK();
}

CImagesFromHotSetupDlg::CImagesFromHotSetupDlg(CWnd* parent, ImagesFromHotSettings& settings)
    : CImportSetupDlg(IDD_IMAGES_FROM_HOT_SETUP, settings, parent) {}
