// Helpers through which the job file's sections reach its storages and streams, and the careful way
// a finished job file replaces another: written beside it, committed and closed, then swapped in.
#pragma once

#include "classlib/ClassLib.h"

#include <objbase.h>
#include <string>

// Element names are narrow texts of the program; the platform takes wide ones.
std::wstring ToWideName(const char* name);

// True when a child storage (stream) of that name opens for reading; it is released again.
bool StorageHasStorage(IStorage* storage, const char* name);
bool StorageHasStream(IStorage* storage, const char* name);
// IStorage::DestroyElement; S_FALSE without a storage.
HRESULT StorageDestroyElement(IStorage* storage, const char* name);

// The compound-file format of new files: version 4 (4096-byte sectors) lets a job pass 2 GB.
constexpr int JobFileVersion3 = 3;
constexpr int JobFileVersion4 = 4;
// The major version in a compound file's header (3 or 4); 0 when the file cannot be read as one.
int ReadCompoundFileVersion(const char* path);
class WriteBackFileBytes;

// Creates a compound file of that version (STGM_CREATE is the caller's choice in mode) on bytes that
// gather its writes. A caller that must know every byte reached the file takes bytes and, after
// releasing the storage, asks WriteBackFileBytes::Close; its reference is the caller's to release.
HRESULT CreateCompoundFile(const char* path, DWORD mode, int version, IStorage** storage,
                           WriteBackFileBytes** bytes = nullptr);

// The folder of a path with its trailing backslash ("" for a bare name).
CString FolderOfPath(const char* path);
// A new, empty file of a unique name made by the system in the folder; false with the last error set.
bool MakeUniqueFile(const char* folder, const char* prefix, CString& path);

// A finished job file waiting beside the file it is to replace.
class BesideFile {
 public:
  // Creates an empty file of a unique name in the folder of target; a failure throws string 568 with
  // the system's reason.
  explicit BesideFile(const char* target);
  ~BesideFile();  // deletes the file unless it was swapped in or kept
  BesideFile(const BesideFile&) = delete;
  BesideFile& operator=(const BesideFile&) = delete;

  const CString& GetPath() const { return path; }
  // Makes sure the written bytes have reached the disk, then puts the file in place of the target in
  // one step, keeping the target's attributes and creation time where the system can. The failure's
  // HRESULT, or S_OK.
  HRESULT SwapIn();
  // Leaves the file on disk (it holds work that must survive).
  void Keep() { kept = true; }

 private:
  CString target;
  CString path;
  bool kept = false;
};
