// A plane or an interleaved image of 8-bit samples, row after row without padding.
#pragma once

#include <cstddef>
#include <vector>

namespace keybench {

class ByteImage {
 public:
  ByteImage() = default;
  ByteImage(int width, int height, int channels, unsigned char fill = 0)
      : width_(width),
        height_(height),
        channels_(channels),
        samples_(static_cast<size_t>(width) * height * channels, fill) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Channels() const { return channels_; }
  size_t PixelCount() const { return static_cast<size_t>(width_) * height_; }
  bool Empty() const { return samples_.empty(); }

  unsigned char* Row(int y) { return samples_.data() + static_cast<size_t>(y) * width_ * channels_; }
  const unsigned char* Row(int y) const {
    return samples_.data() + static_cast<size_t>(y) * width_ * channels_;
  }
  unsigned char& At(int x, int y, int c = 0) { return Row(y)[static_cast<size_t>(x) * channels_ + c]; }
  unsigned char At(int x, int y, int c = 0) const { return Row(y)[static_cast<size_t>(x) * channels_ + c]; }

  std::vector<unsigned char>& Samples() { return samples_; }
  const std::vector<unsigned char>& Samples() const { return samples_; }

 private:
  int width_ = 0;
  int height_ = 0;
  int channels_ = 0;
  std::vector<unsigned char> samples_;
};

}  // namespace keybench
