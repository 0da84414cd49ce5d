// Enumerators over a snapshot taken when they were made (connections, connection points).
// Items hold a reference while the snapshot lives; Next hands out another to the caller.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <memory>
#include <new>
#include <vector>

#include "comserver/ComModule.h"
#include "comserver/GuardedCall.h"

namespace comserver {

struct InterfaceItemPolicy {
  template <class I>
  static void AddRef(I* item) {
    if (item) item->AddRef();
  }
  template <class I>
  static void Release(I* item) {
    if (item) item->Release();
  }
};

struct ConnectDataPolicy {
  static void AddRef(const CONNECTDATA& item) {
    if (item.pUnk) item.pUnk->AddRef();
  }
  static void Release(const CONNECTDATA& item) {
    if (item.pUnk) item.pUnk->Release();
  }
};

template <class Item, class Policy>
class EnumSnapshot {
 public:
  explicit EnumSnapshot(std::vector<Item> items) : m_items(std::move(items)) {}
  ~EnumSnapshot() {
    for (const Item& item : m_items) Policy::Release(item);
  }
  const std::vector<Item>& Items() const { return m_items; }

 private:
  std::vector<Item> m_items;
};

template <class Base, const IID* piid, class Item, class Policy>
class CComEnum : public Base {
 public:
  using Snapshot = EnumSnapshot<Item, Policy>;

  // Takes over the references the items hold.
  static HRESULT Create(std::vector<Item> items, Base** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return GuardedCall([&] {
      auto snapshot = std::make_shared<const Snapshot>(std::move(items));
      *out = new CComEnum(std::move(snapshot), 0);
      return S_OK;
    });
  }

  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, *piid)) {
      *ppv = static_cast<Base*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(InterlockedIncrement(&m_ref)); }
  STDMETHOD_(ULONG, Release)() override {
    LONG count = InterlockedDecrement(&m_ref);
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
  }

  STDMETHOD(Next)(ULONG count, Item* items, ULONG* fetched) override {
    if (fetched) *fetched = 0;
    if (!items || (count > 1 && !fetched)) return E_POINTER;
    const auto& all = m_snapshot->Items();
    ULONG done = 0;
    while (done < count && m_position < all.size()) {
      items[done] = all[m_position++];
      Policy::AddRef(items[done]);
      ++done;
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
  }
  STDMETHOD(Skip)(ULONG count) override {
    size_t left = m_snapshot->Items().size() - m_position;
    if (count > left) {
      m_position = m_snapshot->Items().size();
      return S_FALSE;
    }
    m_position += count;
    return S_OK;
  }
  STDMETHOD(Reset)() override {
    m_position = 0;
    return S_OK;
  }
  STDMETHOD(Clone)(Base** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return GuardedCall([&] {
      *out = new CComEnum(m_snapshot, m_position);
      return S_OK;
    });
  }

 private:
  CComEnum(std::shared_ptr<const Snapshot> snapshot, size_t position)
      : m_snapshot(std::move(snapshot)), m_position(position) {
    Module().Lock();
  }
  virtual ~CComEnum() { Module().Unlock(); }

  LONG m_ref = 1;
  std::shared_ptr<const Snapshot> m_snapshot;
  size_t m_position;
};

using CComEnumConnections = CComEnum<IEnumConnections, &IID_IEnumConnections, CONNECTDATA, ConnectDataPolicy>;
using CComEnumConnectionPoints =
    CComEnum<IEnumConnectionPoints, &IID_IEnumConnectionPoints, IConnectionPoint*, InterfaceItemPolicy>;

}  // namespace comserver
