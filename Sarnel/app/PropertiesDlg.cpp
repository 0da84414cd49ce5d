#include "PropertiesDlg.h"

#include "JobFileOptions.h"
#include "resource.h"

CPropertiesDlg::CPropertiesDlg(CWnd* parent) : CPropertySheet(IDS_FILE_PROPERTIES, parent) {
  m_psh.dwFlags |= PSH_NOAPPLYNOW;
  AddPage(&general);
  AddPage(&sizes);
}

INT_PTR CPropertiesDlg::DoModal() {
  general.numbering = indexed ? 1 : 0;
  sizes.storedSize = storedSize;
  sizes.previewSize = previewSize;
  const INT_PTR result = CPropertySheet::DoModal();
  if (result == IDOK) {
    indexed = general.numbering == 1;
    storedSize = sizes.storedSize;
    previewSize = sizes.previewSize;
  }
  return result;
}

CPropertiesGeneralPpg::CPropertiesGeneralPpg() : CMyPropertyPage(IDD_PROPERTIES_GENERAL) {}

void CPropertiesGeneralPpg::DoDataExchange(CDataExchange* pDX) {
  DDX_Radio(pDX, IDC_PROPERTIES_SEQUENTIAL, numbering);
}

BEGIN_MESSAGE_MAP(CPropertiesSizesPpg, CPropertyPage)
  ON_BN_CLICKED(IDC_PROPERTIES_KEEP_SIZE, &CPropertiesSizesPpg::OnSizeChoice)
  ON_BN_CLICKED(IDC_PROPERTIES_ADJUST_SIZE, &CPropertiesSizesPpg::OnSizeChoice)
  ON_BN_CLICKED(IDC_PROPERTIES_SET_DEFAULT, &CPropertiesSizesPpg::OnSetDefault)
END_MESSAGE_MAP()

CPropertiesSizesPpg::CPropertiesSizesPpg() : CMyPropertyPage(IDD_PROPERTIES_SIZES) {}

BOOL CPropertiesSizesPpg::OnInitDialog() {
  choice = storedSize == 0 ? 0 : 1;
  const BOOL result = CMyPropertyPage::OnInitDialog();
  EnableStoredSize();
  return result;
}

void CPropertiesSizesPpg::DoDataExchange(CDataExchange* pDX) {
  DDX_Radio(pDX, IDC_PROPERTIES_KEEP_SIZE, choice);
  if (!pDX->m_bSaveAndValidate) {
    int shown = storedSize == 0 ? 1024 : storedSize;
    DDX_Text(pDX, IDC_PROPERTIES_STORED_SIZE, shown);
  } else if (choice == 1) {
    int size = 0;
    DDX_Text(pDX, IDC_PROPERTIES_STORED_SIZE, size);
    DDV_MinMaxInt(pDX, size, 0, MaxBitmapKilobytes);
    storedSize = size;
  } else {
    storedSize = 0;
  }
  DDX_Text(pDX, IDC_PROPERTIES_PREVIEW_SIZE, previewSize);
  DDV_MinMaxInt(pDX, previewSize, 0, MaxBitmapKilobytes);
}

void CPropertiesSizesPpg::EnableStoredSize() {
  choice = IsDlgButtonChecked(IDC_PROPERTIES_ADJUST_SIZE) ? 1 : 0;
  if (CWnd* box = GetDlgItem(IDC_PROPERTIES_STORED_SIZE)) box->EnableWindow(choice == 1);
}

void CPropertiesSizesPpg::OnSizeChoice() { EnableStoredSize(); }

// Takes effect for new jobs at once, whatever becomes of the sheet.
void CPropertiesSizesPpg::OnSetDefault() {
  CDataExchange dx(this, TRUE);
  int kilobytes = 0;
  try {
    DDX_Text(&dx, IDC_PROPERTIES_PREVIEW_SIZE, kilobytes);
    DDV_MinMaxInt(&dx, kilobytes, 0, MaxBitmapKilobytes);
  } catch (CUserException* e) {
    e->Delete();  // reported and focused by the exchange
    return;
  }
  GetJobFileOptions().DefaultDraftSize = static_cast<int32_t>(kilobytes) * 1024;
}
