#include "ExportRender.h"

#include "RectFitting.h"

namespace {

using ITablesPtr = _com_ptr_t<_com_IIID<zvkImage::ITables, &__uuidof(zvkImage::ITables)>>;
using ITransformPtr = _com_ptr_t<_com_IIID<zvkImage::ITransform, &__uuidof(zvkImage::ITransform)>>;
using IResolutionPtr = _com_ptr_t<_com_IIID<zvkImage::IResolution, &__uuidof(zvkImage::IResolution)>>;

template <class Interface>
void Check(HRESULT hr, IUnknown* object) {
  if (FAILED(hr)) _com_issue_errorex(hr, object, __uuidof(Interface));
}

IBitmapPtr NewBitmap() {
  IUnknown* unknown = nullptr;
  zvkImage::CreateObject(zvkImage::CLSID_Bitmap, CLSCTX_ALL, &unknown);
  if (!unknown) _com_issue_error(E_OUTOFMEMORY);
  IBitmapPtr bitmap;
  unknown->QueryInterface(__uuidof(zvkImage::IBitmap), reinterpret_cast<void**>(&bitmap));
  unknown->Release();
  if (!bitmap) _com_issue_error(E_NOINTERFACE);
  return bitmap;
}

SIZE SizeOf(zvkImage::IBitmap* bitmap) {
  long w = 0, h = 0;
  Check<zvkImage::IBitmap>(bitmap->GetWidth(&w), bitmap);
  Check<zvkImage::IBitmap>(bitmap->GetHeight(&h), bitmap);
  return {w, h};
}

// The bitmap, its alpha and its mask laid over the fill colour: a new opaque bitmap of the same size.
IBitmapPtr Flatten(IBitmapPtr bitmap, zvkImage::IBitmap* mask, COLORREF fill) {
  const SIZE size = SizeOf(bitmap);
  if (mask) {
    // The bitmap may be the caller's own (a crop that changes nothing): the mask goes on a copy.
    IBitmapPtr copy = NewBitmap();
    Check<zvkImage::IBitmap>(copy->CopyFrom(bitmap), copy);
    Check<zvkImage::IBitmap>(copy->SetMask(mask), copy);
    bitmap = copy;
  }
  IBitmapPtr flat = NewBitmap();
  Check<zvkImage::IBitmap>(flat->Initialize(0), flat);
  Check<zvkImage::IBitmap>(flat->Allocate(size.cx, size.cy, 24, 0), flat);
  HDC dc = nullptr;
  Check<zvkImage::IBitmap>(flat->GetDC(&dc), flat);
  const RECT all{0, 0, size.cx, size.cy};
  HBRUSH brush = CreateSolidBrush(fill);
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  const HRESULT drawn = bitmap->DrawRect(dc, &all, &all, SRCCOPY);
  flat->ReleaseDC(dc);
  Check<zvkImage::IBitmap>(drawn, bitmap);
  return flat;
}

void SetResolution(zvkImage::IBitmap* bitmap, int dpi) {
  IResolutionPtr resolution;
  if (SUCCEEDED(
          bitmap->QueryInterface(__uuidof(zvkImage::IResolution), reinterpret_cast<void**>(&resolution))) &&
      resolution)
    Check<zvkImage::IResolution>(resolution->SetResolution(dpi, dpi), resolution);
}

}  // namespace

IBitmapPtr RenderExportImage(zvkImage::IBitmap* source, zvkImage::IBitmap* mask,
                             zvkImage::IBitmap* background, const CropScale& crop,
                             const ExportRenderOptions& options) {
  if (!source) return nullptr;
  IBitmapPtr bitmap;
  if (background) {
    IBitmapPtr copy = NewBitmap();
    if (FAILED(copy->CopyFrom(source))) return nullptr;
    IBitmapPtr cut = CropZoomImage(copy, crop);
    if (!cut) return nullptr;
    const SIZE size = SizeOf(cut);
    bitmap =
        RenderImageToBitmap(CreateRenderPicture(cut, nullptr, background, CropScale()), size.cx, size.cy);
  } else {
    bitmap = CropZoomImage(source, crop);
  }
  if (!bitmap) return nullptr;
  // The mask covers the whole source: it is cut like the picture so that it stays on the subject.
  IBitmapPtr cutMask = mask ? CropZoomImage(mask, crop) : nullptr;
  const COLORREF fill = options.transparencyUse ? options.transparencyColor : RGB(255, 255, 255);
  bitmap = Flatten(bitmap, cutMask, fill);
  if (options.lut && options.lut->vt != VT_EMPTY) {
    ITablesPtr tables;
    if (SUCCEEDED(bitmap->QueryInterface(__uuidof(zvkImage::ITables), reinterpret_cast<void**>(&tables))) &&
        tables)
      Check<zvkImage::ITables>(tables->Apply(*options.lut), tables);
  }
  if (options.sharpen.on) {
    ITransformPtr transform;
    if (SUCCEEDED(
            bitmap->QueryInterface(__uuidof(zvkImage::ITransform), reinterpret_cast<void**>(&transform))) &&
        transform)
      Check<zvkImage::ITransform>(transform->Sharpen(options.sharpen.kernel, options.sharpen.strength),
                                  transform);
  }
  if (options.sameSize) {
    SetResolution(bitmap, options.dpi);
    return bitmap;
  }
  const SIZE size = SizeOf(bitmap);
  const PlacementRect r =
      FitRect(PlacementRect{0, 0, int(size.cx), int(size.cy)}, options.width, options.height);
  IBitmapPtr sized = NewBitmap();
  Check<zvkImage::IBitmap>(sized->Initialize(0), sized);
  Check<zvkImage::IBitmap>(sized->CopyRect(bitmap, r.x, r.y, r.x + r.width, r.y + r.height), sized);
  bitmap = nullptr;  // the cut no longer needs the whole picture
  if (options.resample) Check<zvkImage::IBitmap>(sized->Resample(options.width, options.height, 24), sized);
  SetResolution(sized, options.dpi);
  return sized;
}
