// CFolderBrowseScript: answers folder choosers from a queue and records what they showed, for
// tests. While one lives it is the process's folder-chooser handler; with the queue empty a
// chooser is cancelled.
#pragma once

#include "classlib/String.h"

#include <deque>
#include <mutex>
#include <vector>

class CFolderBrowseScript {
 public:
  CFolderBrowseScript();
  ~CFolderBrowseScript();
  CFolderBrowseScript(const CFolderBrowseScript&) = delete;
  CFolderBrowseScript& operator=(const CFolderBrowseScript&) = delete;

  CFolderBrowseScript& Answer(LPCTSTR folder);  // OK with this folder
  CFolderBrowseScript& Cancel();

  struct Shown {
    HWND owner;
    CString initialFolder;
    CString title;
    bool answered;  // false when the queue was empty
  };
  std::vector<Shown> GetShown() const;
  size_t PendingAnswers() const;

 private:
  struct Reply {
    bool ok;
    CString folder;
  };
  static BOOL Handle(HWND hWndOwner, CString& result, LPCTSTR lpszInitialFolder, LPCTSTR lpszTitle);

  mutable std::mutex m_lock;
  std::deque<Reply> m_replies;
  std::vector<Shown> m_shown;
  CFolderBrowseScript* m_previousScript = nullptr;
  void* m_previousHandler = nullptr;
};
