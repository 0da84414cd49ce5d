// The concrete objects: a plain object, an aggregated one, and the creators the class factory calls.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <climits>
#include <new>

#include "comserver/ComModule.h"
#include "comserver/ComObjectRoot.h"
#include "comserver/GuardedCall.h"

namespace comserver {

// A stand-alone object of class Base; its life keeps the module locked.
template <class Base>
class CComObject : public Base {
 public:
  explicit CComObject(void* = nullptr) { Module().Lock(); }
  virtual ~CComObject() {
    this->m_dwRef = -(LONG_MAX / 2);  // a stray AddRef/Release during FinalRelease cannot delete twice
    this->FinalRelease();
    Module().Unlock();
  }

  STDMETHOD_(ULONG, AddRef)() override { return this->InternalAddRef(); }
  STDMETHOD_(ULONG, Release)() override {
    ULONG count = this->InternalRelease();
    if (count == 0) delete this;
    return count;
  }
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    return this->_InternalQueryInterface(riid, ppv);
  }

  // Creates the object with a reference count of 0 after FinalConstruct; a failed FinalConstruct
  // deletes it and returns its HRESULT.
  static HRESULT CreateInstance(CComObject<Base>** ppObject) {
    if (!ppObject) return E_POINTER;
    *ppObject = nullptr;
    return GuardedCall([&]() -> HRESULT {
      auto* object = new CComObject<Base>();
      object->InternalAddRef();
      HRESULT hr = GuardedCall([&] { return object->FinalConstruct(); });
      object->InternalRelease();
      if (FAILED(hr)) {
        delete object;
        return hr;
      }
      *ppObject = object;
      return S_OK;
    });
  }
};

// The inner part of an aggregated object: every IUnknown call goes to the outer object.
template <class Base>
class CComContainedObject : public Base {
 public:
  explicit CComContainedObject(void* outer) { this->m_pOuterUnknown = static_cast<IUnknown*>(outer); }
  STDMETHOD_(ULONG, AddRef)() override { return this->m_pOuterUnknown->AddRef(); }
  STDMETHOD_(ULONG, Release)() override { return this->m_pOuterUnknown->Release(); }
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    return this->m_pOuterUnknown->QueryInterface(riid, ppv);
  }
};

// An object of class Base aggregated by an outer object: this is the non-delegating IUnknown the
// outer object holds.
template <class Base>
class CComAggObject : public IUnknown, public CComObjectRootEx<typename Base::_ThreadModel> {
 public:
  explicit CComAggObject(void* outer) : m_contained(outer) { Module().Lock(); }
  virtual ~CComAggObject() {
    this->m_dwRef = -(LONG_MAX / 2);
    m_contained.FinalRelease();
    Module().Unlock();
  }

  HRESULT FinalConstruct() { return m_contained.FinalConstruct(); }

  STDMETHOD_(ULONG, AddRef)() override { return this->InternalAddRef(); }
  STDMETHOD_(ULONG, Release)() override {
    ULONG count = this->InternalRelease();
    if (count == 0) delete this;
    return count;
  }
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown)) {
      *ppv = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    return m_contained._InternalQueryInterface(riid, ppv);
  }

  CComContainedObject<Base> m_contained;
};

// Makes an object of T (CComObject<X> or CComAggObject<X>), runs FinalConstruct and queries riid.
template <class T>
struct CComCreator {
  static HRESULT CreateInstance(void* outer, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    return GuardedCall([&]() -> HRESULT {
      T* object = new T(outer);
      object->InternalAddRef();
      HRESULT hr = GuardedCall([&] { return object->FinalConstruct(); });
      object->InternalRelease();
      if (SUCCEEDED(hr)) hr = object->QueryInterface(riid, ppv);
      if (FAILED(hr)) delete object;
      return hr;
    });
  }
};

// Creator for classes that refuse something: always fails with `code`.
template <HRESULT code>
struct CComFailCreator {
  static HRESULT CreateInstance(void*, REFIID, void** ppv) {
    if (ppv) *ppv = nullptr;
    return code;
  }
};

// Plain creation without an outer object, aggregation (which must ask for IUnknown) with one.
template <class Plain, class Aggregated>
struct CComCreator2 {
  static HRESULT CreateInstance(void* outer, REFIID riid, void** ppv) {
    if (!outer) return Plain::CreateInstance(nullptr, riid, ppv);
    if (!IsEqualIID(riid, IID_IUnknown)) {
      if (ppv) *ppv = nullptr;
      return CLASS_E_NOAGGREGATION;
    }
    return Aggregated::CreateInstance(outer, riid, ppv);
  }
};

// The class's creatable face: its class identifier and how the factory makes it.
template <class T, const CLSID* pclsid>
class CComCoClass {
 public:
  using _CreatorClass = CComCreator2<CComCreator<CComObject<T>>, CComCreator<CComAggObject<T>>>;
  static const CLSID& GetObjectCLSID() { return *pclsid; }
};

}  // namespace comserver

#define DECLARE_NOT_AGGREGATABLE(x)                                                                     \
 public:                                                                                                \
  using _CreatorClass = ::comserver::CComCreator2<::comserver::CComCreator<::comserver::CComObject<x>>, \
                                                  ::comserver::CComFailCreator<CLASS_E_NOAGGREGATION>>;

#define DECLARE_REGISTRY_RESOURCEID(id)                                     \
 public:                                                                    \
  static HRESULT UpdateRegistry(BOOL bRegister) {                           \
    return ::comserver::Module().UpdateRegistryFromResource(id, bRegister); \
  }
