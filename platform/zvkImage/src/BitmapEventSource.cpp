#include "BitmapEventSource.h"

namespace zvkImage {

BitmapEventSource::~BitmapEventSource() {
  for (auto& s : sinks_) s.second->Release();
}

HRESULT BitmapEventSource::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT BitmapEventSource::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = __uuidof(IBitmapEvents);
  return S_OK;
}

HRESULT BitmapEventSource::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = container_;
  container_->AddRef();
  return S_OK;
}

HRESULT BitmapEventSource::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  IBitmapEvents* events = nullptr;
  if (FAILED(sink->QueryInterface(__uuidof(IBitmapEvents), reinterpret_cast<void**>(&events))) || !events)
    return CONNECT_E_CANNOTCONNECT;
  std::lock_guard<std::mutex> guard(lock_);
  *cookie = nextCookie_++;
  sinks_.emplace_back(*cookie, events);
  return S_OK;
}

HRESULT BitmapEventSource::Unadvise(DWORD cookie) {
  IBitmapEvents* gone = nullptr;
  {
    std::lock_guard<std::mutex> guard(lock_);
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it)
      if (it->first == cookie) {
        gone = it->second;
        sinks_.erase(it);
        break;
      }
  }
  if (!gone) return CONNECT_E_NOCONNECTION;
  gone->Release();
  return S_OK;
}

HRESULT BitmapEventSource::EnumConnections(IEnumConnections** connections) {
  if (connections) *connections = nullptr;
  return E_NOTIMPL;
}

bool BitmapEventSource::HasSinks() {
  std::lock_guard<std::mutex> guard(lock_);
  return !sinks_.empty();
}

void BitmapEventSource::Fire(bool load, LONG_PTR caller, long done, long total) {
  std::vector<IBitmapEvents*> targets;
  {
    std::lock_guard<std::mutex> guard(lock_);
    for (auto& s : sinks_) {
      s.second->AddRef();
      targets.push_back(s.second);
    }
  }
  for (IBitmapEvents* sink : targets) {
    // A sink's failure does not stop the load or save it watches.
    if (load)
      sink->LoadProgress(caller, done, total);
    else
      sink->SaveProgress(caller, done, total);
    sink->Release();
  }
}

}  // namespace zvkImage
