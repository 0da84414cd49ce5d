#include "comserver/ComVariant.h"

#include <new>

namespace comserver {

CComVariant::CComVariant(const VARIANT& source) : CComVariant() {
  if (FAILED(Copy(&source))) throw std::bad_alloc();
}

CComVariant::CComVariant(const wchar_t* text) : CComVariant() {
  vt = VT_BSTR;
  bstrVal = SysAllocString(text);
  if (text && !bstrVal) {
    vt = VT_EMPTY;
    throw std::bad_alloc();
  }
}

HRESULT CComVariant::Copy(const VARIANT* source, bool dereference) {
  if (source == this) return S_OK;
  VARIANT copy;
  VariantInit(&copy);
  HRESULT hr = dereference ? VariantCopyInd(&copy, const_cast<VARIANT*>(source))
                           : VariantCopy(&copy, const_cast<VARIANT*>(source));
  if (FAILED(hr)) return hr;
  VariantClear(this);
  *static_cast<VARIANT*>(this) = copy;
  return S_OK;
}

HRESULT CComVariant::ChangeType(VARTYPE type, const VARIANT* source) {
  if (!source) source = this;
  return VariantChangeType(this, const_cast<VARIANT*>(source), 0, type);
}

HRESULT CComVariant::Detach(VARIANT* out) {
  if (!out) return E_POINTER;
  HRESULT hr = VariantClear(out);
  if (FAILED(hr)) return hr;
  *out = *static_cast<VARIANT*>(this);
  vt = VT_EMPTY;
  return S_OK;
}

}  // namespace comserver
