// The root of every object of the kit: reference count, outer unknown for aggregation, and the
// table-driven QueryInterface built by BEGIN_COM_MAP.
#pragma once

#include <windows.h>
#include <objbase.h>

#include "comserver/CriticalSection.h"

namespace comserver {

// Counts are interlocked in both models; the multi-threaded one also names a lock type.
struct CComSingleThreadModel {
  static ULONG Increment(LONG* value) { return static_cast<ULONG>(InterlockedIncrement(value)); }
  static ULONG Decrement(LONG* value) { return static_cast<ULONG>(InterlockedDecrement(value)); }
};
struct CComMultiThreadModel : CComSingleThreadModel {
  using AutoCriticalSection = CComAutoCriticalSection;
};

// An interface of the COM map: either a cast of the object (simple entries) or a delegation
// (aggregated inner objects such as the free-threaded marshaler).
struct ComMapEntry {
  const IID* piid;
  IUnknown* (*cast)(void* object);
  HRESULT (*delegate)(void* object, REFIID riid, void** ppv);
};

// The first entry answers IUnknown; a null piid ends the table.
HRESULT InternalQueryInterface(void* object, const ComMapEntry* entries, REFIID riid, void** ppv);

class CComObjectRootBase {
 public:
  HRESULT FinalConstruct() { return S_OK; }
  void FinalRelease() {}

  LONG m_dwRef = 0;
  IUnknown* m_pOuterUnknown = nullptr;
};

template <class ThreadModel>
class CComObjectRootEx : public CComObjectRootBase {
 public:
  using _ThreadModel = ThreadModel;
  ULONG InternalAddRef() { return ThreadModel::Increment(&m_dwRef); }
  ULONG InternalRelease() { return ThreadModel::Decrement(&m_dwRef); }
};

}  // namespace comserver

#define BEGIN_COM_MAP(x)                                                                                     \
 public:                                                                                                     \
  typedef x _ComMapClass;                                                                                    \
  IUnknown* GetUnknown() { return _GetEntries()[0].cast(static_cast<void*>(this)); }                         \
  IUnknown* GetControllingUnknown() { return this->m_pOuterUnknown ? this->m_pOuterUnknown : GetUnknown(); } \
  HRESULT _InternalQueryInterface(REFIID riid, void** ppv) {                                                 \
    return ::comserver::InternalQueryInterface(static_cast<void*>(this), _GetEntries(), riid, ppv);          \
  }                                                                                                          \
  static const ::comserver::ComMapEntry* _GetEntries() {                                                     \
    static const ::comserver::ComMapEntry entries[] = {
#define COM_INTERFACE_ENTRY_IID(iid, I)                                                                 \
  {&iid, [](void* object) -> IUnknown* { return static_cast<I*>(static_cast<_ComMapClass*>(object)); }, \
   nullptr},

#define COM_INTERFACE_ENTRY(I) COM_INTERFACE_ENTRY_IID(__uuidof(I), I)

// Interface I reached through the base Via (IDispatch of a dual interface, IPersist of IPersistStreamInit).
#define COM_INTERFACE_ENTRY2_IID(iid, I, Via)                                       \
  {&iid,                                                                            \
   [](void* object) -> IUnknown* {                                                  \
     return static_cast<I*>(static_cast<Via*>(static_cast<_ComMapClass*>(object))); \
   },                                                                               \
   nullptr},

#define COM_INTERFACE_ENTRY2(I, Via) COM_INTERFACE_ENTRY2_IID(__uuidof(I), I, Via)

#define COM_INTERFACE_ENTRY_IMPL(I) COM_INTERFACE_ENTRY(I)

// Hands the query to an aggregated inner object held in member `punk` (IUnknown*).
#define COM_INTERFACE_ENTRY_AGGREGATE(iid, punk)                         \
  {&iid, nullptr, [](void* object, REFIID riid, void** ppv) -> HRESULT { \
     IUnknown* inner = static_cast<_ComMapClass*>(object)->punk;         \
     return inner ? inner->QueryInterface(riid, ppv) : E_NOINTERFACE;    \
   }},

#define END_COM_MAP()           \
  { nullptr, nullptr, nullptr } \
  }                             \
  ;                             \
  return entries;               \
  }
