#include "ImagesFromDiskMaskedDlg.h"

#include "ImportFileNames.h"
#include "PathHelpers.h"

#include "classlib/FolderBrowser.h"
#include "resource.h"

#include <cstdlib>

BEGIN_MESSAGE_MAP(CImagesFromDiskMaskedDlg, CDialog)
  ON_EN_CHANGE(IDC_IMPORT_PREFIX, &CImagesFromDiskMaskedDlg::OnMaskChange)
  ON_EN_CHANGE(IDC_IMPORT_WIDTH, &CImagesFromDiskMaskedDlg::OnMaskChange)
  ON_EN_CHANGE(IDC_IMPORT_SUFFIX, &CImagesFromDiskMaskedDlg::OnMaskChange)
  ON_EN_CHANGE(IDC_IMPORT_EXTENSION, &CImagesFromDiskMaskedDlg::OnMaskChange)
  ON_BN_CLICKED(IDC_IMPORT_BROWSE, &CImagesFromDiskMaskedDlg::OnBrowse)
END_MESSAGE_MAP()

CImagesFromDiskMaskedDlg::CImagesFromDiskMaskedDlg(CWnd* parent, ImageFromDiskSettings& settings)
    : CDialog(IDD_IMAGES_FROM_DISK_MASKED, parent), settings(settings) {}

CString CImagesFromDiskMaskedDlg::ReadText(int id) const {
  CString text;
  GetDlgItemText(id, text);
  return text;
}

int32_t CImagesFromDiskMaskedDlg::ReadNumber(int id) const {
  const CString text = ReadText(id);
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == static_cast<const char*>(text) || value < INT32_MIN || value > INT32_MAX) return 0;
  return static_cast<int32_t>(value);
}

void CImagesFromDiskMaskedDlg::ShowNumber(int id, int32_t value) {
  CString text;
  if (value != 0) text.Format("%d", value);
  SetDlgItemText(id, text);
}

BOOL CImagesFromDiskMaskedDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  filling = true;
  SetDlgItemText(IDC_IMPORT_FOLDER, settings.path);
  SetDlgItemText(IDC_IMPORT_PREFIX, settings.prefix);
  ShowNumber(IDC_IMPORT_WIDTH, settings.numberWidth);
  SetDlgItemText(IDC_IMPORT_SUFFIX, settings.suffix);
  SetDlgItemText(IDC_IMPORT_EXTENSION, settings.extension);
  ShowNumber(IDC_IMPORT_FIRST_NUMBER, settings.firstNumber);
  ShowNumber(IDC_IMPORT_LAST_NUMBER, settings.lastNumber);
  filling = false;
  OnMaskChange();
  return TRUE;
}

void CImagesFromDiskMaskedDlg::OnMaskChange() {
  if (filling) return;
  SetDlgItemText(IDC_IMPORT_EXAMPLE,
                 MaskExample(ReadText(IDC_IMPORT_PREFIX), ReadNumber(IDC_IMPORT_WIDTH),
                             ReadText(IDC_IMPORT_SUFFIX), ReadText(IDC_IMPORT_EXTENSION)));
}

void CImagesFromDiskMaskedDlg::OnBrowse() {
  CString title;
  title.LoadString(IDS_IMPORT_PATH);
  CString folder;
  if (AfxBrowseForFolder(m_hWnd, folder, ReadText(IDC_IMPORT_FOLDER), title))
    SetDlgItemText(IDC_IMPORT_FOLDER, folder);
}

void CImagesFromDiskMaskedDlg::OnOK() {
  const int32_t first = ReadNumber(IDC_IMPORT_FIRST_NUMBER);
  const int32_t last = ReadNumber(IDC_IMPORT_LAST_NUMBER);
  if (first != 0 && last != 0 && last < first) {
    ::MessageBeep(0);
    if (CWnd* item = GetDlgItem(IDC_IMPORT_LAST_NUMBER)) GotoDlgCtrl(item);
    return;
  }
  settings.path = AppendBackslash(ReadText(IDC_IMPORT_FOLDER));
  settings.firstNumber = first;
  settings.lastNumber = last;
  settings.prefix = ReadText(IDC_IMPORT_PREFIX);
  settings.numberWidth = ReadNumber(IDC_IMPORT_WIDTH);
  settings.suffix = ReadText(IDC_IMPORT_SUFFIX);
  settings.extension = ReadText(IDC_IMPORT_EXTENSION);
  CDialog::OnOK();
}
