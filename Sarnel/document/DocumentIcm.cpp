// The job's colour space: a standard colour space by number, or an embedded ICC profile kept byte for
// byte in the stream "@ICM" of "@Images-Individual" (older jobs hold it at the root). A profile moves
// between its file, a temporary file, the job and a sink in blocks, never whole in memory. Every
// access to the job's "@ICM" streams holds the image-storage lock: the import worker opens the same
// storage from its thread, and an opening that met its own would find no profile.
#include "TheDocument.h"

#include "ColorManagementSettings.h"
#include "MyException.h"
#include "PathHelpers.h"
#include "StoragePointers.h"

#include "resource.h"

#include <memory>
#include <new>

namespace {

constexpr const char* IcmPlace = "DocumentIcm";
constexpr ULONG BlockSize = 0x40000;
constexpr int32_t EmbeddedProfile = -2;
constexpr int32_t NoColorSpace = -1;

[[noreturn]] void ThrowLastError(int line) {
  throw CMyException(HRESULT_FROM_WIN32(GetLastError()), "HRESULT_FROM_WIN32(GetLastError())", IcmPlace,
                     line);
}

void ThrowIfFailed(HRESULT hr, int line) {
  if (FAILED(hr)) throw CMyException(hr, "hr", IcmPlace, line);
}

// A temporary profile file: closed and deleted when it is dropped before the record takes it.
class TemporaryProfile {
 public:
  TemporaryProfile() {
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0) ThrowLastError(61);
    if (length > MAX_PATH - 1) throw CMyException(CO_E_PATHTOOLONG, "CO_E_PATHTOOLONG", IcmPlace, 62);
    for (int attempt = 0;; ++attempt) {
      char name[MAX_PATH + 1] = {};
      if (GetTempFileNameA(folder, "~qm", 0, name) == 0) ThrowLastError(65);
      handle = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
      if (handle != INVALID_HANDLE_VALUE) {
        path = name;
        return;
      }
      const DWORD error = GetLastError();
      DeleteFileA(name);
      if (attempt == 2) {
        SetLastError(error);
        ThrowLastError(70);
      }
    }
  }
  ~TemporaryProfile() { Drop(); }
  TemporaryProfile(const TemporaryProfile&) = delete;
  TemporaryProfile& operator=(const TemporaryProfile&) = delete;

  void Write(const void* bytes, DWORD count, int line) {
    DWORD written = 0;
    if (!WriteFile(handle, bytes, count, &written, nullptr) || written != count) ThrowLastError(line);
  }
  // Hands the file over; it is no longer deleted here.
  void Release(CString& outPath, HANDLE& outHandle) {
    outPath = path;
    outHandle = handle;
    path.Empty();
    handle = INVALID_HANDLE_VALUE;
  }
  void Drop() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
    if (!path.IsEmpty()) DeleteFileA(path);
    path.Empty();
  }

 private:
  CString path;
  HANDLE handle = INVALID_HANDLE_VALUE;
};

std::unique_ptr<char[]> NewBlock() { return std::unique_ptr<char[]>(new char[BlockSize]); }

}  // namespace

CTheDocument::STREAM_IN::STREAM_IN(HANDLE file) : file(file) {
  LARGE_INTEGER length = {};
  if (!GetFileSizeEx(file, &length)) ThrowLastError(337);
  // The profile's size is kept in 32 bits: a larger file would be copied cut short.
  if (length.QuadPart >= 0x100000000LL)
    throw CMyException(HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE),
                       "The colour profile file is too large (4 GB or more).");
  size = static_cast<uint32_t>(length.QuadPart);
  LARGE_INTEGER start = {};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) ThrowLastError(339);
}

bool CTheDocument::STREAM_IN::Read(void* buffer, uint32_t& count) {
  const uint32_t wanted = count < size - position ? count : size - position;
  count = 0;
  if (wanted == 0) return true;
  DWORD got = 0;
  if (!ReadFile(file, buffer, wanted, &got, nullptr)) return false;
  position += got;
  count = got;
  return true;
}

void CTheDocument::ResetColorProfile(int) {
  icmState = 0;
  icmSpace = 0;
  if (icmFile != INVALID_HANDLE_VALUE) {
    CloseHandle(icmFile);
    if (!icmFilePath.IsEmpty()) DeleteFileA(icmFilePath);
  }
  icmFile = INVALID_HANDLE_VALUE;
  icmFilePath.Empty();
}

void CTheDocument::StoreColorProfile(int32_t space, const CString& path, HANDLE file) {
  ResetColorProfile(-2);
  icmSpace = space;
  icmFilePath = path;
  icmFile = file;
  icmState = 2;
}

int32_t CTheDocument::GetColorProfileState(int id) {
  CSingleLock lock(&imageStorageLock, TRUE);
  if (icmState != 0 || storage == nullptr) return icmSpace;
  icmSpace = 0;
  if (StorageHasStorage(storage, "@Images-Individual")) {
    IStoragePtr section(OpenChildStorage(storage, "@Images-Individual", false), false);
    if (StorageHasStream(section, "@ICM")) {
      IStreamPtr stream(OpenChildStream(section, "@ICM", false), false);
      unsigned char head[5] = {};
      ULONG got = 0;
      ThrowIfFailed(stream->Read(head, sizeof(head), &got), 389);
      icmSpace = 0;
      if (got >= 4) std::memcpy(&icmSpace, head, 4);
      if (icmSpace == EmbeddedProfile && got < 5) icmSpace = 0;
      icmState = 1;
      return icmSpace;
    }
  }
  if (LoadLegacyColorProfile(id)) return icmSpace;
  icmState = 1;
  icmSpace = 0;
  return icmSpace;
}

bool CTheDocument::LoadLegacyColorProfile(int) {
  CSingleLock lock(&imageStorageLock, TRUE);
  if (!StorageHasStream(storage, "@ICM")) return false;
  IStreamPtr stream(OpenChildStream(storage, "@ICM", false), false);
  unsigned char head[5] = {};
  ULONG got = 0;
  ThrowIfFailed(stream->Read(head, sizeof(head), &got), 436);
  int32_t space = 0;
  if (got >= 4) std::memcpy(&space, head, 4);
  if (space == EmbeddedProfile && got < 5) space = 0;
  if (space != EmbeddedProfile) {
    StoreColorProfile(space, CString(), INVALID_HANDLE_VALUE);
    return true;
  }
  LARGE_INTEGER back = {};
  back.QuadPart = -1;
  ThrowIfFailed(stream->Seek(back, STREAM_SEEK_CUR, nullptr), 450);
  TemporaryProfile temporary;
  std::unique_ptr<char[]> block = NewBlock();
  for (;;) {
    ULONG count = 0;
    ThrowIfFailed(stream->Read(block.get(), BlockSize, &count), 461);
    if (count == 0) break;
    temporary.Write(block.get(), count, 465);
  }
  CString path;
  HANDLE file = INVALID_HANDLE_VALUE;
  temporary.Release(path, file);
  StoreColorProfile(space, path, file);
  return true;
}

void CTheDocument::SaveColorProfile(int) {
  if (icmState != 2) return;
  CSingleLock lock(&imageStorageLock, TRUE);
  IStoragePtr section(OpenChildStorage(storage, "@Images-Individual", true), false);
  try {
    IStreamPtr stream(OpenChildStream(section, "@ICM", true), false);
    LARGE_INTEGER start = {};
    ThrowIfFailed(stream->Seek(start, STREAM_SEEK_SET, nullptr), 122);
    const bool embedded = icmSpace == EmbeddedProfile && icmFile != INVALID_HANDLE_VALUE;
    const int32_t value = icmSpace == EmbeddedProfile && !embedded ? 0 : icmSpace;
    ULONG written = 0;
    ThrowIfFailed(stream->Write(&value, 4, &written), 122);
    if (written != 4) throw CMyException(STG_E_MEDIUMFULL, "hr", IcmPlace, 122);
    if (embedded) {
      LARGE_INTEGER zero = {};
      if (!SetFilePointerEx(icmFile, zero, nullptr, FILE_BEGIN)) ThrowLastError(81);
      std::unique_ptr<char[]> block = NewBlock();
      for (;;) {
        DWORD count = 0;
        if (!ReadFile(icmFile, block.get(), BlockSize, &count, nullptr)) ThrowLastError(132);
        if (count == 0) break;
        ThrowIfFailed(stream->Write(block.get(), count, &written), 136);
        if (written != count) throw CMyException(STG_E_MEDIUMFULL, "hr", IcmPlace, 136);
      }
      ULARGE_INTEGER end = {};
      LARGE_INTEGER none = {};
      ThrowIfFailed(stream->Seek(none, STREAM_SEEK_CUR, &end), 145);
      ThrowIfFailed(stream->SetSize(end), 147);
    }
  } catch (...) {
    StorageDestroyElement(section, "@ICM");
    throw;
  }
  // The root stream of older jobs has been replaced.
  StorageDestroyElement(storage, "@ICM");
  // The record counts as saved only once the whole save has succeeded (CommitSavedSections).
}

bool CTheDocument::ReadColorProfile(ColorProfileStreamOut& out, int id) {
  CSingleLock lock(&imageStorageLock, TRUE);
  if (GetColorProfileState(id) != EmbeddedProfile) return false;
  std::unique_ptr<char[]> block = NewBlock();
  if (icmState == 1) {
    IStoragePtr section(OpenChildStorage(storage, "@Images-Individual", false), false);
    IStreamPtr stream(OpenChildStream(section, "@ICM", false), false);
    LARGE_INTEGER offset = {};
    offset.QuadPart = 4;
    ThrowIfFailed(stream->Seek(offset, STREAM_SEEK_SET, nullptr), 498);
    bool passed = false;
    for (;;) {
      ULONG count = 0;
      ThrowIfFailed(stream->Read(block.get(), BlockSize, &count), 513);
      if (count == 0) return passed;
      if (!out.Write(block.get(), count)) return false;
      passed = true;
    }
  }
  if (icmState == 2) {
    LARGE_INTEGER zero = {};
    if (!SetFilePointerEx(icmFile, zero, nullptr, FILE_BEGIN)) ThrowLastError(81);
    for (;;) {
      DWORD count = 0;
      if (!ReadFile(icmFile, block.get(), BlockSize, &count, nullptr)) ThrowLastError(542);
      if (count == 0) return true;
      if (!out.Write(block.get(), count)) return false;
    }
  }
  throw CMyException(E_UNEXPECTED, "E_UNEXPECTED", IcmPlace, 580);
}

bool CTheDocument::SetColorSpace(int32_t space, bool markDirty, int) {
  if (space == 0 || space == EmbeddedProfile) return false;
  if (icmState != 0 && icmSpace == space) return true;
  StoreColorProfile(space, CString(), INVALID_HANDLE_VALUE);
  if (markDirty) dirty = true;
  return true;
}

bool CTheDocument::SetColorProfileFile(const char* path, bool markDirty, int) {
  CString absolute = path != nullptr ? path : "";
  if (absolute.IsEmpty() || !MakePathAbsolute(absolute)) return false;
  HANDLE source = CreateFileA(absolute, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (source == INVALID_HANDLE_VALUE) return false;
  struct CloseSource {
    HANDLE handle;
    ~CloseSource() { CloseHandle(handle); }
  } closer{source};

  STREAM_IN input(source);
  TemporaryProfile temporary;
  std::unique_ptr<char[]> block = NewBlock();
  uint64_t total = 0;
  for (;;) {
    uint32_t count = BlockSize;
    if (!input.Read(block.get(), count)) {
      const DWORD error = GetLastError();
      temporary.Drop();
      SetLastError(error);
      return false;
    }
    if (count == 0) break;
    temporary.Write(block.get(), count, 286);
    total += count;
  }
  // An empty profile is not a profile.
  if (total == 0)
    throw CMyException(HRESULT_FROM_WIN32(ERROR_INVALID_PROFILE), "HRESULT_FROM_WIN32(2011L )", IcmPlace,
                       291);
  CString copyPath;
  HANDLE copy = INVALID_HANDLE_VALUE;
  temporary.Release(copyPath, copy);
  StoreColorProfile(EmbeddedProfile, copyPath, copy);
  if (markDirty) dirty = true;
  return true;
}

bool CTheDocument::SetDefaultColorSpace(bool markDirty, int id) {
  const zvk::ColorManagementSettings& settings = zvk::ColorManagementSettings::Current();
  if (settings.bitmapSpace == EmbeddedProfile)
    return SetColorProfileFile(settings.iccFile.c_str(), markDirty, id);
  return SetColorSpace(settings.bitmapSpace, markDirty, id);
}

void CTheDocument::CheckColorSpace(bool quiet, int id) {
  if (!quiet && !zvk::ColorManagementSettings::Current().enabled) return;
  bool reading = true;
  try {
    if (!quiet && GetColorProfileState(id) != 0) return;
    reading = false;
    SetDefaultColorSpace(!quiet && !readOnly, id);
    if (!quiet) AfxMessageBox(IDS_DEFAULT_COLOR_SPACE_SET, MB_OK | MB_ICONINFORMATION);
    return;
  } catch (CMemoryException*) {
    throw;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (CException* e) {
    e->Delete();
  } catch (const std::exception&) {
  }
  // Colour management stays off for this job until the user sets its colour space.
  SetColorSpace(NoColorSpace, false, id);
  AfxMessageBox(reading ? IDS_COLOR_SPACE_UNREADABLE : IDS_DEFAULT_COLOR_SPACE_FAILED,
                MB_OK | MB_ICONEXCLAMATION);
}

void CTheDocument::AfterOpen(bool quiet) { CheckColorSpace(quiet, -2); }
