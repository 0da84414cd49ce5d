// An owned COM interface pointer: released once, never copied by accident.
#pragma once

#include <unknwn.h>

#include <utility>

namespace keybench {

template <class T>
class ComRef {
 public:
  ComRef() = default;
  // Takes over a reference the caller already holds.
  explicit ComRef(T* owned) : p_(owned) {}
  ComRef(const ComRef& other) : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  ComRef(ComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComRef& operator=(ComRef other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComRef() {
    if (p_) p_->Release();
  }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out parameters: releases what is held and gives the slot.
  T** Out() {
    *this = ComRef();
    return &p_;
  }

  // Another interface of the same object, or an empty reference when it has none.
  template <class U>
  ComRef<U> As() const {
    U* other = nullptr;
    if (p_) p_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(&other));
    return ComRef<U>(other);
  }

 private:
  T* p_ = nullptr;
};

}  // namespace keybench
