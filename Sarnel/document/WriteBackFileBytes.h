// The bytes under a compound file that the program writes: a file whose writes are gathered in memory
// and reach the disk in large runs.
//
// The system's own compound-file layer talks to its file one sector at a time, and for every sector a
// stream grows by it reads a sector of the allocation table, asks the file's size, sets it and writes
// two table entries besides the data: about seven calls into the system per 4 KB. Writing a picture of
// 27 MB into a job took longer than making the picture. Here the region of the file being written is
// held in a window of memory; the table sectors a growing stream touches lie in the same region, so
// nearly every call is a copy, and the window goes to the disk when it moves on and on Close.
// A stream's data written in order into room freed before the window moves the window there once it
// has gone on for a while. Small writes before the window (the header, the directory and the tables of
// earlier streams, rewritten over and over) are held as single sectors until there are many of them.
// Reads that follow on from the one before are served from a read-ahead buffer.
#pragma once

#include <objidl.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

class WriteBackFileBytes final : public ILockBytes {
 public:
  // Opens an existing file for reading and writing with the given sharing (FILE_SHARE_*).
  static HRESULT Open(const char* path, DWORD share, WriteBackFileBytes** bytes);
  // Takes over an open file handle; for files opened in other ways.
  static WriteBackFileBytes* OnHandle(HANDLE file, const char* path);

  // Writes out what is held and closes the file. The written bytes are on disk (or in the system's
  // cache) when this answers S_OK; a failure to write them is this call's answer, so a caller that
  // must know the file is whole asks here, after the storage on top has been released. Later calls
  // answer STG_E_REVERTED.
  HRESULT Close();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // ILockBytes
  HRESULT STDMETHODCALLTYPE ReadAt(ULARGE_INTEGER offset, void* data, ULONG count, ULONG* read) override;
  HRESULT STDMETHODCALLTYPE WriteAt(ULARGE_INTEGER offset, const void* data, ULONG count,
                                    ULONG* written) override;
  HRESULT STDMETHODCALLTYPE Flush() override;
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override;
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override;
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;

 private:
  WriteBackFileBytes(HANDLE file, const char* path, uint64_t size);
  ~WriteBackFileBytes();
  WriteBackFileBytes(const WriteBackFileBytes&) = delete;
  WriteBackFileBytes& operator=(const WriteBackFileBytes&) = delete;

  HRESULT ReadFromFile(uint64_t offset, uint8_t* data, uint64_t count);
  // The bytes outside the window as the storage sees them: the file's, with the held sectors over them.
  HRESULT ReadCurrent(uint64_t offset, uint8_t* data, uint64_t count);
  // Copies between data at offset and the held sectors where they meet, into them or out of them.
  void CopyHeld(uint64_t offset, uint8_t* data, uint64_t count, bool intoHeld);
  HRESULT WriteToFile(uint64_t offset, const uint8_t* data, uint64_t count);
  HRESULT ReadOutsideWindow(uint64_t offset, uint8_t* data, uint64_t count);
  HRESULT WriteOutsideWindow(uint64_t offset, const uint8_t* data, uint64_t count);
  HRESULT MoveWindowTo(uint64_t offset);
  // Everything held goes to the file.
  HRESULT WriteBack();
  HRESULT FlushWindow();
  HRESULT HoldSectors(uint64_t offset, const uint8_t* data, uint64_t count);
  HRESULT FlushHeldSectors();
  HRESULT ExtendFile();
  void CopyIntoReadAhead(uint64_t offset, const uint8_t* data, uint64_t count);

  LONG refcount = 1;
  CRITICAL_SECTION lock;
  HANDLE file;
  std::wstring name;
  uint64_t size;      // what the storage on top sees
  uint64_t fileSize;  // what the file on disk holds

  // The window mirrors [windowStart, windowStart + capacity) of the file as the storage sees it; bytes
  // past the end read as zeros. [dirtyBegin, dirtyEnd) is what the disk has not got yet.
  uint8_t* window = nullptr;
  uint64_t windowStart = 0;
  uint64_t dirtyBegin = 0;
  uint64_t dirtyEnd = 0;
  // Where the last write of a sector or more ended: a stream's data written in order continues there.
  uint64_t lastDataEnd = UINT64_MAX;
  // How far such writes before the window have gone on in a row.
  uint64_t outsideRun = 0;

  // Sectors outside the window that the disk has not got yet, by their offset.
  std::map<uint64_t, std::unique_ptr<uint8_t[]>> held;

  // Bytes read ahead from outside the window: [aheadStart, aheadStart + aheadCount).
  uint8_t* ahead = nullptr;
  uint64_t aheadStart = 0;
  uint64_t aheadCount = 0;
  uint64_t lastReadEnd = UINT64_MAX;
};
