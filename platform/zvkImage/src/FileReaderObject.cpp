#include "FileReaderObject.h"

#include <climits>

#include "ExifTagReader.h"
#include "FileBytes.h"
#include "ImageFile.h"
#include "PixelImage.h"

namespace zvkImage {

HRESULT FileReaderObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == __uuidof(IFileReader))
    *object = static_cast<IFileReader*>(this);
  else if (iid == __uuidof(IFileTags))
    *object = static_cast<IFileTags*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG FileReaderObject::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT FileReaderObject::Open(BSTR path) {
  if (!path || SysStringLen(path) == 0) return E_INVALIDARG;
  try {
    const std::wstring file(path, SysStringLen(path));
    std::vector<FrameInfo> frames;
    HRESULT hr = S_OK;
    if (ImageFile::IsTargaPath(file) || ImageFile::IsPcxFile(file)) {
      PixelImage image;
      hr = ImageFile::Load(file, 0, image, nullptr);
      if (SUCCEEDED(hr)) frames.push_back({image.Width(), image.Height()});
    } else {
      hr = ImageFile::Inspect(file, frames);
    }
    std::map<long, std::wstring> tags;
    if (SUCCEEDED(hr)) tags = ExifTagReader::ReadFile(file);
    std::lock_guard<std::mutex> guard(lock_);
    open_ = SUCCEEDED(hr);
    frames_ = open_ ? frames : std::vector<FrameInfo>();
    tags_ = tags;
    fileSize_ = open_ ? FileBytes::Size(file) : 0;
    return open_ ? S_OK : (hr == S_OK ? E_FAIL : hr);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT FileReaderObject::GetBits(long* bits) {
  if (!bits) return E_POINTER;
  std::lock_guard<std::mutex> guard(lock_);
  *bits = open_ ? 24 : 0;
  return S_OK;
}

HRESULT FileReaderObject::GetWidth(long* width) {
  if (!width) return E_POINTER;
  std::lock_guard<std::mutex> guard(lock_);
  *width = frames_.empty() ? 0 : frames_[0].width;
  return open_ ? S_OK : E_UNEXPECTED;
}

HRESULT FileReaderObject::GetHeight(long* height) {
  if (!height) return E_POINTER;
  std::lock_guard<std::mutex> guard(lock_);
  *height = frames_.empty() ? 0 : frames_[0].height;
  return open_ ? S_OK : E_UNEXPECTED;
}

HRESULT FileReaderObject::GetSize(long* bytes) {
  if (!bytes) return E_POINTER;
  std::lock_guard<std::mutex> guard(lock_);
  *bytes = long(fileSize_ > LONG_MAX ? LONG_MAX : (fileSize_ < 0 ? 0 : fileSize_));
  return open_ ? S_OK : E_UNEXPECTED;
}

HRESULT FileReaderObject::GetImageCount(long* count) {
  if (!count) return E_POINTER;
  std::lock_guard<std::mutex> guard(lock_);
  *count = long(frames_.size());
  return open_ ? S_OK : E_UNEXPECTED;
}

HRESULT FileReaderObject::GetImageSize(long index, long* width, long* height) {
  if (!width || !height) return E_POINTER;
  std::lock_guard<std::mutex> guard(lock_);
  *width = *height = 0;
  if (!open_) return E_UNEXPECTED;
  if (index < 0 || size_t(index) >= frames_.size()) return E_INVALIDARG;
  *width = frames_[size_t(index)].width;
  *height = frames_[size_t(index)].height;
  return S_OK;
}

HRESULT FileReaderObject::GetTag(long tag, VARIANT* value) {
  if (!value) return E_POINTER;
  VariantInit(value);
  std::lock_guard<std::mutex> guard(lock_);
  if (!open_) return E_UNEXPECTED;
  const auto it = tags_.find(tag);
  if (it == tags_.end()) return S_FALSE;
  value->bstrVal = SysAllocStringLen(it->second.data(), UINT(it->second.size()));
  if (!value->bstrVal) return E_OUTOFMEMORY;
  value->vt = VT_BSTR;
  return S_OK;
}

}  // namespace zvkImage
