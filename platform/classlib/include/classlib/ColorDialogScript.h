// CColorDialogScript: answers colour dialogs from a queue and records what they showed, for
// tests. While one lives it is the process's colour-dialog handler; with the queue empty a
// dialog is cancelled.
#pragma once

#include "classlib/Base.h"

#include <commdlg.h>

#include <deque>
#include <mutex>
#include <vector>

class CColorDialogScript {
 public:
  CColorDialogScript();
  ~CColorDialogScript();
  CColorDialogScript(const CColorDialogScript&) = delete;
  CColorDialogScript& operator=(const CColorDialogScript&) = delete;

  CColorDialogScript& Answer(COLORREF color);  // OK with this colour
  CColorDialogScript& Cancel();

  struct Shown {
    HWND owner;
    COLORREF initial;  // rgbResult as given
    DWORD flags;
    bool answered;  // false when the queue was empty
  };
  std::vector<Shown> GetShown() const;
  size_t PendingAnswers() const;

 private:
  struct Reply {
    bool ok;
    COLORREF color;
  };
  static BOOL Handle(CHOOSECOLORA* pcc);

  mutable std::mutex m_lock;
  std::deque<Reply> m_replies;
  std::vector<Shown> m_shown;
  CColorDialogScript* m_previousScript = nullptr;
  void* m_previousHandler = nullptr;
};
