// The pixels of a bitmap: top-down rows of 24-bit BGR (each row padded to 4 bytes, so GDI can draw the
// rows as they are), an optional 8-bit alpha plane (255 opaque) and the resolution in dots per inch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "PlaneRecycler.h"

namespace zvkImage {

class PixelImage {
 public:
  // The largest side and pixel count a bitmap may have; larger requests fail cleanly.
  static constexpr int kMaxSide = 65535;
  static constexpr int64_t kMaxPixels = int64_t(1) << 30;

  PixelImage() = default;
  PixelImage(PixelImage&&) noexcept = default;
  PixelImage& operator=(PixelImage&&) noexcept = default;

  // New pixels (contents undefined unless fill is set: then black) without alpha; throws std::bad_alloc or
  // std::length_error for sizes out of range. A 0 x 0 image is valid and empty.
  void Allocate(int width, int height, bool fill = true);
  static bool SizeAllowed(int64_t width, int64_t height);
  static size_t StrideOf(int width) { return (size_t(width) * 3 + 3) & ~size_t(3); }

  void AddAlpha(uint8_t value);  // an alpha plane of one value
  void AddAlphaPlane();          // an alpha plane of undefined contents, for a caller that writes it whole
  void DropAlpha() { alpha_.reset(); }
  bool HasAlpha() const { return alpha_ != nullptr; }

  PixelImage Clone() const;
  void Clear();  // 0 x 0

  int Width() const { return width_; }
  int Height() const { return height_; }
  size_t Stride() const { return stride_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  uint8_t* Row(int y) { return bgr_.get() + size_t(y) * stride_; }
  const uint8_t* Row(int y) const { return bgr_.get() + size_t(y) * stride_; }
  uint8_t* AlphaRow(int y) { return alpha_.get() + size_t(y) * size_t(width_); }
  const uint8_t* AlphaRow(int y) const { return alpha_.get() + size_t(y) * size_t(width_); }
  uint8_t* Bits() { return bgr_.get(); }
  const uint8_t* Bits() const { return bgr_.get(); }

  double dpiX = 96.0;
  double dpiY = 96.0;

 private:
  int width_ = 0;
  int height_ = 0;
  size_t stride_ = 0;
  // Large planes come from and go back to PlaneRecycler, so they may hold old pixels when taken: every
  // plane is written whole (or its padding zeroed) before anything reads it.
  PlaneRecycler::Plane bgr_;
  PlaneRecycler::Plane alpha_;
};

}  // namespace zvkImage
