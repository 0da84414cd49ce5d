#include "Lut.h"

#include <oleauto.h>

#include <cstring>

#include "LutStream.h"
#include "LutTableFill.h"

using comserver::GuardedCall;
using lut::LutParameters;

namespace {

constexpr DISPID kDispidValue = 0;
constexpr DISPID kDispidDeviceType = 1;
constexpr DISPID kDispidChannelSet = 2;
constexpr DISPID kDispidBitDepth = 3;
constexpr DISPID kDispidGammaStyle = 4;
constexpr DISPID kDispidType = 5;
constexpr DISPID kDispidLut = 6;

bool NameIs(BSTR name, const wchar_t* expected) { return _wcsicmp(name ? name : L"", expected) == 0; }

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof(float)) == 0; }

}  // namespace

HRESULT CLut::FinalConstruct() {
  return CoCreateFreeThreadedMarshaler(GetControllingUnknown(), &m_pUnkMarshaler);
}

void CLut::FinalRelease() {
  if (m_pUnkMarshaler) m_pUnkMarshaler->Release();
  m_pUnkMarshaler = nullptr;
}

void CLut::Changed() {
  m_dirty = true;
  ++m_changeCount;
}

void CLut::NotifyChanged(DISPID id) {
  FireOnChanged(id);
  FireOnChanged(kDispidLut);
}

STDMETHODIMP CLut::get_Value(LUT_CHANNEL Channel, BSTR Name, VARIANT* Val) {
  if (!Val) return E_POINTER;
  VariantInit(Val);
  return GuardedCall([&]() -> HRESULT {
    Lock lock(m_lock);
    int slot = m_parameters.MapChannel(Channel);
    if (slot < 0) return E_INVALIDARG;
    if (NameIs(Name, L"dMax") || NameIs(Name, L"dMin")) {
      Val->vt = VT_I4;
      Val->lVal = NameIs(Name, L"dMax") ? m_parameters.dMax[slot] : m_parameters.dMin[slot];
    } else if (NameIs(Name, L"Gamma")) {
      Val->vt = VT_R4;
      Val->fltVal = m_parameters.gamma[slot];
    } else if (NameIs(Name, L"GammaLo")) {
      Val->vt = VT_R4;
      Val->fltVal = m_parameters.gammaLo[slot];
    } else if (NameIs(Name, L"GammaHi")) {
      Val->vt = VT_R4;
      Val->fltVal = m_parameters.gammaHi[slot];
    } else if (NameIs(Name, L"LUT")) {
      return VariantCopy(Val, &m_parameters.manual[slot]);
    } else {
      return E_INVALIDARG;
    }
    return S_OK;
  });
}

STDMETHODIMP CLut::put_Value(LUT_CHANNEL Channel, BSTR Name, VARIANT Val) {
  return putref_Value(Channel, Name, &Val);
}

STDMETHODIMP CLut::putref_Value(LUT_CHANNEL Channel, BSTR Name, VARIANT* Val) {
  VARIANT empty;
  VariantInit(&empty);
  return GuardedCall([&] { return PutValue(Channel, Name, Val ? *Val : empty); });
}

HRESULT CLut::PutValue(long channel, BSTR name, const VARIANT& value) {
  VARIANT* source = const_cast<VARIANT*>(&value);
  bool changed = false;
  if (NameIs(name, L"dMax") || NameIs(name, L"dMin")) {
    comserver::CComVariant number;
    HRESULT hr = VariantChangeType(&number, source, 0, VT_I4);
    if (FAILED(hr)) return hr;
    Lock lock(m_lock);
    int slot = m_parameters.MapChannel(channel);
    if (slot < 0 || !m_parameters.IsParameterType()) return E_INVALIDARG;
    if (number.lVal < 0 || number.lVal > (int64_t{1} << m_parameters.bitDepth) - 1) return E_INVALIDARG;
    int32_t& point = NameIs(name, L"dMax") ? m_parameters.dMax[slot] : m_parameters.dMin[slot];
    changed = point != number.lVal;
    if (changed) {
      point = number.lVal;
      Changed();
    }
  } else if (NameIs(name, L"gamma") || NameIs(name, L"gammaLo") || NameIs(name, L"gammaHi")) {
    comserver::CComVariant number;
    HRESULT hr = VariantChangeType(&number, source, 0, VT_R4);
    if (FAILED(hr)) return hr;
    Lock lock(m_lock);
    int slot = m_parameters.MapChannel(channel);
    if (slot < 0) return E_INVALIDARG;
    float* gammas;
    if (NameIs(name, L"gamma")) {
      if (!m_parameters.IsParameterType()) return E_INVALIDARG;
      gammas = m_parameters.gamma;
    } else {
      if (m_parameters.type != lut::kTypeAdvanced) return E_INVALIDARG;
      gammas = NameIs(name, L"gammaLo") ? m_parameters.gammaLo : m_parameters.gammaHi;
    }
    changed = !SameBits(gammas[slot], number.fltVal);
    if (changed) {
      gammas[slot] = number.fltVal;
      Changed();
    }
  } else if (NameIs(name, L"Table")) {
    // A copy of the caller's array, dereferenced: a by-reference copy would keep pointing into the
    // caller's memory. Only plain integer elements: the table's bytes are read and stored as such.
    comserver::CComVariant table;
    HRESULT hr = table.Copy(source, true);
    if (FAILED(hr)) return hr;
    if ((table.vt & VT_ARRAY) == 0 || !table.parray || SafeArrayGetDim(table.parray) != 1)
      return E_INVALIDARG;
    unsigned size = lut::ManualElementSize(table.vt & VT_TYPEMASK);
    if (size == 0 || table.parray->cbElements != size) return E_INVALIDARG;
    Lock lock(m_lock);
    int slot = m_parameters.MapChannel(channel);
    if (slot < 0 || m_parameters.type != lut::kTypeManual) return E_INVALIDARG;
    std::swap(static_cast<VARIANT&>(m_parameters.manual[slot]), static_cast<VARIANT&>(table));
    Changed();
    changed = true;  // a table put always tells the watchers
  } else {
    return E_INVALIDARG;
  }
  if (changed) NotifyChanged(kDispidValue);
  return S_OK;
}

HRESULT CLut::PutInt(int32_t LutParameters::*member, int32_t value, bool valid, DISPID id) {
  if (!valid) return E_INVALIDARG;
  return GuardedCall([&] {
    bool changed;
    {
      Lock lock(m_lock);
      changed = m_parameters.*member != value;
      if (changed) {
        m_parameters.*member = value;
        Changed();
      }
    }
    if (changed) NotifyChanged(id);
    return S_OK;
  });
}

STDMETHODIMP CLut::get_DeviceType(LUT_DEVICETYPE* Val) {
  if (!Val) return E_POINTER;
  Lock lock(m_lock);
  *Val = m_parameters.output ? dtOutput : dtInput;
  return S_OK;
}

STDMETHODIMP CLut::put_DeviceType(LUT_DEVICETYPE Val) {
  if (Val != dtInput && Val != dtOutput) return E_INVALIDARG;
  return GuardedCall([&] {
    bool changed;
    {
      Lock lock(m_lock);
      changed = m_parameters.output != (Val == dtOutput);
      if (changed) {
        m_parameters.output = Val == dtOutput;
        Changed();
      }
    }
    if (changed) NotifyChanged(kDispidDeviceType);
    return S_OK;
  });
}

STDMETHODIMP CLut::get_ChannelSet(LUT_CHANNELSET* Val) {
  if (!Val) return E_POINTER;
  Lock lock(m_lock);
  *Val = static_cast<LUT_CHANNELSET>(m_parameters.channelSet);
  return S_OK;
}

STDMETHODIMP CLut::put_ChannelSet(LUT_CHANNELSET Val) {
  return PutInt(&LutParameters::channelSet, Val, Val == csGreyscale || Val == csRGB, kDispidChannelSet);
}

STDMETHODIMP CLut::get_BitDepth(short* Val) {
  if (!Val) return E_POINTER;
  Lock lock(m_lock);
  *Val = static_cast<short>(m_parameters.bitDepth);
  return S_OK;
}

STDMETHODIMP CLut::put_BitDepth(short Val) {
  return PutInt(&LutParameters::bitDepth, Val, Val >= 1 && Val <= 31, kDispidBitDepth);
}

STDMETHODIMP CLut::get_GammaStyle(LUT_GAMMASTYLE* Val) {
  if (!Val) return E_POINTER;
  Lock lock(m_lock);
  *Val = static_cast<LUT_GAMMASTYLE>(m_parameters.gammaStyle);
  return S_OK;
}

STDMETHODIMP CLut::put_GammaStyle(LUT_GAMMASTYLE Val) {
  return PutInt(&LutParameters::gammaStyle, Val, Val == gsOver || Val == gsUnder, kDispidGammaStyle);
}

STDMETHODIMP CLut::get_Type(LUT_TYPE* Val) {
  if (!Val) return E_POINTER;
  Lock lock(m_lock);
  *Val = static_cast<LUT_TYPE>(m_parameters.type);
  return S_OK;
}

STDMETHODIMP CLut::put_Type(LUT_TYPE Val) {
  return PutInt(&LutParameters::type, Val, Val == ltBasic || Val == ltAdvanced || Val == ltManual,
                kDispidType);
}

STDMETHODIMP CLut::get_LUT(VARIANT* Val) {
  if (!Val) return E_POINTER;
  VariantInit(Val);
  return GuardedCall([&] {
    Lock lock(m_lock);
    return lut::LutTableFill::CreateTable(m_parameters, Val);
  });
}

STDMETHODIMP CLut::Invert() {
  return GuardedCall([&] {
    bool changed;
    {
      Lock lock(m_lock);
      changed = std::memcmp(m_parameters.dMax, m_parameters.dMin, sizeof(m_parameters.dMax)) != 0;
      if (changed) {
        std::swap(m_parameters.dMax, m_parameters.dMin);
        Changed();
      }
    }
    if (changed) NotifyChanged(kDispidValue);
    return S_OK;
  });
}

STDMETHODIMP CLut::GetTable(LUT_CHANNEL Channel, VARIANT* Val) {
  if (!Val) return E_POINTER;
  return GuardedCall([&] {
    Lock lock(m_lock);
    return lut::LutTableFill::FillArray(m_parameters, Channel, *Val);
  });
}

HRESULT CLut::IPersistStreamInit_Load(IStream* stream) {
  lut::LutRecord record;
  lut::LutStream::Read(stream, record);  // outside the lock: the stream is someone else's code
  Lock lock(m_lock);
  return lut::LutStream::Apply(record, m_parameters);
}

HRESULT CLut::IPersistStreamInit_Save(IStream* stream, BOOL clearDirty) {
  lut::LutRecordImage image;
  ULONGLONG savedChange;
  {
    Lock lock(m_lock);
    HRESULT hr = lut::LutStream::Compose(m_parameters, image);
    if (FAILED(hr)) return hr;
    savedChange = m_changeCount;
  }
  HRESULT hr = lut::LutStream::Write(stream, image);
  if (SUCCEEDED(hr) && clearDirty) {
    Lock lock(m_lock);
    if (m_changeCount == savedChange) m_dirty = false;
  }
  return hr;
}

ULONGLONG CLut::IPersistStreamInit_GetSizeMax() {
  Lock lock(m_lock);
  return lut::LutStream::SizeMax(m_parameters);
}

bool CLut::IPersistStreamInit_IsDirty() {
  Lock lock(m_lock);
  return m_dirty;
}
