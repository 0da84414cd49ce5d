// An owned VARIANT: cleared on destruction, copied with VariantCopy.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace comserver {

class CComVariant : public tagVARIANT {
 public:
  CComVariant() { VariantInit(this); }
  CComVariant(const VARIANT& source);
  CComVariant(const CComVariant& source) : CComVariant(static_cast<const VARIANT&>(source)) {}
  CComVariant(long value) : CComVariant() {
    vt = VT_I4;
    lVal = value;
  }
  CComVariant(int value) : CComVariant(static_cast<long>(value)) {}
  CComVariant(float value) : CComVariant() {
    vt = VT_R4;
    fltVal = value;
  }
  CComVariant(double value) : CComVariant() {
    vt = VT_R8;
    dblVal = value;
  }
  CComVariant(const wchar_t* text);
  ~CComVariant() { VariantClear(this); }
  CComVariant& operator=(const CComVariant& source) {
    Copy(&source);
    return *this;
  }
  CComVariant& operator=(const VARIANT& source) {
    Copy(&source);
    return *this;
  }

  HRESULT Clear() { return VariantClear(this); }
  // Replaces the value with a copy of source (by-reference values dereferenced when asked).
  HRESULT Copy(const VARIANT* source, bool dereference = false);
  HRESULT ChangeType(VARTYPE type, const VARIANT* source = nullptr);
  // Hands the value to *out, leaving this empty.
  HRESULT Detach(VARIANT* out);
};

}  // namespace comserver
