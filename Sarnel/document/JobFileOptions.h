// The program-wide option values that the job file reads: whether every new job is named at once,
// the folder of the last job-file dialog, the draft size of new jobs and how drafts are reduced.
// The application shell loads them from the profile at start-up and stores what it writes back at
// exit; the document reads them and keeps the folder up to date in memory.
#pragma once

#include "classlib/ClassLib.h"

#include <cstdint>

struct JobFileOptions {
  bool FileOnNew = false;             // "FileOnNew": every job has a name from its creation
  CString FilesPath;                  // "FilesPath": folder of the last job-file dialog, with its backslash
  int32_t DefaultDraftSize = 524288;  // "DefaultDraftSize": bytes of a new job's draft bitmaps
  bool ResizeDraftOnly = false;       // "ResizeDraftOnly"
};

// The one instance of the process, built on first use.
JobFileOptions& GetJobFileOptions();
