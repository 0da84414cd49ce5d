#include "PixelImage.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "ParallelRows.h"

namespace zvkImage {

bool PixelImage::SizeAllowed(int64_t width, int64_t height) {
  return width >= 0 && height >= 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

void PixelImage::Allocate(int width, int height, bool fill) {
  if (!SizeAllowed(width, height)) throw std::length_error("bitmap size out of range");
  const size_t stride = StrideOf(width);
  const size_t bytes = stride * size_t(height);
  PlaneRecycler::Plane bgr = bytes ? PlaneRecycler::Take(bytes) : PlaneRecycler::Plane();
  if (fill && bytes) std::memset(bgr.get(), 0, bytes);
  // Row padding is always zero so that nothing uninitialised ever leaves the library. These writes reach
  // every page of the plane: on new memory that is slow under Wine, so a large plane is done on all cores.
  if (!fill && bytes && stride != size_t(width) * 3) {
    uint8_t* const plane = bgr.get();
    const size_t pad = stride - size_t(width) * 3;
    const auto zeroPadding = [&](int begin, int end) {
      for (int y = begin; y < end; ++y) std::memset(plane + size_t(y) * stride + size_t(width) * 3, 0, pad);
    };
    if (bytes >= PlaneRecycler::kMinBytes)
      ParallelRows(height, 64, zeroPadding);
    else
      zeroPadding(0, height);
  }
  bgr_ = std::move(bgr);
  alpha_.reset();
  width_ = width;
  height_ = height;
  stride_ = stride;
}

void PixelImage::AddAlpha(uint8_t value) {
  const size_t n = size_t(width_) * size_t(height_);
  alpha_ = PlaneRecycler::Take(n ? n : 1);
  if (n) std::memset(alpha_.get(), value, n);
}

void PixelImage::AddAlphaPlane() {
  const size_t n = size_t(width_) * size_t(height_);
  alpha_ = PlaneRecycler::Take(n ? n : 1);
}

PixelImage PixelImage::Clone() const {
  PixelImage copy;
  copy.Allocate(width_, height_, false);
  if (bgr_) {
    // A large copy goes on all cores: mostly for new memory, whose first write into each page is slow
    // under Wine and would otherwise be paid page by page on one thread.
    const auto copyRows = [&](int begin, int end) {
      std::memcpy(copy.bgr_.get() + size_t(begin) * stride_, bgr_.get() + size_t(begin) * stride_,
                  size_t(end - begin) * stride_);
    };
    if (stride_ * size_t(height_) >= PlaneRecycler::kMinBytes)
      ParallelRows(height_, 64, copyRows);
    else
      copyRows(0, height_);
  }
  if (alpha_) {
    const size_t n = size_t(width_) * size_t(height_);
    copy.alpha_ = PlaneRecycler::Take(std::max<size_t>(n, 1));  // copied whole: no fill first
    std::memcpy(copy.alpha_.get(), alpha_.get(), n);
  }
  copy.dpiX = dpiX;
  copy.dpiY = dpiY;
  return copy;
}

void PixelImage::Clear() {
  bgr_.reset();
  alpha_.reset();
  width_ = height_ = 0;
  stride_ = 0;
}

}  // namespace zvkImage
