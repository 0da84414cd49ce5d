#include "BitmapRows.h"

#include <cstring>
#include <new>

namespace keybench {

HRESULT BitmapRows::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == __uuidof(zvkImage::IBitmapProcess))
    *object = static_cast<zvkImage::IBitmapProcess*>(this);
  else if (iid == __uuidof(zvkImage::IBitmapProcessRaster))
    *object = static_cast<zvkImage::IBitmapProcessRaster*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

HRESULT BitmapRows::GetName(BSTR* name) {
  if (!name) return E_POINTER;
  *name = SysAllocString(L"keybench rows");
  return *name ? S_OK : E_OUTOFMEMORY;
}

HRESULT BitmapRows::GetParameter(long, VARIANT* value) {
  if (!value) return E_POINTER;
  VariantInit(value);
  return E_INVALIDARG;
}

HRESULT BitmapRows::Begin(long width, long height) {
  try {
    if (direction_ == Direction::Read) {
      image_ = ByteImage(width, height, 3);
      return S_OK;
    }
    return image_.Width() == width && image_.Height() == height && image_.Channels() == 3 ? S_OK
                                                                                          : E_INVALIDARG;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT BitmapRows::End(HRESULT) { return S_OK; }

HRESULT BitmapRows::GetFlags(long* flags) {
  if (!flags) return E_POINTER;
  *flags = 0;
  return S_OK;
}

HRESULT BitmapRows::GetFormat(long* red, long* green, long* blue) {
  if (!red || !green || !blue) return E_POINTER;
  *red = 0;
  *green = 1;
  *blue = 2;
  return S_OK;
}

HRESULT BitmapRows::GetContextRows(long* rows) {
  if (!rows) return E_POINTER;
  *rows = 0;
  return S_OK;
}

HRESULT BitmapRows::ProcessRow(long row, BYTE* data) {
  if (!data || row < 0 || row >= image_.Height()) return E_INVALIDARG;
  const size_t bytes = static_cast<size_t>(image_.Width()) * 3;
  if ((data[0] | (data[1] << 8)) != static_cast<int>(bytes)) return E_INVALIDARG;
  if (direction_ == Direction::Read)
    std::memcpy(image_.Row(row), data + 2, bytes);
  else
    std::memcpy(data + 2, image_.Row(row), bytes);
  return S_OK;
}

}  // namespace keybench
