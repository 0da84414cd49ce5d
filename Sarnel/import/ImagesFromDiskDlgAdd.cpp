// The three ways of filling the import list: a folder tree, a numbered file-name mask and a
// selection in the open dialog.
#include "ImagesFromDiskDlg.h"

#include "ImageFromDiskSettings.h"
#include "ImagesFromDiskMaskedDlg.h"
#include "PathHelpers.h"

#include "classlib/FolderBrowser.h"
#include "TheDocument.h"
#include "resource.h"

namespace {
constexpr DWORD SelectionBufferBytes = 49152;
}  // namespace

void CImagesFromDiskDlg::OnAddDirectory() {
  ImageFromDiskSettings& settings = ImageFromDiskSettings::Instance();
  CString title;
  title.LoadString(IDS_IMPORT_PATH);
  CString folder;
  if (!AfxBrowseForFolder(m_hWnd, folder, settings.path, title) || folder.IsEmpty()) return;
  settings.path = folder;
  CWaitCursor wait;
  std::vector<ImportCandidate> files = WalkFolderTree(folder);
  SortCandidates(files, settings.order, true);
  AddFiles(files, CString());
}

void CImagesFromDiskDlg::OnAddMask() {
  ImageFromDiskSettings& settings = ImageFromDiskSettings::Instance();
  CImagesFromDiskMaskedDlg mask(this, settings);
  if (mask.DoModal() != IDOK) return;
  if (document.IsIndexed() && settings.numberWidth == 0) {
    CString text;
    text.LoadString(IDS_IMPORT_NEEDS_WIDTH);
    AfxPrompt(m_hWnd, text, AfxGetAppName(), MB_ICONEXCLAMATION, IDS_IMPORT_NEEDS_WIDTH);
    return;
  }
  CWaitCursor wait;
  std::vector<ImportCandidate> files =
      FindMaskedFiles(settings.path, settings.prefix, settings.numberWidth, settings.suffix,
                      settings.extension, settings.firstNumber, settings.lastNumber);
  SortCandidates(files, settings.order, false);
  AddFiles(files, settings.path);
}

void CImagesFromDiskDlg::OnAddSelected() {
  ImageFromDiskSettings& settings = ImageFromDiskSettings::Instance();
  CString bitmaps;
  bitmaps.LoadString(IDS_BITMAP_FILES);
  CString all;
  all.LoadString(IDS_ALL_FILES);
  const CString filter =
      bitmaps + " (*.bmp;*.png;*.jpg;*.tif)|*.bmp;*.png;*.jpg;*.tif|" + all + " (*.*)|*.*||";
  CFileDialog dialog(
      TRUE, nullptr, nullptr,
      OFN_ALLOWMULTISELECT | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR,
      filter, this);
  CString title;
  title.LoadString(IDS_IMPORT_SELECTED);
  dialog.m_ofn.lpstrTitle = title;
  dialog.m_ofn.lpstrInitialDir = settings.path;
  std::vector<char> names(SelectionBufferBytes, '\0');
  dialog.m_ofn.lpstrFile = names.data();
  dialog.m_ofn.nMaxFile = SelectionBufferBytes;
  if (dialog.DoModal() != IDOK) return;

  std::vector<CString> paths;
  POSITION position = dialog.GetStartPosition();
  while (position != nullptr) paths.push_back(dialog.GetNextPathName(position));
  if (paths.empty()) return;
  // Every chosen file lies in the one folder the dialog shows.
  const CString folder = AppendBackslash(GetFolderPart(paths.front()));
  std::vector<ImportCandidate> files;
  for (const CString& path : paths) {
    const CString name = path.Left(folder.GetLength()).CompareNoCase(folder) == 0
                             ? path.Mid(folder.GetLength())
                             : GetFileNamePart(path);
    files.push_back({name, CString(), NumberOfFileName(name)});
  }
  settings.path = folder;
  SortCandidates(files, settings.order, true);
  AddFiles(files, folder);
}
