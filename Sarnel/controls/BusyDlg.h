// The small modeless dialog that shows the text of the innermost busy indicator, with a Cancel
// button for operations that poll it.
#pragma once

#include "BusyEntry.h"

#include "classlib/ClassLib.h"

class CBusyDlg : public CDialog {
 public:
  CBusyDlg() = default;

  BOOL OnInitDialog() override;
  // The button and Escape only mark the operation cancelled; the dialog stays.
  void OnCancel() override;
  void OnOK() override {}

  BOOL IsCancelled() const { return cancelled; }

 protected:
  afx_msg LRESULT OnBusyUpdate(WPARAM delay, LPARAM entry);
  afx_msg LRESULT OnQueryCancel(WPARAM, LPARAM);
  afx_msg LRESULT OnTimerMessage(WPARAM id, LPARAM);
  afx_msg LRESULT OnSetCursorMessage(WPARAM window, LPARAM);

  DECLARE_MESSAGE_MAP()

 private:
  void ShowNow();

  int fullWidth = 0;
  int fullHeight = 0;
  int heightWithoutCancel = 0;
  BOOL cancelled = FALSE;
};
