#include "IcmCache.h"

// icm.h maps this name onto the system's own function; the program's takes a CString.
#undef GetColorDirectory
#include "ColorDirectory.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "IccProfileWriter.h"
#include "MyException.h"

namespace zvk {

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

HRESULT FromError(DWORD err) { return err ? HRESULT_FROM_WIN32(err) : E_FAIL; }

template <class Body>
HRESULT Guarded(Body&& body) {
  try {
    return body();
  } catch (const CMyException& e) {
    return e.code;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

// A new empty temporary file named "ICM....tmp" in the temporary folder.
HRESULT NewTemporaryFile(std::string& path) {
  std::vector<char> folder(MAX_PATH + 1);
  DWORD n = GetTempPathA(static_cast<DWORD>(folder.size()), folder.data());
  if (n > folder.size()) {
    folder.resize(n + 1);
    n = GetTempPathA(static_cast<DWORD>(folder.size()), folder.data());
  }
  if (n == 0 || n > folder.size()) return FromError(GetLastError());
  char name[MAX_PATH + 16] = {};
  if (!GetTempFileNameA(folder.data(), "ICM", 0, name)) return FromError(GetLastError());
  path = name;
  return S_OK;
}

// Writes blocks to a file, refusing more than the cache takes of an embedded profile.
class FileSink : public ColorProfileStreamOut {
 public:
  explicit FileSink(HANDLE file) : file_(file) {}
  bool Write(const void* block, size_t count) override {
    if (count > IcmCache::kMaxEmbeddedProfile - written_) {
      error_ = E_OUTOFMEMORY;
      return false;
    }
    DWORD done = 0;
    SetLastError(0);
    if (!WriteFile(file_, block, static_cast<DWORD>(count), &done, nullptr) || done != count) {
      error_ = FromError(GetLastError());
      return false;
    }
    written_ += count;
    return true;
  }
  HRESULT error_ = S_OK;
  size_t written_ = 0;

 private:
  HANDLE file_;
};

// Writes bytes to a new temporary file and keeps it open for reading only, so nobody changes it meanwhile.
HRESULT WriteHeldFile(const void* bytes, size_t size, std::string& path, HANDLE& held) {
  HRESULT hr = NewTemporaryFile(path);
  if (FAILED(hr)) return hr;
  HANDLE out = CreateFileA(
      path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, TRUNCATE_EXISTING,
      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (out == INVALID_HANDLE_VALUE) {
    hr = FromError(GetLastError());
    DeleteFileA(path.c_str());
    return hr;
  }
  FileSink sink(out);
  const bool written = sink.Write(bytes, size);
  CloseHandle(out);
  if (!written) {
    DeleteFileA(path.c_str());
    return sink.error_;
  }
  held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (held == INVALID_HANDLE_VALUE) {
    hr = FromError(GetLastError());
    DeleteFileA(path.c_str());
    return hr;
  }
  return S_OK;
}

void CloseAndDelete(std::string& path, HANDLE& held) {
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  held = INVALID_HANDLE_VALUE;
  if (!path.empty()) DeleteFileA(path.c_str());
  path.clear();
}

}  // namespace

IcmCache& IcmCache::Instance() {
  static IcmCache cache;
  return cache;
}

IcmCache::~IcmCache() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  users_ = 0;
  requests_ |= kAll;
  Purge();
}

std::string IcmCache::SrgbTargetPath() {
  std::string path = SystemSrgbProfilePath();
  if (path.empty()) {
    CString folder;
    if (GetColorDirectory(folder))
      path = std::string(static_cast<const char*>(folder)) + "\\" + GetSRGBProfileName();
  }
  return path;
}

HRESULT IcmCache::AddRef() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  ++users_;
  return S_OK;
}

HRESULT IcmCache::Release() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (users_ > 0 && --users_ == 0) Purge();
  return S_OK;
}

IcmCache::Entry* IcmCache::NamedEntry(int id) {
  if (auto found = byId_.find(id); found != byId_.end()) return found->second;
  const NamedRgbSpace* space = FindNamedRgbSpace(id);
  if (!space) throw CMyException(kUnknownKind, "unknown named colour space");
  const ColourSpaceDescription d = RgbSpaceToXYZ(*space);
  Entry* entry = nullptr;
  for (auto& e : entries_)
    if (e->namedId != 0 && std::memcmp(&e->description, &d, sizeof d) == 0) entry = e.get();
  if (!entry) {
    entries_.push_back(std::make_unique<Entry>());
    entry = entries_.back().get();
    entry->namedId = id;
    entry->description = d;
  }
  byId_[id] = entry;
  return entry;
}

HRESULT IcmCache::FileEntry(AProfile& profile, Entry** out) {
  std::string path;
  HRESULT hr = NewTemporaryFile(path);
  if (FAILED(hr)) return hr;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, TRUNCATE_EXISTING,
                            FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    hr = FromError(GetLastError());
    DeleteFileA(path.c_str());
    return hr;
  }
  FileSink sink(file);
  hr = profile.StreamProfile(sink);
  CloseHandle(file);
  if (FAILED(hr) || sink.written_ == 0) {
    DeleteFileA(path.c_str());
    return FAILED(sink.error_) ? sink.error_ : FAILED(hr) ? hr : E_FAIL;
  }
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (held == INVALID_HANDLE_VALUE) {
    hr = FromError(GetLastError());
    DeleteFileA(path.c_str());
    return hr;
  }
  entries_.push_back(std::make_unique<Entry>());
  Entry* entry = entries_.back().get();
  entry->file = path;
  entry->held = held;
  *out = entry;
  return S_OK;
}

HRESULT IcmCache::Conversion(Holder& holder, int intent, const std::string& target,
                             const IcmConversion** out) {
  *out = nullptr;
  if (holder.none) return S_FALSE;
  Entry* entry = holder.entry;
  const std::string targetKey = Lower(target);
  if (entry->namedId == 1 && Lower(SrgbTargetPath()) == targetKey) return S_OK;  // nothing to convert
  const auto key = std::make_pair(targetKey, intent);
  auto found = entry->conversions.find(key);
  if (found == entry->conversions.end()) {
    if (!entry->profile) {
      if (entry->namedId == 1)
        entry->profile = ColourProfile::FromFile(SrgbTargetPath());
      else if (entry->namedId != 0)
        entry->profile =
            ColourProfile::FromMemory(WriteRgbDisplayProfile(*FindNamedRgbSpace(entry->namedId)));
      else
        entry->profile = ColourProfile::FromFile(entry->file);
      if (!entry->profile) return FromError(GetLastError());
    }
    const ColourProfile targetProfile = ColourProfile::FromFile(target);
    if (!targetProfile) return FromError(GetLastError());
    IcmConversion conversion;
    conversion.transform = ColourTransform::Create(entry->profile, targetProfile, intent);
    // The table refers to the transform where the cache keeps it.
    auto made = std::make_unique<IcmConversion>(std::move(conversion));
    made->table = std::make_unique<ColourTable>(made->transform);
    found = entry->conversions.emplace(key, std::make_pair(std::move(made), 0)).first;
  }
  if (holder.uses.insert(key).second) ++found->second.second;
  *out = found->second.first.get();
  return S_OK;
}

HRESULT IcmCache::GetSourceConversion(int intent, const std::string& target, const IcmConversion** out) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  *out = nullptr;
  if (intent < 0 || intent > 3) return E_INVALIDARG;
  return Guarded([&] {
    if (!defaultSource_.entry) {
      defaultSource_.entry = NamedEntry(1);
      ++defaultSource_.entry->holders;
    }
    return Conversion(defaultSource_, intent, target, out);
  });
}

HRESULT IcmCache::GetDocumentConversion(ADocumentSpace& space, int intent, const std::string& target,
                                        const IcmConversion** out) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  *out = nullptr;
  if (intent < 0 || intent > 3) return E_INVALIDARG;
  return Guarded([&]() -> HRESULT {
    const auto key = std::make_pair(space.DocumentNumber(), space.SpaceId());
    Holder& holder = documents_[key];
    if (!holder.entry && !holder.none) {
      const int kind = space.ProfileKind();
      HRESULT hr = S_OK;
      if (kind >= 1 && kind <= kNamedRgbSpaceCount)
        holder.entry = NamedEntry(kind);
      else if (kind == -2)
        hr = FileEntry(space, &holder.entry);
      else if (kind == -1)
        holder.none = true;
      else
        hr = kUnknownKind;
      if (FAILED(hr)) {
        documents_.erase(key);
        return hr;
      }
      if (holder.entry) ++holder.entry->holders;
    }
    return Conversion(holder, intent, target, out);
  });
}

HRESULT IcmCache::GetDisplayProfile(std::string& path) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  path.clear();
  if (displayPath_.empty()) {
    HDC ic = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    std::vector<char> buffer(MAX_PATH);
    if (ic) {
      DWORD size = static_cast<DWORD>(buffer.size());
      if (!GetICMProfileA(ic, &size, buffer.data()) && GetLastError() == ERROR_INSUFFICIENT_BUFFER &&
          size > buffer.size() && size < 32768) {
        buffer.assign(size, 0);
        if (!GetICMProfileA(ic, &size, buffer.data())) buffer.assign(1, 0);
      }
      DeleteDC(ic);
    }
    buffer.back() = 0;
    std::string found = buffer.data();
    if (!found.empty() && GetFileAttributesA(found.c_str()) == INVALID_FILE_ATTRIBUTES) {
      const DWORD err = GetLastError();
      if (err != ERROR_FILE_NOT_FOUND && err != ERROR_PATH_NOT_FOUND && err != ERROR_NO_MORE_FILES)
        return FromError(err);
      found.clear();
    }
    // A display without a profile is taken to be sRGB.
    if (found.empty()) found = SrgbTargetPath();
    if (found.empty()) return kNoDisplayProfile;
    displayPath_ = found;
  }
  path = displayPath_;
  return S_OK;
}

HRESULT IcmCache::GetWorkingProfile(std::string& path) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  path.clear();
  if (workingPath_.empty()) {
    HRESULT hr = Guarded([&]() -> HRESULT {
      std::vector<uint8_t> bytes;
      const MscmsEntries* m = Mscms();
      if (m && m->CreateProfileFromLogColorSpaceA) {
        LOGCOLORSPACEA lcs{};
        lcs.lcsSignature = LCS_SIGNATURE;
        lcs.lcsVersion = 0x400;
        lcs.lcsSize = sizeof lcs;
        lcs.lcsCSType = LCS_WINDOWS_COLOR_SPACE;
        lcs.lcsIntent = LCS_GM_IMAGES;
        PBYTE made = nullptr;
        if (m->CreateProfileFromLogColorSpaceA(&lcs, &made) && made) {
          const size_t size = GlobalSize(made);
          bytes.assign(made, made + size);
        }
        if (made) GlobalFree(made);
      }
      // Where the system cannot make one, the working space is our own sRGB profile.
      if (bytes.empty()) bytes = WriteRgbDisplayProfile(*FindNamedRgbSpace(1));
      return WriteHeldFile(bytes.data(), bytes.size(), workingPath_, workingHeld_);
    });
    if (FAILED(hr)) {
      workingPath_.clear();
      return hr;
    }
  }
  path = workingPath_;
  return S_OK;
}

void IcmCache::ReleaseHolder(Holder& holder) {
  Entry* entry = holder.entry;
  if (!entry) return;
  for (const auto& key : holder.uses) {
    auto found = entry->conversions.find(key);
    if (found != entry->conversions.end() && --found->second.second <= 0) entry->conversions.erase(found);
  }
  holder.uses.clear();
  holder.entry = nullptr;
  if (--entry->holders <= 0) DropEntry(entry);
}

void IcmCache::DropEntry(Entry* entry) {
  for (auto it = byId_.begin(); it != byId_.end();)
    it = it->second == entry ? byId_.erase(it) : std::next(it);
  // The system keeps the profile's file open: close it before the file goes.
  entry->conversions.clear();
  entry->profile = ColourProfile();
  CloseAndDelete(entry->file, entry->held);
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [&](auto& e) { return e.get() == entry; }),
                 entries_.end());
}

void IcmCache::DropAllEntries() {
  for (auto& e : entries_) {
    e->conversions.clear();
    e->profile = ColourProfile();
    CloseAndDelete(e->file, e->held);
  }
  entries_.clear();
  byId_.clear();
  documents_.clear();
  defaultSource_ = Holder{};
  pendingDocuments_.clear();
}

void IcmCache::DropConversions() {
  for (auto& e : entries_) e->conversions.clear();
  for (auto& [key, holder] : documents_) holder.uses.clear();
  defaultSource_.uses.clear();
}

HRESULT IcmCache::Request(unsigned bits, int documentNumber) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  requests_ |= bits;
  if (documentNumber >= 0) pendingDocuments_.insert(documentNumber);
  Purge();
  return S_OK;
}

HRESULT IcmCache::InvalidateColorSpaces() { return Request(kSpaces); }
HRESULT IcmCache::InvalidateAll() { return Request(kAll); }
HRESULT IcmCache::InvalidateDisplay() { return Request(kDisplay); }
HRESULT IcmCache::ReleaseDocumentSpace(int documentNumber) { return Request(kDocuments, documentNumber); }

bool IcmCache::Purge() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (users_ > 0) return false;
  if (requests_ & (kAll | kDisplay)) displayPath_.clear();
  if (requests_ & kAll) {
    CloseAndDelete(workingPath_, workingHeld_);
    DropAllEntries();
  }
  if (requests_ & kSpaces) DropConversions();
  for (int n : pendingDocuments_)
    for (auto it = documents_.begin(); it != documents_.end();) {
      if (it->first.first == n) {
        ReleaseHolder(it->second);
        it = documents_.erase(it);
      } else {
        ++it;
      }
    }
  pendingDocuments_.clear();
  requests_ = 0;
  return true;
}

size_t IcmCache::EntryCount() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  return entries_.size();
}

size_t IcmCache::ConversionCount() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  size_t n = 0;
  for (auto& e : entries_) n += e->conversions.size();
  return n;
}

std::vector<std::string> IcmCache::TemporaryFiles() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  std::vector<std::string> files;
  for (auto& e : entries_)
    if (!e->file.empty()) files.push_back(e->file);
  if (!workingPath_.empty()) files.push_back(workingPath_);
  return files;
}

}  // namespace zvk
