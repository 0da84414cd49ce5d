// The job's notes in a modal editor. Read-only when not editable: no OK button, and the text
// cannot be changed. After OK the edited text is in `text`.
#pragma once

#include "classlib/ClassLib.h"

class CNotesDlg : public CDialog {
 public:
  CNotesDlg(const CString& text, bool editable, CWnd* parent = nullptr);

  CString text;
  bool editable;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
};
