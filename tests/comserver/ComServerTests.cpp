// The kit through a server built from it alone: registration, creation by ProgID, dispatch by name,
// aggregation, a failing FinalConstruct, the unload lock, connection points, errors, persistence.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KitTest_h.h"
#include "comserver/ComPtr.h"
#include "comserver/ComVariant.h"
#include "ServerTests.h"

using comserver::CComPtr;
using comserver::CComQIPtr;
using comserver::CComVariant;

namespace {

std::string ServerPath() { return testsupport::BesideTestProgram("KitTestServer.dll"); }

template <class F>
F Export(const char* name) {
  return reinterpret_cast<F>(GetProcAddress(GetModuleHandleA(ServerPath().c_str()), name));
}
using Entry = HRESULT(STDAPICALLTYPE*)();

::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new testsupport::RegisteredServerEnvironment(ServerPath()));

using testsupport::ClassesRootKeyExists;

CComPtr<ICounter> CreateCounter() {
  CLSID clsid;
  EXPECT_EQ(CLSIDFromProgID(L"PellorinKitTest.Counter", &clsid), S_OK);
  CComPtr<ICounter> counter;
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ICounter,
                             reinterpret_cast<void**>(&counter)),
            S_OK);
  return counter;
}

using Outer = testsupport::AggregatingOuter;

class Sink : public IPropertyNotifySink {
 public:
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPropertyNotifySink)) {
      *ppv = this;
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHOD_(ULONG, AddRef)() override { return ++references; }
  STDMETHOD_(ULONG, Release)() override { return --references; }
  STDMETHOD(OnChanged)(DISPID id) override {
    changes.push_back(id);
    if (point && leaveInside) {
      leaveInside = false;
      point->Unadvise(cookie);
    }
    return S_OK;
  }
  STDMETHOD(OnRequestEdit)(DISPID) override { return S_OK; }

  ULONG references = 1;
  std::vector<DISPID> changes;
  IConnectionPoint* point = nullptr;
  DWORD cookie = 0;
  bool leaveInside = false;
};

}  // namespace

TEST(ComServerKit, RegistersCreatesByProgIdAndUnregisters) {
  EXPECT_TRUE(ClassesRootKeyExists("PellorinKitTest.Counter\\CLSID"));
  EXPECT_TRUE(ClassesRootKeyExists("CLSID\\{5E1A7C02-2B4D-4C1E-9A51-7D3C2F0B8E10}\\InprocServer32"));
  EXPECT_TRUE(ClassesRootKeyExists("TypeLib\\{5E1A7C00-2B4D-4C1E-9A51-7D3C2F0B8E10}\\1.0\\0\\win64"));
  EXPECT_TRUE(CreateCounter());

  ASSERT_EQ(Export<Entry>("DllUnregisterServer")(), S_OK);
  EXPECT_FALSE(ClassesRootKeyExists("PellorinKitTest.Counter"));
  EXPECT_FALSE(ClassesRootKeyExists("CLSID\\{5E1A7C02-2B4D-4C1E-9A51-7D3C2F0B8E10}"));
  EXPECT_FALSE(ClassesRootKeyExists("CLSID\\{5E1A7C03-2B4D-4C1E-9A51-7D3C2F0B8E10}"));
  EXPECT_FALSE(ClassesRootKeyExists("TypeLib\\{5E1A7C00-2B4D-4C1E-9A51-7D3C2F0B8E10}"));
  EXPECT_TRUE(ClassesRootKeyExists("CLSID"));  // NoRemove
  IUnknown* object = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(Export<Entry>("DllUnregisterServer")(), S_OK);  // twice is fine
  ASSERT_EQ(Export<Entry>("DllRegisterServer")(), S_OK);
  EXPECT_TRUE(CreateCounter());
}

TEST(ComServerKit, DispatchesByNameWithOptionalArguments) {
  CComPtr<ICounter> counter = CreateCounter();
  CComQIPtr<IDispatch> dispatch(counter.p);
  ASSERT_TRUE(dispatch);
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Add"), const_cast<LPOLESTR>(L"Times")};
  DISPID ids[2] = {};
  ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 2, LOCALE_USER_DEFAULT, ids), S_OK);
  EXPECT_EQ(ids[0], 2);

  CComVariant amount(5L);
  DISPPARAMS once = {&amount, nullptr, 1, 0};  // Times omitted
  CComVariant result;
  ASSERT_EQ(dispatch->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &once, &result, nullptr,
                             nullptr),
            S_OK);
  EXPECT_EQ(result.lVal, 5);

  CComVariant arguments[2] = {CComVariant(3L), CComVariant(4L)};  // Times:=3, Amount 4
  DISPID named[1] = {ids[1]};
  DISPPARAMS withNamed = {arguments, named, 2, 1};
  result.Clear();
  ASSERT_EQ(dispatch->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &withNamed, &result,
                             nullptr, nullptr),
            S_OK);
  EXPECT_EQ(result.lVal, 17);

  LPOLESTR unknown = const_cast<LPOLESTR>(L"Subtract");
  DISPID id = 0;
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
  CComPtr<ITypeInfo> info;
  EXPECT_EQ(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), S_OK);
  EXPECT_EQ(dispatch->GetTypeInfo(1, LOCALE_USER_DEFAULT, &info), DISP_E_BADINDEX);
}

TEST(ComServerKit, AggregatesUnderAnOuterObject) {
  Outer outer;
  IUnknown* inner = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_Counter, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&inner)),
            S_OK);
  outer.inner = inner;
  ICounter* counter = nullptr;
  ULONG before = outer.references;
  ASSERT_EQ(inner->QueryInterface(IID_ICounter, reinterpret_cast<void**>(&counter)), S_OK);
  EXPECT_EQ(outer.references, before + 1);  // the inner interface counts on the outer object
  IUnknown* identity = nullptr;
  ASSERT_EQ(counter->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
  EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
  identity->Release();
  EXPECT_EQ(counter->put_Count(9), S_OK);
  counter->Release();
  EXPECT_EQ(outer.references, before);
  EXPECT_EQ(inner->Release(), 0u);

  ICounter* refused = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_Counter, &outer, CLSCTX_INPROC_SERVER, IID_ICounter,
                             reinterpret_cast<void**>(&refused)),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(CoCreateInstance(CLSID_FailingCounter, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&inner)),
            CLASS_E_NOAGGREGATION);
}

TEST(ComServerKit, FailedFinalConstructFailsTheCreation) {
  ICounter* counter = reinterpret_cast<ICounter*>(1);
  EXPECT_EQ(CoCreateInstance(CLSID_FailingCounter, nullptr, CLSCTX_INPROC_SERVER, IID_ICounter,
                             reinterpret_cast<void**>(&counter)),
            E_ABORT);
  EXPECT_EQ(counter, nullptr);
  EXPECT_EQ(Export<Entry>("DllCanUnloadNow")(), S_OK);  // nothing left behind
}

TEST(ComServerKit, StaysLoadedWhileAnythingLives) {
  auto canUnload = Export<Entry>("DllCanUnloadNow");
  EXPECT_EQ(canUnload(), S_OK);
  CComPtr<ICounter> counter = CreateCounter();
  EXPECT_EQ(canUnload(), S_FALSE);
  counter.Release();
  EXPECT_EQ(canUnload(), S_OK);

  auto getClassObject = Export<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>("DllGetClassObject");
  CComPtr<IClassFactory> factory;
  ASSERT_EQ(getClassObject(CLSID_Counter, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  EXPECT_EQ(canUnload(), S_FALSE);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory.Release();
  EXPECT_EQ(canUnload(), S_FALSE);
  ASSERT_EQ(getClassObject(CLSID_Counter, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  factory.Release();
  EXPECT_EQ(canUnload(), S_OK);

  IUnknown* none = nullptr;
  EXPECT_EQ(getClassObject(IID_ICounter, IID_IClassFactory, reinterpret_cast<void**>(&none)),
            CLASS_E_CLASSNOTAVAILABLE);
}

TEST(ComServerKit, ConnectionPointSnapshotsItsSinks) {
  CComPtr<ICounter> counter = CreateCounter();
  CComQIPtr<IConnectionPointContainer> container(counter.p);
  CComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &point), S_OK);
  CComPtr<IConnectionPointContainer> back;
  ASSERT_EQ(point->GetConnectionPointContainer(&back), S_OK);
  EXPECT_EQ(back.p, container.p);

  Sink leaving, staying;
  DWORD stayingFirst = 0, stayingSecond = 0, refused = 7;
  ASSERT_EQ(point->Advise(&leaving, &leaving.cookie), S_OK);
  ASSERT_EQ(point->Advise(&staying, &stayingFirst), S_OK);
  EXPECT_NE(leaving.cookie, stayingFirst);
  EXPECT_EQ(point->Advise(counter, &refused), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(refused, 0u);
  ASSERT_EQ(point->Advise(&staying, &stayingSecond), S_OK);  // the same sink twice is two connections

  CComPtr<IEnumConnections> connections;
  ASSERT_EQ(point->EnumConnections(&connections), S_OK);
  CONNECTDATA data[4] = {};
  ULONG fetched = 0;
  EXPECT_EQ(connections->Next(4, data, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 3u);
  for (ULONG i = 0; i < fetched; ++i) data[i].pUnk->Release();
  connections.Release();

  leaving.point = point;
  leaving.leaveInside = true;
  ASSERT_EQ(counter->put_Count(1), S_OK);
  ASSERT_EQ(counter->put_Count(2), S_OK);
  ASSERT_EQ(counter->put_Count(2), S_OK);  // unchanged: nobody hears
  EXPECT_EQ(leaving.changes, (std::vector<DISPID>{1}));
  EXPECT_EQ(staying.changes, (std::vector<DISPID>{1, 1, 1, 1}));
  EXPECT_EQ(leaving.references, 1u);  // the point let go of it

  EXPECT_EQ(point->Unadvise(stayingSecond), S_OK);
  EXPECT_EQ(point->Unadvise(stayingSecond), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(point->Unadvise(stayingFirst), S_OK);
  EXPECT_EQ(staying.references, 1u);
  CComPtr<IConnectionPoint> none;
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, &none), CONNECT_E_NOCONNECTION);
}

TEST(ComServerKit, ExceptionsBecomeHresults) {
  CComPtr<ICounter> counter = CreateCounter();
  EXPECT_EQ(counter->Fail(0), E_OUTOFMEMORY);
  EXPECT_EQ(counter->Fail(1), E_FAIL);
}

TEST(ComServerKit, PersistsThroughTheStreamInterfaces) {
  CComPtr<ICounter> counter = CreateCounter();
  ASSERT_EQ(counter->put_Count(0x01020304), S_OK);
  CComQIPtr<IPersistStreamInit> persist(counter.p);
  EXPECT_EQ(persist->IsDirty(), S_OK);
  CComPtr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  CComQIPtr<IPersistStream> plain(counter.p);
  ASSERT_EQ(OleSaveToStream(plain, stream), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  LARGE_INTEGER zero = {};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  CComPtr<ICounter> copy;
  ASSERT_EQ(OleLoadFromStream(stream, IID_ICounter, reinterpret_cast<void**>(&copy)), S_OK);
  long count = 0;
  EXPECT_EQ(copy->get_Count(&count), S_OK);
  EXPECT_EQ(count, 0x01020304);

  CComPtr<IStream> shortStream;
  CreateStreamOnHGlobal(nullptr, TRUE, &shortStream);
  shortStream->Write("ab", 2, nullptr);
  shortStream->Seek(zero, STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(persist->Load(shortStream), STG_E_READFAULT);
  EXPECT_EQ(persist->Load(nullptr), E_POINTER);
  ULARGE_INTEGER size = {};
  EXPECT_EQ(persist->GetSizeMax(&size), S_OK);
  EXPECT_EQ(size.QuadPart, 4u);
  CLSID clsid;
  EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_Counter));
}
