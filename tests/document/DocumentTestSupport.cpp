#include "DocumentTestSupport.h"

#include "DocumentEvents.h"
#include "JobFileOptions.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace doctest {

namespace {

class TestApp : public CWinApp {
 public:
  TestApp() : CWinApp("Pellorin Document Tests") {}
};

TestApp g_app;

struct MainWindowHolder {
  CWnd window;
  MainWindowHolder() {
    window.CreateEx(0, nullptr, "Pellorin", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr);
    g_app.m_pMainWnd = &window;
  }
};

std::wstring Wide(const std::string& text) { return ToWideName(text.c_str()); }

void WriteStream(IStorage* root, const std::string& name, const std::vector<unsigned char>& bytes) {
  size_t slash = name.find('\\');
  if (slash != std::string::npos) {
    std::string storageName = name.substr(0, slash);
    IStorage* child = nullptr;
    HRESULT hr = root->OpenStorage(Wide(storageName).c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                   nullptr, 0, &child);
    if (FAILED(hr))
      hr = root->CreateStorage(Wide(storageName).c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                               0, 0, &child);
    if (SUCCEEDED(hr)) {
      WriteStream(child, name.substr(slash + 1), bytes);
      child->Release();
    }
    return;
  }
  IStream* stream = nullptr;
  if (SUCCEEDED(root->CreateStream(Wide(name).c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                   0, &stream))) {
    ULONG written = 0;
    if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    stream->Release();
  }
}

bool ReadStreamFrom(IStorage* root, const std::string& name, std::vector<unsigned char>& bytes) {
  size_t slash = name.find('\\');
  if (slash != std::string::npos) {
    IStorage* child = nullptr;
    if (FAILED(root->OpenStorage(Wide(name.substr(0, slash)).c_str(), nullptr,
                                 STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &child)))
      return false;
    bool ok = ReadStreamFrom(child, name.substr(slash + 1), bytes);
    child->Release();
    return ok;
  }
  IStream* stream = nullptr;
  if (FAILED(root->OpenStream(Wide(name).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream)))
    return false;
  STATSTG stat = {};
  stream->Stat(&stat, STATFLAG_NONAME);
  bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
  ULONG read = 0;
  if (!bytes.empty()) stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  bytes.resize(read);
  stream->Release();
  return true;
}

}  // namespace

CWinApp& App() { return g_app; }

CWnd& MainWindow() {
  static MainWindowHolder holder;
  return holder.window;
}

CString MainWindowTitle() {
  CString title;
  MainWindow().GetWindowText(title);
  return title;
}

EventRecorder::EventRecorder(CTheDocument& document) : document(document) { document.Subscribe(this); }

EventRecorder::~EventRecorder() { document.Unsubscribe(this); }

int EventRecorder::OnEvent(EventSource*, Event* event) {
  names.push_back(NameOf(typeid(*event)));
  if (auto* queues = dynamic_cast<QueuesEvent*>(event))
    texts.push_back(queues->text);
  else if (auto* folder = dynamic_cast<TemplateFolderEvent*>(event))
    texts.push_back(folder->folder);
  else
    texts.push_back(CString());
  return 0;
}

std::string NameOf(const std::type_info& type) { return type.name(); }

ScratchFolder::ScratchFolder(const char* tag) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  static int counter = 0;
  path = std::string(temp) + "pellorin-doc-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(++counter) + "-" + std::to_string(GetTickCount64()) + "\\";
  CreateDirectoryA(path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
  for (const std::string& name : Files()) {
    SetFileAttributesA((path + name).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA((path + name).c_str());
  }
  RemoveDirectoryA(path.c_str());
}

std::vector<std::string> ScratchFolder::Files() const {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found = {};
  HANDLE find = FindFirstFileA((path + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}

DialogAnswers& DialogAnswers::Answer(const std::string& path) {
  script.Answer(path.c_str());
  return *this;
}

void ResetOptions(const std::string& filesPath) {
  JobFileOptions& options = GetJobFileOptions();
  options = JobFileOptions();
  options.FilesPath = filesPath.c_str();
}

std::vector<unsigned char> ArchiveText(const char* text) {
  std::vector<unsigned char> bytes;
  size_t length = std::strlen(text);
  bytes.push_back(static_cast<unsigned char>(length));  // short texts only
  bytes.insert(bytes.end(), text, text + length);
  return bytes;
}

std::vector<unsigned char> HeaderBytes(uint16_t schema, const GUID& id, const char* text, uint32_t counter) {
  std::vector<unsigned char> bytes = {'@', 'p', 'l', 'j', '@', 0};
  bytes.push_back(static_cast<unsigned char>(schema & 0xFF));
  bytes.push_back(static_cast<unsigned char>(schema >> 8));
  if ((schema >> 8) == 2) bytes.insert(bytes.end(), {0xAA, 0xBB, 0xCC, 0xDD});
  const unsigned char* idBytes = reinterpret_cast<const unsigned char*>(&id);
  bytes.insert(bytes.end(), idBytes, idBytes + sizeof(GUID));
  bytes.insert(bytes.end(), {0, 0});
  std::vector<unsigned char> textBytes = ArchiveText(text);
  bytes.insert(bytes.end(), textBytes.begin(), textBytes.end());
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(counter >> (8 * i)));
  return bytes;
}

void WriteCompoundFile(const std::string& path, const std::vector<Element>& elements) {
  IStorage* root = nullptr;
  HRESULT hr =
      StgCreateDocfile(Wide(path).c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &root);
  if (FAILED(hr)) return;
  for (const Element& element : elements) WriteStream(root, element.name, element.bytes);
  root->Commit(STGC_DEFAULT);
  root->Release();
}

void AddToCompoundFile(const std::string& path, const std::vector<Element>& elements) {
  IStorage* root = nullptr;
  if (FAILED(StgOpenStorage(Wide(path).c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                            &root)))
    return;
  for (const Element& element : elements) WriteStream(root, element.name, element.bytes);
  root->Commit(STGC_DEFAULT);
  root->Release();
}

namespace {

void CollectStreams(IStorage* storage, const std::string& prefix,
                    std::map<std::string, std::vector<unsigned char>>& streams) {
  IEnumSTATSTG* entries = nullptr;
  if (FAILED(storage->EnumElements(0, nullptr, 0, &entries))) return;
  STATSTG stat = {};
  while (entries->Next(1, &stat, nullptr) == S_OK) {
    const std::string name = CString(stat.pwcsName).str();
    CoTaskMemFree(stat.pwcsName);
    if (stat.type == STGTY_STORAGE) {
      IStorage* child = nullptr;
      if (SUCCEEDED(storage->OpenStorage(Wide(name).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE,
                                         nullptr, 0, &child))) {
        CollectStreams(child, prefix + name + "\\", streams);
        child->Release();
      }
    } else if (stat.type == STGTY_STREAM) {
      ReadStreamFrom(storage, name, streams[prefix + name]);
    }
  }
  entries->Release();
}

}  // namespace

std::map<std::string, std::vector<unsigned char>> ReadAllStreams(const std::string& path) {
  std::map<std::string, std::vector<unsigned char>> streams;
  IStorage* root = nullptr;
  if (FAILED(
          StgOpenStorage(Wide(path).c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &root)))
    return streams;
  CollectStreams(root, "", streams);
  root->Release();
  return streams;
}

bool ReadCompoundStream(const std::string& path, const std::string& name, std::vector<unsigned char>& bytes) {
  IStorage* root = nullptr;
  if (FAILED(
          StgOpenStorage(Wide(path).c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &root)))
    return false;
  bool ok = ReadStreamFrom(root, name, bytes);
  root->Release();
  return ok;
}

std::vector<unsigned char> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string OleCheckPath(const char* suffix) {
  char target[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableA("PELLORIN_OLE_JOB", target, sizeof(target));
  if (n == 0 || n >= sizeof(target)) return std::string();
  return std::string(target) + suffix;
}

CString Text(UINT id) {
  CString text;
  text.LoadString(id);
  return text;
}

}  // namespace doctest
