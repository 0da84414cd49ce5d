// A long operation on the user-interface thread declares itself busy by keeping a CBusyIndicator
// for its duration: the main window's menus and Close are greyed, and the text of the innermost
// indicator shows in the busy dialog once its delay has passed, optionally with a Cancel button that
// the operation polls. Indicators nest; they live on the user-interface thread only.
#pragma once

#include "BusyEntry.h"

#include "classlib/ClassLib.h"

#include <cstdint>

class CBusyIndicator {
 public:
  // text: a string-table identifier (below 0x10000) or a text; an empty text shows nothing (and
  // then the own-thread and cancellable flags count as false). delay in seconds.
  CBusyIndicator(LPCTSTR text, int delaySeconds, BOOL ownThread, BOOL cancellable);
  CBusyIndicator(UINT textId, int delaySeconds, BOOL ownThread, BOOL cancellable)
      : CBusyIndicator(MAKEINTRESOURCEA(textId), delaySeconds, ownThread, cancellable) {}
  ~CBusyIndicator();
  CBusyIndicator(const CBusyIndicator&) = delete;
  CBusyIndicator& operator=(const CBusyIndicator&) = delete;

  // TRUE once the user pressed Cancel for this indicator's text.
  BOOL IsCancelled() const;
  // The 1-based place of this indicator's entry in the busy stack; 0 when it pushed none.
  int GetLevel() const { return level; }

  // The main window's busy switch: called with TRUE by every indicator that starts and with
  // FALSE when the last one ends. The main frame installs it; null switches nothing.
  using UserInterfaceSwitch = void (*)(BOOL busy);
  static void SetUserInterfaceSwitch(UserInterfaceSwitch busySwitch);

  // For checks: the number of live indicators, and the window of the dialog for an own-thread
  // flag (null while it has none).
  static int GetBusyCount();
  static HWND GetDialogWindow(BOOL ownThread);

  // The delay to send with a new entry pushed onto a stack that already holds entries (the earliest
  // deadline wins). May set shown and move the deadline.
  static DWORD NestedDelay(bool& shown, DWORD& deadline, DWORD now, DWORD delayMs);

 private:
  int level = 0;
};
