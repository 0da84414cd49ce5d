// One text of the busy stack, and the messages the busy dialog understands.
#pragma once

#include "classlib/ClassLib.h"

// wParam: the delay in milliseconds before the dialog shows; lParam: a BusyEntry*, or 0 to hide.
constexpr UINT WM_BUSY_UPDATE = 0x7FFF;
// Answers non-zero once Cancel was pressed.
constexpr UINT WM_BUSY_QUERYCANCEL = 0x7FFD;

struct BusyEntry {
  CString text;  // empty: the entry has ended
  BOOL cancellable = FALSE;
  BOOL cancelled = FALSE;  // the Cancel state saved when another entry was pushed above this one
  BOOL ownThread = FALSE;  // shown by the dialog thread's dialog
};
