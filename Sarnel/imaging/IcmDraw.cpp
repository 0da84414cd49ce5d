#include "IcmDraw.h"

#include <vector>

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

IcmBase::IcmBase(HDC dc, IcmCache& cache)
    : dc_(dc && GetDeviceCaps(dc, TECHNOLOGY) == DT_RASDISPLAY ? dc : nullptr),
      cache_(cache),
      enabled_(ColorManagementSettings::Current().enabled),
      intent_(ColorManagementSettings::Current().intent) {
  cache_.AddRef();
}

IcmBase::~IcmBase() { cache_.Release(); }

HRESULT IcmsRGB::GetTargetProfile(std::string& path) {
  path = IcmCache::SrgbTargetPath();
  return path.empty() ? IcmCache::kNoDisplayProfile : S_OK;
}

HRESULT IcmBase::ConvertRows(int source, uint8_t* bits, int width, int height, int stride) {
  if (!enabled_) return S_FALSE;
  if (target_.empty()) {
    const HRESULT hr = GetTargetProfile(target_);
    if (FAILED(hr)) return hr;
  }
  const IcmConversion* conversion = nullptr;
  HRESULT hr = S_OK;
  if (source == kSourceSrgb) {
    hr = cache_.GetSourceConversion(intent_, target_, &conversion);
  } else if (source == kSourceJob || source == kSourceJobOther) {
    IcmDocument document(CurrentIcmJob(), source == kSourceJob ? -2 : -1);
    hr = cache_.GetDocumentConversion(document, intent_, target_, &conversion);
  } else {
    return E_INVALIDARG;
  }
  // A job without a colour space draws unmanaged on every target.
  if (FAILED(hr) || !conversion) return FAILED(hr) ? hr : S_FALSE;
  try {
    conversion->table->ApplyBgrRows(bits, width, height, stride);
  } catch (const CMyException& e) {
    return e.code;
  }
  return S_OK;
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
