#include "comserver/ComClassFactory.h"

#include "comserver/ComModule.h"
#include "comserver/GuardedCall.h"

namespace comserver {

CComClassFactory::CComClassFactory(CreateFunction create) : m_create(create) { Module().Lock(); }

CComClassFactory::~CComClassFactory() { Module().Unlock(); }

STDMETHODIMP CComClassFactory::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CComClassFactory::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_ref)); }

STDMETHODIMP_(ULONG) CComClassFactory::Release() {
  LONG count = InterlockedDecrement(&m_ref);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

STDMETHODIMP CComClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  return GuardedCall([&] { return m_create(outer, riid, ppv); });
}

STDMETHODIMP CComClassFactory::LockServer(BOOL lock) {
  if (lock)
    Module().Lock();
  else
    Module().Unlock();
  return S_OK;
}

}  // namespace comserver
