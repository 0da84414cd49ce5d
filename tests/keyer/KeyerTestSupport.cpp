#include "KeyerTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "keyer/ColourSpace.h"
#include "keyer/KeyerCreation.h"
#include "keyer/KeyingPass.h"
#include "keyer/StateFormat.h"

namespace keyertest {

namespace {

double Lin(int code) { return keyer::ColourSpace::ToLinear(code / 255.0); }
uint8_t Code(double linear) {
  double e = keyer::ColourSpace::ToEncoded(std::clamp(linear, 0.0, 1.0));
  return static_cast<uint8_t>(std::lround(e * 255.0));
}

uint32_t Ref(int r, int g, int b) { return static_cast<uint32_t>(r | (g << 8) | (b << 16)); }

class PixelSource final : public IKeyerPixelSource {
 public:
  explicit PixelSource(const Scene& scene) : scene_(scene) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IKeyerPixelSource)) {
      *object = static_cast<IKeyerPixelSource*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs_;
    if (!left) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetPixelSize(LONG* w, LONG* h) override {
    *w = scene_.width;
    *h = scene_.height;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CopyPixelRows(LONG first, LONG count, BYTE* buffer, LONG_PTR stride) override {
    if (first < 0 || count < 0 || first + count > scene_.height) return E_INVALIDARG;
    for (LONG y = 0; y < count; ++y)
      memcpy(buffer + y * stride, &scene_.bgr[static_cast<size_t>(first + y) * scene_.width * 3],
             scene_.width * 3);
    return S_OK;
  }

 private:
  Scene scene_;
  ULONG refs_ = 1;
};

}  // namespace

bool PackedPicture::ReadRows(int first, int count, uint8_t* buffer, size_t stride) {
  for (int y = 0; y < count; ++y)
    std::copy_n(&bgr[size_t(first + y) * width * 3], size_t(width) * 3, buffer + y * stride);
  return true;
}

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

Scene MakeComposite(bool blue, int width, int height) {
  Scene s;
  s.width = width;
  s.height = height;
  s.bgr.resize(static_cast<size_t>(width) * height * 3);
  s.truth.resize(static_cast<size_t>(width) * height);
  const int screen[3] = {blue ? 30 : 45, blue ? 70 : 185, blue ? 205 : 65};
  const int skin[3] = {225, 170, 140}, shirt[3] = {blue ? 150 : 40, blue ? 45 : 55, blue ? 40 : 135};
  const int hair[3] = {70, 45, 30};
  s.screen = Ref(screen[0], screen[1], screen[2]);
  s.skin = Ref(skin[0], skin[1], skin[2]);
  s.shirt = Ref(shirt[0], shirt[1], shirt[2]);
  uint32_t seed = 12345;
  auto noise = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 24) % 5) - 2;
  };
  const double cx = width / 2.0, cy = height * 0.42, rx = width * 0.16, ry = height * 0.22;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // The screen falls off towards the right edge, as an unevenly lit screen does.
      double light = 1.0 - 0.12 * x / width;
      double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
      double r = std::sqrt(dx * dx + dy * dy);
      const int* fg = nullptr;
      double alpha = 0;
      Truth truth = kScreen;
      if (y > height * 0.72 && x > width * 0.25 && x < width * 0.75) {
        fg = shirt;
        alpha = 1;
        truth = kSubject;
      } else if (r < 1.0) {
        fg = skin;
        alpha = 1;
        truth = kSubject;
      } else if (r < 1.25 && y < cy) {
        fg = hair;
        alpha = 0.5;
        truth = kMixed;
      }
      size_t i = static_cast<size_t>(y) * width + x;
      s.truth[i] = truth;
      for (int c = 0; c < 3; ++c) {
        double back = Lin(screen[c]) * light;
        double value = fg ? alpha * Lin(fg[c]) + (1 - alpha) * back : back;
        int code = std::clamp(Code(value) + noise(), 0, 255);
        s.bgr[i * 3 + (2 - c)] = static_cast<uint8_t>(code);
      }
    }
  }
  return s;
}

IChromaKeyer* NewKeyer() {
  IUnknown* unknown = nullptr;
  HRESULT hr = CreateKeyerObject(CLSID_ChromaKeyer, &unknown);
  EXPECT_EQ(hr, S_OK);
  if (!unknown) return nullptr;
  IChromaKeyer* keyer = nullptr;
  unknown->QueryInterface(IID_IChromaKeyer, reinterpret_cast<void**>(&keyer));
  unknown->Release();
  EXPECT_NE(keyer, nullptr);
  return keyer;
}

std::string Save(IChromaKeyer* keyer) {
  BSTR path = nullptr;
  HRESULT hr = keyer->SaveState(&path);
  std::string out;
  if (SUCCEEDED(hr) && path) {
    for (UINT i = 0; i < SysStringLen(path); ++i) out += static_cast<char>(path[i]);
  }
  SysFreeString(path);
  return out;
}

HRESULT Load(IChromaKeyer* keyer, const std::string& path) {
  BSTR text = path.empty() ? nullptr : SysAllocString(Wide(path).c_str());
  HRESULT hr = keyer->LoadState(text);
  SysFreeString(text);
  return hr;
}

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  DWORD size = GetFileSize(file, nullptr);
  bytes.resize(size);
  DWORD read = 0;
  ReadFile(file, bytes.data(), size, &read, nullptr);
  bytes.resize(read);
  CloseHandle(file);
  return bytes;
}

std::shared_ptr<const keyer::KeyerState> SavedState(IChromaKeyer* keyer) {
  std::string path = Save(keyer);
  EXPECT_FALSE(path.empty());
  std::vector<uint8_t> bytes = FileBytes(path);
  return keyer::KeyerState::Parse(bytes.data(), bytes.size());
}

Keyed KeyScene(IChromaKeyer* keyer, const Scene& scene) {
  auto state = SavedState(keyer);
  Keyed k;
  k.bgr.resize(scene.bgr.size());
  k.alpha.resize(scene.truth.size());
  keyer::ApplyState(state.get(), scene.bgr.data(), scene.width * 3, scene.width, scene.height, k.bgr.data(),
                    scene.width * 3, k.alpha.data(), scene.width);
  return k;
}

void KeyColour(IChromaKeyer* keyer, uint32_t colour, uint32_t& out, uint8_t& alpha) {
  std::vector<uint8_t> bytes = FileBytes(Save(keyer));
  keyer::KeyerState::KeyColourOfModel(keyer::StateFormat::Read(bytes.data(), bytes.size()), colour, out,
                                      alpha);
}

VARIANT OneColour(uint32_t colour) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = static_cast<LONG>(colour);
  return v;
}

VARIANT ColourBlock(const std::vector<uint32_t>& colours, int columns) {
  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(colours.size() / columns), 0},
                              {static_cast<ULONG>(columns), 0}};
  SAFEARRAY* array = SafeArrayCreate(VT_I4, 2, bounds);
  void* data = nullptr;
  SafeArrayAccessData(array, &data);
  memcpy(data, colours.data(), colours.size() * 4);
  SafeArrayUnaccessData(array);
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | VT_I4;
  v.parray = array;
  return v;
}

VARIANT SceneBlock(const Scene& scene, int left, int top, int width, int height) {
  std::vector<uint32_t> colours;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x) {
      const uint8_t* p = &scene.bgr[(static_cast<size_t>(y) * scene.width + x) * 3];
      colours.push_back(Ref(p[2], p[1], p[0]));
    }
  return ColourBlock(colours, width);
}

IUnknown* NewPixelSource(const Scene& scene) { return new PixelSource(scene); }

}  // namespace keyertest
