// The job file's life in the document: new, new from a copy, open, close, close and compact.
#include "TheDocument.h"

#include "BusyIndicator.h"
#include "CompoundFileCheck.h"
#include "DefaultAspectRatios.h"
#include "DefaultDetailSettings.h"
#include "DocumentEvents.h"
#include "DocumentText.h"
#include "FreezeGuard.h"
#include "JobFileOptions.h"
#include "MyException.h"
#include "WriteBackFileBytes.h"

#include "resource.h"

#include <memory>

namespace {

// A new job's temporary file belongs to it alone and holds nothing that an unsaved change could spoil,
// so it is written directly. A transacted storage keeps every change in a scratch file of 512-byte
// sectors, whatever the job's own sectors are, which made writing a picture into it about five times
// slower; a save writes a new file beside the job in any case.
constexpr DWORD CreateJobMode = STGM_DIRECT | STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE;
constexpr DWORD OpenWritableMode = STGM_TRANSACTED | STGM_SHARE_DENY_WRITE | STGM_READWRITE;
constexpr DWORD OpenFallbackReadMode = STGM_TRANSACTED | STGM_SHARE_DENY_WRITE | STGM_READ;
constexpr DWORD OpenReadOnlyMode = STGM_READ | STGM_SHARE_DENY_WRITE;

bool IsFileInUse(HRESULT hr) { return hr == STG_E_LOCKVIOLATION || hr == STG_E_SHAREVIOLATION; }

}  // namespace

CString CTheDocument::MakeTemporaryJobFile(int line) {
  CString path;
  // With no folder of its own yet, an unnamed job goes to the temporary folder, never into whatever
  // the current folder happens to be.
  const CString& filesPath = GetJobFileOptions().FilesPath;
  if (!filesPath.IsEmpty() && MakeUniqueFile(filesPath, "~qm", path)) return path;
  char folder[MAX_PATH] = {};
  if (GetTempPathA(MAX_PATH, folder) != 0 && MakeUniqueFile(folder, "~qm", path)) return path;
  throw CMyException(HRESULT_FROM_WIN32(GetLastError()), "HRESULT_FROM_WIN32(GetLastError())",
                     DocumentFilePlace, line);
}

bool CTheDocument::NewJob() {
  if (busy) return false;
  JobFileOptions& options = GetJobFileOptions();
  CString chosen;
  if (options.FileOnNew && !BrowseJobFile(AfxGetMainWnd(), ResourceText(IDS_NEW_FILE), true, chosen))
    return false;

  // The new job always starts in a file of its own; with "FileOnNew" the first save then puts it
  // in place of the chosen file in one step, so an existing file there is never cut short.
  CString temporary = MakeTemporaryJobFile(551);
  try {
    if (open && !CloseJob()) {
      DeleteFileA(temporary);
      return false;
    }
  } catch (...) {
    DeleteFileA(temporary);
    throw;
  }

  CSingleLock lock(&imageStorageLock, TRUE);
  ReleaseStorage();
  IStorage* created = nullptr;
  HRESULT hr = CreateCompoundFile(temporary, CreateJobMode, JobFileVersion4, &created);
  if (FAILED(hr) || created == nullptr) {
    DeleteFileA(temporary);
    throw CMyException(E_CANNOT_CREATE_FILE, FileErrorText(IDS_CANNOT_CREATE_FILE, FAILED(hr) ? hr : E_FAIL));
  }
  storage = created;
  readOnly = false;
  lock.Unlock();

  try {
    const DetailsSchema& defaults = GetDefaultDetailSettings();
    fileFields = defaults.file;
    folderFields = defaults.folders;
    itemFields = defaults.items;
    imageFields = defaults.images;
    folderTags = defaults.folderTags;
    itemTags = defaults.itemTags;
    imageTags = defaults.imageTags;
    aspectRatios = GetDefaultAspectRatios();
    AfterOpen(true);
  } catch (...) {
    ReleaseStorage();
    DeleteFileA(temporary);
    throw;
  }

  draftSize = options.DefaultDraftSize;
  primaryImageFirst = false;
  RememberGraphicNames();
  RememberMaskNames();
  RememberBackgroundNames();

  queueText.Empty();
  headerText.Empty();
  CoCreateGuid(&jobId);
  firstSave.Reset();
  lastSave.Reset();
  openCounter = 1;
  open = true;
  readOnly = false;
  temporaryPath = temporary;
  jobPath.Empty();

  if (options.FileOnNew) {
    jobPath = chosen;
    try {
      Save();
    } catch (...) {
      // The chosen file was not touched; the half-made job goes away with its own file.
      AbandonJob();
      throw;
    }
  }

  dirty = false;
  FileNewEvent newEvent;
  FireEvent(newEvent);
  QueuesSelectedEvent queues(queueText);
  FireEvent(queues);
  return true;
}

bool CTheDocument::NewJobFromFile(const char* sourcePath) {
  if (busy) return false;
  JobFileOptions& options = GetJobFileOptions();
  CString chosen;
  if (options.FileOnNew && !BrowseJobFile(AfxGetMainWnd(), ResourceText(IDS_NEW_FILE), true, chosen))
    return false;
  CString temporary;
  if (!options.FileOnNew) temporary = MakeTemporaryJobFile(729);

  try {
    if (open && !CloseJob()) {
      if (!temporary.IsEmpty()) DeleteFileA(temporary);
      return false;
    }
  } catch (...) {
    if (!temporary.IsEmpty()) DeleteFileA(temporary);
    throw;
  }

  CString target = options.FileOnNew ? chosen : temporary;
  if (options.FileOnNew) {
    // The copy replaces the chosen file only once it is complete.
    BesideFile beside(chosen);
    if (!CopyFileA(sourcePath, beside.GetPath(), FALSE))
      throw CMyException(HRESULT_FROM_WIN32(GetLastError()), "HRESULT_FROM_WIN32(GetLastError())",
                         DocumentFilePlace, 739);
    HRESULT hr = beside.SwapIn();
    if (FAILED(hr)) throw CMyException(hr, "HRESULT_FROM_WIN32(GetLastError())", DocumentFilePlace, 739);
  } else if (!CopyFileA(sourcePath, temporary, FALSE)) {
    DWORD error = GetLastError();
    DeleteFileA(temporary);
    throw CMyException(HRESULT_FROM_WIN32(error), "HRESULT_FROM_WIN32(GetLastError())", DocumentFilePlace,
                       739);
  }

  bool opened = false;
  try {
    opened = OpenJob(target, false);
  } catch (...) {
    if (!temporary.IsEmpty()) DeleteFileA(temporary);
    throw;
  }
  if (!opened) {
    if (!temporary.IsEmpty()) DeleteFileA(temporary);
    return false;
  }
  if (!options.FileOnNew) {
    temporaryPath = target;
    jobPath.Empty();
  }
  return true;
}

bool CTheDocument::OpenJob(const char* path, bool readOnlyRequested) {
  if (busy) return false;
  if (open && !CloseJob()) return false;

  CSingleLock lock(&imageStorageLock, TRUE);
  ReleaseStorage();
  IStorage* opened = nullptr;
  std::wstring wide = ToWideName(path);
  HRESULT hr;
  bool openedReadOnly;
  if (readOnlyRequested) {
    hr = OpenCheckedCompoundFile(wide.c_str(), OpenReadOnlyMode, &opened);
    openedReadOnly = true;
  } else {
    hr = OpenCheckedCompoundFile(wide.c_str(), OpenWritableMode, &opened);
    openedReadOnly = false;
    if (hr == STG_E_ACCESSDENIED) {
      if (opened != nullptr) opened->Release();
      opened = nullptr;
      hr = OpenCheckedCompoundFile(wide.c_str(), OpenFallbackReadMode, &opened);
      openedReadOnly = true;
    }
  }
  if (FAILED(hr) || opened == nullptr) {
    if (opened != nullptr) opened->Release();
    CString text = IsFileInUse(hr) ? ResourceText(IDS_FILE_IN_USE)
                                   : FileErrorText(IDS_CANNOT_OPEN_FILE, FAILED(hr) ? hr : E_FAIL);
    throw CMyException(E_CANNOT_OPEN_FILE, text);
  }

  CWaitCursor wait;
  CString previousTemplateFolder = attributeTexts[1];
  storage = opened;
  readOnly = openedReadOnly;
  try {
    LoadJob();
  } catch (...) {
    ReleaseStorage();
    throw;
  }
  lock.Unlock();

  ++openCounter;
  open = true;
  jobPath = path;
  temporaryPath.Empty();
  dirty = false;

  FileOpenEvent openEvent;
  FireEvent(openEvent);
  QueuesSelectedEvent queues(queueText);
  FireEvent(queues);
  if (attributeTexts[1].Compare(previousTemplateFolder) != 0) {
    TemplateFolderEvent folderEvent(attributeTexts[1]);
    FireEvent(folderEvent);
  }
  return true;
}

bool CTheDocument::CloseJob() {
  if (!open) return true;
  // The import worker writes into the storage: it must stay alive until the worker is done.
  if (busy) return false;
  FreezeGuard guard(*this, true);
  if (GetJobFileOptions().FileOnNew && dirty && !Save()) return false;

  chromaKeyUndo.Reset();
  FileClosingEvent closing;
  FireEvent(closing);
  ClearSections();
  ReleaseStorage();
  primaryImageFirst = false;
  open = false;
  jobPath.Empty();
  if (!temporaryPath.IsEmpty()) {
    DeleteFileA(temporaryPath);
    temporaryPath.Empty();
  }
  dirty = false;
  FileCloseEvent closed;
  FireEvent(closed);
  return true;
}

void CTheDocument::AbandonJob() {
  chromaKeyUndo.Reset();
  if (open) {
    FileClosingEvent closing;
    FireEvent(closing);
  }
  ClearSections();
  ReleaseStorage();
  bool wasOpen = open;
  open = false;
  jobPath.Empty();
  if (!temporaryPath.IsEmpty()) {
    DeleteFileA(temporaryPath);
    temporaryPath.Empty();
  }
  dirty = false;
  if (wasOpen) {
    FileCloseEvent closed;
    FireEvent(closed);
  }
}

bool CTheDocument::CloseAndCompact() {
  CString path = jobPath;
  if (!open || !CloseJob()) return false;

  CWaitCursor wait;
  CBusyIndicator indicator(IDS_COMPACTING_FILE, 1, TRUE, FALSE);
  CSingleLock lock(&imageStorageLock, TRUE);
  IStorage* source = nullptr;
  std::wstring wide = ToWideName(path);
  HRESULT hr = path.IsEmpty()
                   ? STG_E_FILENOTFOUND
                   : OpenCheckedCompoundFile(wide.c_str(), STGM_READ | STGM_SHARE_EXCLUSIVE, &source);
  if (FAILED(hr) || source == nullptr) {
    if (source != nullptr) source->Release();
    throw CMyException(E_CANNOT_OPEN_FILE, "E_CANNOT_OPEN_FILE", DocumentFilePlace, 1531);
  }

  // The compacted copy is made beside the job and replaces it only when it is complete.
  HRESULT result = S_OK;
  {
    std::unique_ptr<BesideFile> beside;
    try {
      beside = std::make_unique<BesideFile>(path);
    } catch (...) {
      source->Release();
      throw CMyException(E_CANNOT_CREATE_FILE, "E_CANNOT_CREATE_FILE", DocumentFilePlace, 1537);
    }
    IStorage* compacted = nullptr;
    WriteBackFileBytes* bytes = nullptr;
    hr = CreateCompoundFile(beside->GetPath(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE,
                            JobFileVersion4, &compacted, &bytes);
    if (FAILED(hr) || compacted == nullptr) {
      source->Release();
      throw CMyException(E_CANNOT_CREATE_FILE, "E_CANNOT_CREATE_FILE", DocumentFilePlace, 1537);
    }
    hr = source->CopyTo(0, nullptr, nullptr, compacted);
    if (SUCCEEDED(hr)) hr = compacted->Commit(STGC_DEFAULT);
    compacted->Release();
    const HRESULT closed = bytes->Close();
    bytes->Release();
    if (SUCCEEDED(hr)) hr = closed;
    source->Release();
    if (FAILED(hr)) throw CMyException(hr, "hr", DocumentFilePlace, 1541);
    result = beside->SwapIn();
  }
  if (FAILED(result)) throw CMyException(result, "hr", DocumentFilePlace, 1541);
  return true;
}

void CTheDocument::ClearSections() {
  ClearImages();
  ClearDetails();
  ClearNotes();
  ClearGraphics();
  ClearMasks();
  ClearBackgrounds();
  ClearColorProfiles();
}
