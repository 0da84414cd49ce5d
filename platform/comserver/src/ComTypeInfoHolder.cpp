#include "comserver/ComTypeInfoHolder.h"

#include <oleauto.h>

#include "comserver/ComModule.h"

namespace comserver {

HRESULT CComTypeInfoHolder::Load() {
  CComCritSecLock<CComAutoCriticalSection> lock(m_lock);
  if (m_vtableInfo) return S_OK;
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(Module().GetModulePathW().c_str(), REGKIND_NONE, &library);
  if (FAILED(hr)) return hr;
  ITypeInfo* dispatchInfo = nullptr;
  hr = library->GetTypeInfoOfGuid(*m_piid, &dispatchInfo);
  library->Release();
  if (FAILED(hr)) return hr;
  // ITypeInfo::Invoke on the dispatch part of a dual interface would call IDispatch::Invoke
  // again; it must run on the interface part.
  ITypeInfo* vtableInfo = dispatchInfo;
  vtableInfo->AddRef();
  TYPEATTR* attributes = nullptr;
  if (SUCCEEDED(dispatchInfo->GetTypeAttr(&attributes))) {
    bool dual = attributes->typekind == TKIND_DISPATCH && (attributes->wTypeFlags & TYPEFLAG_FDUAL);
    dispatchInfo->ReleaseTypeAttr(attributes);
    HREFTYPE reference = 0;
    ITypeInfo* interfaceInfo = nullptr;
    if (dual && SUCCEEDED(dispatchInfo->GetRefTypeOfImplType(-1, &reference)) &&
        SUCCEEDED(dispatchInfo->GetRefTypeInfo(reference, &interfaceInfo))) {
      vtableInfo->Release();
      vtableInfo = interfaceInfo;
    }
  }
  m_dispatchInfo = dispatchInfo;
  m_vtableInfo = vtableInfo;
  Module().AddTermFunc(&CComTypeInfoHolder::Release, this);
  return S_OK;
}

void CComTypeInfoHolder::Release(void* holder) {
  auto* self = static_cast<CComTypeInfoHolder*>(holder);
  CComCritSecLock<CComAutoCriticalSection> lock(self->m_lock);
  if (self->m_dispatchInfo) self->m_dispatchInfo->Release();
  if (self->m_vtableInfo) self->m_vtableInfo->Release();
  self->m_dispatchInfo = nullptr;
  self->m_vtableInfo = nullptr;
}

HRESULT CComTypeInfoHolder::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  HRESULT hr = Load();
  if (FAILED(hr)) return hr;
  m_dispatchInfo->AddRef();
  *info = m_dispatchInfo;
  return S_OK;
}

HRESULT CComTypeInfoHolder::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  HRESULT hr = Load();
  if (FAILED(hr)) return hr;
  return DispGetIDsOfNames(m_vtableInfo, names, count, ids);
}

HRESULT CComTypeInfoHolder::Invoke(IDispatch* object, DISPID id, REFIID riid, LCID, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  HRESULT hr = Load();
  if (FAILED(hr)) return hr;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  return m_vtableInfo->Invoke(object, id, flags, params ? params : &none, result, exception, argumentError);
}

}  // namespace comserver
