#include "ImagesExportSetupDlg.h"

#include "LUTsDlg.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CImagesExportSetupDlg, CDialog)
  ON_EN_CHANGE(IDC_EXPORT_PREFIX, &CImagesExportSetupDlg::OnNameChange)
  ON_EN_CHANGE(IDC_EXPORT_WIDTH, &CImagesExportSetupDlg::OnNameChange)
  ON_EN_CHANGE(IDC_EXPORT_POSTFIX, &CImagesExportSetupDlg::OnNameChange)
  ON_EN_CHANGE(IDC_EXPORT_EXTENSION, &CImagesExportSetupDlg::OnNameChange)
  ON_BN_CLICKED(IDC_EXPORT_ORIGINAL, &CImagesExportSetupDlg::OnNamingChoice)
  ON_BN_CLICKED(IDC_EXPORT_FORMATTED, &CImagesExportSetupDlg::OnNamingChoice)
  ON_BN_CLICKED(IDC_EXPORT_SAME_SIZE, &CImagesExportSetupDlg::OnSizeChoice)
  ON_BN_CLICKED(IDC_EXPORT_TO_SIZE, &CImagesExportSetupDlg::OnSizeChoice)
  ON_BN_CLICKED(IDC_EXPORT_SHARPEN, &CImagesExportSetupDlg::OnSharpen)
  ON_STN_CLICKED(IDC_EXPORT_LUT_EDIT, &CImagesExportSetupDlg::OnLUTEditor)
  ON_BN_CLICKED(IDC_EXPORT_TRANSPARENCY, &CImagesExportSetupDlg::OnTransparency)
END_MESSAGE_MAP()

CImagesExportSetupDlg::CImagesExportSetupDlg(CTheDocument* document, CWnd* parent)
    : CDialog(IDD_IMAGES_EXPORT_SETUP, parent),
      document(document),
      settings(ImageExportSettings::Instance()) {}

CString CImagesExportSetupDlg::ExampleName(const CString& prefix, int width, const CString& postfix,
                                           const CString& extension) {
  CString number;
  number.Format("%.*d", ImageExportSettings::ClampFilenameWidth(width), 3);
  return prefix + number + postfix + "." + extension;
}

BOOL CImagesExportSetupDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  kernels.SubclassDlgItem(IDC_EXPORT_KERNEL, this);
  colour.SubclassDlgItem(IDC_EXPORT_TRANSPARENCY_COLOR, this);
  for (int kernel : {3, 5, 7}) {
    CString text;
    text.Format("%d", kernel);
    kernels.AddItem(kernel, text);
  }
  naming = settings.OriginalFilename ? 0 : 1;
  prefix = settings.FilenamePre;
  width = settings.FilenameWidth;
  postfix = settings.FilenamePost;
  extension = settings.FilenameExt;
  depth = settings.Bits == 8 ? 1 : 0;
  sizeChoice = settings.SameSize ? 0 : 1;
  sizeX = settings.SizeX;
  sizeY = settings.SizeY;
  dpi = settings.DPI;
  sharpenOn = settings.Sharpen.on ? 1 : 0;
  strength = settings.Sharpen.strength;
  transparency = settings.TransparencyUse ? 1 : 0;
  CComboBox* formats = static_cast<CComboBox*>(GetDlgItem(IDC_EXPORT_FORMAT));
  int selected = -1;
  for (int row = 0; row < ImageExportSettings::GetFormatCount(); ++row) {
    const ImageExportFormat format = ImageExportSettings::GetFormat(row);
    const int item = formats->AddString(format.name);
    formats->SetItemData(item, DWORD_PTR(format.type));
    if (format.type == settings.Type) selected = item;
  }
  formats->SetCurSel(selected < 0 ? 0 : selected);
  kernels.SetCurSel(settings.Sharpen.kernel);
  colour.SetColour(COLORREF(settings.TransparencyColor));
  UpdateData(FALSE);
  FillLUTList(settings.LUT);
  OnNamingChoice();
  OnSizeChoice();
  OnSharpen();
  OnTransparency();
  OnNameChange();
  return TRUE;
}

void CImagesExportSetupDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_EXPORT_ORIGINAL, naming);
  DDX_Text(pDX, IDC_EXPORT_PREFIX, prefix);
  DDX_Text(pDX, IDC_EXPORT_WIDTH, width);
  DDX_Text(pDX, IDC_EXPORT_POSTFIX, postfix);
  DDX_Text(pDX, IDC_EXPORT_EXTENSION, extension);
  DDX_Radio(pDX, IDC_EXPORT_24BIT, depth);
  DDX_Radio(pDX, IDC_EXPORT_SAME_SIZE, sizeChoice);
  // A size or resolution the export cannot make is refused here, where it can still be corrected.
  DDX_Text(pDX, IDC_EXPORT_SIZE_X, sizeX);
  if (sizeChoice == 1) DDV_MinMaxInt(pDX, sizeX, 1, ImageExportSettings::MaxSide);
  DDX_Text(pDX, IDC_EXPORT_SIZE_Y, sizeY);
  if (sizeChoice == 1) DDV_MinMaxInt(pDX, sizeY, 1, ImageExportSettings::MaxSide);
  DDX_Text(pDX, IDC_EXPORT_DPI, dpi);
  DDV_MinMaxInt(pDX, dpi, 1, ImageExportSettings::MaxDpi);
  DDX_Check(pDX, IDC_EXPORT_SHARPEN, sharpenOn);
  DDX_Text(pDX, IDC_EXPORT_STRENGTH, strength);
  DDX_Check(pDX, IDC_EXPORT_TRANSPARENCY, transparency);
}

void CImagesExportSetupDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  settings.OriginalFilename = naming == 0 ? 1 : 0;
  settings.FilenameWidth = ImageExportSettings::ClampFilenameWidth(width);
  settings.FilenamePre = prefix;
  settings.FilenamePost = postfix;
  settings.FilenameExt = extension;
  CComboBox* formats = static_cast<CComboBox*>(GetDlgItem(IDC_EXPORT_FORMAT));
  const int format = formats->GetCurSel();
  if (format >= 0) settings.Type = int32_t(formats->GetItemData(format));
  settings.Bits = depth == 1 ? 8 : 24;
  settings.SameSize = sizeChoice == 0 ? 1 : 0;
  settings.SizeX = sizeX;
  settings.SizeY = sizeY;
  settings.DPI = dpi;
  settings.LUT = SelectedLUT();
  settings.Sharpen.on = sharpenOn ? 1 : 0;
  const int kernel = kernels.GetCurSel();
  settings.Sharpen.kernel = int16_t(kernel == 5 || kernel == 7 ? kernel : 3);
  settings.Sharpen.strength = int16_t(strength);
  settings.TransparencyUse = transparency ? 1 : 0;
  settings.TransparencyColor = int32_t(colour.GetColour());
  EndDialog(IDOK);
}

void CImagesExportSetupDlg::Enable(int id, bool enable) {
  if (CWnd* control = GetDlgItem(id)) control->EnableWindow(enable ? TRUE : FALSE);
}

void CImagesExportSetupDlg::OnNameChange() {
  CString pre, digits, post, ext;
  GetDlgItemText(IDC_EXPORT_PREFIX, pre);
  GetDlgItemText(IDC_EXPORT_WIDTH, digits);
  GetDlgItemText(IDC_EXPORT_POSTFIX, post);
  GetDlgItemText(IDC_EXPORT_EXTENSION, ext);
  SetDlgItemText(IDC_EXPORT_EXAMPLE, ExampleName(pre, atoi(digits), post, ext));
}

void CImagesExportSetupDlg::OnNamingChoice() {
  const bool numbered = IsDlgButtonChecked(IDC_EXPORT_FORMATTED) != 0;
  for (int id : {IDC_EXPORT_PREFIX, IDC_EXPORT_WIDTH, IDC_EXPORT_POSTFIX, IDC_EXPORT_EXAMPLE})
    Enable(id, numbered);
}

void CImagesExportSetupDlg::OnSizeChoice() {
  const bool toSize = IsDlgButtonChecked(IDC_EXPORT_TO_SIZE) != 0;
  Enable(IDC_EXPORT_SIZE_X, toSize);
  Enable(IDC_EXPORT_SIZE_Y, toSize);
}

void CImagesExportSetupDlg::OnSharpen() {
  const bool on = IsDlgButtonChecked(IDC_EXPORT_SHARPEN) != 0;
  Enable(IDC_EXPORT_KERNEL, on);
  Enable(IDC_EXPORT_STRENGTH, on);
}

void CImagesExportSetupDlg::OnTransparency() {
  Enable(IDC_EXPORT_TRANSPARENCY_COLOR, IsDlgButtonChecked(IDC_EXPORT_TRANSPARENCY) != 0);
}

void CImagesExportSetupDlg::FillLUTList(const CString& wanted) {
  CComboBox* list = static_cast<CComboBox*>(GetDlgItem(IDC_EXPORT_LUT));
  list->SetRedraw(FALSE);
  list->ResetContent();
  CString none;
  none.LoadString(IDS_LUT_NONE);
  list->AddString(none);
  int selected = 0;
  for (int i = 0; i < settings.LUTs.GetCount(); ++i) {
    const LUTRecord record = settings.LUTs.GetAt(i);
    list->AddString(record.description);
    if (selected == 0 && !wanted.IsEmpty() && record.name == wanted) selected = i + 1;
  }
  list->SetCurSel(selected);
  list->SetRedraw(TRUE);
}

CString CImagesExportSetupDlg::SelectedLUT() const {
  const CComboBox* list = static_cast<const CComboBox*>(GetDlgItem(IDC_EXPORT_LUT));
  const int item = list->GetCurSel();
  if (item <= 0 || item > settings.LUTs.GetCount()) return CString();
  return settings.LUTs.GetAt(item - 1).name;
}

// The tone-curve editor works on the output curves this dialog offers; the curve chosen there is chosen
// here.
void CImagesExportSetupDlg::OnLUTEditor() {
  CLUTsDlg editor(&settings.LUTs, 1, SelectedLUT(), this);
  if (editor.DoModal() == IDOK) FillLUTList(editor.m_selectedName);
}
