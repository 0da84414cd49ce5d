// Output rendering: a job image's crop applied to a bitmap, a picture that lays a bitmap over a replacement
// background, and such a picture drawn into a new 24-bit bitmap.
#pragma once

#include "zvkImage/RenderFrame.h"
#include "zvkImage/zvkImage.h"

#include "CropScale.h"

#include <comdef.h>

using IBitmapPtr = _com_ptr_t<_com_IIID<zvkImage::IBitmap, &__uuidof(zvkImage::IBitmap)>>;
using IPictureFramePtr = _com_ptr_t<_com_IIID<zvkImage::IPictureFrame, &__uuidof(zvkImage::IPictureFrame)>>;

// The interface a smart pointer holds; the COM error E_POINTER when it holds none.
template <class Ptr>
auto CheckComPtr(const Ptr& pointer) {
  auto* raw = pointer.GetInterfacePtr();
  if (!raw) _com_issue_error(E_POINTER);
  return raw;
}

// The picture property naming the colour space a render converts from (a space id of the job, as the colour
// layer counts them; none or 0: sRGB).
inline constexpr wchar_t kRenderSpaceProperty[] = L"_Sarnel_IcmTransform";

// The geometry of a crop record as the image library reads it.
zvkImage::CropGeometry ToCropGeometry(const CropScale& crop);

// The crop and scale applied: the bitmap itself for a crop that changes nothing, else a new bitmap of what
// the crop shows (white beyond the picture). Null for an empty bitmap or crop, a bitmap without the
// transform, or any failure of it.
IBitmapPtr CropZoomImage(zvkImage::IBitmap* bitmap, const CropScale& crop);

// A picture of the source with the crop, an optional second bitmap over it and an optional background
// under it. Raises CMyException E_NOINTERFACE when no picture can be made, the COM error on a failed call.
IPictureFramePtr CreateRenderPicture(zvkImage::IBitmap* source, zvkImage::IBitmap* second,
                                     zvkImage::IBitmap* background, const CropScale& crop);

// The picture fitted into width x height (keeping its aspect) and drawn on white into a new sRGB bitmap of
// the fitted size, converted from the colour space its kRenderSpaceProperty names. Null when no bitmap or
// device context can be had, and after a drawing failure (reported), so that nobody saves a half-drawn
// picture.
IBitmapPtr RenderImageToBitmap(zvkImage::IPictureFrame* picture, long width, long height);
