#include "classlib/OleVariant.h"

#include "classlib/ComSupport.h"

namespace {

void CheckCopy(HRESULT hr) {
  if (FAILED(hr)) _com_issue_error(hr);
}

bool EqualArrays(SAFEARRAY* a, SAFEARRAY* b) {
  if (a == b) return true;
  if (a == nullptr || b == nullptr) return false;
  if (a->cDims != b->cDims || a->cbElements != b->cbElements) return false;
  ULONGLONG elements = 1;
  for (USHORT i = 0; i < a->cDims; ++i) {
    if (a->rgsabound[i].cElements != b->rgsabound[i].cElements ||
        a->rgsabound[i].lLbound != b->rgsabound[i].lLbound)
      return false;
    elements *= a->rgsabound[i].cElements;
  }
  // Arrays of strings, interfaces or variants hold pointers; their bytes say nothing.
  if (a->fFeatures & (FADF_BSTR | FADF_UNKNOWN | FADF_DISPATCH | FADF_VARIANT)) return false;
  void* pa = nullptr;
  void* pb = nullptr;
  if (FAILED(SafeArrayAccessData(a, &pa))) return false;
  if (FAILED(SafeArrayAccessData(b, &pb))) {
    SafeArrayUnaccessData(a);
    return false;
  }
  bool same = memcmp(pa, pb, static_cast<size_t>(elements * a->cbElements)) == 0;
  SafeArrayUnaccessData(b);
  SafeArrayUnaccessData(a);
  return same;
}

bool EqualValues(const VARIANT& a, const VARIANT& b) {
  if (a.vt & VT_ARRAY)
    return EqualArrays((a.vt & VT_BYREF) ? *a.pparray : a.parray, (b.vt & VT_BYREF) ? *b.pparray : b.parray);
  if (a.vt & VT_BYREF) return a.byref == b.byref;
  switch (a.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return true;
    case VT_BOOL:
      return a.boolVal == b.boolVal;
    case VT_I1:
      return a.cVal == b.cVal;
    case VT_UI1:
      return a.bVal == b.bVal;
    case VT_I2:
      return a.iVal == b.iVal;
    case VT_UI2:
      return a.uiVal == b.uiVal;
    case VT_I4:
    case VT_INT:
      return a.lVal == b.lVal;
    case VT_UI4:
    case VT_UINT:
      return a.ulVal == b.ulVal;
    case VT_ERROR:
      return a.scode == b.scode;
    case VT_I8:
      return a.llVal == b.llVal;
    case VT_UI8:
      return a.ullVal == b.ullVal;
    case VT_R4:
      return a.fltVal == b.fltVal;
    case VT_R8:
      return a.dblVal == b.dblVal;
    case VT_DATE:
      return a.date == b.date;
    case VT_CY:
      return a.cyVal.int64 == b.cyVal.int64;
    case VT_DECIMAL:
      return VarDecCmp(const_cast<DECIMAL*>(&a.decVal), const_cast<DECIMAL*>(&b.decVal)) == VARCMP_EQ;
    case VT_BSTR: {
      UINT la = SysStringByteLen(a.bstrVal);
      UINT lb = SysStringByteLen(b.bstrVal);
      return la == lb && (la == 0 || memcmp(a.bstrVal, b.bstrVal, la) == 0);
    }
    case VT_UNKNOWN:
    case VT_DISPATCH:
      return a.punkVal == b.punkVal;
    default:
      return false;
  }
}

}  // namespace

COleVariant::COleVariant(const VARIANT& source) {
  VariantInit(this);
  CheckCopy(VariantCopy(this, const_cast<VARIANT*>(&source)));
}

COleVariant::COleVariant(const COleVariant& source) : tagVARIANT() {
  VariantInit(this);
  CheckCopy(VariantCopy(this, const_cast<COleVariant*>(&source)));
}

COleVariant::COleVariant(LPCTSTR text, VARTYPE type) {
  VariantInit(this);
  SetString(text, type);
}

COleVariant::COleVariant(const CString& text) {
  VariantInit(this);
  SetString(text);
}

COleVariant::COleVariant(BYTE value) {
  VariantInit(this);
  vt = VT_UI1;
  bVal = value;
}

COleVariant::COleVariant(short value, VARTYPE type) {
  VariantInit(this);
  if (type == VT_BOOL) {
    vt = VT_BOOL;
    boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  } else {
    vt = VT_I2;
    iVal = value;
  }
}

COleVariant::COleVariant(long value, VARTYPE type) {
  VariantInit(this);
  if (type == VT_BOOL) {
    vt = VT_BOOL;
    boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (type == VT_ERROR) {
    vt = VT_ERROR;
    scode = value;
  } else {
    vt = VT_I4;
    lVal = value;
  }
}

COleVariant::COleVariant(LONGLONG value) {
  VariantInit(this);
  vt = VT_I8;
  llVal = value;
}

COleVariant::COleVariant(float value) {
  VariantInit(this);
  vt = VT_R4;
  fltVal = value;
}

COleVariant::COleVariant(double value) {
  VariantInit(this);
  vt = VT_R8;
  dblVal = value;
}

COleVariant::COleVariant(const COleCurrency& value) {
  VariantInit(this);
  if (value.m_status == COleCurrency::valid) {
    vt = VT_CY;
    cyVal = value.m_cur;
  } else {
    vt = value.m_status == COleCurrency::null ? VT_NULL : VT_ERROR;
    scode = DISP_E_TYPEMISMATCH;
  }
}

COleVariant::COleVariant(const COleDateTime& value) {
  VariantInit(this);
  if (value.m_status == COleDateTime::valid) {
    vt = VT_DATE;
    date = value.m_dt;
  } else {
    vt = value.m_status == COleDateTime::null ? VT_NULL : VT_ERROR;
    scode = DISP_E_TYPEMISMATCH;
  }
}

COleVariant& COleVariant::operator=(const VARIANT& source) {
  if (&source != this) CheckCopy(VariantCopy(this, const_cast<VARIANT*>(&source)));
  return *this;
}

COleVariant& COleVariant::operator=(LPCTSTR text) {
  SetString(text);
  return *this;
}

COleVariant& COleVariant::operator=(long value) {
  Clear();
  vt = VT_I4;
  lVal = value;
  return *this;
}

COleVariant& COleVariant::operator=(double value) {
  Clear();
  vt = VT_R8;
  dblVal = value;
  return *this;
}

bool COleVariant::operator==(const VARIANT& other) const {
  if (&other == this) return true;
  if (vt != other.vt) return false;
  try {
    return EqualValues(*this, other);
  } catch (...) {
    return false;
  }
}

void COleVariant::ChangeType(VARTYPE type, LPVARIANT source) {
  if (source == nullptr) source = this;
  if (source == this && vt == type) return;
  HRESULT hr = VariantChangeType(this, source, 0, type);
  if (FAILED(hr)) _com_issue_error(hr);
}

void COleVariant::Attach(VARIANT& source) {
  Clear();
  memcpy(static_cast<VARIANT*>(this), &source, sizeof(VARIANT));
  source.vt = VT_EMPTY;
}

VARIANT COleVariant::Detach() {
  VARIANT result;
  memcpy(&result, static_cast<VARIANT*>(this), sizeof(VARIANT));
  vt = VT_EMPTY;
  return result;
}

void COleVariant::SetString(LPCTSTR text, VARTYPE /*type*/) {
  Clear();
  vt = VT_BSTR;
  bstrVal = CString(text).AllocSysString();
}
