// Colour-managed drawing: a drawing object placed around one paint (IcmDisplay, onto the screen) or one
// render (IcmsRGB, into an sRGB bitmap) converts the pixels of each draw from their source's colour space to
// the target's profile before they are painted with plain GDI. It borrows its conversions from the profile
// cache and is registered there as a user for its lifetime. It puts the device context's colour state back
// as it found it when it goes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ColorManagementSettings.h"
#include "IcmCache.h"
#include "IcmJob.h"
#include "zvkImage/zvkImage.h"

namespace zvk {

// The open job as the colour layer reaches it; null while no job is open.
void SetIcmJob(IcmJob* job);
IcmJob* CurrentIcmJob();

// The job's colour space as the cache sees it; its kind is asked of the job once.
class IcmDocument : public IcmCache::ADocumentSpace {
 public:
  IcmDocument(IcmJob* job, int spaceId);
  HRESULT StreamProfile(ColorProfileStreamOut& sink) override;
  int DocumentNumber() override { return 0; }
  int SpaceId() override { return spaceId_; }
  int ProfileKind() override;

 private:
  IcmJob* job_;
  int spaceId_;
  int kind_ = 0;
  bool asked_ = false;
};

class IcmBase : public zvkImage::IRenderIcmCallback {
 public:
  enum Source { kSourceSrgb = 0, kSourceJob = 1, kSourceJobOther = 2 };
  virtual ~IcmBase();
  IcmBase(const IcmBase&) = delete;
  IcmBase& operator=(const IcmBase&) = delete;

  virtual bool IsSRGBTarget() const = 0;
  virtual HRESULT GetTargetProfile(std::string& path) = 0;
  virtual HRESULT GetWorkingProfile(std::string& path) { return cache_.GetWorkingProfile(path); }

  // The image library's callback during DrawFromSource: the device context is prepared for the source of
  // the draw in progress, then each block of scaled pixels is converted.
  HRESULT STDMETHODCALLTYPE SetupDC(HDC dc, IUnknown* object) override;
  HRESULT STDMETHODCALLTYPE ConvertRows(BYTE* bits, long width, long height, long stride) override;

  // Draws a bitmap (its Draw's arguments) from a source: 0 sRGB, 1 the job's colour space, 2 the job's
  // other space; any other source E_INVALIDARG, no device context E_FAIL. The pixels are converted once,
  // at the size they are painted, before the bitmap's alpha and mask meet what the DC already holds.
  HRESULT DrawFromSource(int source, zvkImage::IBitmap* bitmap, const RECT& destination, const POINT& origin,
                         DWORD rop);
  // Draws a picture (its frame draw's arguments) from the colour space its named property holds: a space id
  // (-2 the job's space, -1 its other space), or sRGB for 0, no value, a value that is no number, or no
  // name. The picture converts once, at the painted size; one that cannot is E_NOINTERFACE when a
  // conversion is needed.
  HRESULT DrawImage(const wchar_t* property, zvkImage::IPictureFrame* picture,
                    const zvkImage::Mapping* mapping, const zvkImage::Frame* frame, const void* block);

  // Converts rows of 24-bit pixels (blue, green, red) from the source to the target in place. S_FALSE when
  // nothing needed converting (management off, no job space, or the same profile on both sides).
  HRESULT ConvertRows(int source, uint8_t* bits, int width, int height, int stride);
  // Converts a top-down 24-bit block and paints it into the destination rectangle. E_FAIL without a DC.
  HRESULT DrawBits(int source, const uint8_t* bits, int width, int height, int stride,
                   const RECT& destination);

 protected:
  IcmBase(HDC dc, IcmCache& cache);
  // The conversion of a source to the target; null when nothing needs converting.
  HRESULT Conversion(int source, const IcmConversion** out);
  // Likewise for a colour space: 0 sRGB, any other value a space id of the job.
  HRESULT SpaceConversion(int space, const IcmConversion** out);
  HDC dc_;
  IcmCache& cache_;
  bool enabled_;  // the settings at construction
  int intent_;
  std::string target_;
  // The draw in progress (DrawFromSource, DrawImage): its colour space and, once the DC is set up, its
  // conversion.
  bool drawing_ = false;
  int space_ = 0;
  const IcmConversion* conversion_ = nullptr;
  // The device context's colour state before this object touched it.
  int savedMode_ = 0;
  HCOLORSPACE savedSpace_ = nullptr;
  std::string savedProfile_;
};

class IcmDisplay : public IcmBase {
 public:
  explicit IcmDisplay(HDC dc, IcmCache& cache = IcmCache::Instance()) : IcmBase(dc, cache) {}
  bool IsSRGBTarget() const override { return false; }
  HRESULT GetTargetProfile(std::string& path) override { return cache_.GetDisplayProfile(path); }
};

class IcmsRGB : public IcmBase {
 public:
  explicit IcmsRGB(HDC dc, IcmCache& cache = IcmCache::Instance()) : IcmBase(dc, cache) {}
  bool IsSRGBTarget() const override { return true; }
  HRESULT GetTargetProfile(std::string& path) override;
};

}  // namespace zvk
