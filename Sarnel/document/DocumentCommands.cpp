// The File commands of the document and the question to save a changed job.
#include "TheDocument.h"

#include "DocumentText.h"
#include "FreezeGuard.h"
#include "JobFileOptions.h"

#include "resource.h"

namespace {

void ChangeToFolderOf(const CString& path) {
  CString folder = FolderOfPath(path);
  if (!folder.IsEmpty()) SetCurrentDirectoryA(folder);
}

void AddToRecentFiles(const CString& path) {
  CWinApp* app = AfxGetApp();
  if (app != nullptr && !path.IsEmpty()) app->AddToRecentFileList(path);
}

}  // namespace

bool CTheDocument::SaveModified() {
  if (!open) return true;
  if (busy) return false;
  FreezeGuard guard(*this, true);
  if (dirty && !GetJobFileOptions().FileOnNew) {
    switch (AfxMessageBox(IDS_SAVE_JOB_QUESTION, MB_YESNOCANCEL)) {
      case IDYES:
        return Save();
      case IDNO:
        return true;
      default:
        return false;
    }
  }
  return true;
}

void CTheDocument::OnFileNew() {
  RunFileCommand([this] {
    if (!SaveModified() || !NewJob()) return false;
    if (!jobPath.IsEmpty()) {
      ChangeToFolderOf(jobPath);
      AddToRecentFiles(jobPath);
    }
    return true;
  });
}

void CTheDocument::OnFileNewFromFile() {
  RunFileCommand([this] {
    if (!SaveModified()) return false;
    CString chosen;
    if (!BrowseJobFile(AfxGetMainWnd(), ResourceText(IDS_NEW_FILE), false, chosen)) return false;
    if (open && !CloseJob()) return false;
    if (!NewJobFromFile(chosen)) return false;
    ChangeToFolderOf(chosen);
    AfterOpen(false);
    return true;
  });
}

void CTheDocument::OnFileOpen() {
  RunFileCommand([this] {
    if (!SaveModified()) return false;
    CString chosen;
    if (!BrowseJobFile(AfxGetMainWnd(), ResourceText(IDS_OPEN_FILE), false, chosen)) return false;
    if (open && GetDisplayName().CompareNoCase(chosen) == 0) return false;
    if (open && !CloseJob()) return false;
    if (!OpenJob(chosen, false)) return false;
    ChangeToFolderOf(chosen);
    AfterOpen(false);
    if (readOnly) AfxMessageBox(IDS_FILE_READ_ONLY, MB_OK);
    AddToRecentFiles(chosen);
    return true;
  });
}

void CTheDocument::OnFileSave() {
  RunFileCommand([this] {
    if (busy || !Save()) return false;
    AddToRecentFiles(jobPath);
    return true;
  });
}

void CTheDocument::OnFileSaveAs() {
  RunFileCommand([this] {
    if (busy || !SaveAs()) return false;
    ChangeToFolderOf(jobPath);
    AddToRecentFiles(jobPath);
    return true;
  });
}

void CTheDocument::OnFileClose() {
  RunFileCommand([this] {
    if (!GetJobFileOptions().FileOnNew && !SaveModified()) return false;
    return CloseJob();
  });
}

void CTheDocument::OnFileCloseCompact() {
  RunFileCommand([this] {
    if (!GetJobFileOptions().FileOnNew && !SaveModified()) return false;
    return CloseAndCompact();
  });
}

CTheDocument* CTheDocument::OpenDocumentFile(const char* path) {
  CTheDocument* result = nullptr;
  CString wanted(path);
  RunFileCommand([&] {
    if (!GetJobFileOptions().FileOnNew && !SaveModified()) return false;
    if (open && GetDisplayName().CompareNoCase(wanted) == 0) {
      result = this;
      return false;
    }
    if (open && !CloseJob()) return false;
    if (!OpenJob(wanted, false)) return false;
    result = this;
    ChangeToFolderOf(wanted);
    AfterOpen(false);
    if (readOnly) AfxMessageBox(IDS_FILE_READ_ONLY, MB_OK);
    return true;
  });
  return result;
}
