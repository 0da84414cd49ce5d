// Reference-holding interface pointers.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace comserver {

template <class T>
class CComPtr {
 public:
  CComPtr() = default;
  CComPtr(T* p) : p(p) {
    if (p) p->AddRef();
  }
  CComPtr(const CComPtr& other) : CComPtr(other.p) {}
  CComPtr(CComPtr&& other) noexcept : p(std::exchange(other.p, nullptr)) {}
  ~CComPtr() { Release(); }

  CComPtr& operator=(T* other) {
    if (other) other->AddRef();
    Release();
    p = other;
    return *this;
  }
  CComPtr& operator=(const CComPtr& other) { return *this = other.p; }
  CComPtr& operator=(CComPtr&& other) noexcept {
    if (this != &other) {
      Release();
      p = std::exchange(other.p, nullptr);
    }
    return *this;
  }

  void Release() {
    if (T* old = std::exchange(p, nullptr)) old->Release();
  }
  void Attach(T* other) {
    Release();
    p = other;
  }
  T* Detach() { return std::exchange(p, nullptr); }
  HRESULT CopyTo(T** out) const {
    if (!out) return E_POINTER;
    *out = p;
    if (p) p->AddRef();
    return S_OK;
  }
  template <class Q>
  HRESULT QueryInterface(Q** out) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    return p ? p->QueryInterface(__uuidof(Q), reinterpret_cast<void**>(out)) : E_POINTER;
  }
  HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer = nullptr, DWORD context = CLSCTX_ALL) {
    Release();
    return ::CoCreateInstance(clsid, outer, context, __uuidof(T), reinterpret_cast<void**>(&p));
  }

  T* operator->() const { return p; }
  operator T*() const { return p; }
  T& operator*() const { return *p; }
  // For out parameters; the pointer must be empty.
  T** operator&() { return &p; }
  bool operator!() const { return p == nullptr; }

  T* p = nullptr;
};

template <class T, const IID* piid = &__uuidof(T)>
class CComQIPtr : public CComPtr<T> {
 public:
  CComQIPtr() = default;
  CComQIPtr(IUnknown* unknown) {
    if (unknown) unknown->QueryInterface(*piid, reinterpret_cast<void**>(&this->p));
  }
  CComQIPtr& operator=(IUnknown* unknown) {
    CComQIPtr other(unknown);
    std::swap(this->p, other.p);
    return *this;
  }
};

}  // namespace comserver
