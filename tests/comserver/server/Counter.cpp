#include "Counter.h"

#include <stdexcept>

using comserver::GuardedCall;

STDMETHODIMP CCounter::get_Count(long* Val) {
  if (!Val) return E_POINTER;
  *Val = m_count;
  return S_OK;
}

STDMETHODIMP CCounter::put_Count(long Val) {
  if (Val == m_count) return S_OK;
  m_count = Val;
  m_dirty = true;
  FireOnChanged(1);
  return S_OK;
}

STDMETHODIMP CCounter::Add(long Amount, VARIANT Times, long* Result) {
  if (!Result) return E_POINTER;
  long times = 1;
  if (!(Times.vt == VT_ERROR && Times.scode == DISP_E_PARAMNOTFOUND)) {
    VARIANT converted;
    VariantInit(&converted);
    HRESULT hr = VariantChangeType(&converted, &Times, 0, VT_I4);
    if (FAILED(hr)) return hr;
    times = converted.lVal;
  }
  *Result = m_count + Amount * times;
  return put_Count(*Result);
}

STDMETHODIMP CCounter::Fail(long Kind) {
  return GuardedCall([&]() -> HRESULT {
    if (Kind == 0) throw std::bad_alloc();
    throw std::runtime_error("counter failure");
  });
}

HRESULT CCounter::IPersistStreamInit_Load(IStream* stream) {
  long count = 0;
  HRESULT hr = comserver::ReadExact(stream, &count, sizeof(count));
  if (SUCCEEDED(hr)) m_count = count;
  return hr;
}

HRESULT CCounter::IPersistStreamInit_Save(IStream* stream, BOOL clearDirty) {
  HRESULT hr = comserver::WriteAll(stream, &m_count, sizeof(m_count));
  if (SUCCEEDED(hr) && clearDirty) m_dirty = false;
  return hr;
}
