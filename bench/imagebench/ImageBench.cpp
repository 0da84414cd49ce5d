// The image library's benchmark: the same synthetic 24-megapixel JPEGs that imagebench-reference.sh made and
// timed with libvips and ImageMagick, now through our library, each task in a process of its own so that its
// peak memory is its own. Prints our seconds per image and peak memory next to theirs, and the ratios.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <zvkImage/zvkImage.h>

#include "BenchInputs.h"

using namespace zvkImage;

namespace {

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

// A stream with only Read, Write and Seek, like the program's memory stream.
class MemoryStream : public IStream {
 public:
  std::vector<uint8_t> bytes;
  ULONG position = 0;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Read(void* b, ULONG n, ULONG* got) override {
    const ULONG k = std::min<ULONG>(n, ULONG(bytes.size()) - position);
    memcpy(b, bytes.data() + position, k);
    position += k;
    if (got) *got = k;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(const void* b, ULONG n, ULONG* put) override {
    if (size_t(position) + n > bytes.size()) bytes.resize(size_t(position) + n);
    memcpy(bytes.data() + position, b, n);
    position += n;
    if (put) *put = n;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }
};

IBitmap* NewBitmap() {
  IUnknown* unknown = nullptr;
  IBitmap* bitmap = nullptr;
  if (SUCCEEDED(CreateObject(CLSID_Bitmap, CLSCTX_ALL, &unknown))) {
    unknown->QueryInterface(__uuidof(IBitmap), reinterpret_cast<void**>(&bitmap));
    unknown->Release();
  }
  return bitmap;
}

BSTR Wide(const std::string& s) { return SysAllocString(std::wstring(s.begin(), s.end()).c_str()); }

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) {
    fprintf(stderr, "imagebench: %s failed: 0x%08lX\n", what, static_cast<unsigned long>(hr));
    ExitProcess(2);
  }
}

double PeakMB() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return counters.PeakWorkingSetSize / 1048576.0;
}

// One task on one file: writes "<decode> <pixels> <encode> <total> <peak MB>" to the result file.
int RunTask(int task, const std::string& input, const std::string& scratch, const std::string& result) {
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  IBitmap* bitmap = NewBitmap();
  BSTR path = Wide(input);
  double decode = 0, pixels = 0, encode = 0;
  const auto start = Clock::now();
  auto t = Clock::now();
  Check(bitmap->Load(path, 24), "decode");
  decode = Since(t);
  if (task == 1) {
    t = Clock::now();
    Check(bitmap->ResampleFast(341, 512, 24), "draft");
    pixels = Since(t);
  } else if (task == 2) {
    ITransform* transform = nullptr;
    ITables* tables = nullptr;
    bitmap->QueryInterface(__uuidof(ITransform), reinterpret_cast<void**>(&transform));
    bitmap->QueryInterface(__uuidof(ITables), reinterpret_cast<void**>(&tables));
    SAFEARRAYBOUND bounds[2] = {{256, 0}, {4, 0}};
    SAFEARRAY* array = SafeArrayCreate(VT_UI1, 2, bounds);
    BYTE* data = nullptr;
    SafeArrayAccessData(array, reinterpret_cast<void**>(&data));
    for (int p = 0; p < 4; ++p)
      for (int i = 0; i < 256; ++i)
        data[p * 256 + i] = p == 0 ? BYTE(255.0 * pow(i / 255.0, 1 / 1.2) + 0.5) : BYTE(i);
    SafeArrayUnaccessData(array);
    VARIANT v;
    v.vt = VT_ARRAY | VT_UI1;
    v.parray = array;
    t = Clock::now();
    Check(bitmap->Rotate(2.5f / 360.0f), "rotate");
    Check(transform->Sharpen(5, 100), "sharpen");
    Check(tables->Apply(v), "tables");
    Check(bitmap->Resample(1800, 2400, 24), "resample");
    pixels = Since(t);
    SafeArrayDestroy(array);
    BSTR out = Wide(scratch + "\\out.jpg");
    t = Clock::now();
    Check(bitmap->Save(out, ftJPEG, 24, 2), "encode");
    encode = Since(t);
    SysFreeString(out);
    transform->Release();
    tables->Release();
  } else if (task == 4) {
    BSTR out = Wide(scratch + "\\out.png");
    t = Clock::now();
    Check(bitmap->Save(out, ftPNG, 24, 0), "PNG encode");
    encode = Since(t);
    SysFreeString(out);
  } else {
    MemoryStream stream;
    stream.bytes.reserve(size_t(96) << 20);  // the stream's own growth is not the form's cost
    t = Clock::now();
    Check(bitmap->SaveToStream(&stream, 0), "persist");
    pixels = Since(t);  // persisted encode
    IBitmap* back = NewBitmap();
    stream.position = 0;
    t = Clock::now();
    Check(back->LoadFromStream(&stream, 0), "load persisted");
    encode = Since(t);  // persisted decode
    back->Release();
    std::ofstream(result + ".size") << stream.bytes.size();
  }
  const double total = Since(start);
  bitmap->Release();
  SysFreeString(path);
  std::ofstream(result) << decode << " " << pixels << " " << encode << " " << total << " " << PeakMB();
  return 0;
}

std::vector<double> RunChild(const std::string& self, int task, const std::string& input,
                             const std::string& scratch) {
  const std::string result = scratch + "\\result.txt";
  DeleteFileA(result.c_str());
  std::string command = "\"" + self + "\" --task " + std::to_string(task) + " \"" + input + "\" \"" +
                        scratch + "\" \"" + result + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::vector<char> line(command.begin(), command.end());
  line.push_back(0);
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return {};
  WaitForSingleObject(pi.hProcess, 600000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::ifstream in(result);
  std::vector<double> v(5, 0);
  for (double& x : v) in >> x;
  return in ? v : std::vector<double>{};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && std::string(argv[1]) == "--task") return RunTask(atoi(argv[2]), argv[3], argv[4], argv[5]);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string data = benchinputs::DataFolder();
  auto theirs = benchinputs::ReadReference(data);
  if (theirs.empty()) {
    printf("imagebench: no figures of the outside tools in %s (run by `make bench`)\n", data.c_str());
  }
  const std::vector<std::string> inputs = {data + "\\in1.jpg", data + "\\in2.jpg"};
  for (const auto& input : inputs)
    if (GetFileAttributesA(input.c_str()) == INVALID_FILE_ATTRIBUTES) {
      printf("imagebench: %s is missing (made by imagebench-reference.sh)\n", input.c_str());
      return 1;
    }
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string scratch = std::string(temp) + "imagebench-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(scratch.c_str(), nullptr);
  double sum[5][5] = {};
  double persistedBytes = 0;
  for (int taskNo = 1; taskNo <= 4; ++taskNo)
    for (const auto& input : inputs) {
      const std::vector<double> v = RunChild(self, taskNo, input, scratch);
      if (v.empty()) {
        printf("imagebench: task %d failed on %s\n", taskNo, input.c_str());
        return 1;
      }
      for (int k = 0; k < 4; ++k) sum[taskNo][k] += v[size_t(k)] / inputs.size();
      sum[taskNo][4] = std::max(sum[taskNo][4], v[4]);
      if (taskNo == 3) {
        std::ifstream size(scratch + "\\result.txt.size");
        double b = 0;
        size >> b;
        persistedBytes += b / inputs.size();
      }
    }
  auto row = [&](const char* name, double ours, double oursMB, const std::string& key) {
    const auto v = theirs.count("vips " + key) ? theirs["vips " + key] : std::make_pair(0.0, 0.0);
    const auto m = theirs.count("im " + key) ? theirs["im " + key] : std::make_pair(0.0, 0.0);
    printf(
        "%-34s %8.3f s %6.0f MB | vips %8.3f s %6.0f MB  ratio %5.2f | ImageMagick %8.3f s %6.0f MB  ratio %5.2f\n",
        name, ours, oursMB, v.first, v.second, v.first > 0 ? ours / v.first : 0.0, m.first, m.second,
        m.first > 0 ? ours / m.first : 0.0);
  };
  printf(
      "imagebench: 2 synthetic 4000 x 6000 JPEGs, seconds per image (ratio = ours / theirs, below 1 is faster)\n");
  row("(1) decode + draft 341 x 512", sum[1][3], sum[1][4], "draft");
  row("(2) JPEG decode", sum[2][0], sum[2][4], "decode");
  row("(2) rotate, sharpen 5, tables, 1800x2400", sum[2][1], sum[2][4], "pixels");
  row("(2) JPEG encode", sum[2][2], sum[2][4], "encode");
  row("(3) persisted encode + decode", sum[3][1] + sum[3][2], sum[3][4], "persist");
  row("(4) PNG encode 4000 x 6000", sum[4][2], sum[4][4], "png");
  printf(
      "(3) persisted form: encode %.3f s, decode %.3f s, %.1f MB (%.1f%% of raw); the JPEG decode takes %.3f s: %s\n",
      sum[3][1], sum[3][2], persistedBytes / 1048576.0, 100.0 * persistedBytes / (4000.0 * 6000 * 3),
      sum[3][0], sum[3][1] + sum[3][2] < sum[3][0] ? "goal met" : "goal missed");
  // The codec goals against libvips: full JPEG decode at most 0.8 of its time, decode + draft (ours decodes
  // everything, vips shrinks while decoding) and JPEG encode at most its time, PNG within 1.5 of it.
  auto goal = [&](const char* name, double ours, const std::string& key, double limit) {
    const double v = theirs.count("vips " + key) ? theirs["vips " + key].first : 0.0;
    if (v <= 0) return;
    printf("goal %-28s ours / vips %5.2f, at most %.1f: %s\n", name, ours / v, limit,
           ours / v <= limit ? "met" : "missed");
  };
  goal("JPEG decode", sum[2][0], "decode", 0.8);
  goal("JPEG decode + draft", sum[1][3], "draft", 1.0);
  goal("JPEG encode (option 2)", sum[2][2], "encode", 1.0);
  goal("PNG encode", sum[4][2], "png", 1.5);
  RemoveDirectoryA(scratch.c_str());
  return 0;
}
