// Saving the job. A save never rewrites the job file in place: the whole job is written into a new
// file beside it, committed and closed, and only then put in place of the old file in one step, so the
// last saved job survives a failure or a crash at any moment of the save. (Committing the open
// transacted storage in place was tried: a process killed during that commit here can leave a file
// that no longer opens.)
#include "TheDocument.h"

#include "BusyIndicator.h"
#include "CompoundFileCheck.h"
#include "DocumentEvents.h"
#include "DocumentText.h"
#include "FreezeGuard.h"
#include "JobFileOptions.h"
#include "MyException.h"
#include "WriteBackFileBytes.h"

#include "resource.h"

namespace {

constexpr DWORD OpenWritableMode = STGM_TRANSACTED | STGM_SHARE_DENY_WRITE | STGM_READWRITE;
constexpr DWORD WriteBesideMode = STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE;

// Points the document's storage at the file being written for the duration of a save, so that
// every section writes through the usual helpers; the job's own storage comes back afterwards.
class SaveTargetScope {
 public:
  SaveTargetScope(IStorage*& storage, bool& readOnly, IStorage* target)
      : storage(storage), readOnly(readOnly), saved(storage), savedReadOnly(readOnly) {
    storage = target;
    readOnly = false;
  }
  ~SaveTargetScope() {
    storage = saved;
    readOnly = savedReadOnly;
  }
  SaveTargetScope(const SaveTargetScope&) = delete;
  SaveTargetScope& operator=(const SaveTargetScope&) = delete;

 private:
  IStorage*& storage;
  bool& readOnly;
  IStorage* saved;
  bool savedReadOnly;
};

IStorage* OpenJobStorage(const CString& path, HRESULT& hr) {
  IStorage* opened = nullptr;
  std::wstring wide = ToWideName(path);
  hr = OpenCheckedCompoundFile(wide.c_str(), OpenWritableMode, &opened);
  if (FAILED(hr) && opened != nullptr) {
    opened->Release();
    opened = nullptr;
  }
  return opened;
}

}  // namespace

void CTheDocument::WriteJob() {
  CSingleLock lock(&imageStorageLock, TRUE);
  WriteHeader();
  WriteUsage();
  WriteAttributes();
  PurgeGraphics();
  PurgeMasks();
  PurgeBackgrounds();
  SaveImages();
  SaveDetails();
  SaveNotes();
  SaveGraphics();
  SaveMasks();
  SaveBackgrounds();
  SaveColorProfiles();
  HRESULT hr = storage->Commit(STGC_DEFAULT);
  if (FAILED(hr)) throw CMyException(hr, "hr", DocumentFilePlace, 1943);
}

void CTheDocument::WriteJobBeside(BesideFile& beside, int version) {
  CSingleLock lock(&imageStorageLock, TRUE);
  IStorage* target = nullptr;
  WriteBackFileBytes* bytes = nullptr;
  HRESULT hr = CreateCompoundFile(beside.GetPath(), WriteBesideMode, version, &target, &bytes);
  if (FAILED(hr) || target == nullptr)
    throw CMyException(E_CANNOT_SAVE_AS, FileErrorText(IDS_CANNOT_SAVE_FILE, hr));
  try {
    // Everything the job holds, also what this program version does not read, goes along.
    hr = storage->CopyTo(0, nullptr, nullptr, target);
    if (FAILED(hr)) throw CMyException(E_CANNOT_SAVE_AS, FileErrorText(IDS_CANNOT_SAVE_FILE, hr));
    SaveTargetScope scope(storage, readOnly, target);
    WriteJob();
  } catch (...) {
    target->Release();
    bytes->Release();
    throw;
  }
  target->Release();
  // The storage's last writes are still held by its bytes: only their close says the file is whole.
  hr = bytes->Close();
  bytes->Release();
  if (FAILED(hr)) throw CMyException(E_CANNOT_SAVE_AS, FileErrorText(IDS_CANNOT_SAVE_FILE, hr));
}

void CTheDocument::SaveToOwnPath() {
  CSingleLock lock(&imageStorageLock, TRUE);
  int version = ReadCompoundFileVersion(jobPath);
  if (version == 0) version = JobFileVersion4;
  BesideFile beside(jobPath);
  WriteJobBeside(beside, version);

  // The job file must be closed before another file can take its name.
  ReleaseStorage();
  HRESULT hr = beside.SwapIn();
  if (FAILED(hr)) {
    // The finished copy holds all the work: go on with it, so nothing is lost, and report.
    beside.Keep();
    HRESULT openResult = S_OK;
    IStorage* working = OpenJobStorage(beside.GetPath(), openResult);
    if (working == nullptr) {
      // The copy stays on disk and the message tells where; the job goes back to its last save.
      CString kept;
      AfxFormatString1(kept, IDS_UNSAVED_WORK_KEPT, beside.GetPath());
      HRESULT backResult = S_OK;
      IStorage* last = OpenJobStorage(!temporaryPath.IsEmpty() ? temporaryPath : jobPath, backResult);
      if (last != nullptr) {
        storage = last;
        readOnly = false;
      } else {
        AbandonJob();
      }
      throw CMyException(E_CANNOT_SAVE_AS, FileErrorText(IDS_CANNOT_SAVE_FILE, hr) + " " + kept);
    }
    storage = working;
    readOnly = false;
    if (!temporaryPath.IsEmpty()) DeleteFileA(temporaryPath);
    temporaryPath = beside.GetPath();
    throw CMyException(E_CANNOT_SAVE_AS, FileErrorText(IDS_CANNOT_SAVE_FILE, hr));
  }
  ReopenAfterSwap(jobPath);
  if (!temporaryPath.IsEmpty()) {
    DeleteFileA(temporaryPath);
    temporaryPath.Empty();
  }
}

void CTheDocument::ReopenAfterSwap(const CString& path) {
  CSingleLock lock(&imageStorageLock, TRUE);
  HRESULT hr = S_OK;
  IStorage* reopened = OpenJobStorage(path, hr);
  if (reopened == nullptr) {
    // The saved file is complete, but the job cannot go on without a storage.
    AbandonJob();
    throw CMyException(E_CANNOT_OPEN_FILE, FileErrorText(IDS_CANNOT_OPEN_FILE, hr));
  }
  storage = reopened;
  readOnly = false;
}

bool CTheDocument::Save() {
  if (busy) return false;
  if (!open) return false;
  // A read-only job is saved under another name; it becomes writable once the copy exists.
  if (readOnly) return SaveAs();
  // An unnamed job asks for its name, also with "FileOnNew" (a job made before the option was
  // switched on): an empty path would make a file in whatever the current folder is.
  if (jobPath.IsEmpty()) return SaveAs();

  return SaveInPlace();
}

bool CTheDocument::SaveInPlace() {
  FreezeGuard guard(*this, true);
  FileSavingEvent saving;
  FireEvent(saving);
  CWaitCursor wait;
  {
    CBusyIndicator indicator(IDS_SAVING_FILE, 1, TRUE, FALSE);
    SaveToOwnPath();
  }
  CommitSavedSections();
  dirty = false;
  FileSavedEvent saved;
  FireEvent(saved);
  return true;
}

bool CTheDocument::SaveAs() {
  if (busy) return false;
  if (!open) return false;
  CString chosen;
  if (!BrowseJobFile(AfxGetMainWnd(), ResourceText(IDS_NEW_FILE), true, chosen)) return false;

  if (!jobPath.IsEmpty() && chosen.CompareNoCase(jobPath) == 0) {
    jobPath = chosen;
    if (!readOnly) return Save();
    // The job's own file, opened read-only: save it in place all the same.
    return SaveInPlace();
  }

  FreezeGuard guard(*this, true);
  FileSavingAsEvent saving;
  FireEvent(saving);
  CWaitCursor wait;
  {
    CBusyIndicator indicator(IDS_SAVING_FILE, 1, TRUE, FALSE);
    // Save As writes the newer file format; the job's storage stays as it was until the new
    // file is in place and open.
    BesideFile beside(chosen);
    WriteJobBeside(beside, JobFileVersion4);
    HRESULT hr = beside.SwapIn();
    if (FAILED(hr)) throw CMyException(E_CANNOT_SAVE_AS, FileErrorText(IDS_CANNOT_SAVE_FILE, hr));
    CSingleLock lock(&imageStorageLock, TRUE);
    IStorage* reopened = OpenJobStorage(chosen, hr);
    if (reopened == nullptr) throw CMyException(E_CANNOT_SAVE_AS, FileErrorText(IDS_CANNOT_SAVE_FILE, hr));
    ReleaseStorage();
    storage = reopened;
    readOnly = false;
    if (!temporaryPath.IsEmpty()) {
      DeleteFileA(temporaryPath);
      temporaryPath.Empty();
    }
    jobPath = chosen;
  }
  CommitSavedSections();
  dirty = false;
  FileSavedAsEvent saved;
  FireEvent(saved);
  return true;
}

// Cleared only here, when the saved file is in place: a save that failed at any step (a section, the
// commit, the swap) leaves them marked, so the next save writes them again.
void CTheDocument::CommitSavedSections() {
  notesChanged = false;
  if (icmState == 2) icmState = 1;
}
