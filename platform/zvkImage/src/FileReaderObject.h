// The file reader: size, image count and image sizes of a picture file, and its text tags, without decoding
// the pixels. Free-threaded like the bitmap.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <zvkImage/zvkImage.h>

#include "WicCodec.h"

namespace zvkImage {

#define ZVK_RESERVED_IMPL(n) \
  HRESULT STDMETHODCALLTYPE Reserved##n() override { return E_NOTIMPL; }

class FileReaderObject final : public IFileReader, public IFileTags {
 public:
  FileReaderObject() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE Open(BSTR path) override;
  HRESULT STDMETHODCALLTYPE GetBits(long* bits) override;
  HRESULT STDMETHODCALLTYPE GetWidth(long* width) override;
  HRESULT STDMETHODCALLTYPE GetHeight(long* height) override;
  HRESULT STDMETHODCALLTYPE GetSize(long* bytes) override;
  HRESULT STDMETHODCALLTYPE GetImageCount(long* count) override;
  HRESULT STDMETHODCALLTYPE GetImageSize(long index, long* width, long* height) override;
  HRESULT STDMETHODCALLTYPE GetTag(long tag, VARIANT* value) override;

  ZVK_RESERVED_IMPL(4)
  ZVK_RESERVED_IMPL(9)
  ZVK_RESERVED_IMPL(10)
  ZVK_RESERVED_IMPL(11)
  ZVK_RESERVED_IMPL(12)
  ZVK_RESERVED_IMPL(13)

 private:
  ~FileReaderObject() = default;

  std::atomic<ULONG> refs_{1};
  std::mutex lock_;
  bool open_ = false;
  int64_t fileSize_ = 0;
  std::vector<FrameInfo> frames_;
  std::map<long, std::wstring> tags_;
};

#undef ZVK_RESERVED_IMPL

}  // namespace zvkImage
