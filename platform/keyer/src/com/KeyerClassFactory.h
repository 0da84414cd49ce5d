// The keyer library's class factory: one static object per process.
#pragma once

#include <windows.h>
#include <unknwn.h>

class KeyerClassFactory final : public IClassFactory {
 public:
  static KeyerClassFactory& Instance();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

  LONG Locks() const { return locks_; }

 private:
  KeyerClassFactory() = default;
  volatile LONG locks_ = 0;
};
