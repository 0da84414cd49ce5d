// An IPropertyBag over one registry key: outside components that persist themselves through
// IPersistPropertyBag keep their settings as named registry values.
#pragma once

#include <windows.h>
#include <ocidl.h>

namespace zvk {

class PropertyBagReg : public IPropertyBag {
 public:
  PropertyBagReg() = default;
  PropertyBagReg(const PropertyBagReg&) = delete;
  PropertyBagReg& operator=(const PropertyBagReg&) = delete;
  virtual ~PropertyBagReg();

  // Opens (access with write rights: creates) the key; E_UNEXPECTED when one is open already.
  HRESULT Open(HKEY parent, const char* subKey, REGSAM access);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
  HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override;

  // Makes the bag use the ANSI registry calls as on a system without the wide ones (for tests).
  static void UseAnsiRegistryCalls(bool ansi);

 private:
  // The two methods' bodies, which may throw; the methods turn that into an HRESULT.
  HRESULT ReadValue(LPCOLESTR name, VARIANT* value);
  HRESULT WriteValue(LPCOLESTR name, VARIANT* value);

  LONG refcount = 1;
  HKEY key = nullptr;
};

}  // namespace zvk
