#include "BmpProcFlip.h"

#include <cstring>
#include <utility>

CBmpProcFlip::CBmpProcFlip() { EnableAutomation(); }

void CBmpProcFlip::OnFinalRelease() { CCmdTarget::OnFinalRelease(); }

BEGIN_INTERFACE_MAP(CBmpProcFlip, CCmdTarget)
INTERFACE_PART(CBmpProcFlip, __uuidof(zvkImage::IBitmapProcess), BitmapProcess)
INTERFACE_PART(CBmpProcFlip, __uuidof(zvkImage::IBitmapProcessRaster), BitmapProcessRaster)
END_INTERFACE_MAP()

void CBmpProcFlip::MirrorRow(BYTE* bytes, unsigned count) {
  const unsigned pixels = count / 3;
  for (unsigned i = 0; i < count / 6; ++i) {
    BYTE* left = bytes + 3 * i;
    BYTE* right = bytes + 3 * (pixels - 1 - i);
    for (int c = 0; c < 3; ++c) std::swap(left[c], right[c]);
  }
}

// IBitmapProcess

STDMETHODIMP_(ULONG) CBmpProcFlip::XBitmapProcess::AddRef() {
  METHOD_PROLOGUE(CBmpProcFlip, BitmapProcess)
  return pThis->ExternalAddRef();
}

STDMETHODIMP_(ULONG) CBmpProcFlip::XBitmapProcess::Release() {
  METHOD_PROLOGUE(CBmpProcFlip, BitmapProcess)
  return pThis->ExternalRelease();
}

STDMETHODIMP CBmpProcFlip::XBitmapProcess::QueryInterface(REFIID iid, LPVOID* ppvObj) {
  METHOD_PROLOGUE(CBmpProcFlip, BitmapProcess)
  return pThis->ExternalQueryInterface(&iid, ppvObj);
}

STDMETHODIMP CBmpProcFlip::XBitmapProcess::GetName(BSTR* name) {
  if (name == nullptr) return E_POINTER;
  *name = SysAllocString(L"");
  return *name != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CBmpProcFlip::XBitmapProcess::GetParameter(long index, VARIANT* value) {
  if (value == nullptr) return E_POINTER;
  VariantInit(value);
  if (index == 0 || index == 1) {
    value->vt = VT_I2;
    value->iVal = index == 0 ? 1 : 5;
  }
  return S_OK;
}

STDMETHODIMP CBmpProcFlip::XBitmapProcess::Begin(long, long) { return S_OK; }

STDMETHODIMP CBmpProcFlip::XBitmapProcess::End(HRESULT) { return S_OK; }

// IBitmapProcessRaster

STDMETHODIMP_(ULONG) CBmpProcFlip::XBitmapProcessRaster::AddRef() {
  METHOD_PROLOGUE(CBmpProcFlip, BitmapProcessRaster)
  return pThis->ExternalAddRef();
}

STDMETHODIMP_(ULONG) CBmpProcFlip::XBitmapProcessRaster::Release() {
  METHOD_PROLOGUE(CBmpProcFlip, BitmapProcessRaster)
  return pThis->ExternalRelease();
}

STDMETHODIMP CBmpProcFlip::XBitmapProcessRaster::QueryInterface(REFIID iid, LPVOID* ppvObj) {
  METHOD_PROLOGUE(CBmpProcFlip, BitmapProcessRaster)
  return pThis->ExternalQueryInterface(&iid, ppvObj);
}

STDMETHODIMP CBmpProcFlip::XBitmapProcessRaster::GetFlags(long* flags) {
  if (flags == nullptr) return E_POINTER;
  *flags = 0;
  return S_OK;
}

STDMETHODIMP CBmpProcFlip::XBitmapProcessRaster::GetFormat(long* red, long* green, long* blue) {
  if (red == nullptr || green == nullptr || blue == nullptr) return E_POINTER;
  *red = 2;
  *green = 1;
  *blue = 0;
  return S_OK;
}

STDMETHODIMP CBmpProcFlip::XBitmapProcessRaster::GetContextRows(long* rows) {
  if (rows == nullptr) return E_POINTER;
  *rows = 0;
  return S_OK;
}

STDMETHODIMP CBmpProcFlip::XBitmapProcessRaster::ProcessRow(long, BYTE* data) {
  if (data == nullptr) return E_POINTER;
  uint16_t count;
  std::memcpy(&count, data, sizeof count);
  MirrorRow(data + sizeof count, count);
  return S_OK;
}
