// IPersistStreamInit (which also serves IPersistStream and IPersist: their methods are its first
// ones). T supplies the record:
//   HRESULT IPersistStreamInit_Load(IStream*);
//   HRESULT IPersistStreamInit_Save(IStream*, BOOL clearDirty);
//   ULONGLONG IPersistStreamInit_GetSizeMax();
//   bool IPersistStreamInit_IsDirty();
// and may hide IPersistStreamInit_InitNew (S_OK, nothing done).
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "comserver/GuardedCall.h"

namespace comserver {

template <class T>
class IPersistStreamInitImpl : public IPersistStreamInit {
 public:
  STDMETHOD(GetClassID)(CLSID* clsid) override {
    if (!clsid) return E_POINTER;
    *clsid = T::GetObjectCLSID();
    return S_OK;
  }
  STDMETHOD(IsDirty)() override {
    return GuardedCall([&] { return Self()->IPersistStreamInit_IsDirty() ? S_OK : S_FALSE; });
  }
  STDMETHOD(Load)(IStream* stream) override {
    if (!stream) return E_POINTER;
    return GuardedCall([&] { return Self()->IPersistStreamInit_Load(stream); });
  }
  STDMETHOD(Save)(IStream* stream, BOOL clearDirty) override {
    if (!stream) return E_POINTER;
    return GuardedCall([&] { return Self()->IPersistStreamInit_Save(stream, clearDirty); });
  }
  STDMETHOD(GetSizeMax)(ULARGE_INTEGER* size) override {
    if (!size) return E_POINTER;
    return GuardedCall([&] {
      size->QuadPart = Self()->IPersistStreamInit_GetSizeMax();
      return S_OK;
    });
  }
  STDMETHOD(InitNew)() override {
    return GuardedCall([&] { return Self()->IPersistStreamInit_InitNew(); });
  }

  HRESULT IPersistStreamInit_InitNew() { return S_OK; }

 private:
  T* Self() { return static_cast<T*>(this); }
};

}  // namespace comserver
