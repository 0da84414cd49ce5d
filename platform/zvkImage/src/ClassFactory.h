// The library's class factory: one static object per class, so creating objects needs no registry entry.
#pragma once

#include <objbase.h>

namespace zvkImage {

class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(const CLSID& clsid) : clsid_(clsid) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  const CLSID clsid_;
};

}  // namespace zvkImage
