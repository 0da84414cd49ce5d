// CFileDialogScript: answers file dialogs from a queue and records what they showed, for tests.
// While one lives it is the process's file-dialog handler (AfxGetFileName, so CFileDialog and
// direct callers alike). With the queue empty a dialog is cancelled. A scripted dialog shows
// nothing: neither the hook nor OnInitDialog runs.
#pragma once

#include "classlib/String.h"

#include <commdlg.h>

#include <deque>
#include <mutex>
#include <vector>

class CFileDialogScript {
 public:
  CFileDialogScript();
  ~CFileDialogScript();
  CFileDialogScript(const CFileDialogScript&) = delete;
  CFileDialogScript& operator=(const CFileDialogScript&) = delete;

  // The next dialog answers OK with this full path (and, when not 0, this filter index).
  CFileDialogScript& Answer(LPCTSTR pathName, DWORD nFilterIndex = 0);
  // The next dialog answers OK with several files of one folder, the way a multi-select dialog
  // returns them (one name is returned as one full path).
  CFileDialogScript& AnswerFiles(LPCTSTR folder, const std::vector<CString>& names);
  CFileDialogScript& Cancel();

  struct Shown {
    BOOL bOpen;
    HWND owner;
    CString title;
    DWORD flags;     // as given to the system: with OFN_EXPLORER | OFN_ENABLEHOOK for CFileDialog
    CString filter;  // "text|pattern|text|pattern|"
    DWORD filterIndex;
    CString initialDir;
    CString fileName;  // the initial name
    CString defExt;
    LPCSTR templateName;  // lpTemplateName (an integer resource id for numbered templates)
    DWORD maxFile;        // the size of the name buffer
    bool answered;        // false: the queue was empty or the answer did not fit (FALSE returned)
  };
  std::vector<Shown> GetShown() const;
  size_t PendingAnswers() const;

 private:
  struct Reply {
    bool ok;
    CString folder;
    std::vector<CString> names;  // one entry: folder is the whole path
    DWORD filterIndex;
  };
  static BOOL Handle(OPENFILENAMEA* pofn, BOOL bOpenFileDialog);
  BOOL Respond(OPENFILENAMEA* pofn, BOOL bOpenFileDialog);

  mutable std::mutex m_lock;
  std::deque<Reply> m_replies;
  std::vector<Shown> m_shown;
  CFileDialogScript* m_previousScript = nullptr;
  void* m_previousHandler = nullptr;
};
