// Editing images in the outside editor: the document gathers the pictures, the shell's editor run
// edits them, and the images whose pictures changed take the new ones.
#include "TheDocument.h"

#include "ShellServices.h"

#include "resource.h"

#include <vector>

void CTheDocument::EditImages(const SharedStringList& ids) {
  const SharedStringList list = ids;
  // Every linked file is found before anything is written for the editor, so that a missing one stops
  // the command before it has started anything.
  std::vector<CString> files(static_cast<size_t>(list.GetCount()));
  for (int i = 0; i < list.GetCount(); ++i) {
    const ImageRecord& record = images.Get(list[i]);
    if (!record.IsLinked()) continue;
    files[i] = GetLinkedImagePath(record.id);
    if (files[i].IsEmpty()) {
      CString text;
      text.FormatMessage(IDS_IMAGE_FILE_NOT_FOUND, static_cast<LPCTSTR>(record.fileName));
      AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
      return;
    }
  }
  ShellServices* shell = GetShellServices();
  std::unique_ptr<ImageEditRun> run = shell != nullptr ? shell->NewImageEditRun() : nullptr;
  if (!run) return;
  for (int i = 0; i < list.GetCount(); ++i) {
    if (!files[i].IsEmpty())
      run->AddFile(files[i]);
    else
      run->AddBitmap(ReadImageBitmap(images.Get(list[i]).id, true));
  }
  if (!run->Edit(AfxGetMainWnd())) return;
  for (int i = 0; i < list.GetCount(); ++i)
    if (IBitmapPtr edited = run->ReloadIfChanged(i)) ReplaceImageBitmap(list[i], edited);
}
