#include "ChromaKeyer.h"

#include <cmath>
#include <new>
#include <string>

#include "KeyerStateStore.h"
#include "PixelSourceReader.h"
#include "SampleReader.h"
#include "keyer/AutoCompute.h"
#include "keyer/KeyerState.h"
#include "keyer/ModelOperations.h"
#include "keyer/StateFormat.h"

using keyer::KeyerModel;
using keyer::ModelOperations;

namespace {

// Every method ends here: no exception crosses the COM boundary.
template <typename Body>
HRESULT Guarded(Body body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

// A BSTR path in the program's code page; false when a character has no equivalent there.
bool NarrowPath(BSTR path, std::string& out) {
  out.clear();
  UINT length = path ? SysStringLen(path) : 0;
  if (length == 0) return true;
  int size = WideCharToMultiByte(CP_ACP, 0, path, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  if (size <= 0) return false;
  out.resize(static_cast<size_t>(size));
  BOOL lossy = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path, static_cast<int>(length), out.data(), size, nullptr,
                      &lossy);
  return !lossy && out.find('\0') == std::string::npos;
}

BSTR WidePath(const std::string& path) {
  int size = MultiByteToWideChar(CP_ACP, 0, path.c_str(), static_cast<int>(path.size()), nullptr, 0);
  if (size <= 0) return nullptr;
  BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(size));
  if (!text) throw std::bad_alloc();
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), static_cast<int>(path.size()), text, size);
  return text;
}

}  // namespace

ChromaKeyer::ChromaKeyer() = default;

HRESULT ChromaKeyer::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IChromaKeyer)) {
    *object = static_cast<IChromaKeyer*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG ChromaKeyer::AddRef() { return ++references_; }

ULONG ChromaKeyer::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT ChromaKeyer::Change(const std::function<HRESULT(KeyerModel&)>& change) {
  return Guarded([&] {
    KeyerModel changed = model_;
    HRESULT hr = change(changed);
    if (SUCCEEDED(hr)) model_ = changed;
    return hr;
  });
}

HRESULT ChromaKeyer::Operate(const VARIANT& sample, const Operation& operation) {
  return Guarded([&] {
    std::vector<uint32_t> colours;
    HRESULT hr = SampleReader::Read(sample, colours);
    if (FAILED(hr)) return hr;
    return Change([&](KeyerModel& m) {
      operation(m, colours);
      return S_OK;
    });
  });
}

HRESULT ChromaKeyer::LoadState(BSTR path) {
  return Guarded([&] {
    std::string narrow;
    KeyerModel loaded;
    // Whatever goes wrong, the object is fresh afterwards: a state half taken over is worse than none.
    model_ = KeyerModel();
    if (!NarrowPath(path, narrow)) return E_FAIL;
    if (narrow.empty()) return S_OK;
    try {
      std::vector<uint8_t> bytes = KeyerStateStore::Load(narrow);
      loaded = keyer::StateFormat::Read(bytes.data(), bytes.size());
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception&) {
      return E_FAIL;
    }
    model_ = loaded;
    return S_OK;
  });
}

HRESULT ChromaKeyer::SaveState(BSTR* path) {
  if (!path) return E_POINTER;
  *path = nullptr;
  return Guarded([&] {
    std::string written;
    try {
      written = KeyerStateStore::Save(keyer::StateFormat::Write(model_));
    } catch (const KeyerStoreError&) {
      return E_FAIL;
    }
    *path = WidePath(written);
    return *path ? S_OK : E_FAIL;
  });
}

HRESULT ChromaKeyer::AutoCompute(IUnknown* bitmap, float backgroundFactor, float foregroundFactor) {
  if (!bitmap) return E_POINTER;
  if (!std::isfinite(backgroundFactor) || !std::isfinite(foregroundFactor)) return E_INVALIDARG;
  return Guarded([&] {
    IKeyerPixelSource* source = nullptr;
    HRESULT hr = bitmap->QueryInterface(IID_IKeyerPixelSource, reinterpret_cast<void**>(&source));
    if (FAILED(hr) || !source) return FAILED(hr) ? hr : E_NOINTERFACE;
    LONG width = 0, height = 0;
    hr = source->GetPixelSize(&width, &height);
    if (SUCCEEDED(hr) && (width <= 0 || height <= 0)) hr = E_INVALIDARG;
    if (FAILED(hr)) {
      source->Release();
      return hr;
    }
    PixelSourceReader reader(source, width, height);
    bool found = false;
    try {
      hr = Change([&](KeyerModel& m) {
        found = keyer::AutoCompute::Compute(m, reader, backgroundFactor, foregroundFactor);
        return S_OK;
      });
    } catch (...) {
      source->Release();
      throw;
    }
    source->Release();
    if (FAILED(hr)) return hr;
    return found ? S_OK : S_FALSE;
  });
}

HRESULT ChromaKeyer::SelectBackgroundColor(VARIANT sample) {
  return Operate(sample, ModelOperations::SelectBackgroundColor);
}
HRESULT ChromaKeyer::CleanBackground(VARIANT sample) {
  return Operate(sample, ModelOperations::CleanBackground);
}
HRESULT ChromaKeyer::CleanForeground(VARIANT sample) {
  return Operate(sample, ModelOperations::CleanForeground);
}
HRESULT ChromaKeyer::MatteSponge(VARIANT sample) { return Operate(sample, ModelOperations::MatteSponge); }
HRESULT ChromaKeyer::SpillSponge(VARIANT sample) { return Operate(sample, ModelOperations::SpillSponge); }
HRESULT ChromaKeyer::MakeForegroundTransparent(VARIANT sample) {
  return Operate(sample, ModelOperations::MakeForegroundTransparent);
}
HRESULT ChromaKeyer::RestoreDetail(VARIANT sample) { return Operate(sample, ModelOperations::RestoreDetail); }

HRESULT ChromaKeyer::AdjustMatte(VARIANT sample, LONG flag) {
  if (flag != 0 && flag != 1) return E_INVALIDARG;
  return Operate(sample, [flag](KeyerModel& m, const std::vector<uint32_t>& c) {
    ModelOperations::AdjustMatte(m, c, flag == 1);
  });
}

HRESULT ChromaKeyer::AdjustSpill(VARIANT sample, LONG flag) {
  if (flag != 0 && flag != 1) return E_INVALIDARG;
  return Operate(sample, [flag](KeyerModel& m, const std::vector<uint32_t>& c) {
    ModelOperations::AdjustSpill(m, c, flag == 1);
  });
}

HRESULT ChromaKeyer::AdjustDetail(VARIANT sample, LONG flag) {
  if (flag != 0 && flag != 1) return E_INVALIDARG;
  return Operate(sample, [flag](KeyerModel& m, const std::vector<uint32_t>& c) {
    ModelOperations::AdjustDetail(m, c, flag == 1);
  });
}

HRESULT ChromaKeyer::FineTune(VARIANT colour, float spillDelta, float transparencyDelta, float detailDelta,
                              COLORREF* resultColour, float* resultOpacity) {
  if (!resultColour || !resultOpacity) return E_POINTER;
  uint32_t picked = 0;
  HRESULT hr = SampleReader::ReadOne(colour, picked);
  if (FAILED(hr)) return hr;
  if (!std::isfinite(spillDelta) || !std::isfinite(transparencyDelta) || !std::isfinite(detailDelta))
    return E_INVALIDARG;
  return Change([&](KeyerModel& m) {
    ModelOperations::FineTune(m, picked, spillDelta, transparencyDelta, detailDelta);
    uint32_t keyed = picked;
    uint8_t alpha = 255;
    keyer::KeyerState::KeyColourOfModel(m, picked, keyed, alpha);
    *resultColour = keyed;
    *resultOpacity = alpha / 255.0f;
    return S_OK;
  });
}

HRESULT ChromaKeyer::SetAlgorithm(LONG algorithm) {
  if (algorithm < 0 || algorithm > 2) return E_INVALIDARG;
  model_.algorithm = static_cast<uint32_t>(algorithm);
  return S_OK;
}

HRESULT ChromaKeyer::SetSpillReplaceColor(LONG colour) {
  if (colour != -1 && (colour < 0 || colour > 0xFFFFFF)) return E_INVALIDARG;
  if (colour != -1) model_.spillColour = static_cast<uint32_t>(colour);
  model_.spillMode = keyer::SpillMode::Solid;
  return S_OK;
}

HRESULT ChromaKeyer::SetSpillReplaceComplement() {
  model_.spillMode = keyer::SpillMode::Complement;
  return S_OK;
}

HRESULT ChromaKeyer::SetSpillReplaceDefocus() {
  model_.spillMode = keyer::SpillMode::Defocus;
  return S_OK;
}

HRESULT ChromaKeyer::GetSpillReplaceMode(LONG* mode) {
  if (!mode) return E_POINTER;
  *mode = static_cast<LONG>(model_.spillMode);
  return S_OK;
}
