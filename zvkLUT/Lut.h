// The LUT object: a tone curve that computes its tables on demand.
//
// Free-threaded: import workers read tables while the user-interface thread edits the curve, so one
// lock guards the parameters (a reader always sees a whole state), notifications go out after the
// lock is released, and the free-threaded marshaler is aggregated so every apartment gets the raw
// pointer.
#pragma once

#include <windows.h>

#include "LutParameters.h"
#include "comserver/ComServer.h"
#include "resource.h"
#include "zvkLUT_h.h"

class CLut : public comserver::CComObjectRootEx<comserver::CComMultiThreadModel>,
             public comserver::CComCoClass<CLut, &CLSID_LUT>,
             public comserver::IDispatchImpl<ILut, &IID_ILut>,
             public comserver::IConnectionPointContainerImpl<CLut>,
             public comserver::IPropertyNotifySinkCP,
             public comserver::IPersistStreamInitImpl<CLut> {
 public:
  DECLARE_REGISTRY_RESOURCEID(IDR_LUT)

  BEGIN_COM_MAP(CLut)
    COM_INTERFACE_ENTRY(ILut)
    COM_INTERFACE_ENTRY2(IDispatch, ILut)
    COM_INTERFACE_ENTRY(IConnectionPointContainer)
    COM_INTERFACE_ENTRY(IPersistStreamInit)
    COM_INTERFACE_ENTRY_IID(IID_IPersistStream, IPersistStreamInit)
    COM_INTERFACE_ENTRY2(IPersist, IPersistStreamInit)
    COM_INTERFACE_ENTRY_AGGREGATE(IID_IMarshal, m_pUnkMarshaler)
  END_COM_MAP()

  BEGIN_CONNECTION_POINT_MAP(CLut)
    CONNECTION_POINT_ENTRY(m_cpPropertyNotify)
  END_CONNECTION_POINT_MAP()

  HRESULT FinalConstruct();
  void FinalRelease();

  // ILut
  STDMETHOD(get_Value)(LUT_CHANNEL Channel, BSTR Name, VARIANT* Val) override;
  STDMETHOD(put_Value)(LUT_CHANNEL Channel, BSTR Name, VARIANT Val) override;
  STDMETHOD(putref_Value)(LUT_CHANNEL Channel, BSTR Name, VARIANT* Val) override;
  STDMETHOD(get_DeviceType)(LUT_DEVICETYPE* Val) override;
  STDMETHOD(put_DeviceType)(LUT_DEVICETYPE Val) override;
  STDMETHOD(get_ChannelSet)(LUT_CHANNELSET* Val) override;
  STDMETHOD(put_ChannelSet)(LUT_CHANNELSET Val) override;
  STDMETHOD(get_BitDepth)(short* Val) override;
  STDMETHOD(put_BitDepth)(short Val) override;
  STDMETHOD(get_GammaStyle)(LUT_GAMMASTYLE* Val) override;
  STDMETHOD(put_GammaStyle)(LUT_GAMMASTYLE Val) override;
  STDMETHOD(get_Type)(LUT_TYPE* Val) override;
  STDMETHOD(put_Type)(LUT_TYPE Val) override;
  STDMETHOD(get_LUT)(VARIANT* Val) override;
  STDMETHOD(Invert)() override;
  STDMETHOD(GetTable)(LUT_CHANNEL Channel, VARIANT* Val) override;

  // The stream record, for IPersistStreamInitImpl.
  HRESULT IPersistStreamInit_Load(IStream* stream);
  HRESULT IPersistStreamInit_Save(IStream* stream, BOOL clearDirty);
  ULONGLONG IPersistStreamInit_GetSizeMax();
  bool IPersistStreamInit_IsDirty();

 private:
  using Lock = comserver::CComCritSecLock<comserver::CComAutoCriticalSection>;

  // Sets an int32 property under the lock when `valid`; notifies its dispid (then 6) when it changed.
  HRESULT PutInt(int32_t lut::LutParameters::*member, int32_t value, bool valid, DISPID id);
  HRESULT PutValue(long channel, BSTR name, const VARIANT& value);
  // Marks the change; the caller notifies after releasing the lock.
  void Changed();
  void NotifyChanged(DISPID id);

  comserver::CComAutoCriticalSection m_lock;
  lut::LutParameters m_parameters;
  bool m_dirty = false;
  ULONGLONG m_changeCount = 0;  // lets a save clear the dirty flag only for the state it wrote
  IUnknown* m_pUnkMarshaler = nullptr;
};
