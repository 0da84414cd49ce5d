// zvkMonWz.DLL as a server: what it registers and removes, its exports and version block, creation
// plain and aggregated, the interface's fixed answers, and dispatch through the type library.
#include <olectl.h>

#include <cmath>
#include <string>

#include "CalibrationTestSupport.h"
#include "DialogDriver.h"
#include "ServerTests.h"
#include "comserver/ComBSTR.h"
#include "resource.h"

using namespace caltest;
using comserver::CComBSTR;
using testsupport::ClassesRootKeyExists;
using testsupport::ClassesRootValue;
using testsupport::Lowered;

namespace {

const char kClassKey[] = "CLSID\\{8535AF10-24AA-11D3-BD22-0080C8E4AFC3}";
const char kTypeLibKey[] = "TypeLib\\{8535AF00-24AA-11D3-BD22-0080C8E4AFC3}";
const char kProgId[] = "Corvanith.MonitorCalibrationWiz";
const char kText[] = "Corvanith Monitor Calibration Wizard";

DWORD RunRegsvr32(const std::string& arguments) { return testsupport::RunRegsvr32(arguments, ServerPath()); }

std::string VersionString(const std::vector<char>& block, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
    return "<missing>";
  return length ? std::string(value) : std::string();
}

}  // namespace

TEST(CalibrationServer, Regsvr32WritesAndRemovesTheScriptAndTypeLibrary) {
  ASSERT_EQ(RunRegsvr32("/u /s"), 0u);
  EXPECT_FALSE(ClassesRootKeyExists(kClassKey));
  EXPECT_FALSE(ClassesRootKeyExists(kProgId));
  EXPECT_FALSE(ClassesRootKeyExists(kTypeLibKey));
  CLSID clsid;
  EXPECT_NE(CLSIDFromProgID(L"Corvanith.MonitorCalibrationWiz", &clsid), S_OK);

  ASSERT_EQ(RunRegsvr32("/s"), 0u);
  EXPECT_EQ(ClassesRootValue(kProgId), kText);
  EXPECT_EQ(ClassesRootValue(std::string(kProgId) + "\\CLSID"), "{8535AF10-24AA-11D3-BD22-0080C8E4AFC3}");
  EXPECT_EQ(ClassesRootValue(kClassKey), kText);
  EXPECT_EQ(ClassesRootValue(std::string(kClassKey) + "\\ProgID"), kProgId);
  EXPECT_TRUE(ClassesRootKeyExists(std::string(kClassKey) + "\\Programmable"));
  EXPECT_EQ(Lowered(ClassesRootValue(std::string(kClassKey) + "\\InprocServer32")), Lowered(ServerPath()));
  EXPECT_EQ(ClassesRootValue(std::string(kClassKey) + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(ClassesRootValue(std::string(kClassKey) + "\\TypeLib"), "{8535AF00-24AA-11D3-BD22-0080C8E4AFC3}");
  EXPECT_EQ(ClassesRootValue(std::string(kTypeLibKey) + "\\1.0"), "Corvanith Monitor Calibration Wizard 1.0");
  EXPECT_EQ(Lowered(ClassesRootValue(std::string(kTypeLibKey) + "\\1.0\\0\\win64")), Lowered(ServerPath()));

  ITypeLib* library = nullptr;
  ASSERT_EQ(LoadRegTypeLib(LIBID_zvkMonWz, 1, 0, 0, &library), S_OK);
  BSTR name = nullptr;
  EXPECT_EQ(library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr), S_OK);
  EXPECT_STREQ(name, L"zvkMonWz");
  SysFreeString(name);
  library->Release();
}

TEST(CalibrationServer, ExportsFourEntriesAndCarriesItsVersionBlock) {
  HMODULE server = GetModuleHandleA(ServerPath().c_str());
  ASSERT_NE(server, nullptr);
  for (const char* name :
       {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"})
    EXPECT_NE(GetProcAddress(server, name), nullptr) << name;
  EXPECT_EQ(GetProcAddress(server, "DllInstallServer"), nullptr);
  EXPECT_EQ(GetProcAddress(server, "DllInstall"), nullptr);

  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(ServerPath().c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(ServerPath().c_str(), 0, size, block.data()));
  EXPECT_EQ(VersionString(block, "FileVersion"), "1.0.2");
  EXPECT_EQ(VersionString(block, "ProductVersion"), "1.0.2");
  EXPECT_EQ(VersionString(block, "FileDescription"), kText);
  EXPECT_EQ(VersionString(block, "ProductName"), kText);
  EXPECT_EQ(VersionString(block, "InternalName"), "zvkMonWz");
  EXPECT_EQ(VersionString(block, "OriginalFilename"), "zvkMonWz.DLL");
  EXPECT_EQ(VersionString(block, "OLESelfRegister"), "");
}

TEST(CalibrationServer, AnswersItsInterfacesAndRefusesTheGammaGetters) {
  SettingsKeyGuard key;
  CComPtr<IMonitorCalibrationWiz> wizard = CreateWizard();
  ASSERT_TRUE(wizard);
  CComQIPtr<IDispatch> dispatch(wizard);
  EXPECT_TRUE(dispatch);
  CComQIPtr<IConnectionPointContainer> container(wizard);
  ASSERT_TRUE(container);
  IConnectionPoint* point = reinterpret_cast<IConnectionPoint*>(1);
  EXPECT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &point), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(point, nullptr);

  VARIANT value;
  VariantInit(&value);
  EXPECT_EQ(wizard->get_DeviceGamma(&value), E_NOTIMPL);
  float target = 0;
  EXPECT_EQ(wizard->get_TargetGamma(&target), E_NOTIMPL);
  EXPECT_EQ(wizard->get_LUTs(8, nullptr), E_POINTER);
}

TEST(CalibrationServer, CanBeAggregated) {
  SettingsKeyGuard key;
  testsupport::AggregatingOuter outer;
  IUnknown* inner = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_MonitorCalibrationWiz, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&inner)),
            S_OK);
  outer.inner = inner;
  IMonitorCalibrationWiz* wizard = nullptr;
  ASSERT_EQ(inner->QueryInterface(IID_IMonitorCalibrationWiz, reinterpret_cast<void**>(&wizard)), S_OK);
  // The interface's IUnknown is the outer object's.
  const ULONG before = outer.references;
  wizard->AddRef();
  EXPECT_EQ(outer.references, before + 1);
  IUnknown* identity = nullptr;
  ASSERT_EQ(wizard->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
  EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
  identity->Release();
  wizard->Release();
  wizard->Release();
  outer.inner = nullptr;
  EXPECT_EQ(inner->Release(), 0u);

  IUnknown* refused = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_MonitorCalibrationWiz, &outer, CLSCTX_INPROC_SERVER,
                             IID_IMonitorCalibrationWiz, reinterpret_cast<void**>(&refused)),
            CLASS_E_NOAGGREGATION);
}

TEST(CalibrationServer, DispatchUsesThePinnedIdentifiersAndAPointerSizedParent) {
  SettingsKeyGuard key;
  CComPtr<IMonitorCalibrationWiz> wizard = CreateWizard();
  ASSERT_TRUE(wizard);
  struct {
    const wchar_t* name;
    DISPID id;
  } const members[] = {{L"DeviceGamma", 1}, {L"TargetGamma", 2}, {L"LUTs", 3}, {L"Calibrate", 0x60020003}};
  for (const auto& member : members) {
    LPOLESTR name = const_cast<LPOLESTR>(member.name);
    DISPID id = 0;
    EXPECT_EQ(wizard->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    EXPECT_EQ(id, member.id) << "member " << static_cast<const void*>(member.name);
  }

  ITypeInfo* info = nullptr;
  ASSERT_EQ(wizard->GetTypeInfo(0, 0, &info), S_OK);
  // The dispatch description of Calibrate: its window handle is 64 bits wide.
  UINT index = 0;
  bool found = false;
  for (FUNCDESC* function = nullptr; SUCCEEDED(info->GetFuncDesc(index, &function)); ++index) {
    if (function->memid == 0x60020003) {
      found = true;
      ASSERT_GE(function->cParams, 1);
      VARTYPE type = function->lprgelemdescParam[0].tdesc.vt;
      EXPECT_TRUE(type == VT_I8 || type == VT_INT_PTR) << type;
    }
    info->ReleaseFuncDesc(function);
  }
  EXPECT_TRUE(found);
  info->Release();

  // LUTs by dispatch, BitDepth as an argument.
  CComVariant depth(static_cast<short>(8));
  DISPPARAMS params = {&depth, nullptr, 1, 0};
  CComVariant result;
  EXPECT_EQ(wizard->Invoke(3, IID_NULL, 0, DISPATCH_PROPERTYGET, &params, &result, nullptr, nullptr), S_OK);
  EXPECT_EQ(result.vt, VT_ARRAY | VT_UI1);
}

TEST(CalibrationServer, DispatchTakesAnOmittedDeviceGammaAsNotGiven) {
  SettingsKeyGuard key;
  CComPtr<IMonitorCalibrationWiz> wizard = CreateWizard();
  ASSERT_TRUE(wizard);
  // Arguments go last first: target, device gamma (omitted), parent window.
  float target = 1.8f;
  VARIANT arguments[3];
  for (VARIANT& argument : arguments) VariantInit(&argument);
  arguments[0].vt = VT_BYREF | VT_R4;
  arguments[0].pfltVal = &target;
  arguments[1].vt = VT_ERROR;
  arguments[1].scode = DISP_E_PARAMNOTFOUND;
  arguments[2].vt = VT_I8;
  arguments[2].llVal = 0;
  DISPPARAMS params = {arguments, nullptr, 3, 0};
  std::string shownTarget;
  testsupport::DialogDriver driver(kSheetCaption, [&](HWND sheet) {
    if (!WalkTo(sheet, IDD_TARGET_GAMMA)) return false;
    shownTarget = ItemText(CurrentPage(sheet), IDC_TARGET_EDIT);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    return true;
  });
  CComVariant result;
  EXPECT_EQ(wizard->Invoke(0x60020003, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
            S_OK);
  EXPECT_TRUE(driver.Succeeded());
  EXPECT_EQ(shownTarget, "1.8");
  // Cancelled: S_FALSE comes back as the call's result, nothing is written.
  EXPECT_EQ(result.vt, VT_EMPTY);
  EXPECT_EQ(arguments[1].vt, VT_ERROR);
  EXPECT_EQ(target, 1.8f);
}
