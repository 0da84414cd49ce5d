// The monitor calibration wizard as a COM object: the stored gammas, their correction tables, and
// Calibrate, which lets the user measure them again.
#pragma once

#include <windows.h>

#include "CalibrationSettings.h"
#include "comserver/ComServer.h"
#include "resource.h"
#include "zvkMonWz_h.h"

class CMonitorCalibrationWiz
    : public comserver::CComObjectRootEx<comserver::CComSingleThreadModel>,
      public comserver::CComCoClass<CMonitorCalibrationWiz, &CLSID_MonitorCalibrationWiz>,
      public comserver::IDispatchImpl<IMonitorCalibrationWiz, &IID_IMonitorCalibrationWiz>,
      public comserver::IConnectionPointContainerImpl<CMonitorCalibrationWiz> {
 public:
  DECLARE_REGISTRY_RESOURCEID(IDR_MONITORCALIBRATIONWIZ)

  BEGIN_COM_MAP(CMonitorCalibrationWiz)
    COM_INTERFACE_ENTRY(IMonitorCalibrationWiz)
    COM_INTERFACE_ENTRY2(IDispatch, IMonitorCalibrationWiz)
    COM_INTERFACE_ENTRY(IConnectionPointContainer)
  END_COM_MAP()

  // The wizard sends no events: the container has no points.
  BEGIN_CONNECTION_POINT_MAP(CMonitorCalibrationWiz)
  END_CONNECTION_POINT_MAP()

  // Loads the stored gammas; fails only when the settings key cannot be opened.
  HRESULT FinalConstruct();

  // IMonitorCalibrationWiz
  STDMETHOD(get_DeviceGamma)(VARIANT* Val) override;
  STDMETHOD(get_TargetGamma)(float* Val) override;
  STDMETHOD(get_LUTs)(short BitDepth, VARIANT* Val) override;
  STDMETHOD(Calibrate)(LONG_PTR ParentWindow, VARIANT* DeviceGamma, float* TargetGamma) override;

 private:
  monwz::Gammas m_gammas;
};
