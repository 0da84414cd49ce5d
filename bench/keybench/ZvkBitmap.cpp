#include "ZvkBitmap.h"

#include "BitmapRows.h"
#include "ComText.h"

#include <stdexcept>

namespace keybench {

namespace {

void Check(HRESULT hr, const std::string& what) {
  if (FAILED(hr)) throw std::runtime_error(what + " failed (" + HresultText(hr) + ")");
}

}  // namespace

ZvkBitmap ZvkBitmap::New() {
  ComRef<IUnknown> object;
  Check(zvkImage::CreateObject(zvkImage::CLSID_Bitmap, CLSCTX_INPROC_SERVER, object.Out()),
        "creating an image-library bitmap");
  ComRef<zvkImage::IBitmap> bitmap = object.As<zvkImage::IBitmap>();
  if (!bitmap) throw std::runtime_error("the image library's bitmap has no IBitmap");
  Check(bitmap->Initialize(0), "initialising a bitmap");
  return ZvkBitmap(std::move(bitmap));
}

ZvkBitmap ZvkBitmap::FromImage(const ByteImage& rgb) {
  if (rgb.Channels() != 3) throw std::invalid_argument("a bitmap is made from an RGB image");
  ZvkBitmap bitmap = New();
  Check(bitmap.bitmap_->Allocate(rgb.Width(), rgb.Height(), 24, 0), "allocating a bitmap");
  ByteImage source = rgb;  // the process interface writes through a non-const image
  BitmapRows rows(source, BitmapRows::Direction::Write);
  Check(bitmap.bitmap_->RunProcess(&rows, 1), "writing the bitmap's rows");
  return bitmap;
}

ZvkBitmap ZvkBitmap::Load(const std::string& path) {
  ZvkBitmap bitmap = New();
  const ComText wide(path);
  const HRESULT hr = bitmap.bitmap_->Load(wide.Get(), 24);
  if (FAILED(hr)) throw std::runtime_error(path + ": cannot read this image (" + HresultText(hr) + ")");
  return bitmap;
}

ZvkBitmap ZvkBitmap::Copy() const {
  ZvkBitmap copy = New();
  Check(copy.bitmap_->CopyFrom(bitmap_.Get()), "copying a bitmap");
  return copy;
}

void ZvkBitmap::Save(const std::string& path, zvkImage::FileType type, long bits, long option) const {
  const ComText wide(path);
  const HRESULT hr = bitmap_->Save(wide.Get(), type, bits, option);
  if (FAILED(hr)) throw std::runtime_error(path + ": cannot write this image (" + HresultText(hr) + ")");
}

int ZvkBitmap::Width() const {
  long width = 0;
  Check(bitmap_->GetWidth(&width), "reading a bitmap's width");
  return static_cast<int>(width);
}

int ZvkBitmap::Height() const {
  long height = 0;
  Check(bitmap_->GetHeight(&height), "reading a bitmap's height");
  return static_cast<int>(height);
}

ByteImage ZvkBitmap::Colour() const {
  ByteImage image;
  BitmapRows rows(image, BitmapRows::Direction::Read);
  Check(bitmap_->RunProcess(&rows, 1), "reading the bitmap's rows");
  return image;
}

ByteImage ZvkBitmap::Alpha() const {
  ComRef<zvkImage::IBitmapEx> extended = bitmap_.As<zvkImage::IBitmapEx>();
  if (!extended) throw std::runtime_error("the bitmap has no IBitmapEx");
  ComRef<zvkImage::IBitmap> matte;
  Check(extended->Matte(matte.Out()), "reading the bitmap's matte");
  const ByteImage grey = ZvkBitmap(matte).Colour();
  ByteImage alpha(grey.Width(), grey.Height(), 1);
  for (size_t i = 0; i < alpha.PixelCount(); ++i) alpha.Samples()[i] = grey.Samples()[i * 3];
  return alpha;
}

VARIANT ZvkBitmap::Sample(const PixelRect& rect) const {
  ComRef<zvkImage::IBitmapEx> extended = bitmap_.As<zvkImage::IBitmapEx>();
  if (!extended) throw std::runtime_error("the bitmap has no IBitmapEx");
  const RECT r{rect.left, rect.top, rect.right, rect.bottom};
  VARIANT sample;
  VariantInit(&sample);
  Check(extended->Sample(&r, &sample), "sampling the rectangle (" + std::to_string(rect.left) + ", " +
                                           std::to_string(rect.top) + ", " + std::to_string(rect.right) +
                                           ", " + std::to_string(rect.bottom) + ")");
  return sample;
}

}  // namespace keybench
