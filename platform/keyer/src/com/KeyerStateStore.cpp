#include "KeyerStateStore.h"

#include <windows.h>
#include <bcrypt.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <mutex>

#include "keyer/StateFormat.h"

namespace {

std::mutex folderLock;
std::string folderOverride;
std::atomic<unsigned> temporaryCounter{0};

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  void Close() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_;
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Digest(const std::vector<uint8_t>& bytes) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
    throw KeyerStoreError("no SHA-256 provider");
  BCRYPT_HASH_HANDLE hash = nullptr;
  UCHAR digest[32] = {};
  NTSTATUS status = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0);
  if (BCRYPT_SUCCESS(status))
    status = BCryptHashData(hash, const_cast<PUCHAR>(bytes.data()), static_cast<ULONG>(bytes.size()), 0);
  if (BCRYPT_SUCCESS(status)) status = BCryptFinishHash(hash, digest, sizeof(digest), 0);
  if (hash) BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  if (!BCRYPT_SUCCESS(status)) throw KeyerStoreError("hashing the state failed");
  static const char hex[] = "0123456789abcdef";
  std::string text;
  for (UCHAR b : digest) {
    text += hex[b >> 4];
    text += hex[b & 15];
  }
  return text;
}

void MakeFolders(const std::string& folder) {
  // Each level in turn; an existing level is fine.
  for (size_t pos = folder.find('\\', 3);; pos = folder.find('\\', pos + 1)) {
    std::string level = folder.substr(0, pos);
    if (!CreateDirectoryA(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      throw KeyerStoreError("cannot create the keyer's folder " + level);
    DWORD attributes = GetFileAttributesA(level.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
      throw KeyerStoreError("not a folder: " + level);
    if (pos == std::string::npos) break;
  }
}

std::vector<uint8_t> ReadBounded(const std::string& path) {
  Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.ok()) throw KeyerStoreError("cannot open the keyer state " + path);
  if (GetFileType(file.get()) != FILE_TYPE_DISK) throw KeyerStoreError("not a file: " + path);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      size.QuadPart > static_cast<LONGLONG>(keyer::StateFormat::kMaxFileSize))
    throw KeyerStoreError("not a keyer state (size): " + path);
  std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size()))
    throw KeyerStoreError("cannot read the keyer state " + path);
  return bytes;
}

bool SameContent(const std::string& path, const std::vector<uint8_t>& bytes) {
  try {
    return ReadBounded(path) == bytes;
  } catch (const KeyerStoreError&) {
    return false;
  }
}

bool IsDeviceName(std::string name) {
  size_t dot = name.find('.');
  if (dot != std::string::npos) name.resize(dot);
  while (!name.empty() && (name.back() == ' ')) name.pop_back();
  name = Lower(name);
  static const char* reserved[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
  for (const char* r : reserved)
    if (name == r) return true;
  return name.size() == 4 && (name.compare(0, 3, "com") == 0 || name.compare(0, 3, "lpt") == 0) &&
         name[3] >= '0' && name[3] <= '9';
}

}  // namespace

void KeyerStateStore::SetFolderOverride(const char* folder) {
  std::lock_guard<std::mutex> lock(folderLock);
  folderOverride = folder ? folder : "";
}

std::string KeyerStateStore::Folder() {
  std::string folder;
  {
    std::lock_guard<std::mutex> lock(folderLock);
    folder = folderOverride;
  }
  if (folder.empty()) {
    char base[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                base)))
      throw KeyerStoreError("no local application-data folder");
    folder = std::string(base) + "\\Corvanith\\Pellorin\\Keyer";
  }
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  MakeFolders(folder);
  return folder;
}

std::string KeyerStateStore::Save(const std::vector<uint8_t>& bytes) {
  const std::string folder = Folder();
  const std::string name = Digest(bytes) + ".kst";
  const std::string path = folder + "\\" + name;
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (SameContent(path, bytes)) return path;
    throw KeyerStoreError("a different file holds the state's name " + path);
  }
  const std::string temporary = path + "." + std::to_string(GetCurrentProcessId()) + "." +
                                std::to_string(GetCurrentThreadId()) + "." +
                                std::to_string(++temporaryCounter) + ".tmp";
  {
    Handle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
    if (!file.ok()) throw KeyerStoreError("cannot write the keyer state " + temporary);
    DWORD written = 0;
    bool ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file.get());
    file.Close();
    if (!ok) {
      DeleteFileA(temporary.c_str());
      throw KeyerStoreError("cannot write the keyer state " + temporary);
    }
  }
  if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporary.c_str());
    // Another keyer may have written the same state in the meantime.
    if (SameContent(path, bytes)) return path;
    throw KeyerStoreError("cannot name the keyer state " + path);
  }
  return path;
}

bool KeyerStateStore::Refuses(const std::string& given) {
  std::string path = given;
  std::replace(path.begin(), path.end(), '/', '\\');
  if (path.empty()) return true;
  // A stream name or a second colon: not a plain file. The only colon allowed is the drive's, after its
  // letter at the start or after the device namespace's prefix.
  const bool deviceNamespace = path.compare(0, 4, "\\\\?\\") == 0 || path.compare(0, 4, "\\\\.\\") == 0;
  const size_t drive = deviceNamespace ? 4 : 0;
  const bool hasDrive = path.size() > drive + 1 && std::isalpha(static_cast<unsigned char>(path[drive])) &&
                        path[drive + 1] == ':';
  for (size_t colon = path.find(':'); colon != std::string::npos; colon = path.find(':', colon + 1))
    if (!(hasDrive && colon == drive + 1)) return true;
  size_t slash = path.find_last_of('\\');
  if (IsDeviceName(slash == std::string::npos ? path : path.substr(slash + 1))) return true;
  if (path.compare(0, 2, "\\\\") != 0) return false;
  // Network and device paths: only inside the keyer's own folder, and never climbing out of it.
  std::string folder;
  try {
    folder = Folder();
  } catch (const KeyerStoreError&) {
    return true;
  }
  std::string prefix = Lower(folder) + "\\";
  std::string lower = Lower(path);
  // The keyer's folder named through the device namespace is still the keyer's folder.
  if (lower.compare(0, 8, "\\\\?\\unc\\") == 0)
    lower = "\\\\" + lower.substr(8);
  else if (lower.compare(0, 4, "\\\\?\\") == 0 || lower.compare(0, 4, "\\\\.\\") == 0)
    lower = lower.substr(4);
  if (lower.compare(0, prefix.size(), prefix) != 0) return true;
  std::string rest = lower.substr(prefix.size());
  return rest.find('\\') != std::string::npos || rest == "." || rest == "..";
}

std::vector<uint8_t> KeyerStateStore::Load(const std::string& path) {
  if (Refuses(path)) throw KeyerStoreError("refused keyer state path " + path);
  return ReadBounded(path);
}
