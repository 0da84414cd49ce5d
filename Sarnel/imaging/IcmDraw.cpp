#include "IcmDraw.h"

#include <vector>

#include "IcmManager.h"
#include "MyException.h"

namespace zvk {

namespace {

IcmJob* g_job = nullptr;

class ForwardingSink : public ColorProfileStreamOut {
 public:
  explicit ForwardingSink(ColorProfileStreamOut& to) : to_(to) {}
  bool Write(const void* block, size_t count) override { return to_.Write(block, count); }

 private:
  ColorProfileStreamOut& to_;
};

}  // namespace

void SetIcmJob(IcmJob* job) { g_job = job; }
IcmJob* CurrentIcmJob() { return g_job; }

IcmDocument::IcmDocument(IcmJob* job, int spaceId) : job_(job), spaceId_(spaceId) {
  IcmManager::Instance().SubscribeToDocument();
}

int IcmDocument::ProfileKind() {
  if (!asked_) {
    asked_ = true;
    try {
      kind_ = job_ ? job_->GetColorProfileState(spaceId_) : -1;
    } catch (...) {
      kind_ = 0;
    }
  }
  return kind_;
}

HRESULT IcmDocument::StreamProfile(ColorProfileStreamOut& sink) {
  if (ProfileKind() != -2) return E_UNEXPECTED;
  try {
    ForwardingSink forward(sink);
    return job_->ReadColorProfile(forward, spaceId_) ? S_OK : E_FAIL;
  } catch (...) {
    return E_FAIL;
  }
}

// Metafiles and printers are no raster displays: they are treated as no device context at all.
IcmBase::IcmBase(HDC dc, IcmCache& cache)
    : dc_(dc && GetDeviceCaps(dc, TECHNOLOGY) == DT_RASDISPLAY ? dc : nullptr),
      cache_(cache),
      enabled_(ColorManagementSettings::Current().enabled),
      intent_(ColorManagementSettings::Current().intent) {
  if (dc_) {
    savedMode_ = SetICMMode(dc_, ICM_QUERY);
    if (enabled_) {
      savedSpace_ = GetColorSpace(dc_);
      std::vector<char> path(MAX_PATH);
      DWORD size = static_cast<DWORD>(path.size());
      if (!GetICMProfileA(dc_, &size, path.data()) && GetLastError() == ERROR_INSUFFICIENT_BUFFER &&
          size > path.size() && size < 32768) {
        path.assign(size, 0);
        if (!GetICMProfileA(dc_, &size, path.data())) path.assign(1, 0);
      }
      path.back() = 0;
      savedProfile_ = path.data();
    }
  }
  cache_.AddRef();
}

IcmBase::~IcmBase() {
  cache_.Release();
  if (!dc_) return;
  if (enabled_) {
    if (!savedProfile_.empty()) SetICMProfileA(dc_, savedProfile_.data());
    if (savedSpace_) SetColorSpace(dc_, savedSpace_);
  }
  if (savedMode_ > 0) SetICMMode(dc_, savedMode_);
}

HRESULT IcmsRGB::GetTargetProfile(std::string& path) {
  path = IcmCache::SrgbTargetPath();
  return path.empty() ? IcmCache::kNoDisplayProfile : S_OK;
}

namespace {

// The colour space a draw source stands for: 0 sRGB, else the job's space id.
int SpaceOfSource(int source) {
  return source == IcmBase::kSourceJob ? -2 : source == IcmBase::kSourceJobOther ? -1 : 0;
}

}  // namespace

HRESULT IcmBase::Conversion(int source, const IcmConversion** out) {
  *out = nullptr;
  if (source != kSourceSrgb && source != kSourceJob && source != kSourceJobOther) return E_INVALIDARG;
  return SpaceConversion(SpaceOfSource(source), out);
}

HRESULT IcmBase::SpaceConversion(int space, const IcmConversion** out) {
  *out = nullptr;
  if (!enabled_) return S_FALSE;
  if (target_.empty()) {
    const HRESULT hr = GetTargetProfile(target_);
    if (FAILED(hr)) return hr;
  }
  HRESULT hr = S_OK;
  if (space == 0) {
    hr = cache_.GetSourceConversion(intent_, target_, out);
  } else {
    IcmDocument document(CurrentIcmJob(), space);
    hr = cache_.GetDocumentConversion(document, intent_, target_, out);
  }
  // A job without a colour space draws unmanaged on every target.
  if (FAILED(hr)) return hr;
  return *out ? S_OK : S_FALSE;
}

HRESULT IcmBase::ConvertRows(int source, uint8_t* bits, int width, int height, int stride) {
  const IcmConversion* conversion = nullptr;
  const HRESULT hr = Conversion(source, &conversion);
  if (hr != S_OK) return hr;
  try {
    conversion->table->ApplyBgrRows(bits, width, height, stride);
  } catch (const CMyException& e) {
    return e.code;
  }
  return S_OK;
}

HRESULT IcmBase::SetupDC(HDC dc, IUnknown*) {
  conversion_ = nullptr;
  if (!dc_ || dc != dc_) return E_FAIL;
  if (!drawing_) return E_UNEXPECTED;
  const HRESULT hr = SpaceConversion(space_, &conversion_);
  if (FAILED(hr)) return hr;
  // The pixels arrive converted: the device context must not convert them again.
  SetLastError(0);
  if (!SetICMMode(dc_, ICM_OFF)) return LastErrorOrFail();
  return S_OK;
}

HRESULT IcmBase::ConvertRows(BYTE* bits, long width, long height, long stride) {
  if (!conversion_) return S_FALSE;
  if (!bits || width <= 0 || height <= 0 || stride < width * 3) return E_INVALIDARG;
  try {
    conversion_->table->ApplyBgrRows(bits, width, height, stride);
  } catch (const CMyException& e) {
    return e.code;
  }
  return S_OK;
}

HRESULT IcmBase::DrawFromSource(int source, zvkImage::IBitmap* bitmap, const RECT& destination,
                                const POINT& origin, DWORD rop) {
  if (!dc_) return E_FAIL;
  if (!bitmap) return E_POINTER;
  if (source != kSourceSrgb && source != kSourceJob && source != kSourceJobOther) return E_INVALIDARG;
  if (!enabled_) {
    SetICMMode(dc_, ICM_OFF);
    return bitmap->Draw(dc_, &destination, &origin, rop);
  }
  // Nothing to convert (an sRGB job on the sRGB display, a job without a colour space): the plain draw.
  const IcmConversion* conversion = nullptr;
  HRESULT hr = Conversion(source, &conversion);
  if (FAILED(hr)) return hr;
  if (!conversion) {
    SetICMMode(dc_, ICM_OFF);
    return bitmap->Draw(dc_, &destination, &origin, rop);
  }
  drawing_ = true;
  space_ = SpaceOfSource(source);
  hr = bitmap->DrawManaged(dc_, &destination, &origin, rop, this);
  drawing_ = false;
  conversion_ = nullptr;
  return hr;
}

HRESULT IcmBase::DrawImage(const wchar_t* property, zvkImage::IPictureFrame* picture,
                           const zvkImage::Mapping* mapping, const zvkImage::Frame* frame,
                           const void* block) {
  if (!dc_) return E_FAIL;
  if (!picture) return E_POINTER;
  int space = 0;
  if (property && *property) {
    BSTR name = SysAllocString(property);
    if (!name) return E_OUTOFMEMORY;
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = picture->GetProperty(name, &value);
    SysFreeString(name);
    if (FAILED(hr)) return hr;
    if (value.vt != VT_EMPTY) {
      hr = VariantChangeType(&value, &value, 0, VT_I4);
      if (SUCCEEDED(hr))
        space = value.lVal;
      else if (hr != DISP_E_TYPEMISMATCH)
        return VariantClear(&value), hr;
    }
    VariantClear(&value);
  }
  const IcmConversion* conversion = nullptr;
  const HRESULT converts = SpaceConversion(space, &conversion);
  if (FAILED(converts)) return converts;
  if (!conversion) {
    SetICMMode(dc_, ICM_OFF);
    return picture->Draw(dc_, mapping, frame, block);
  }
  zvkImage::IIcmDraw* managed = nullptr;
  if (FAILED(picture->QueryInterface(__uuidof(zvkImage::IIcmDraw), reinterpret_cast<void**>(&managed))) ||
      !managed)
    return E_NOINTERFACE;
  drawing_ = true;
  space_ = space;
  const HRESULT hr = managed->DrawManaged(dc_, mapping, frame, block, this);
  drawing_ = false;
  conversion_ = nullptr;
  managed->Release();
  return hr;
}

HRESULT IcmBase::DrawBits(int source, const uint8_t* bits, int width, int height, int stride,
                          const RECT& destination) {
  if (!dc_) return E_FAIL;
  if (width <= 0 || height <= 0 || stride < width * 3) return E_INVALIDARG;
  const int packed = (width * 3 + 3) & ~3;
  std::vector<uint8_t> pixels(static_cast<size_t>(packed) * height);
  for (int y = 0; y < height; ++y)
    memcpy(&pixels[static_cast<size_t>(y) * packed], bits + static_cast<ptrdiff_t>(y) * stride, width * 3);
  const HRESULT hr = ConvertRows(source, pixels.data(), width, height, packed);
  if (FAILED(hr)) return hr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  SetLastError(0);
  if (StretchDIBits(dc_, destination.left, destination.top, destination.right - destination.left,
                    destination.bottom - destination.top, 0, 0, width, height, pixels.data(), &info,
                    DIB_RGB_COLORS, SRCCOPY) == 0)
    return LastErrorOrFail();
  return S_OK;
}

}  // namespace zvk
