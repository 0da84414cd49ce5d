#include "SelectFieldDlg.h"

#include "ColourPicker.h"
#include "resource.h"

CSelectFieldDlg::CSelectFieldDlg(const DetailsFields& fields, const CString& caption, const CString& label,
                                 const CString& current, CWnd* parent)
    : CDialog(IDD_SELECT_FIELD, parent), fields(fields), caption(caption), label(label), current(current) {}

BOOL CSelectFieldDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!caption.IsEmpty()) SetWindowText(caption);
  if (!label.IsEmpty()) SetDlgItemText(IDC_SELECT_FIELD_GROUP, label);
  list.SubclassDlgItem(IDC_SELECT_FIELD_LIST, this);
  CString undefined;
  undefined.LoadString(IDS_FIELD_UNDEFINED);
  list.AddItem(Undefined, undefined, TRUE);
  int match = Undefined;
  for (int i = 0; i < fields.GetCount(); ++i) {
    const CString& name = fields.GetAt(i).name;
    list.AddItem(i + 1, name);
    if (name.CompareNoCase(current) == 0) match = i + 1;  // the last of several
  }
  list.SetCurSel(match);
  SelectionChanged();
  return TRUE;
}

const DetailField* CSelectFieldDlg::SelectedField() const {
  const int id = list.GetCurSel();
  return id > Undefined && id <= fields.GetCount() ? &fields.GetAt(id - 1) : nullptr;
}

void CSelectFieldDlg::SelectionChanged() {
  const DetailField* field = SelectedField();
  description.Empty();
  if (field != nullptr && field->type >= 0 && field->type <= 6)
    description.LoadString(IDS_FIELD_TYPE_TEXT + static_cast<UINT>(field->type));
  SetDlgItemText(IDC_SELECT_FIELD_TYPE, description);
  if (CWnd* ok = GetDlgItem(IDOK)) ok->EnableWindow(field != nullptr && field->type == DetailTypeText);
}

BOOL CSelectFieldDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (wParam == IDC_SELECT_FIELD_LIST && header != nullptr && header->code == PICKN_CHANGED) {
    SelectionChanged();
    *result = 0;
    return TRUE;
  }
  return CDialog::OnNotify(wParam, lParam, result);
}

// Enter can reach OK while it is greyed: only a text field ends the choice.
void CSelectFieldDlg::OnOK() {
  const DetailField* field = SelectedField();
  if (field == nullptr || field->type != DetailTypeText) return;
  chosen = field->name;
  chosen.MakeUpper();
  EndDialog(IDOK);
}
