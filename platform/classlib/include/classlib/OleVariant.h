// COleVariant: a VARIANT that owns its value (copied with VariantCopy, cleared on destruction).
#pragma once

#include "classlib/OleCurrency.h"
#include "classlib/OleDateTime.h"

class COleVariant : public tagVARIANT {
 public:
  COleVariant() { VariantInit(this); }
  COleVariant(const VARIANT& source);  // NOLINT(google-explicit-constructor)
  COleVariant(const COleVariant& source);
  COleVariant(LPCTSTR text, VARTYPE type = VT_BSTR);  // NOLINT: VT_BSTR only
  COleVariant(const CString& text);                   // NOLINT(google-explicit-constructor)
  COleVariant(BYTE value);                            // NOLINT(google-explicit-constructor)
  COleVariant(short value, VARTYPE type = VT_I2);     // NOLINT: VT_I2 or VT_BOOL
  COleVariant(long value, VARTYPE type = VT_I4);      // NOLINT: VT_I4, VT_ERROR or VT_BOOL
  COleVariant(LONGLONG value);                        // NOLINT(google-explicit-constructor)
  COleVariant(float value);                           // NOLINT(google-explicit-constructor)
  COleVariant(double value);                          // NOLINT(google-explicit-constructor)
  COleVariant(const COleCurrency& value);             // NOLINT(google-explicit-constructor)
  COleVariant(const COleDateTime& value);             // NOLINT(google-explicit-constructor)
  ~COleVariant() { VariantClear(this); }

  COleVariant& operator=(const VARIANT& source);
  COleVariant& operator=(const COleVariant& source) { return *this = static_cast<const VARIANT&>(source); }
  COleVariant& operator=(LPCTSTR text);
  COleVariant& operator=(long value);
  COleVariant& operator=(double value);

  // Equal type and equal value. Never throws: values it cannot compare are unequal.
  bool operator==(const VARIANT& other) const;
  bool operator!=(const VARIANT& other) const { return !(*this == other); }

  void Clear() { VariantClear(this); }
  // Converts in place (or from `source`); throws _com_error when the value does not convert.
  void ChangeType(VARTYPE type, LPVARIANT source = nullptr);
  void Attach(VARIANT& source);  // takes the value; source becomes VT_EMPTY
  VARIANT Detach();              // gives the value away; this becomes VT_EMPTY
  void SetString(LPCTSTR text, VARTYPE type = VT_BSTR);

  operator LPVARIANT() { return this; }             // NOLINT(google-explicit-constructor)
  operator const VARIANT*() const { return this; }  // NOLINT(google-explicit-constructor)
};
