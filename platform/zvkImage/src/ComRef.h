// A counted reference for the library's own use (the program's smart pointers raise errors through the class
// library, which this library sits below), and a scope that makes sure COM is initialised on this thread.
#pragma once

#include <objbase.h>

namespace zvkImage {

template <class T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() { Reset(); }
  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  T** operator&() {
    Reset();
    return &p_;
  }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

class ComScope {
 public:
  ComScope() : owned_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
  ~ComScope() {
    if (owned_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool owned_;
};

}  // namespace zvkImage
