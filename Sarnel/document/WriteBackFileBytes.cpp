#include "WriteBackFileBytes.h"

#include "JobStorage.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Large enough that a growing stream moves it rarely, small enough to cost little for every open file.
constexpr uint64_t WindowBytes = 16u << 20;
// One 4 KB sector of the allocation table maps 4 MB of sectors: the table sector that a growing stream
// keeps updating lies at most that far behind the data being written, so it stays in the window.
constexpr uint64_t WindowBackMargin = 4u << 20;
constexpr uint64_t SectorBytes = 4096;
constexpr uint64_t ReadAheadBytes = 1u << 20;
// Writes outside the window up to this size are held; a larger one goes to the file at once.
constexpr uint64_t LargestHeldWrite = 64u << 10;
// About 4 MB of held sectors: enough for the directory and tables of a job of thousands of streams.
constexpr size_t MostHeldSectors = 1024;
// The largest single call to the system; a DWORD count would allow more, the system's buffers less.
constexpr uint64_t LargestFileCall = 64u << 20;
// No window: every access goes to the file (after a window could not be loaded).
constexpr uint64_t NoWindow = UINT64_MAX - WindowBytes;

HRESULT FileError(HRESULT fallback) {
  const DWORD error = GetLastError();
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return STG_E_MEDIUMFULL;
    case ERROR_SHARING_VIOLATION:
      return STG_E_SHAREVIOLATION;
    case ERROR_LOCK_VIOLATION:
      return STG_E_LOCKVIOLATION;
    case ERROR_SUCCESS:
      return fallback;
    default:
      return HRESULT_FROM_WIN32(error);
  }
}

// Positioned reads and writes through an OVERLAPPED offset cost here about ten times a seek and a plain
// call, so the file is positioned first.
bool SeekTo(HANDLE file, uint64_t offset) {
  LARGE_INTEGER place = {};
  place.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, place, nullptr, FILE_BEGIN) != FALSE;
}

class Locked {
 public:
  explicit Locked(CRITICAL_SECTION& section) : section(section) { EnterCriticalSection(&section); }
  ~Locked() { LeaveCriticalSection(&section); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  CRITICAL_SECTION& section;
};

}  // namespace

HRESULT WriteBackFileBytes::Open(const char* path, DWORD share, WriteBackFileBytes** bytes) {
  if (bytes == nullptr) return E_POINTER;
  *bytes = nullptr;
  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FileError(STG_E_FILENOTFOUND);
  WriteBackFileBytes* opened = OnHandle(file, path);
  if (opened == nullptr) return E_OUTOFMEMORY;
  *bytes = opened;
  return S_OK;
}

WriteBackFileBytes* WriteBackFileBytes::OnHandle(HANDLE file, const char* path) {
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file, &size)) size.QuadPart = 0;
  auto* bytes = new WriteBackFileBytes(file, path, static_cast<uint64_t>(size.QuadPart));
  if (bytes->window == nullptr || bytes->ahead == nullptr) {
    bytes->Release();
    return nullptr;
  }
  return bytes;
}

WriteBackFileBytes::WriteBackFileBytes(HANDLE file, const char* path, uint64_t size)
    : file(file), name(ToWideName(path)), size(size), fileSize(size) {
  InitializeCriticalSection(&lock);
  window =
      static_cast<uint8_t*>(VirtualAlloc(nullptr, WindowBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ahead =
      static_cast<uint8_t*>(VirtualAlloc(nullptr, ReadAheadBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  // The window starts over the end of the file, where a new file grows.
  const uint64_t end = size / SectorBytes * SectorBytes;
  windowStart = end > WindowBackMargin ? end - WindowBackMargin : 0;
  if (window != nullptr && FAILED(ReadFromFile(windowStart, window, WindowBytes))) windowStart = NoWindow;
}

WriteBackFileBytes::~WriteBackFileBytes() {
  if (file != INVALID_HANDLE_VALUE) {
    // Nobody is left to hear of a failure here; callers that must know ask Close first.
    WriteBack();
    CloseHandle(file);
  }
  if (window != nullptr) VirtualFree(window, 0, MEM_RELEASE);
  if (ahead != nullptr) VirtualFree(ahead, 0, MEM_RELEASE);
  DeleteCriticalSection(&lock);
}

HRESULT WriteBackFileBytes::Close() {
  Locked guard(lock);
  if (file == INVALID_HANDLE_VALUE) return STG_E_REVERTED;
  HRESULT hr = WriteBack();
  if (!CloseHandle(file) && SUCCEEDED(hr)) hr = FileError(STG_E_WRITEFAULT);
  file = INVALID_HANDLE_VALUE;
  return hr;
}

HRESULT WriteBackFileBytes::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ILockBytes)) {
    *object = static_cast<ILockBytes*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG WriteBackFileBytes::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refcount)); }

ULONG WriteBackFileBytes::Release() {
  const LONG left = InterlockedDecrement(&refcount);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT WriteBackFileBytes::ReadFromFile(uint64_t offset, uint8_t* data, uint64_t count) {
  uint64_t left = offset < fileSize ? std::min(count, fileSize - offset) : 0;
  // What the file does not hold (past its end, or cut short by someone else) reads as zeros.
  uint64_t done = 0;
  while (done < left) {
    const DWORD part = static_cast<DWORD>(std::min(left - done, LargestFileCall));
    DWORD got = 0;
    if (!SeekTo(file, offset + done) || !ReadFile(file, data + done, part, &got, nullptr)) {
      std::memset(data, 0, count);
      return FileError(STG_E_READFAULT);
    }
    if (got == 0) break;
    done += got;
  }
  std::memset(data + done, 0, count - done);
  return S_OK;
}

void WriteBackFileBytes::CopyHeld(uint64_t offset, uint8_t* data, uint64_t count, bool intoHeld) {
  const uint64_t end = offset + count;
  for (auto it = held.lower_bound(offset / SectorBytes * SectorBytes); it != held.end() && it->first < end;
       ++it) {
    const uint64_t begin = std::max(offset, it->first);
    uint8_t* sector = it->second.get() + (begin - it->first);
    const size_t bytes = std::min(end, it->first + SectorBytes) - begin;
    if (intoHeld)
      std::memcpy(sector, data + (begin - offset), bytes);
    else
      std::memcpy(data + (begin - offset), sector, bytes);
  }
}

HRESULT WriteBackFileBytes::ReadCurrent(uint64_t offset, uint8_t* data, uint64_t count) {
  HRESULT hr = ReadFromFile(offset, data, count);
  if (SUCCEEDED(hr)) CopyHeld(offset, data, count, false);
  return hr;
}

HRESULT WriteBackFileBytes::WriteToFile(uint64_t offset, const uint8_t* data, uint64_t count) {
  while (count > 0) {
    const DWORD part = static_cast<DWORD>(std::min(count, LargestFileCall));
    DWORD done = 0;
    if (!SeekTo(file, offset) || !WriteFile(file, data, part, &done, nullptr))
      return FileError(STG_E_WRITEFAULT);
    if (done == 0) return STG_E_WRITEFAULT;
    offset += done;
    data += done;
    count -= done;
    fileSize = std::max(fileSize, offset);
  }
  return S_OK;
}

HRESULT WriteBackFileBytes::ReadOutsideWindow(uint64_t offset, uint8_t* data, uint64_t count) {
  if (offset >= aheadStart && offset + count <= aheadStart + aheadCount) {
    std::memcpy(data, ahead + (offset - aheadStart), count);
    return S_OK;
  }
  // Reading ahead pays only for a reader that goes on where it stopped: a stream read sector by sector.
  if (offset != lastReadEnd || count >= ReadAheadBytes) return ReadCurrent(offset, data, count);
  uint64_t end = std::min(offset + ReadAheadBytes, std::max(fileSize, offset + count));
  // The file is not up to date under the window.
  if (offset < windowStart) end = std::min(end, windowStart);
  if (end < offset + count) return ReadCurrent(offset, data, count);
  aheadCount = 0;
  HRESULT hr = ReadCurrent(offset, ahead, end - offset);
  if (FAILED(hr)) return hr;
  aheadStart = offset;
  aheadCount = end - offset;
  std::memcpy(data, ahead, count);
  return S_OK;
}

void WriteBackFileBytes::CopyIntoReadAhead(uint64_t offset, const uint8_t* data, uint64_t count) {
  const uint64_t begin = std::max(offset, aheadStart);
  const uint64_t end = std::min(offset + count, aheadStart + aheadCount);
  if (begin < end) std::memcpy(ahead + (begin - aheadStart), data + (begin - offset), end - begin);
}

HRESULT WriteBackFileBytes::ReadAt(ULARGE_INTEGER where, void* data, ULONG count, ULONG* read) {
  Locked guard(lock);
  if (read != nullptr) *read = 0;
  if (file == INVALID_HANDLE_VALUE) return STG_E_REVERTED;
  if (data == nullptr) return STG_E_INVALIDPOINTER;
  const uint64_t offset = where.QuadPart;
  if (offset >= size) return S_OK;
  const uint64_t length = std::min<uint64_t>(count, size - offset);
  const uint64_t end = offset + length;
  auto* out = static_cast<uint8_t*>(data);

  const uint64_t inBegin = std::clamp(windowStart, offset, end);
  const uint64_t inEnd = std::clamp(windowStart + WindowBytes, offset, end);
  HRESULT hr = S_OK;
  if (offset < inBegin) hr = ReadOutsideWindow(offset, out, inBegin - offset);
  if (SUCCEEDED(hr) && inBegin < inEnd)
    std::memcpy(out + (inBegin - offset), window + (inBegin - windowStart), inEnd - inBegin);
  if (SUCCEEDED(hr) && inEnd < end) hr = ReadOutsideWindow(inEnd, out + (inEnd - offset), end - inEnd);
  if (FAILED(hr)) return hr;
  lastReadEnd = end;
  if (read != nullptr) *read = static_cast<ULONG>(length);
  return S_OK;
}

HRESULT WriteBackFileBytes::FlushWindow() {
  if (windowStart == NoWindow) return S_OK;
  // Bytes cut off by SetSize are not written back.
  const uint64_t end = std::min(windowStart + dirtyEnd, std::max(size, windowStart));
  const uint64_t begin = windowStart + dirtyBegin;
  if (begin < end) {
    HRESULT hr = WriteToFile(begin, window + dirtyBegin, end - begin);
    if (FAILED(hr)) return hr;
  }
  dirtyBegin = dirtyEnd = 0;
  return S_OK;
}

HRESULT WriteBackFileBytes::MoveWindowTo(uint64_t offset) {
  HRESULT hr = FlushWindow();
  if (SUCCEEDED(hr)) hr = FlushHeldSectors();
  if (FAILED(hr)) return hr;
  const uint64_t sector = offset / SectorBytes * SectorBytes;
  const uint64_t start = sector > WindowBackMargin ? sector - WindowBackMargin : 0;
  // The file is up to date everywhere now, so the new window is read from it, except for the part the
  // old window already shows when it moves forward over itself.
  uint64_t kept = 0;
  if (windowStart != NoWindow && start > windowStart && start < windowStart + WindowBytes) {
    kept = windowStart + WindowBytes - start;
    std::memmove(window, window + (start - windowStart), kept);
  }
  hr = ReadFromFile(start + kept, window + kept, WindowBytes - kept);
  if (FAILED(hr)) {
    windowStart = NoWindow;
    return hr;
  }
  windowStart = start;
  return S_OK;
}

HRESULT WriteBackFileBytes::HoldSectors(uint64_t offset, const uint8_t* data, uint64_t count) {
  const uint64_t end = offset + count;
  for (uint64_t sector = offset / SectorBytes * SectorBytes; sector < end; sector += SectorBytes) {
    std::unique_ptr<uint8_t[]>& bytes = held[sector];
    if (!bytes) {
      bytes.reset(new (std::nothrow) uint8_t[SectorBytes]);
      if (!bytes) {
        held.erase(sector);
        return STG_E_INSUFFICIENTMEMORY;
      }
      // A sector written in part keeps the rest of what it holds.
      if (offset > sector || end < sector + SectorBytes) {
        HRESULT hr = ReadFromFile(sector, bytes.get(), SectorBytes);
        if (FAILED(hr)) {
          held.erase(sector);
          return hr;
        }
      }
    }
    const uint64_t begin = std::max(offset, sector);
    const uint64_t stop = std::min(end, sector + SectorBytes);
    std::memcpy(bytes.get() + (begin - sector), data + (begin - offset), stop - begin);
  }
  return held.size() > MostHeldSectors ? FlushHeldSectors() : S_OK;
}

HRESULT WriteBackFileBytes::FlushHeldSectors() {
  while (!held.empty()) {
    auto it = held.begin();
    // Bytes cut off by SetSize are not written back.
    const uint64_t stop = std::min(it->first + SectorBytes, size);
    if (it->first < stop) {
      HRESULT hr = WriteToFile(it->first, it->second.get(), stop - it->first);
      if (FAILED(hr)) return hr;
    }
    held.erase(it);
  }
  return S_OK;
}

HRESULT WriteBackFileBytes::WriteOutsideWindow(uint64_t offset, const uint8_t* data, uint64_t count) {
  if (count <= LargestHeldWrite) return HoldSectors(offset, data, count);
  HRESULT hr = WriteToFile(offset, data, count);
  if (FAILED(hr)) return hr;
  // The held sectors must show what the file now holds where the two meet.
  CopyHeld(offset, const_cast<uint8_t*>(data), count, true);
  return S_OK;
}

HRESULT WriteBackFileBytes::WriteAt(ULARGE_INTEGER where, const void* data, ULONG count, ULONG* written) {
  Locked guard(lock);
  if (written != nullptr) *written = 0;
  if (file == INVALID_HANDLE_VALUE) return STG_E_REVERTED;
  if (data == nullptr) return STG_E_INVALIDPOINTER;
  const uint64_t offset = where.QuadPart;
  const uint64_t end = offset + count;
  const auto* in = static_cast<const uint8_t*>(data);

  // A write past the window's end moves it: the file grows forward. So does a stream's data written
  // sector after sector into room freed before the window, once it has gone on longer than a held write
  // may be. The other writes before the window (the header, the directory and tables, rewritten as
  // streams grow; the directory's few sectors are rewritten in a row as well) are held.
  const bool fits = count <= WindowBytes - WindowBackMargin;
  const bool sectors = count >= SectorBytes;
  const bool outside = offset < windowStart || end > windowStart + WindowBytes;
  const bool grows = offset >= windowStart && end > windowStart + WindowBytes;
  outsideRun = !outside || !sectors ? 0 : (offset == lastDataEnd ? outsideRun : 0) + count;
  if (sectors) lastDataEnd = end;
  if (windowStart != NoWindow && fits && (grows || outsideRun > LargestHeldWrite)) {
    HRESULT hr = MoveWindowTo(offset);
    if (FAILED(hr)) return hr;
    outsideRun = 0;
  }
  // Window and held sectors never overlap: both are whole sectors, a write is split at the window, and
  // the window moves only once all held sectors are written.
  const uint64_t inBegin = std::clamp(windowStart, offset, end);
  const uint64_t inEnd = std::clamp(windowStart + WindowBytes, offset, end);
  if (offset < inBegin) {
    HRESULT hr = WriteOutsideWindow(offset, in, inBegin - offset);
    if (FAILED(hr)) return hr;
  }
  if (inBegin < inEnd) {
    std::memcpy(window + (inBegin - windowStart), in + (inBegin - offset), inEnd - inBegin);
    if (dirtyBegin == dirtyEnd) {
      dirtyBegin = inBegin - windowStart;
      dirtyEnd = inEnd - windowStart;
    } else {
      dirtyBegin = std::min(dirtyBegin, inBegin - windowStart);
      dirtyEnd = std::max(dirtyEnd, inEnd - windowStart);
    }
  }
  if (inEnd < end) {
    HRESULT hr = WriteOutsideWindow(inEnd, in + (inEnd - offset), end - inEnd);
    if (FAILED(hr)) return hr;
  }
  CopyIntoReadAhead(offset, in, count);
  size = std::max(size, end);
  if (written != nullptr) *written = count;
  return S_OK;
}

HRESULT WriteBackFileBytes::ExtendFile() {
  if (fileSize == size) return S_OK;
  LARGE_INTEGER end = {};
  end.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFilePointerEx(file, end, nullptr, FILE_BEGIN) || !SetEndOfFile(file))
    return FileError(STG_E_WRITEFAULT);
  fileSize = size;
  return S_OK;
}

HRESULT WriteBackFileBytes::Flush() {
  Locked guard(lock);
  // The compound-file layer flushes after nearly every change; writing back each time would cost what
  // holding the writes saves. What is held reaches the file when the window moves on and on Close,
  // which the callers that need the file whole ask for.
  return file == INVALID_HANDLE_VALUE ? STG_E_REVERTED : S_OK;
}

HRESULT WriteBackFileBytes::WriteBack() {
  HRESULT hr = FlushWindow();
  if (SUCCEEDED(hr)) hr = FlushHeldSectors();
  if (SUCCEEDED(hr)) hr = ExtendFile();
  return hr;
}

HRESULT WriteBackFileBytes::SetSize(ULARGE_INTEGER newSize) {
  Locked guard(lock);
  if (file == INVALID_HANDLE_VALUE) return STG_E_REVERTED;
  const uint64_t wanted = newSize.QuadPart;
  if (wanted < fileSize) {
    if (!SeekTo(file, wanted) || !SetEndOfFile(file)) return FileError(STG_E_WRITEFAULT);
    fileSize = wanted;
  }
  if (wanted < size) {
    // What lies past the new end reads as zeros, as it would from the file, and is never written.
    if (windowStart != NoWindow && wanted < windowStart + WindowBytes) {
      const uint64_t from = std::max(wanted, windowStart) - windowStart;
      std::memset(window + from, 0, WindowBytes - from);
      dirtyEnd = std::min(dirtyEnd, from);
      if (dirtyBegin >= dirtyEnd) dirtyBegin = dirtyEnd = 0;
    }
    if (aheadStart + aheadCount > wanted) aheadCount = 0;
    for (auto it = held.lower_bound(wanted / SectorBytes * SectorBytes); it != held.end();) {
      if (it->first >= wanted) {
        it = held.erase(it);
      } else {
        std::memset(it->second.get() + (wanted - it->first), 0, it->first + SectorBytes - wanted);
        ++it;
      }
    }
  }
  size = wanted;
  return S_OK;
}

HRESULT WriteBackFileBytes::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
  // The file is opened with the sharing its storage asks for; no ranges are locked besides.
  return STG_E_INVALIDFUNCTION;
}

HRESULT WriteBackFileBytes::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
  return STG_E_INVALIDFUNCTION;
}

HRESULT WriteBackFileBytes::Stat(STATSTG* stat, DWORD flags) {
  Locked guard(lock);
  if (stat == nullptr) return STG_E_INVALIDPOINTER;
  std::memset(stat, 0, sizeof(*stat));
  if (file == INVALID_HANDLE_VALUE) return STG_E_REVERTED;
  stat->type = STGTY_LOCKBYTES;
  stat->cbSize.QuadPart = size;
  stat->grfMode = STGM_READWRITE;
  // The compound-file layer asks for the size once for every sector it adds; the name and the times
  // only when it is asked about itself.
  if ((flags & STATFLAG_NONAME) == 0) {
    GetFileTime(file, &stat->ctime, &stat->atime, &stat->mtime);
    const size_t bytes = (name.size() + 1) * sizeof(wchar_t);
    stat->pwcsName = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (stat->pwcsName == nullptr) return STG_E_INSUFFICIENTMEMORY;
    std::memcpy(stat->pwcsName, name.c_str(), bytes);
  }
  return S_OK;
}
