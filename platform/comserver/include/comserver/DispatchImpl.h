// IDispatch of a dual interface I, answered from the type library through ITypeInfo::Invoke.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "comserver/ComTypeInfoHolder.h"
#include "comserver/GuardedCall.h"

namespace comserver {

template <class I, const IID* piid>
class IDispatchImpl : public I {
 public:
  STDMETHOD(GetTypeInfoCount)(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  STDMETHOD(GetTypeInfo)(UINT index, LCID lcid, ITypeInfo** info) override {
    return GuardedCall([&] { return TypeInfo().GetTypeInfo(index, lcid, info); });
  }
  STDMETHOD(GetIDsOfNames)(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
    return GuardedCall([&] { return TypeInfo().GetIDsOfNames(riid, names, count, lcid, ids); });
  }
  STDMETHOD(Invoke)
  (DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
   UINT* argumentError) override {
    return GuardedCall([&] {
      return TypeInfo().Invoke(static_cast<I*>(this), id, riid, lcid, flags, params, result, exception,
                               argumentError);
    });
  }

 private:
  static CComTypeInfoHolder& TypeInfo() {
    static CComTypeInfoHolder holder(piid);
    return holder;
  }
};

}  // namespace comserver
