// Shared pieces of the LUT tests: the registered server, objects created by ProgID, and tables
// read through GetTable.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "comserver/ComPtr.h"
#include "comserver/ComVariant.h"
#include "zvkLUT_h.h"

namespace luttest {

using comserver::CComPtr;
using comserver::CComQIPtr;
using comserver::CComVariant;

// zvkLUT.ocx beside the test executable.
std::string ServerPath();

// A new LUT object created by ProgID "Corvanith.LUT".
CComPtr<ILut> CreateLut();

// put Value(channel, name) = value, as a caller through the interface does.
HRESULT PutValue(ILut* lut, long channel, const wchar_t* name, const VARIANT& value);
HRESULT PutValue(ILut* lut, long channel, const wchar_t* name, long value);
HRESULT PutValue(ILut* lut, long channel, const wchar_t* name, float value);

// GetTable into a new 1-D array of `entries` elements of `elementType` (lower bound `lower`);
// the entries are read back as unsigned numbers. EXPECTs the call to succeed.
std::vector<uint32_t> Table(ILut* lut, long channel, VARTYPE elementType, ULONG entries, LONG lower = 0);

// Holds an advised IPropertyNotifySink and records every OnChanged.
class RecordingSink : public IPropertyNotifySink {
 public:
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
  STDMETHOD_(ULONG, AddRef)() override { return InterlockedIncrement(&m_ref); }
  STDMETHOD_(ULONG, Release)() override { return InterlockedDecrement(&m_ref); }
  STDMETHOD(OnChanged)(DISPID id) override;
  STDMETHOD(OnRequestEdit)(DISPID) override { return S_OK; }

  void Advise(IUnknown* object);
  void Unadvise();
  // Unadvises itself inside the next OnChanged.
  void UnadviseOnNextChange() { m_unadviseInside = true; }

  std::vector<DISPID> changes;

 private:
  LONG m_ref = 1;  // lives on the test's stack
  CComPtr<IConnectionPoint> m_point;
  DWORD m_cookie = 0;
  bool m_unadviseInside = false;
};

// The bytes an object saves through IPersistStreamInit::Save.
std::vector<unsigned char> SaveBytes(IUnknown* object, HRESULT* result = nullptr, BOOL clearDirty = TRUE);
// A memory stream holding `bytes`, positioned at its start.
CComPtr<IStream> StreamOf(const std::vector<unsigned char>& bytes);
std::vector<unsigned char> FixtureBytes(const std::string& name);

}  // namespace luttest
