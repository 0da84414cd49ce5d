// A user-interface thread that runs nothing but a busy dialog, so that the dialog stays painted and
// its Cancel button stays responsive while the user-interface thread is blocked.
#pragma once

#include "BusyDlg.h"

#include "classlib/ClassLib.h"

class CBusyThread : public CWinThread {
 public:
  CBusyThread();

  BOOL InitInstance() override;
  int ExitInstance() override;

  CBusyDlg dialog;
  CEvent ready;  // manual reset: set once the dialog exists
};
