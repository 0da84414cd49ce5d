#include "MonitorCalibrationWiz.h"

#include "Calibration.h"
#include "CorrectionTables.h"

HRESULT CMonitorCalibrationWiz::FinalConstruct() {
  return monwz::LoadGammas(HKEY_LOCAL_MACHINE, monwz::kSettingsKey, m_gammas);
}

STDMETHODIMP CMonitorCalibrationWiz::get_DeviceGamma(VARIANT*) { return E_NOTIMPL; }

STDMETHODIMP CMonitorCalibrationWiz::get_TargetGamma(float*) { return E_NOTIMPL; }

STDMETHODIMP CMonitorCalibrationWiz::get_LUTs(short BitDepth, VARIANT* Val) {
  return comserver::GuardedCall([&] { return monwz::MakeCorrectionTables(m_gammas, BitDepth, Val); });
}

STDMETHODIMP CMonitorCalibrationWiz::Calibrate(LONG_PTR ParentWindow, VARIANT* DeviceGamma,
                                               float* TargetGamma) {
  return comserver::GuardedCall([&] {
    monwz::CalibrationHost host = monwz::MachineHost(comserver::Module().GetModuleInstance());
    return monwz::Calibrate(host, m_gammas, reinterpret_cast<HWND>(ParentWindow), DeviceGamma, TargetGamma);
  });
}
