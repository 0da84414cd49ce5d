// A bitmap of the image library, driven only through its public interfaces: made by its creation
// helper, filled and read row by row through RunProcess, loaded and saved through IBitmap, sampled
// through IBitmapEx slot 79 and its alpha read through slot 80. Failures throw std::runtime_error.
#pragma once

#include "ByteImage.h"
#include "ComRef.h"
#include "PixelRect.h"

#include <zvkImage/zvkImage.h>

#include <string>

namespace keybench {

class ZvkBitmap {
 public:
  static ZvkBitmap New();
  // A bitmap holding the RGB image.
  static ZvkBitmap FromImage(const ByteImage& rgb);
  // Decodes a picture file; the message names the file when it cannot be read.
  static ZvkBitmap Load(const std::string& path);

  // A new bitmap with this one's pixels, alpha and turn (IBitmap::CopyFrom), as the program makes
  // the bitmap that it keys.
  ZvkBitmap Copy() const;
  void Save(const std::string& path, zvkImage::FileType type, long bits, long option = 0) const;

  int Width() const;
  int Height() const;
  // The colour planes in R, G, B order; the alpha plane (255 opaque) through the matte bitmap.
  ByteImage Colour() const;
  ByteImage Alpha() const;
  // The image library's sample of a pixel rectangle (the caller clears the VARIANT).
  VARIANT Sample(const PixelRect& rect) const;

  zvkImage::IBitmap* Get() const { return bitmap_.Get(); }

 private:
  explicit ZvkBitmap(ComRef<zvkImage::IBitmap> bitmap) : bitmap_(std::move(bitmap)) {}

  ComRef<zvkImage::IBitmap> bitmap_;
};

}  // namespace keybench
