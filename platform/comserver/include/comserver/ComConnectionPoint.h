// Connection points: one CComConnectionPoint member per outgoing interface, listed in the
// object's connection-point map, served by IConnectionPointContainerImpl.
//
// Firing takes a snapshot of the sinks (each with a reference) and calls them outside the point's
// lock, so a sink may unadvise or advise from inside its callback.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <utility>
#include <vector>

#include "comserver/ComEnum.h"
#include "comserver/ComPtr.h"
#include "comserver/CriticalSection.h"
#include "comserver/GuardedCall.h"

namespace comserver {

class CComConnectionPoint : public IConnectionPoint {
 public:
  explicit CComConnectionPoint(const IID& iid) : m_iid(iid) {}
  virtual ~CComConnectionPoint();
  CComConnectionPoint(const CComConnectionPoint&) = delete;
  CComConnectionPoint& operator=(const CComConnectionPoint&) = delete;

  // The point lives inside its container and shares its reference count.
  void SetContainer(IConnectionPointContainer* container);

  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  STDMETHOD(GetConnectionInterface)(IID* iid) override;
  STDMETHOD(GetConnectionPointContainer)(IConnectionPointContainer** container) override;
  STDMETHOD(Advise)(IUnknown* sink, DWORD* cookie) override;
  STDMETHOD(Unadvise)(DWORD cookie) override;
  STDMETHOD(EnumConnections)(IEnumConnections** connections) override;

  // The advised sinks as the point's interface (queried at Advise), each with a reference.
  std::vector<CComPtr<IUnknown>> Sinks();

 private:
  IID m_iid;
  IConnectionPointContainer* volatile m_container = nullptr;
  CComAutoCriticalSection m_lock;
  std::vector<std::pair<DWORD, IUnknown*>> m_sinks;
  DWORD m_nextCookie = 1;
};

// The point for IPropertyNotifySink with its two notifications.
class IPropertyNotifySinkCP {
 public:
  // Calls OnChanged(id) on every sink; sink failures are the sinks' own business.
  void FireOnChanged(DISPID id);
  // S_OK when every sink allows the edit, S_FALSE when one refuses it.
  HRESULT FireOnRequestEdit(DISPID id);

 protected:
  CComConnectionPoint m_cpPropertyNotify{IID_IPropertyNotifySink};
};

struct ConnectionPointMapEntry {
  CComConnectionPoint* (*get)(void* object);
};

template <class T>
class IConnectionPointContainerImpl : public IConnectionPointContainer {
 public:
  STDMETHOD(EnumConnectionPoints)(IEnumConnectionPoints** points) override {
    if (!points) return E_POINTER;
    *points = nullptr;
    return GuardedCall([&] {
      std::vector<IConnectionPoint*> items;
      for (const ConnectionPointMapEntry* entry = T::_GetConnMap(); entry->get; ++entry) {
        IConnectionPoint* point = Point(*entry);
        point->AddRef();
        items.push_back(point);
      }
      return CComEnumConnectionPoints::Create(std::move(items), points);
    });
  }

  STDMETHOD(FindConnectionPoint)(REFIID riid, IConnectionPoint** point) override {
    if (!point) return E_POINTER;
    *point = nullptr;
    for (const ConnectionPointMapEntry* entry = T::_GetConnMap(); entry->get; ++entry) {
      CComConnectionPoint* candidate = Point(*entry);
      IID iid;
      candidate->GetConnectionInterface(&iid);
      if (IsEqualIID(iid, riid)) {
        candidate->AddRef();
        *point = candidate;
        return S_OK;
      }
    }
    return CONNECT_E_NOCONNECTION;
  }

 private:
  CComConnectionPoint* Point(const ConnectionPointMapEntry& entry) {
    CComConnectionPoint* point = entry.get(static_cast<void*>(static_cast<T*>(this)));
    point->SetContainer(this);
    return point;
  }
};

}  // namespace comserver

#define BEGIN_CONNECTION_POINT_MAP(x)                                \
 public:                                                             \
  typedef x _CPMapClass;                                             \
  static const ::comserver::ConnectionPointMapEntry* _GetConnMap() { \
    static const ::comserver::ConnectionPointMapEntry map[] = {
// `member` is a CComConnectionPoint of the class (m_cpPropertyNotify for IPropertyNotifySinkCP).
#define CONNECTION_POINT_ENTRY(member)                     \
  {[](void* object) -> ::comserver::CComConnectionPoint* { \
    return &static_cast<_CPMapClass*>(object)->member;     \
  }},

#define END_CONNECTION_POINT_MAP() \
  { nullptr }                      \
  }                                \
  ;                                \
  return map;                      \
  }
