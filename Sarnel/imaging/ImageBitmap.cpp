#include "ImageBitmap.h"

#include "MyException.h"

IBitmapPtr TryCreateImageBitmap() {
  IUnknown* unknown = nullptr;
  HRESULT hr = zvkImage::CreateObject(
      zvkImage::CLSID_Bitmap, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER, &unknown);
  IBitmapPtr bitmap;
  if (SUCCEEDED(hr) && unknown != nullptr) {
    zvkImage::IBitmap* raw = nullptr;
    hr = unknown->QueryInterface(__uuidof(zvkImage::IBitmap), reinterpret_cast<void**>(&raw));
    unknown->Release();
    if (SUCCEEDED(hr) && raw != nullptr) bitmap.Attach(raw);
  }
  if (FAILED(hr) && hr != E_NOINTERFACE) _com_issue_error(hr);
  return bitmap;
}

IBitmapPtr CreateImageBitmap(const char* place, int line) {
  IBitmapPtr bitmap = TryCreateImageBitmap();
  if (!bitmap) throw CMyException(E_CANNOT_CREATE_BITMAP, "E_CANNOT_CREATE_BITMAP", place, line);
  return bitmap;
}

void CheckBitmapCall(HRESULT hr, IUnknown* bitmap) {
  if (FAILED(hr)) _com_issue_errorex(hr, bitmap, __uuidof(zvkImage::IBitmap));
}
