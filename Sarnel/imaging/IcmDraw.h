// Colour-managed drawing: a drawing object placed around one paint (IcmDisplay, onto the screen) or one
// render (IcmsRGB, into an sRGB bitmap) converts the pixels of each draw from their source's colour space to
// the target's profile before they are painted with plain GDI. It borrows its conversions from the profile
// cache and is registered there as a user for its lifetime.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ColorManagementSettings.h"
#include "IcmCache.h"
#include "IcmJob.h"

namespace zvk {

// The open job as the colour layer reaches it; null while no job is open.
void SetIcmJob(IcmJob* job);
IcmJob* CurrentIcmJob();

// The job's colour space as the cache sees it; its kind is asked of the job once.
class IcmDocument : public IcmCache::ADocumentSpace {
 public:
  IcmDocument(IcmJob* job, int spaceId) : job_(job), spaceId_(spaceId) {}
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

class IcmBase {
 public:
  enum Source { kSourceSrgb = 0, kSourceJob = 1, kSourceJobOther = 2 };
  virtual ~IcmBase();
  IcmBase(const IcmBase&) = delete;
  IcmBase& operator=(const IcmBase&) = delete;

  virtual bool IsSRGBTarget() const = 0;
  virtual HRESULT GetTargetProfile(std::string& path) = 0;

  // Converts rows of 24-bit pixels (blue, green, red) from the source to the target in place. S_FALSE when
  // nothing needed converting (management off, no job space, or the same profile on both sides).
  HRESULT ConvertRows(int source, uint8_t* bits, int width, int height, int stride);
  // Converts a top-down 24-bit block and paints it into the destination rectangle. E_FAIL without a DC.
  HRESULT DrawBits(int source, const uint8_t* bits, int width, int height, int stride,
                   const RECT& destination);

 protected:
  IcmBase(HDC dc, IcmCache& cache);
  HDC dc_;
  IcmCache& cache_;
  bool enabled_;  // the settings at construction
  int intent_;
  std::string target_;
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
