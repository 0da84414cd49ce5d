#include "BitmapObject.h"

#include <cstdint>
#include <string>

#include "ImageFile.h"
#include "PersistedForm.h"
#include "WicCodec.h"

namespace zvkImage {
namespace {

std::wstring PathOf(BSTR path) { return path ? std::wstring(path, SysStringLen(path)) : std::wstring(); }

}  // namespace

BitmapObject::BitmapObject()
    : events_(static_cast<IBitmap*>(this), static_cast<IConnectionPointContainer*>(this)) {}

BitmapObject::~BitmapObject() {
  if (dc_) {
    SelectObject(dc_, dcOldBitmap_);
    DeleteDC(dc_);
    DeleteObject(dcBitmap_);
  }
}

BitmapObject* BitmapObject::FromInterface(IUnknown* unknown) {
  if (!unknown) return nullptr;
  void* object = nullptr;
  if (FAILED(unknown->QueryInterface(IID_BitmapObjectAccess, &object)) || !object) return nullptr;
  BitmapObject* bitmap = static_cast<BitmapObject*>(object);
  bitmap->Release();  // the caller holds its own reference on the interface it passed
  return bitmap;
}

HRESULT BitmapObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == __uuidof(IBitmap))
    *object = static_cast<IBitmap*>(this);
  else if (iid == __uuidof(IBitmapEx))
    *object = static_cast<IBitmapEx*>(this);
  else if (iid == __uuidof(ITables))
    *object = static_cast<ITables*>(this);
  else if (iid == __uuidof(ITablesMode))
    *object = static_cast<ITablesMode*>(this);
  else if (iid == __uuidof(ITransform))
    *object = static_cast<ITransform*>(this);
  else if (iid == __uuidof(IAdjust))
    *object = static_cast<IAdjust*>(this);
  else if (iid == __uuidof(IResolution))
    *object = static_cast<IResolution*>(this);
  else if (iid == __uuidof(IResampleRect))
    *object = static_cast<IResampleRect*>(this);
  else if (iid == __uuidof(IFlatten))
    *object = static_cast<IFlatten*>(this);
  else if (iid == IID_IConnectionPointContainer)
    *object = static_cast<IConnectionPointContainer*>(this);
  else if (iid == __uuidof(IKeyerState))
    *object = static_cast<IKeyerState*>(this);
  else if (iid == __uuidof(IKeyerAreas))
    *object = static_cast<IKeyerAreas*>(this);
  else if (iid == __uuidof(IKeyerPixelSource))
    *object = static_cast<IKeyerPixelSource*>(this);
  else if (iid == IID_BitmapObjectAccess)
    *object = this;
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG BitmapObject::AddRef() { return ++refs_; }

ULONG BitmapObject::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

PixelImage BitmapObject::Snapshot() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  return image_.Clone();
}

void BitmapObject::Adopt(PixelImage&& image) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  image_ = std::move(image);
  NewPicture();
}

void BitmapObject::NewPicture() {
  turn_ = TurnOrigin{image_.Width(), image_.Height(), 0.0};
  ForgetKeying();
}

void BitmapObject::ForgetKeying() { keying_.reset(); }

HRESULT BitmapObject::GetWidth(long* width) {
  if (!width) return E_POINTER;
  return Guarded([&] {
    *width = image_.Width();
    return S_OK;
  });
}

HRESULT BitmapObject::GetHeight(long* height) {
  if (!height) return E_POINTER;
  return Guarded([&] {
    *height = image_.Height();
    return S_OK;
  });
}

HRESULT BitmapObject::Initialize(long flags) {
  if (flags != 0) return E_INVALIDARG;
  return Guarded([&] {
    if (dc_) return E_ACCESSDENIED;
    image_.Clear();
    mask_.Clear();
    NewPicture();
    options_[0] = options_[1] = 0;
    tableMode_ = 0;
    return S_OK;
  });
}

HRESULT BitmapObject::Allocate(long width, long height, long bits, long) {
  if (bits != 24 || width <= 0 || height <= 0 || !PixelImage::SizeAllowed(width, height)) return E_INVALIDARG;
  return Guarded([&] {
    if (dc_) return E_ACCESSDENIED;
    PixelImage fresh;
    fresh.Allocate(int(width), int(height), true);
    fresh.dpiX = image_.dpiX;
    fresh.dpiY = image_.dpiY;
    image_ = std::move(fresh);
    mask_.Clear();
    NewPicture();
    return S_OK;
  });
}

HRESULT BitmapObject::CopyFrom(IBitmap* source) {
  if (!source) return E_POINTER;
  BitmapObject* other = FromInterface(source);
  if (!other) return E_INVALIDARG;
  if (other == this) return S_OK;
  try {
    PixelImage copy;
    GreyPlane mask;
    TurnOrigin turn;
    std::shared_ptr<const KeyingRecord> keying;
    {
      std::lock_guard<std::recursive_mutex> guard(other->lock_);
      copy = other->image_.Clone();
      mask = other->mask_;
      turn = other->turn_;
      keying = other->keying_;
    }
    return Guarded([&] {
      if (dc_) return E_ACCESSDENIED;
      image_ = std::move(copy);
      mask_ = std::move(mask);
      turn_ = turn;
      keying_ = std::move(keying);
      return S_OK;
    });
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT BitmapObject::Load(BSTR path, long bits) {
  if (bits != 0 && bits != 24) return E_INVALIDARG;
  return LoadAtSize(path, nullptr, bits);
}

ProgressFn BitmapObject::ProgressReporter(bool load) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (progressSteps_ <= 0) return {};
  const long steps = progressSteps_;
  const LONG_PTR caller = progressCaller_;
  BitmapEventSource* events = &events_;
  return [events, load, steps, caller](long done, long total) {
    const long step = long(int64_t(done) * steps / total);
    if (load)
      events->FireLoadProgress(caller, step, steps);
    else
      events->FireSaveProgress(caller, step, steps);
  };
}

HRESULT BitmapObject::LoadAtSize(BSTR path, const SIZE* size, long bits) {
  if (!path || SysStringLen(path) == 0) return E_INVALIDARG;
  if (bits != 0 && bits != 24) return E_INVALIDARG;
  const std::wstring file = PathOf(path);
  // The file is decoded without the bitmap's lock, so that a progress sink may wait on a thread that uses
  // this bitmap; the pixels change only at the end, under the lock.
  try {
    if (DcOut()) return E_ACCESSDENIED;
    int frame = 0;
    if (size && !ImageFile::IsTargaPath(file) && !ImageFile::IsPcxFile(file)) {
      std::vector<FrameInfo> frames;
      if (SUCCEEDED(ImageFile::Inspect(file, frames)))
        for (size_t i = 0; i < frames.size(); ++i)
          if (frames[i].width == size->cx && frames[i].height == size->cy) {
            frame = int(i);
            break;
          }
    }
    PixelImage loaded;
    const HRESULT hr = ImageFile::Load(file, frame, loaded, ProgressReporter(true));
    if (FAILED(hr)) return hr;
    return Guarded([&] {
      if (dc_) return E_ACCESSDENIED;
      image_ = std::move(loaded);
      mask_.Clear();
      NewPicture();
      return S_OK;
    });
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT BitmapObject::Save(BSTR path, long fileType, long bits, long option) {
  if (!path || SysStringLen(path) == 0) return E_INVALIDARG;
  const std::wstring file = PathOf(path);
  // Encoded from a copy taken under the lock, and outside it, for the same reason as a load.
  try {
    PixelImage copy = Snapshot();
    return ImageFile::Save(file, fileType, int(bits), option, copy, ProgressReporter(false));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT BitmapObject::SetProgress(long steps, LONG_PTR callerValue) {
  if (steps < 0) return E_INVALIDARG;
  return Guarded([&] {
    progressSteps_ = steps;
    progressCaller_ = callerValue;
    return S_OK;
  });
}

HRESULT BitmapObject::SetOptions(long option1, long option2) {
  return Guarded([&] {
    options_[0] = option1;
    options_[1] = option2;
    return S_OK;
  });
}

HRESULT BitmapObject::SaveToStream(IStream* stream, long) {
  if (!stream) return E_POINTER;
  return Guarded([&] { return PersistedForm::Write(image_, stream); });
}

HRESULT BitmapObject::LoadFromStream(IStream* stream, long) {
  if (!stream) return E_POINTER;
  return Guarded([&] {
    if (dc_) return E_ACCESSDENIED;
    PixelImage loaded;
    const HRESULT hr = PersistedForm::Read(stream, loaded);
    if (FAILED(hr)) return hr;
    image_ = std::move(loaded);
    mask_.Clear();
    NewPicture();
    return S_OK;
  });
}

HRESULT BitmapObject::SetMode(long mode) {
  return Guarded([&] {
    tableMode_ = mode;
    return S_OK;
  });
}

HRESULT BitmapObject::SetResolution(long horizontal, long vertical) {
  if (horizontal <= 0 || vertical <= 0 || horizontal > 1000000 || vertical > 1000000) return E_INVALIDARG;
  return Guarded([&] {
    image_.dpiX = horizontal;
    image_.dpiY = vertical;
    return S_OK;
  });
}

HRESULT BitmapObject::GetResolution(long* horizontal, long* vertical) {
  if (!horizontal || !vertical) return E_POINTER;
  return Guarded([&] {
    *horizontal = long(image_.dpiX + 0.5);
    *vertical = long(image_.dpiY + 0.5);
    return S_OK;
  });
}

HRESULT BitmapObject::EnumConnectionPoints(IEnumConnectionPoints** connections) {
  if (connections) *connections = nullptr;
  return E_NOTIMPL;
}

HRESULT BitmapObject::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (iid != __uuidof(IBitmapEvents)) return CONNECT_E_NOCONNECTION;
  *point = &events_;
  events_.AddRef();
  return S_OK;
}

}  // namespace zvkImage
