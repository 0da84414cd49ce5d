// The application object: construction and the start-up sequence.
#include "SarnelEXE.h"

#include "ControlClasses.h"

#include "AppEventBus.h"
#include "CmdLineParamEvent.h"
#include "HandlerFrame.h"
#include "IcmJobConnection.h"
#include "JobFileOptions.h"
#include "JobShellServices.h"
#include "MainFrame_Image.h"
#include "ModuleSettings.h"
#include "SearchPaths.h"
#include "SplashWnd.h"
#include "StaticBitmapControls.h"
#include "TheDocument.h"
#include "WindowState.h"

#include "resource.h"

IMPLEMENT_DYNAMIC(CSarnelEXE, CWinApp)

BEGIN_MESSAGE_MAP(CSarnelEXE, CWinApp)
END_MESSAGE_MAP()

CSarnelEXE::CSarnelEXE() { SetAppEventSource(this); }

CSarnelEXE::~CSarnelEXE() {
  if (GetAppEventSource() == this) SetAppEventSource(nullptr);
  DisconnectIcmJob(document);
  delete document;
  document = nullptr;
}

CSarnelEXE* GetSarnelApp() { return dynamic_cast<CSarnelEXE*>(AfxGetApp()); }

const char* GetDefaultFontName() { return "Microsoft Sans Serif"; }

SIZE CSarnelEXE::GetScreenSize() const {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void CSarnelEXE::ParseArguments(CCommandLineInfo& info) { ParseCommandLine(info); }

BOOL CSarnelEXE::InitInstance() {
  // From here on a failure that reaches a window procedure is shown with the program's own texts.
  AfxSetExceptionReporter(&ReportException);
  const SIZE screen = GetScreenSize();
  if (screen.cx < MinScreenWidth || screen.cy < MinScreenHeight) {
    AfxMessageBox(IDS_SCREEN_TOO_SMALL, MB_OK);
    return FALSE;
  }

  CCommandLineInfo commandLine;
  ParseArguments(commandLine);
  if (commandLine.m_bShowSplash) CSplashWnd::ShowSplashScreen(true, nullptr);

  if (!AfxOleInit()) {
    CSplashWnd::HideSplashScreen();
    AfxMessageBox(IDS_OLE_INIT_FAILED, MB_OK);
    return FALSE;
  }
  AfxEnableControlContainer();

  SetRegistryKey("Corvanith");
  LoadStdProfileSettings(4);
  LoadAllSettings();
  const WindowState& state = GetWindowState();
  const bool placementLoaded = state.HasPlacement();
  const UINT loadedShowCommand = state.placement.showCmd;

  if (!CreateDocumentAndFrame()) {
    CSplashWnd::HideSplashScreen();
    return FALSE;
  }

  CSplashWnd::StartCloseTimer();
  CSplashWnd::WaitForClose();

  if (!OpenFirstJob(commandLine.m_strFileName)) return FALSE;
  startShowCommand = ChooseShowCommand(placementLoaded, loadedShowCommand);
  FireCommandLineSwitches();
  if (m_pMainWnd == nullptr || m_pMainWnd->m_hWnd == nullptr) return FALSE;
  ShowMainWindow(startShowCommand);
  return TRUE;
}

bool CSarnelEXE::CreateDocumentAndFrame() {
  DisconnectIcmJob(document);
  delete document;
  document = nullptr;
  InstallJobShellServices();
  try {
    document = new CTheDocument;
  } catch (...) {
    return false;
  }
  // Colour-managed drawing takes the job's colour space from the document.
  ConnectIcmJob(document);
  document->SetImageSearchFolders(&ImageSearchFolders());
  document->SetGraphicSearchFolders(&GraphicSearchFolders());

  // The controls' window classes, in their fixed order, before any dialog or view can use them.
  ControlClasses::RegisterAll();
  SubclassStaticControls(m_hInstance != nullptr ? m_hInstance : GetModuleHandleA(nullptr));

  auto* frame = new CMainFrame_Image(document);
  m_pMainWnd = frame;
  if (!frame->LoadMainFrame()) {
    m_pMainWnd = nullptr;
    if (frame->m_hWnd != nullptr) frame->DestroyWindow();
    delete frame;
    return false;
  }
  return true;
}

bool CSarnelEXE::OpenFirstJob(const CString& jobPath) {
  bool opened = false;
  if (!jobPath.IsEmpty()) {
    // A job that cannot be read is reported; the operator then works on a new job.
    bool result = false;
    if (RunInHandlerFrame([&] { result = document->OpenJob(jobPath, false); })) {
      if (!result) return false;
      opened = true;
      document->SetMainWindowTitle();
    }
  }
  if (!opened && !GetJobFileOptions().FileOnNew) {
    bool created = false;
    if (!RunInHandlerFrame([&] { created = document->NewJob(); }) || !created) return false;
    document->SetMainWindowTitle();
  }
  return true;
}

int CSarnelEXE::ChooseShowCommand(bool placementLoaded, UINT loadedShowCommand) const {
  // A plain start (also the platform's default show command) restores the saved window, maximised
  // when it was closed maximised; a caller's explicit show command is kept.
  if (m_nCmdShow != SW_SHOWNORMAL && m_nCmdShow != SW_SHOWDEFAULT) return m_nCmdShow;
  if (placementLoaded && loadedShowCommand == SW_SHOWMAXIMIZED) return SW_SHOWMAXIMIZED;
  return SW_RESTORE;
}

void CSarnelEXE::CCommandLineInfo2::ParseParam(const char* pszParam, BOOL bFlag, BOOL) {
  if (!bFlag) return;
  // Whatever start-up left waiting (painting, posted work) is handled before the switch acts.
  MSG peek;
  CWinThread* thread = AfxGetThread();
  while (::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
    if (peek.message == WM_QUIT) break;
    if (thread != nullptr ? !thread->PumpMessage() : !AfxPumpMessage()) {
      ::PostQuitMessage(0);
      break;
    }
  }
  CmdLineParamEvent event(pszParam);
  if (CSarnelEXE* app = GetSarnelApp()) app->FireEvent(&event);
}

void CSarnelEXE::FireCommandLineSwitches() {
  CCommandLineInfo2 switches;
  ParseArguments(switches);
}

void CSarnelEXE::ShowMainWindow(int showCommand) {
  m_pMainWnd->ShowWindow(showCommand);
  if (auto* frame = dynamic_cast<CMainFrame_Image*>(m_pMainWnd)) frame->LayoutScreens();
  m_pMainWnd->UpdateWindow();
}
