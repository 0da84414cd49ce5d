#include "ExportRender.h"

#include "IcmDraw.h"
#include "ImageBitmap.h"
#include "RectFitting.h"

namespace {

using ITablesPtr = _com_ptr_t<_com_IIID<zvkImage::ITables, &__uuidof(zvkImage::ITables)>>;
using ITransformPtr = _com_ptr_t<_com_IIID<zvkImage::ITransform, &__uuidof(zvkImage::ITransform)>>;
using IFlattenPtr = _com_ptr_t<_com_IIID<zvkImage::IFlatten, &__uuidof(zvkImage::IFlatten)>>;
using IResampleRectPtr = _com_ptr_t<_com_IIID<zvkImage::IResampleRect, &__uuidof(zvkImage::IResampleRect)>>;
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

// Hands the rows of a flatten to the colour layer: from the job's colour space to sRGB.
class JobToSrgb : public zvkImage::IRenderIcmCallback {
 public:
  HRESULT STDMETHODCALLTYPE SetupDC(HDC, IUnknown*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ConvertRows(BYTE* bits, long width, long height, long stride) override {
    return srgb_.ConvertRows(zvk::IcmBase::kSourceJob, bits, int(width), int(height), int(stride));
  }

 private:
  zvk::IcmsRGB srgb_{nullptr};
};

// The bitmap, its alpha and the mask (else its own) laid over the fill colour, converted to sRGB first with
// toSrgb (the fill is sRGB already). A bitmap of the caller's own (the working bitmap, when the crop changes
// nothing) is flattened into a new one; one made for this render is flattened in place.
IBitmapPtr Flatten(IBitmapPtr bitmap, bool own, zvkImage::IBitmap* mask, COLORREF fill, bool toSrgb) {
  IBitmapPtr flat = bitmap;
  if (!own) {
    flat = NewBitmap();
    Check<zvkImage::IBitmap>(flat->Initialize(0), flat);
  }
  IFlattenPtr flatten;
  Check<zvkImage::IBitmap>(
      flat->QueryInterface(__uuidof(zvkImage::IFlatten), reinterpret_cast<void**>(&flatten)), flat);
  JobToSrgb convert;
  Check<zvkImage::IFlatten>(flatten->FlattenFrom(bitmap, mask, fill, toSrgb ? &convert : nullptr), flatten);
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
  // Without a background, one picture of the working bitmap's size is held besides it (a cut of its own,
  // flattened, toned and sharpened in place, or the flattened copy when the crop changes nothing), and
  // then the result at the target size, made from it in one pass.
  IBitmapPtr bitmap = CropZoomImage(source, crop);
  if (!bitmap) return nullptr;
  bool own = bitmap.GetInterfacePtr() != source;
  if (background) {
    const SIZE size = SizeOf(bitmap);
    IPictureFramePtr picture = CreateRenderPicture(bitmap, nullptr, background, CropScale());
    if (options.toSrgb) {
      // The render converts the picture, background included, from the job's colour space.
      _variant_t space(long(-2));
      _bstr_t name(kRenderSpaceProperty);
      Check<zvkImage::IPictureFrame>(picture->SetProperty(name, space), picture);
    }
    bitmap = RenderImageToBitmap(picture, size.cx, size.cy);
    if (!bitmap) return nullptr;
    own = true;
  }
  // The mask covers the whole source: it is cut like the picture so that it stays on the subject.
  IBitmapPtr cutMask = mask ? CropZoomImage(mask, crop) : nullptr;
  const COLORREF fill = options.transparencyUse ? options.transparencyColor : RGB(255, 255, 255);
  // The background's render has converted already.
  bitmap = Flatten(bitmap, own, cutMask, fill, options.toSrgb && !background);
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
  if (options.resample) {
    // Cut and resampled in one pass: no copy of the cut at its full size.
    IResampleRectPtr resample;
    Check<zvkImage::IBitmap>(
        sized->QueryInterface(__uuidof(zvkImage::IResampleRect), reinterpret_cast<void**>(&resample)), sized);
    Check<zvkImage::IResampleRect>(resample->ResampleRect(bitmap, r.x, r.y, r.x + r.width, r.y + r.height,
                                                          options.width, options.height),
                                   resample);
  } else {
    Check<zvkImage::IBitmap>(sized->CopyRect(bitmap, r.x, r.y, r.x + r.width, r.y + r.height), sized);
  }
  bitmap = nullptr;
  SetResolution(sized, options.dpi);
  return sized;
}

IBitmapPtr MaskAsOpacity(zvkImage::IBitmap* mask) {
  if (mask == nullptr) return nullptr;
  IBitmapPtr opacity = CreateImageBitmap("ExportMask", 1);
  CheckBitmapCall(opacity->CopyFrom(mask), opacity);
  long width = 0, height = 0;
  CheckBitmapCall(opacity->GetWidth(&width), opacity);
  CheckBitmapCall(opacity->GetHeight(&height), opacity);
  HDC dc = nullptr;
  CheckBitmapCall(opacity->GetDC(&dc), opacity);
  ::PatBlt(dc, 0, 0, width, height, DSTINVERT);
  CheckBitmapCall(opacity->ReleaseDC(dc), opacity);
  return opacity;
}
