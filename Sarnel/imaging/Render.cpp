#include "Render.h"

#include "ErrorReport.h"
#include "IcmDraw.h"
#include "MyException.h"
#include "RectFitting.h"

#include <cmath>
#include <cstdint>

namespace {

using ITransformPtr = _com_ptr_t<_com_IIID<zvkImage::ITransform, &__uuidof(zvkImage::ITransform)>>;
using IRenderPicturePtr =
    _com_ptr_t<_com_IIID<zvkImage::IRenderPicture, &__uuidof(zvkImage::IRenderPicture)>>;
using IRenderCropPtr = _com_ptr_t<_com_IIID<zvkImage::IRenderCrop, &__uuidof(zvkImage::IRenderCrop)>>;
using IRenderAspectPtr = _com_ptr_t<_com_IIID<zvkImage::IRenderAspect, &__uuidof(zvkImage::IRenderAspect)>>;
using IRenderOverlayPtr =
    _com_ptr_t<_com_IIID<zvkImage::IRenderOverlay, &__uuidof(zvkImage::IRenderOverlay)>>;
using IRenderBackgroundPtr =
    _com_ptr_t<_com_IIID<zvkImage::IRenderBackground, &__uuidof(zvkImage::IRenderBackground)>>;

template <class Interface>
void Check(HRESULT hr, IUnknown* object) {
  if (FAILED(hr)) _com_issue_errorex(hr, object, __uuidof(Interface));
}

IBitmapPtr NewBitmap() {
  IUnknown* unknown = nullptr;
  if (FAILED(zvkImage::CreateObject(zvkImage::CLSID_Bitmap, CLSCTX_ALL, &unknown)) || !unknown)
    return nullptr;
  IBitmapPtr bitmap;
  unknown->QueryInterface(__uuidof(zvkImage::IBitmap), reinterpret_cast<void**>(&bitmap));
  unknown->Release();
  return bitmap;
}

zvkImage::PictureSize ReadSize(zvkImage::IPictureFrame* picture) {
  zvkImage::PictureSize size;
  Check<zvkImage::IPictureFrame>(picture->GetSize(&size), picture);
  return size;
}

// What the picture is drawn from: the draw's block is a count (one) and the frame.
#pragma pack(push, 4)
struct DrawBlock {
  uint32_t count = 1;
  zvkImage::Frame frame;
};
#pragma pack(pop)

}  // namespace

zvkImage::CropGeometry ToCropGeometry(const CropScale& crop) {
  zvkImage::CropGeometry g;
  g.x = crop.posA;
  g.y = crop.posB;
  g.zoom = crop.scale;
  g.fixedRatio = crop.fixedRatio;
  g.ratioWidth = uint32_t(crop.ratioWidth);
  g.ratioHeight = uint32_t(crop.ratioHeight);
  return g;
}

IBitmapPtr CropZoomImage(zvkImage::IBitmap* bitmap, const CropScale& crop) {
  if (!bitmap) return nullptr;
  if (crop.posA == 0.0 && crop.posB == 0.0 && crop.scale == 1.0 && !crop.fixedRatio)
    return IBitmapPtr(bitmap);
  try {
    long w = 0, h = 0;
    if (FAILED(bitmap->GetWidth(&w)) || FAILED(bitmap->GetHeight(&h)) || w == 0 || h == 0) return nullptr;
    RECT d;
    if (!zvkImage::CropCut(w, h, ToCropGeometry(crop), d)) return nullptr;
    ITransformPtr transform;
    if (FAILED(
            bitmap->QueryInterface(__uuidof(zvkImage::ITransform), reinterpret_cast<void**>(&transform))) ||
        !transform)
      return nullptr;
    zvkImage::IBitmap* cut = nullptr;
    if (FAILED(transform->Extract(d.left, d.top, d.right, d.bottom, RGB(255, 255, 255), &cut)) || !cut)
      return nullptr;
    return IBitmapPtr(cut, false);
  } catch (...) {
    return nullptr;
  }
}

IPictureFramePtr CreateRenderPicture(zvkImage::IBitmap* source, zvkImage::IBitmap* second,
                                     zvkImage::IBitmap* background, const CropScale& crop) {
  IUnknown* unknown = nullptr;
  zvkImage::CreateObject(zvkImage::CLSID_Picture, CLSCTX_ALL, &unknown);
  IRenderPicturePtr picture;
  if (unknown) {
    unknown->QueryInterface(__uuidof(zvkImage::IRenderPicture), reinterpret_cast<void**>(&picture));
    unknown->Release();
  }
  if (!picture) throw CMyException(E_NOINTERFACE, "E_NOINTERFACE", "Render", 299);
  Check<zvkImage::IRenderPicture>(picture->SetSource(source), picture);
  IRenderCropPtr cropping;
  if (SUCCEEDED(picture.QueryInterface(__uuidof(zvkImage::IRenderCrop), &cropping)) && cropping) {
    Check<zvkImage::IRenderCrop>(cropping->SetOffsetX(crop.posA), cropping);
    Check<zvkImage::IRenderCrop>(cropping->SetOffsetY(crop.posB), cropping);
    Check<zvkImage::IRenderCrop>(cropping->SetZoom(crop.scale), cropping);
  }
  if (crop.fixedRatio && source) {
    long w = 0, h = 0;
    Check<zvkImage::IBitmap>(source->GetWidth(&w), source);
    Check<zvkImage::IBitmap>(source->GetHeight(&h), source);
    IRenderAspectPtr aspect;
    if (SUCCEEDED(picture.QueryInterface(__uuidof(zvkImage::IRenderAspect), &aspect)) && aspect) {
      const uint32_t a = uint32_t(crop.ratioWidth), b = uint32_t(crop.ratioHeight);
      const uint32_t large = a > b ? a : b, small = a > b ? b : a;
      const bool landscape = w > h;
      Check<zvkImage::IRenderAspect>(aspect->SetAspectWidth(landscape ? large : small), aspect);
      Check<zvkImage::IRenderAspect>(aspect->SetAspectHeight(landscape ? small : large), aspect);
      Check<zvkImage::IRenderAspect>(aspect->SetAspectOn(1), aspect);
    }
  }
  IRenderOverlayPtr overlay;
  if (second && SUCCEEDED(picture.QueryInterface(__uuidof(zvkImage::IRenderOverlay), &overlay)) && overlay)
    Check<zvkImage::IRenderOverlay>(overlay->SetOverlay(second), overlay);
  IRenderBackgroundPtr under;
  if (background && SUCCEEDED(picture.QueryInterface(__uuidof(zvkImage::IRenderBackground), &under)) && under)
    Check<zvkImage::IRenderBackground>(under->SetBackground(background), under);
  IPictureFramePtr frame;
  Check<zvkImage::IRenderPicture>(picture.QueryInterface(__uuidof(zvkImage::IPictureFrame), &frame), picture);
  return frame;
}

IBitmapPtr RenderImageToBitmap(zvkImage::IPictureFrame* picture, long width, long height) {
  IBitmapPtr bitmap = NewBitmap();
  if (!bitmap) return nullptr;
  if (!picture) _com_issue_error(E_POINTER);
  const zvkImage::PictureSize first = ReadSize(picture);
  const PlacementRect fit = FitRect(PlacementRect{0, 0, int(width), int(height)},
                                    int(std::trunc(first.width)), int(std::trunc(first.height)));
  Check<zvkImage::IBitmap>(bitmap->Initialize(0), bitmap);
  Check<zvkImage::IBitmap>(bitmap->Allocate(fit.width, fit.height, 24, 0), bitmap);
  HDC dc = nullptr;
  if (FAILED(bitmap->GetDC(&dc)) || !dc) return nullptr;
  bool drawn = false;
  try {
    long w = 0, h = 0;
    Check<zvkImage::IBitmap>(bitmap->GetWidth(&w), bitmap);
    Check<zvkImage::IBitmap>(bitmap->GetHeight(&h), bitmap);
    const RECT device{0, 0, w, h};
    const zvkImage::PictureSize size = ReadSize(picture);
    zvkImage::Frame parent;
    parent.units = zvkImage::fuPlain0;
    parent.centreX = 0 + w * 0.5;
    parent.centreY = 0 + h * 0.5;
    parent.width = double(w);
    parent.height = double(h);
    const RECT target = zvkImage::Frame::MapInto(parent, size).BoundingFrame().ToRect();
    zvkImage::Frame extent;
    extent.units = size.units;
    extent.centreX = size.width * 0.5;
    extent.centreY = size.height * 0.5;
    extent.width = size.width;
    extent.height = size.height;
    zvkImage::Mapping mapping(device, device);
    mapping.Set(extent, target);
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &target, white);
    DeleteObject(white);
    const zvkImage::Frame frame = extent;
    DrawBlock block;
    block.frame = extent;
    zvk::IcmsRGB managed(dc);
    Check<zvkImage::IPictureFrame>(managed.DrawImage(kRenderSpaceProperty, picture, &mapping, &frame, &block),
                                   picture);
    drawn = true;
  } catch (...) {
    ReportCurrentException();
  }
  bitmap->ReleaseDC(dc);
  if (!drawn) return nullptr;
  return bitmap;
}
