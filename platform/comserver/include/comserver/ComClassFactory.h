// The class object of one entry of the object map. Its life keeps the module locked.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace comserver {

class CComClassFactory : public IClassFactory {
 public:
  using CreateFunction = HRESULT (*)(void* outer, REFIID riid, void** ppv);

  explicit CComClassFactory(CreateFunction create);
  virtual ~CComClassFactory();

  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  STDMETHOD(CreateInstance)(IUnknown* outer, REFIID riid, void** ppv) override;
  STDMETHOD(LockServer)(BOOL lock) override;

 private:
  LONG m_ref = 1;
  CreateFunction m_create;
};

}  // namespace comserver
