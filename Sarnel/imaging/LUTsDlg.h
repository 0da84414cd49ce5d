// The LUT editor: one LUT list in a grid of descriptions, with the LUT editing control of the
// tone-curve component showing the curve of the selected record.
//
// The editor works on copies of the curves. OK writes each edited copy back into its record's own
// object, so every holder of that object sees the edit; Cancel leaves every curve as it was.
#pragma once

#include "GridCtrl.h"
#include "LUTList.h"
#include "LUTRecord.h"

#include "classlib/ClassLib.h"

#include <exception>
#include <map>
#include <memory>

class CLUTsDlg : public CDialog {
 public:
  // `list` is the caller's and must outlive the dialog; new records take `output` (0 input, 1 output);
  // the record named `select` is selected at the start.
  CLUTsDlg(LUTList* list, int output, const CString& select, CWnd* pParentWnd = nullptr);
  ~CLUTsDlg() override;

  // Raises the failure that kept the dialog from opening (REGDB_E_CLASSNOTREG when the tone-curve
  // component is not registered); the list is then untouched.
  INT_PTR DoModal() override;

  // After OK: the name of the record that was current, else unchanged.
  CString m_selectedName;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  afx_msg void OnNew();
  afx_msg void OnRemove();
  afx_msg void OnUp();
  afx_msg void OnDown();
  DECLARE_MESSAGE_MAP()

 private:
  // A row's record: the copy edited here, and the object of the caller's record it came from.
  struct Row {
    LUTRecord record;
    ILutPtr original;
  };

  void OpenEditor();
  Row* RowAt(int row) const;
  int AddRow(std::unique_ptr<Row> row);
  void KeepCurve();
  void ShowCurrent();
  void SetButtons();
  void Move(int by);

  CGridCtrl m_grid;
  CWnd m_controlHost;  // the window that hosts the editing control
  LUTList* m_list;
  int m_output;
  CString m_select;
  int m_current = -1;
  ILutCtlPtr m_control;
  HICON m_upIcon = nullptr;
  HICON m_downIcon = nullptr;
  // Rows hold a key into this map as their data, never an address.
  std::map<long, std::unique_ptr<Row>> m_rows;
  long m_nextKey = 1;
  std::exception_ptr m_openFailure;
};
