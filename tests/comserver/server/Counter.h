// The kit's test object: a counter with a property, a method with an optional argument, a method
// that throws, change notifications and a four-byte stream record.
#pragma once

#include <windows.h>

#include "KitTest_h.h"
#include "comserver/ComServer.h"

#define IDR_COUNTER 101
#define IDR_FAILING_COUNTER 102

class CCounter : public comserver::CComObjectRootEx<comserver::CComSingleThreadModel>,
                 public comserver::CComCoClass<CCounter, &CLSID_Counter>,
                 public comserver::IDispatchImpl<ICounter, &IID_ICounter>,
                 public comserver::IConnectionPointContainerImpl<CCounter>,
                 public comserver::IPropertyNotifySinkCP,
                 public comserver::IPersistStreamInitImpl<CCounter> {
 public:
  DECLARE_REGISTRY_RESOURCEID(IDR_COUNTER)

  BEGIN_COM_MAP(CCounter)
    COM_INTERFACE_ENTRY(ICounter)
    COM_INTERFACE_ENTRY2(IDispatch, ICounter)
    COM_INTERFACE_ENTRY(IConnectionPointContainer)
    COM_INTERFACE_ENTRY(IPersistStreamInit)
    COM_INTERFACE_ENTRY_IID(IID_IPersistStream, IPersistStreamInit)
    COM_INTERFACE_ENTRY2(IPersist, IPersistStreamInit)
  END_COM_MAP()

  BEGIN_CONNECTION_POINT_MAP(CCounter)
    CONNECTION_POINT_ENTRY(m_cpPropertyNotify)
  END_CONNECTION_POINT_MAP()

  STDMETHOD(get_Count)(long* Val) override;
  STDMETHOD(put_Count)(long Val) override;
  STDMETHOD(Add)(long Amount, VARIANT Times, long* Result) override;
  STDMETHOD(Fail)(long Kind) override;

  HRESULT IPersistStreamInit_Load(IStream* stream);
  HRESULT IPersistStreamInit_Save(IStream* stream, BOOL clearDirty);
  ULONGLONG IPersistStreamInit_GetSizeMax() { return 4; }
  bool IPersistStreamInit_IsDirty() { return m_dirty; }

 private:
  long m_count = 0;
  bool m_dirty = false;
};

// Its FinalConstruct fails, so the factory must hand out nothing.
class CFailingCounter : public CCounter {
 public:
  DECLARE_REGISTRY_RESOURCEID(IDR_FAILING_COUNTER)
  DECLARE_NOT_AGGREGATABLE(CFailingCounter)
  static const CLSID& GetObjectCLSID() { return CLSID_FailingCounter; }
  HRESULT FinalConstruct() { return E_ABORT; }
};
