// The messages between the disk-import worker and its dialog. "Sent" ones are handled before the
// worker goes on; "posted" ones are followed by the worker waiting on the stop and answer events.
#pragma once

#include "classlib/ClassLib.h"

#include <cstdint>

enum : UINT {
  WM_IMPORT_FILE = WM_USER + 1,       // sent: ImportFileProgress, a file is being read
  WM_IMPORT_PERCENT = WM_USER + 2,    // sent: int32 percent of the current file
  WM_IMPORT_QUESTION = WM_USER + 3,   // posted: wParam ImportQuestion, lParam the path (CString)
  WM_IMPORT_IMAGE = WM_USER + 4,      // posted: ImportedImage ready
  WM_IMPORT_DONE_FILE = WM_USER + 5,  // sent: ImportFileProgress, a file is done with
  WM_IMPORT_FINISHED = WM_USER + 6,   // sent: int32 images handed over; every file was taken
  WM_IMPORT_STOPPED = WM_USER + 7,    // sent: int32 images handed over; the run ended early
};

enum ImportQuestion : WPARAM { MissingFile = 0, UnreadableFile = 1, InvalidNumber = 2 };

struct ImportFileProgress {
  CString path;
  int32_t index;
  int32_t count;
};
