// What the document needs of the application shell, which sits above it: the Notes and Properties
// dialogs, the image-editor option and the editor's run. The shell installs its implementation at
// start-up; without one the two commands do nothing and no image editor is known.
#pragma once

#include "ImageEditRun.h"

#include "classlib/ClassLib.h"

#include <cstdint>
#include <memory>

// What the Properties dialog shows and gives back. Sizes are whole kilobytes.
struct JobPropertiesValues {
  bool indexed = false;
  bool primaryFirst = false;
  int32_t storedSizeKilobytes = 0;
  int32_t draftSizeKilobytes = 0;
  CString text;  // shown only
};

class ShellServices {
 public:
  virtual ~ShellServices() = default;
  // True after OK, with the edited text.
  virtual bool EditNotes(CWnd* owner, CString& text, bool editable) = 0;
  // True after OK, with the dialog's values.
  virtual bool EditProperties(CWnd* owner, JobPropertiesValues& values) = 0;
  // The option "EditImageEXE".
  virtual CString GetImageEditor() = 0;
  // A new, empty run of the outside image editor; null when the program offers none.
  virtual std::unique_ptr<ImageEditRun> NewImageEditRun() { return nullptr; }
};

// The installed services (null when none); the installer keeps the object alive.
ShellServices* GetShellServices();
void SetShellServices(ShellServices* services);
