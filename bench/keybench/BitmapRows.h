// Reads or writes a bitmap's pixels row by row through the image library's process interface
// (IBitmap::RunProcess), the way a program hands rows in and out, in R, G, B order.
#pragma once

#include "ByteImage.h"

#include <zvkImage/zvkImage.h>

#include <atomic>

namespace keybench {

class BitmapRows final : public zvkImage::IBitmapProcess, public zvkImage::IBitmapProcessRaster {
 public:
  enum class Direction { Read, Write };

  // Read: image is filled (resized to the bitmap); Write: image's rows replace the bitmap's (same size).
  // The object lives on the stack for one RunProcess call; its reference count only guards misuse.
  BitmapRows(ByteImage& image, Direction direction) : image_(image), direction_(direction) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  // IBitmapProcess
  HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override;
  HRESULT STDMETHODCALLTYPE GetParameter(long index, VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE Begin(long width, long height) override;
  HRESULT STDMETHODCALLTYPE End(HRESULT status) override;

  // IBitmapProcessRaster
  HRESULT STDMETHODCALLTYPE GetFlags(long* flags) override;
  HRESULT STDMETHODCALLTYPE GetFormat(long* red, long* green, long* blue) override;
  HRESULT STDMETHODCALLTYPE GetContextRows(long* rows) override;
  HRESULT STDMETHODCALLTYPE ProcessRow(long row, BYTE* data) override;

 private:
  ByteImage& image_;
  Direction direction_;
  std::atomic<ULONG> references_{1};
};

}  // namespace keybench
