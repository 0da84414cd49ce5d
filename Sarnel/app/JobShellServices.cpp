#include "JobShellServices.h"

#include "NotesDlg.h"
#include "Options.h"
#include "PropertiesDlg.h"

bool JobShellServices::EditNotes(CWnd* owner, CString& text, bool editable) {
  CNotesDlg dialog(text, editable, owner);
  if (dialog.DoModal() != IDOK) return false;
  text = dialog.text;
  return true;
}

bool JobShellServices::EditProperties(CWnd* owner, JobPropertiesValues& values) {
  CPropertiesDlg dialog(owner);
  dialog.indexed = values.indexed;
  dialog.primaryFirst = values.primaryFirst;
  dialog.storedSize = values.storedSizeKilobytes;
  dialog.previewSize = values.draftSizeKilobytes;
  dialog.text = values.text;
  if (dialog.DoModal() != IDOK) return false;
  values.indexed = dialog.indexed;
  values.primaryFirst = dialog.primaryFirst;
  values.storedSizeKilobytes = dialog.storedSize;
  values.draftSizeKilobytes = dialog.previewSize;
  return true;
}

CString JobShellServices::GetImageEditor() { return GetOptions().EditImageEXE; }

void InstallJobShellServices() {
  static JobShellServices services;
  SetShellServices(&services);
}
