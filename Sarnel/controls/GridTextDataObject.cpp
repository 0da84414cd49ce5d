#include "GridTextDataObject.h"

#include <shlobj.h>

#include <cstring>

GridTextDataObject::GridTextDataObject(HGLOBAL text) : m_text(text) {}

GridTextDataObject::~GridTextDataObject() {
  if (m_text != nullptr) ::GlobalFree(m_text);
}

STDMETHODIMP GridTextDataObject::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDataObject) {
    *out = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) GridTextDataObject::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) GridTextDataObject::Release() {
  const LONG refs = InterlockedDecrement(&m_refs);
  if (refs == 0) delete this;
  return static_cast<ULONG>(refs);
}

STDMETHODIMP GridTextDataObject::QueryGetData(FORMATETC* format) {
  if (format == nullptr) return E_INVALIDARG;
  if (format->cfFormat != CF_TEXT) return DV_E_FORMATETC;
  if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
  return S_OK;
}

STDMETHODIMP GridTextDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (medium == nullptr) return E_INVALIDARG;
  const HRESULT hr = QueryGetData(format);
  if (FAILED(hr)) return hr;
  const SIZE_T size = ::GlobalSize(m_text);
  HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
  if (copy == nullptr) return E_OUTOFMEMORY;
  void* to = ::GlobalLock(copy);
  const void* from = ::GlobalLock(m_text);
  if (to != nullptr && from != nullptr) memcpy(to, from, size);
  ::GlobalUnlock(m_text);
  ::GlobalUnlock(copy);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = copy;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

STDMETHODIMP GridTextDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out != nullptr) out->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

STDMETHODIMP GridTextDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
  if (direction != DATADIR_GET) return E_NOTIMPL;
  FORMATETC format{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  return ::SHCreateStdEnumFmtEtc(1, &format, out);
}
