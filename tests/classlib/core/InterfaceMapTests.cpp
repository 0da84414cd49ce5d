// Command targets as COM objects: interface maps chained to the base class, one shared count.
#include "classlib/ClassLib.h"

#include <gtest/gtest.h>

namespace {

class CBase : public CCmdTarget {
 public:
  explicit CBase(int* deleted) : m_deleted(deleted) {}
  ~CBase() override { ++*m_deleted; }
  int* m_deleted;

  BEGIN_INTERFACE_PART(Persist, IPersist)
  STDMETHOD(GetClassID)(CLSID* id) override;
  END_INTERFACE_PART(Persist)
  DECLARE_INTERFACE_MAP()
};

class CDerived : public CBase {
 public:
  using CBase::CBase;
  int m_value = 42;

  BEGIN_INTERFACE_PART(Info, ISupportErrorInfo)
  STDMETHOD(InterfaceSupportsErrorInfo)(REFIID iid) override;
  END_INTERFACE_PART(Info)
  DECLARE_INTERFACE_MAP()
};

BEGIN_INTERFACE_MAP(CBase, CCmdTarget)
INTERFACE_PART(CBase, IID_IPersist, Persist)
END_INTERFACE_MAP()

BEGIN_INTERFACE_MAP(CDerived, CBase)
INTERFACE_PART(CDerived, IID_ISupportErrorInfo, Info)
END_INTERFACE_MAP()

STDMETHODIMP_(ULONG) CBase::XPersist::AddRef() {
  METHOD_PROLOGUE(CBase, Persist)
  return pThis->ExternalAddRef();
}
STDMETHODIMP_(ULONG) CBase::XPersist::Release() {
  METHOD_PROLOGUE(CBase, Persist)
  return pThis->ExternalRelease();
}
STDMETHODIMP CBase::XPersist::QueryInterface(REFIID iid, LPVOID* out) {
  METHOD_PROLOGUE(CBase, Persist)
  return pThis->ExternalQueryInterface(&iid, out);
}
STDMETHODIMP CBase::XPersist::GetClassID(CLSID* id) {
  *id = CLSID_NULL;
  return S_OK;
}

STDMETHODIMP_(ULONG) CDerived::XInfo::AddRef() {
  METHOD_PROLOGUE(CDerived, Info)
  return pThis->ExternalAddRef();
}
STDMETHODIMP_(ULONG) CDerived::XInfo::Release() {
  METHOD_PROLOGUE(CDerived, Info)
  return pThis->ExternalRelease();
}
STDMETHODIMP CDerived::XInfo::QueryInterface(REFIID iid, LPVOID* out) {
  METHOD_PROLOGUE(CDerived, Info)
  return pThis->ExternalQueryInterface(&iid, out);
}
STDMETHODIMP CDerived::XInfo::InterfaceSupportsErrorInfo(REFIID) {
  METHOD_PROLOGUE(CDerived, Info)
  return pThis->m_value == 42 ? S_OK : E_FAIL;  // the prologue finds the outer object
}

TEST(InterfaceMap, FindsInterfacesThroughTheChainAndSharesOneCount) {
  int deleted = 0;
  auto* object = new CDerived(&deleted);
  object->EnableAutomation();
  EXPECT_TRUE(object->IsAutomationEnabled());

  ISupportErrorInfo* info = nullptr;
  ASSERT_EQ(S_OK, object->ExternalQueryInterface(&IID_ISupportErrorInfo, reinterpret_cast<void**>(&info)));
  EXPECT_EQ(S_OK, info->InterfaceSupportsErrorInfo(IID_IUnknown));
  IPersist* persist = nullptr;
  ASSERT_EQ(S_OK, info->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)));
  IUnknown* a = nullptr;
  IUnknown* b = nullptr;
  ASSERT_EQ(S_OK, persist->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a)));
  ASSERT_EQ(S_OK, info->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b)));
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, object->GetControllingUnknown());
  void* none = &deleted;
  EXPECT_EQ(E_NOINTERFACE, persist->QueryInterface(IID_IStream, &none));
  EXPECT_EQ(nullptr, none);
  EXPECT_EQ(E_POINTER, persist->QueryInterface(IID_IPersist, nullptr));

  a->Release();
  b->Release();
  persist->Release();
  object->ExternalRelease();
  EXPECT_EQ(0, deleted);
  EXPECT_EQ(0u, info->Release());
  EXPECT_EQ(1, deleted);
}

TEST(InterfaceMap, ATargetWithoutAMapHasNoInterfaces) {
  CCmdTarget target;
  void* out = &target;
  EXPECT_EQ(E_NOINTERFACE, target.ExternalQueryInterface(&IID_IUnknown, &out));
  EXPECT_EQ(nullptr, out);
  EXPECT_EQ(nullptr, target.GetControllingUnknown());
}

}  // namespace
