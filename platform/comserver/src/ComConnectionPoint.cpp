#include "comserver/ComConnectionPoint.h"

namespace comserver {

CComConnectionPoint::~CComConnectionPoint() {
  for (auto& sink : m_sinks) sink.second->Release();
}

void CComConnectionPoint::SetContainer(IConnectionPointContainer* container) {
  InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&m_container), container);
}

STDMETHODIMP CComConnectionPoint::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPoint)) {
    *ppv = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CComConnectionPoint::AddRef() { return m_container->AddRef(); }
STDMETHODIMP_(ULONG) CComConnectionPoint::Release() { return m_container->Release(); }

STDMETHODIMP CComConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = m_iid;
  return S_OK;
}

STDMETHODIMP CComConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = m_container;
  m_container->AddRef();
  return S_OK;
}

STDMETHODIMP CComConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (cookie) *cookie = 0;
  if (!sink || !cookie) return E_POINTER;
  return GuardedCall([&]() -> HRESULT {
    IUnknown* typed = nullptr;
    if (FAILED(sink->QueryInterface(m_iid, reinterpret_cast<void**>(&typed))) || !typed)
      return CONNECT_E_CANNOTCONNECT;
    try {
      CComCritSecLock<CComAutoCriticalSection> lock(m_lock);
      DWORD assigned = m_nextCookie++;
      if (m_nextCookie == 0) m_nextCookie = 1;
      m_sinks.emplace_back(assigned, typed);
      *cookie = assigned;
    } catch (...) {
      typed->Release();
      throw;
    }
    return S_OK;
  });
}

STDMETHODIMP CComConnectionPoint::Unadvise(DWORD cookie) {
  IUnknown* removed = nullptr;
  {
    CComCritSecLock<CComAutoCriticalSection> lock(m_lock);
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
      if (it->first == cookie) {
        removed = it->second;
        m_sinks.erase(it);
        break;
      }
    }
  }
  if (!removed) return CONNECT_E_NOCONNECTION;
  removed->Release();  // outside the lock: the sink's release may call back
  return S_OK;
}

STDMETHODIMP CComConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (!connections) return E_POINTER;
  *connections = nullptr;
  return GuardedCall([&] {
    std::vector<CONNECTDATA> items;
    {
      CComCritSecLock<CComAutoCriticalSection> lock(m_lock);
      items.reserve(m_sinks.size());
      for (auto& sink : m_sinks) {
        sink.second->AddRef();
        items.push_back(CONNECTDATA{sink.second, sink.first});
      }
    }
    return CComEnumConnections::Create(std::move(items), connections);
  });
}

std::vector<CComPtr<IUnknown>> CComConnectionPoint::Sinks() {
  std::vector<CComPtr<IUnknown>> sinks;
  CComCritSecLock<CComAutoCriticalSection> lock(m_lock);
  sinks.reserve(m_sinks.size());
  for (auto& sink : m_sinks) sinks.emplace_back(sink.second);
  return sinks;
}

void IPropertyNotifySinkCP::FireOnChanged(DISPID id) {
  for (auto& sink : m_cpPropertyNotify.Sinks()) static_cast<IPropertyNotifySink*>(sink.p)->OnChanged(id);
}

HRESULT IPropertyNotifySinkCP::FireOnRequestEdit(DISPID id) {
  for (auto& sink : m_cpPropertyNotify.Sinks())
    if (static_cast<IPropertyNotifySink*>(sink.p)->OnRequestEdit(id) == S_FALSE) return S_FALSE;
  return S_OK;
}

}  // namespace comserver
