// zvkLUT.ocx as a server: what it registers and removes, what it exports, what the object answers,
// dispatch by name, and the free-threaded object shared with workers.
#include <process.h>

#include <atomic>

#include "LutTestSupport.h"
#include "ServerTests.h"
#include "comserver/ComBSTR.h"
#include "comserver/RegKey.h"

using namespace luttest;
using comserver::CComBSTR;
using comserver::CRegKey;
using testsupport::ClassesRootKeyExists;
using testsupport::ClassesRootValue;
using testsupport::Lowered;

namespace {

const char kClassKey[] = "CLSID\\{12B65E10-171C-11D3-BD0F-0080C8E4AFC3}";
const char kTypeLibKey[] = "TypeLib\\{12B65E00-171C-11D3-BD0F-0080C8E4AFC3}";
const char kControlKey[] = "CLSID\\{12B65E20-171C-11D3-BD0F-0080C8E4AFC3}";

DWORD RunRegsvr32(const std::string& arguments) { return testsupport::RunRegsvr32(arguments, ServerPath()); }

}  // namespace

TEST(LutServer, Regsvr32WritesAndRemovesTheScriptsKeys) {
  // The run registered the server already; take it out with regsvr32 /u first.
  ASSERT_EQ(RunRegsvr32("/u /s"), 0u);
  EXPECT_FALSE(ClassesRootKeyExists(kClassKey));
  EXPECT_FALSE(ClassesRootKeyExists("Corvanith.LUT"));
  EXPECT_FALSE(ClassesRootKeyExists(kTypeLibKey));
  EXPECT_FALSE(ClassesRootKeyExists(kControlKey));
  EXPECT_FALSE(ClassesRootKeyExists("Corvanith.LUTCtl"));
  CLSID clsid;
  EXPECT_NE(CLSIDFromProgID(L"Corvanith.LUT", &clsid), S_OK);
  IUnknown* object = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_LUT, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            REGDB_E_CLASSNOTREG);

  ASSERT_EQ(RunRegsvr32("/s"), 0u);
  EXPECT_EQ(ClassesRootValue("Corvanith.LUT"), "Corvanith LUT Object");
  EXPECT_EQ(ClassesRootValue("Corvanith.LUT\\CLSID"), "{12B65E10-171C-11D3-BD0F-0080C8E4AFC3}");
  EXPECT_EQ(ClassesRootValue(kClassKey), "Corvanith LUT Object");
  EXPECT_EQ(ClassesRootValue(std::string(kClassKey) + "\\ProgID"), "Corvanith.LUT");
  EXPECT_TRUE(ClassesRootKeyExists(std::string(kClassKey) + "\\Programmable"));
  EXPECT_EQ(Lowered(ClassesRootValue(std::string(kClassKey) + "\\InprocServer32")), Lowered(ServerPath()));
  EXPECT_EQ(ClassesRootValue(std::string(kClassKey) + "\\InprocServer32", "ThreadingModel"), "Both");
  EXPECT_EQ(ClassesRootValue(std::string(kClassKey) + "\\TypeLib"), "{12B65E00-171C-11D3-BD0F-0080C8E4AFC3}");
  EXPECT_EQ(Lowered(ClassesRootValue(std::string(kTypeLibKey) + "\\1.0\\409\\win64")), Lowered(ServerPath()));
  EXPECT_EQ(ClassesRootValue(std::string(kTypeLibKey) + "\\1.0"), "Corvanith LUT Control 1.0");
  EXPECT_TRUE(CreateLut());

  // The editing control's script.
  const std::string control = kControlKey;
  struct {
    std::string key;
    const char* value;
    std::string expected;
  } const controlValues[] = {
      {"Corvanith.LUTCtl", nullptr, "Corvanith LUT Control"},
      {"Corvanith.LUTCtl\\CLSID", nullptr, "{12B65E20-171C-11D3-BD0F-0080C8E4AFC3}"},
      {control, nullptr, "Corvanith LUT Control"},
      {control + "\\ProgID", nullptr, "Corvanith.LUTCtl"},
      {control + "\\InprocServer32", "ThreadingModel", "Apartment"},
      {control + "\\ToolboxBitmap32", nullptr, ServerPath() + ", 101"},
      {control + "\\MiscStatus", nullptr, "0"},
      {control + "\\MiscStatus\\1", nullptr, "131473"},
      {control + "\\TypeLib", nullptr, "{12B65E00-171C-11D3-BD0F-0080C8E4AFC3}"},
      {control + "\\Version", nullptr, "1.0"},
  };
  for (const auto& expected : controlValues)
    EXPECT_EQ(Lowered(ClassesRootValue(expected.key, expected.value)), Lowered(expected.expected))
        << expected.key;
  for (const char* flag : {"\\Programmable", "\\Control", "\\Insertable"})
    EXPECT_TRUE(ClassesRootKeyExists(control + flag)) << flag;
  EXPECT_EQ(Lowered(ClassesRootValue(control + "\\InprocServer32")), Lowered(ServerPath()));

  // Unregistration takes the class key whole, even with something else below it.
  CRegKey extra;
  ASSERT_EQ(extra.Create(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\Extra\\Deeper").c_str()),
            ERROR_SUCCESS);
  extra.Close();
  ASSERT_EQ(RunRegsvr32("/u /s"), 0u);
  EXPECT_FALSE(ClassesRootKeyExists(kClassKey));
  EXPECT_FALSE(ClassesRootKeyExists("Corvanith.LUT"));
  EXPECT_FALSE(ClassesRootKeyExists(kTypeLibKey));
  EXPECT_FALSE(ClassesRootKeyExists(kControlKey));
  EXPECT_FALSE(ClassesRootKeyExists("Corvanith.LUTCtl"));
  ASSERT_EQ(RunRegsvr32("/s"), 0u);  // the rest of the run needs it
}

TEST(LutServer, VersionBlockAndImports) {
  std::string path = ServerPath();
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00030000u);
  EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed->dwFileFlags, 0x2u);
  char* text = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\OLESelfRegister",
                             reinterpret_cast<void**>(&text), &length));
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\OriginalFilename",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_STREQ(text, "zvkLUT.ocx");
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\FileVersion",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_STREQ(text, "1.0.3");

  // Exports by ordinal, and no MinGW runtime DLL among the imports.
  HMODULE server = LoadLibraryA(path.c_str());
  ASSERT_NE(server, nullptr);
  EXPECT_EQ(GetProcAddress(server, MAKEINTRESOURCEA(1)), GetProcAddress(server, "DllCanUnloadNow"));
  EXPECT_EQ(GetProcAddress(server, MAKEINTRESOURCEA(2)), GetProcAddress(server, "DllGetClassObject"));
  EXPECT_EQ(GetProcAddress(server, MAKEINTRESOURCEA(3)), GetProcAddress(server, "DllRegisterServer"));
  EXPECT_EQ(GetProcAddress(server, MAKEINTRESOURCEA(4)), GetProcAddress(server, "DllUnregisterServer"));
  auto* base = reinterpret_cast<const unsigned char*>(server);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       entry->Name; ++entry) {
    std::string name = Lowered(reinterpret_cast<const char*>(base + entry->Name));
    EXPECT_EQ(name.find("libgcc"), std::string::npos) << name;
    EXPECT_EQ(name.find("libstdc++"), std::string::npos) << name;
    EXPECT_EQ(name.find("winpthread"), std::string::npos) << name;
  }
  FreeLibrary(server);
}

TEST(LutServer, ObjectAnswersItsInterfaces) {
  CComPtr<ILut> lut = CreateLut();
  ASSERT_TRUE(lut);
  CComPtr<IUnknown> identity;
  ASSERT_EQ(lut->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
  const IID* interfaces[] = {&IID_ILut,
                             &IID_IDispatch,
                             &IID_IConnectionPointContainer,
                             &IID_IPersistStreamInit,
                             &IID_IPersistStream,
                             &IID_IPersist,
                             &IID_IMarshal};
  for (const IID* iid : interfaces) {
    CComPtr<IUnknown> answer;
    EXPECT_EQ(lut->QueryInterface(*iid, reinterpret_cast<void**>(&answer)), S_OK);
    CComPtr<IUnknown> back;
    ASSERT_EQ(answer->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&back)), S_OK);
    EXPECT_EQ(back.p, identity.p);
  }
  CComPtr<IUnknown> none;
  EXPECT_EQ(lut->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&none)), E_NOINTERFACE);

  // IDispatch is the ILut pointer; IPersistStream and IPersist are the IPersistStreamInit pointer.
  CComPtr<IDispatch> dispatch;
  lut->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
  EXPECT_EQ(static_cast<void*>(dispatch.p), static_cast<void*>(lut.p));
  CComQIPtr<IPersistStreamInit> init(lut.p);
  CComQIPtr<IPersistStream> stream(lut.p);
  EXPECT_EQ(static_cast<void*>(init.p), static_cast<void*>(stream.p));

  CComQIPtr<IConnectionPointContainer> container(lut.p);
  CComPtr<IConnectionPoint> point;
  EXPECT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &point), S_OK);
  CComPtr<IConnectionPoint> other;
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, &other), CONNECT_E_NOCONNECTION);
  CComPtr<IEnumConnectionPoints> points;
  ASSERT_EQ(container->EnumConnectionPoints(&points), S_OK);
  IConnectionPoint* found[2] = {};
  ULONG fetched = 0;
  EXPECT_EQ(points->Next(2, found, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 1u);
  if (found[0]) found[0]->Release();
}

TEST(LutServer, DispatchByNameAndNamedArguments) {
  CComPtr<ILut> lut = CreateLut();
  CComPtr<IDispatch> dispatch;
  ASSERT_EQ(lut->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
  UINT count = 0;
  EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);

  struct NameCase {
    const wchar_t* name;
    DISPID id;
  };
  const NameCase names[] = {{L"Value", 0},      {L"DeviceType", 1}, {L"ChannelSet", 2}, {L"BitDepth", 3},
                            {L"GammaStyle", 4}, {L"Type", 5},       {L"LUT", 6},        {L"Invert", 7},
                            {L"GetTable", 8},   {L"gettable", 8}};
  for (const NameCase& c : names) {
    LPOLESTR name = const_cast<LPOLESTR>(c.name);
    DISPID id = -99;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    EXPECT_EQ(id, c.id) << c.name;
  }

  // Value(Name:="dMin", Channel:=chG) = 200, all arguments named.
  LPOLESTR valueNames[] = {const_cast<LPOLESTR>(L"Value"), const_cast<LPOLESTR>(L"Name"),
                           const_cast<LPOLESTR>(L"Channel")};
  DISPID ids[3] = {};
  ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, valueNames, 3, LOCALE_USER_DEFAULT, ids), S_OK);
  CComVariant arguments[3];
  arguments[0] = CComVariant(200L);
  arguments[1] = CComVariant(L"dMin");
  arguments[2] = CComVariant(static_cast<long>(chG));
  DISPID named[3] = {DISPID_PROPERTYPUT, ids[1], ids[2]};
  DISPPARAMS params = {arguments, named, 3, 3};
  ASSERT_EQ(dispatch->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                             nullptr, nullptr),
            S_OK);
  CComVariant value;
  BSTR dMin = SysAllocString(L"dMin");
  ASSERT_EQ(lut->get_Value(chG, dMin, &value), S_OK);
  SysFreeString(dMin);
  EXPECT_EQ(value.lVal, 200);

  // Positional get through Invoke, and a refused put keeps its HRESULT.
  CComVariant positional[2];
  positional[0] = CComVariant(L"dMin");
  positional[1] = CComVariant(static_cast<long>(chG));
  DISPPARAMS getParams = {positional, nullptr, 2, 0};
  CComVariant result;
  ASSERT_EQ(dispatch->Invoke(0, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &getParams, &result,
                             nullptr, nullptr),
            S_OK);
  EXPECT_EQ(result.vt, VT_I4);
  EXPECT_EQ(result.lVal, 200);
  CComVariant depth(40L);
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS badPut = {&depth, &putId, 1, 1};
  EXCEPINFO exception = {};
  HRESULT hr = dispatch->Invoke(3, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &badPut, nullptr,
                                &exception, nullptr);
  EXPECT_TRUE(hr == E_INVALIDARG || (hr == DISP_E_EXCEPTION && exception.scode == E_INVALIDARG))
      << std::hex << hr;
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

namespace {

struct SharedLut {
  ILut* lut;  // the raw pointer, as workers hold it
  std::atomic<bool> stop{false};
  std::atomic<int> reads{0};
  std::atomic<int> torn{0};
  std::atomic<int> failures{0};
};

unsigned __stdcall ReadTables(void* argument) {
  auto* shared = static_cast<SharedLut*>(argument);
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  while (!shared->stop.load() || shared->reads.load() < 50) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 256);
    VARIANT table;
    table.vt = VT_ARRAY | VT_UI1;
    table.parray = array;
    if (FAILED(shared->lut->GetTable(chAll, &table))) {
      ++shared->failures;
    } else {
      // The writer switches between two whole states: the identity, and black point 100 with white
      // point 200. A mixture (one point of each) would show as a different table.
      const uint8_t* data = static_cast<const uint8_t*>(array->pvData);
      bool identity = data[100] == 100 && data[150] == 150;
      bool clipped = data[100] == 0 && data[150] == 128 && data[200] == 255;
      if (!identity && !clipped) ++shared->torn;
    }
    SafeArrayDestroy(array);
    ++shared->reads;
  }
  CoUninitialize();
  return 0;
}

}  // namespace

TEST(LutServer, WorkersReadWholeStatesWhileTheOwnerEdits) {
  CComPtr<ILut> lut = CreateLut();
  SharedLut shared;
  shared.lut = lut;
  // Each load replaces both points at once; the two states alternate under the readers.
  ASSERT_EQ(PutValue(lut, chAll, L"dMax", 100L), S_OK);
  ASSERT_EQ(PutValue(lut, chAll, L"dMin", 200L), S_OK);
  std::vector<unsigned char> clipped = SaveBytes(lut);
  std::vector<unsigned char> identity = SaveBytes(CreateLut());
  CComQIPtr<IPersistStreamInit> persist(lut.p);
  HANDLE threads[2];
  for (HANDLE& thread : threads)
    thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ReadTables, &shared, 0, nullptr));
  for (int round = 0; round < 400; ++round)
    ASSERT_EQ(persist->Load(StreamOf(round % 2 ? clipped : identity)), S_OK);
  shared.stop = true;
  EXPECT_EQ(WaitForMultipleObjects(2, threads, TRUE, 60000), WAIT_OBJECT_0);
  for (HANDLE thread : threads) CloseHandle(thread);
  EXPECT_EQ(shared.failures.load(), 0);
  EXPECT_EQ(shared.torn.load(), 0);
}

TEST(LutServer, MarshalledIntoAnotherApartmentStaysTheSameObject) {
  CComPtr<ILut> lut = CreateLut();
  CComPtr<IStream> stream;
  ASSERT_EQ(CoMarshalInterThreadInterfaceInStream(IID_ILut, lut, &stream), S_OK);
  struct Context {
    IStream* stream;
    ILut* original;
    bool same = false;
  } context{stream.Detach(), lut.p};
  HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(
      nullptr, 0,
      [](void* argument) -> unsigned {
        auto* c = static_cast<Context*>(argument);
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ILut* unmarshalled = nullptr;
        if (SUCCEEDED(CoGetInterfaceAndReleaseStream(c->stream, IID_ILut,
                                                     reinterpret_cast<void**>(&unmarshalled)))) {
          c->same = unmarshalled == c->original;  // the free-threaded marshaler hands out the raw pointer
          unmarshalled->Release();
        }
        CoUninitialize();
        return 0;
      },
      &context, 0, nullptr));
  ASSERT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_TRUE(context.same);
}
