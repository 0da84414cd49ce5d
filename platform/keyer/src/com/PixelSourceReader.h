// AutoCompute's row reader over a bitmap's IKeyerPixelSource.
#pragma once

#include "keyer/AutoCompute.h"
#include "keyer/ChromaKeyer.h"

class PixelSourceReader : public keyer::PixelRowReader {
 public:
  // source is borrowed; GetPixelSize must have succeeded with a positive size.
  PixelSourceReader(IKeyerPixelSource* source, int width, int height)
      : source_(source), width_(width), height_(height) {}

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool ReadRows(int firstRow, int rowCount, uint8_t* buffer, size_t stride) override {
    return SUCCEEDED(source_->CopyPixelRows(firstRow, rowCount, buffer, static_cast<LONG_PTR>(stride)));
  }

 private:
  IKeyerPixelSource* source_;
  int width_, height_;
};
