// COM objects built on a command target's interface map, and the end of OLE after ExitInstance.
#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <thread>

#include "classlib/ClassLib.h"

namespace {

int g_deleted = 0;

// A sink as the program writes them: two interfaces, each a part that forwards to the object.
class CTestSink : public CCmdTarget {
 public:
  CTestSink() { EnableAutomation(); }
  ~CTestSink() override { ++g_deleted; }

  int m_changes = 0;

 protected:
  BEGIN_INTERFACE_PART(NotifySink, IPropertyNotifySink)
  STDMETHOD(OnChanged)(DISPID dispid) override;
  STDMETHOD(OnRequestEdit)(DISPID dispid) override;
  END_INTERFACE_PART(NotifySink)

  BEGIN_INTERFACE_PART(Persist, IPersist)
  STDMETHOD(GetClassID)(CLSID* clsid) override;
  END_INTERFACE_PART(Persist)

  DECLARE_INTERFACE_MAP()
};

BEGIN_INTERFACE_MAP(CTestSink, CCmdTarget)
INTERFACE_PART(CTestSink, IID_IPropertyNotifySink, NotifySink)
INTERFACE_PART(CTestSink, IID_IPersist, Persist)
END_INTERFACE_MAP()

ULONG CTestSink::XNotifySink::AddRef() {
  METHOD_PROLOGUE(CTestSink, NotifySink)
  return pThis->ExternalAddRef();
}
ULONG CTestSink::XNotifySink::Release() {
  METHOD_PROLOGUE(CTestSink, NotifySink)
  return pThis->ExternalRelease();
}
HRESULT CTestSink::XNotifySink::QueryInterface(REFIID iid, void** object) {
  METHOD_PROLOGUE(CTestSink, NotifySink)
  return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, object));
}
HRESULT CTestSink::XNotifySink::OnChanged(DISPID) {
  METHOD_PROLOGUE(CTestSink, NotifySink)
  ++pThis->m_changes;
  return S_OK;
}
HRESULT CTestSink::XNotifySink::OnRequestEdit(DISPID) { return S_OK; }

ULONG CTestSink::XPersist::AddRef() {
  METHOD_PROLOGUE(CTestSink, Persist)
  return pThis->ExternalAddRef();
}
ULONG CTestSink::XPersist::Release() {
  METHOD_PROLOGUE(CTestSink, Persist)
  return pThis->ExternalRelease();
}
HRESULT CTestSink::XPersist::QueryInterface(REFIID iid, void** object) {
  METHOD_PROLOGUE(CTestSink, Persist)
  return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, object));
}
HRESULT CTestSink::XPersist::GetClassID(CLSID* clsid) {
  *clsid = IID_IPersist;
  return S_OK;
}

}  // namespace

TEST(InterfaceMap, PartsAnswerForOneObjectThatDiesOnTheLastRelease) {
  g_deleted = 0;
  auto* sink = new CTestSink;
  IUnknown* unknown = sink->GetControllingUnknown();
  ASSERT_NE(unknown, nullptr);

  IPropertyNotifySink* notify = nullptr;
  ASSERT_EQ(unknown->QueryInterface(IID_IPropertyNotifySink, reinterpret_cast<void**>(&notify)), S_OK);
  IPersist* persist = nullptr;
  ASSERT_EQ(notify->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)), S_OK);
  IUnknown* identity = nullptr;
  ASSERT_EQ(persist->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
  EXPECT_EQ(identity, unknown);  // one identity, whichever part is asked
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(persist->QueryInterface(IID_IDispatch, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);

  notify->OnChanged(3);
  EXPECT_EQ(sink->m_changes, 1);
  // The creator's reference and three from QueryInterface.
  EXPECT_EQ(notify->AddRef(), 5u);
  EXPECT_EQ(notify->Release(), 4u);
  identity->Release();
  persist->Release();
  notify->Release();
  EXPECT_EQ(g_deleted, 0);
  EXPECT_EQ(sink->ExternalRelease(), 0u);
  EXPECT_EQ(g_deleted, 1);
}

namespace {

// Records whether OLE was still up while ExitInstance ran.
class OleOrderApp : public CWinApp {
 public:
  OleOrderApp() : CWinApp("OleOrder") {}
  BOOL InitInstance() override { return AfxOleInit(); }
  int Run() override { return ExitInstance(); }
  int ExitInstance() override {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_oleUpDuringExit = hr == S_FALSE;
    if (SUCCEEDED(hr)) CoUninitialize();
    return 0;
  }
  bool m_oleUpDuringExit = false;
};

}  // namespace

TEST(InterfaceMap, OleEndsOnlyAfterExitInstance) {
  bool upDuringExit = false;
  HRESULT afterwards = E_FAIL;
  std::thread([&] {
    CWinApp* previous = AfxGetApp();
    if (previous) return;  // another test owns the application object
    OleOrderApp app;
    AfxWinMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPTSTR>(""), SW_HIDE);
    upDuringExit = app.m_oleUpDuringExit;
    afterwards = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(afterwards)) CoUninitialize();
  }).join();
  EXPECT_TRUE(upDuringExit);
  EXPECT_EQ(afterwards, S_OK);  // nothing left initialised on the application's thread
}
