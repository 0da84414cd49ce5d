// The shell's side of what the document needs from it: the Notes and Properties dialogs and the
// image-editor option.
#pragma once

#include "ShellServices.h"

class JobShellServices : public ShellServices {
 public:
  bool EditNotes(CWnd* owner, CString& text, bool editable) override;
  bool EditProperties(CWnd* owner, JobPropertiesValues& values) override;
  CString GetImageEditor() override;
};

// Installs the one instance of the process for the document.
void InstallJobShellServices();
