// The job-file dialog of New, Open, Save As and New From File.
#include "TheDocument.h"

#include "DocumentText.h"
#include "JobFileOptions.h"

#include "resource.h"

namespace {

// Built once per process and kept.
const CString& JobFileFilter() {
  static const CString filter =
      CString("Pellorin Job Files") + "  (*.plj)|*.plj|" + ResourceText(IDS_ALL_FILES) + " (*.*)|*.*||";
  return filter;
}

constexpr DWORD SaveFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                            OFN_CREATEPROMPT;  // 0x280E
constexpr DWORD OpenFlags =
    OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;  // 0x180C

bool HasExtension(const CString& path) {
  int dot = path.ReverseFind('.');
  int slash = path.ReverseFind('\\');
  int alt = path.ReverseFind('/');
  if (alt > slash) slash = alt;
  return dot > slash;
}

}  // namespace

bool BrowseJobFile(CWnd* parent, const char* caption, bool saveMode, CString& path) {
  JobFileOptions& options = GetJobFileOptions();
  CString initialFolder = options.FilesPath;
  CString title(caption);
  CFileDialog dialog(saveMode ? FALSE : TRUE, nullptr, nullptr, saveMode ? SaveFlags : OpenFlags,
                     JobFileFilter(), parent);
  dialog.m_ofn.lpstrInitialDir = initialFolder.IsEmpty() ? nullptr : static_cast<LPCTSTR>(initialFolder);
  dialog.m_ofn.lpstrTitle = title;
  if (dialog.DoModal() != IDOK) return false;

  path = dialog.GetPathName();
  CString name = dialog.GetFileName();
  if (saveMode && !HasExtension(name.IsEmpty() ? path : name)) path += ".plj";
  options.FilesPath = FolderOfPath(path);
  return true;
}
