// The choice of one text detail field ("Select field"): "[undefined]" first, then every field in
// its order; OK only while a text field is chosen, giving its name in capitals.
#pragma once

#include "DetailsFields.h"
#include "MenuListCtl.h"

class CSelectFieldDlg : public CDialog {
 public:
  // A non-empty caption replaces the title, a non-empty label the group's text.
  CSelectFieldDlg(const DetailsFields& fields, const CString& caption, const CString& label,
                  const CString& current, CWnd* parent = nullptr);

  const DetailsFields& fields;
  CString caption;
  CString label;
  CString current;  // the field chosen so far (matched regardless of case)
  CString chosen;   // after OK: the chosen field's name, upper-cased
  CString description;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  // The list's identifiers: 0 for "[undefined]", the field's position + 1 for a field (never -1:
  // the menu list cannot offer that identifier).
  static constexpr int Undefined = 0;
  const DetailField* SelectedField() const;
  void SelectionChanged();

  CMenuListCtl list;
};
