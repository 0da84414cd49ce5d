// The type information of one dual interface, read once from the module's own type library
// (so objects dispatch before and without registration) and released when the module ends.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "comserver/CriticalSection.h"

namespace comserver {

class CComTypeInfoHolder {
 public:
  explicit CComTypeInfoHolder(const IID* piid) : m_piid(piid) {}
  CComTypeInfoHolder(const CComTypeInfoHolder&) = delete;
  CComTypeInfoHolder& operator=(const CComTypeInfoHolder&) = delete;

  HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info);
  HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids);
  // `object` is the dual interface's vtable pointer.
  HRESULT Invoke(IDispatch* object, DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError);

 private:
  HRESULT Load();
  static void Release(void* holder);

  const IID* m_piid;
  CComAutoCriticalSection m_lock;
  ITypeInfo* m_dispatchInfo = nullptr;  // what GetTypeInfo hands out
  ITypeInfo* m_vtableInfo = nullptr;    // the interface part of a dual interface, for Invoke
};

}  // namespace comserver
