#include "classlib/App.h"

#include "classlib/CmdUI.h"
#include "classlib/Exception.h"
#include "classlib/Wnd.h"
#include "ThreadState.h"

#include <atomic>
#include <mutex>

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
  ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, &CWinApp::OnOpenRecentFile)
  ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, &CWinApp::OnUpdateRecentFileMenu)
  ON_COMMAND(ID_APP_EXIT, &CWinApp::OnAppExit)
END_MESSAGE_MAP()

namespace {

std::atomic<CWinApp*> g_app{nullptr};
std::atomic<HINSTANCE> g_resourceHandle{nullptr};

CString ModuleBaseName() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  CString name = ::PathFindFileNameA(path);
  int dot = name.ReverseFind('.');
  return dot >= 0 ? name.Left(dot) : name;
}

}  // namespace

CWinApp::CWinApp(LPCTSTR lpszAppName) {
  m_bAutoDelete = FALSE;
  if (lpszAppName != nullptr) {
    m_strAppName = lpszAppName;
    m_pszAppName = m_strAppName;
  }
  CWinApp* expected = nullptr;
  g_app.compare_exchange_strong(expected, this);
  m_hThread = nullptr;
  m_nThreadID = ::GetCurrentThreadId();
  AfxGetThreadState().pThread = this;
}

CWinApp::~CWinApp() {
  delete m_pRecentFileList;
  m_pRecentFileList = nullptr;
  CWinApp* expected = this;
  g_app.compare_exchange_strong(expected, nullptr);
}

BOOL CWinApp::InitApplication() { return TRUE; }
BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() {
  if (m_pRecentFileList != nullptr) SaveStdProfileSettings();
  return static_cast<int>(m_msgCur.wParam);
}

int CWinApp::Run() {
  // Without a main window nothing would ever end the loop.
  if (m_pMainWnd == nullptr) AfxPostQuitMessage(0);
  return CWinThread::Run();
}

BOOL CWinApp::OnIdle(LONG lCount) { return CWinThread::OnIdle(lCount); }

CDocument* CWinApp::OpenDocumentFile(LPCTSTR) { return nullptr; }

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
  for (int i = 1; i < __argc; ++i) {
    const char* param = __argv[i];
    BOOL flag = FALSE;
    if (param[0] == '-' || param[0] == '/') {
      flag = TRUE;
      ++param;
    }
    rCmdInfo.ParseParam(param, flag, i == __argc - 1);
  }
}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey) {
  m_strRegistryKey = lpszRegistryKey;
  m_pszRegistryKey = m_strRegistryKey;
  if (m_pszProfileName == nullptr) {
    m_strProfileName = AfxGetAppName();
    m_pszProfileName = m_strProfileName;
  }
  m_profile.SetRegistryKey(m_pszRegistryKey, m_pszProfileName);
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey) {
  CString key;
  key.LoadString(nIDRegistryKey);
  SetRegistryKey(key);
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
  if (nMaxMRU == 0) return;
  delete m_pRecentFileList;
  m_pRecentFileList = new CRecentFileList(0, "Recent File List", "File%d", static_cast<int>(nMaxMRU));
  m_pRecentFileList->ReadList();
}

void CWinApp::SaveStdProfileSettings() {
  if (m_pRecentFileList != nullptr) m_pRecentFileList->WriteList();
}

void CWinApp::AddToRecentFileList(LPCTSTR lpszPathName) {
  if (m_pRecentFileList != nullptr) m_pRecentFileList->Add(lpszPathName);
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) {
  return m_profile.GetProfileInt(lpszSection, lpszEntry, nDefault);
}
CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault) {
  return m_profile.GetProfileString(lpszSection, lpszEntry, lpszDefault);
}
BOOL CWinApp::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes) {
  return m_profile.GetProfileBinary(lpszSection, lpszEntry, ppData, pBytes);
}
BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue) {
  return m_profile.WriteProfileInt(lpszSection, lpszEntry, nValue);
}
BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue) {
  return m_profile.WriteProfileString(lpszSection, lpszEntry, lpszValue);
}
BOOL CWinApp::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes) {
  return m_profile.WriteProfileBinary(lpszSection, lpszEntry, pData, nBytes);
}

void CWinApp::DoWaitCursor(int nCode) {
  AfxThreadState& state = AfxGetThreadState();
  if (nCode > 0) {
    if (state.nWaitCursorCount++ == 0)
      state.hcurWaitCursorRestore = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
  } else if (nCode < 0) {
    if (state.nWaitCursorCount > 0 && --state.nWaitCursorCount == 0) ::SetCursor(state.hcurWaitCursorRestore);
  } else if (state.nWaitCursorCount > 0) {
    ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
  }
}

BOOL CWinApp::OnOpenRecentFile(UINT nID) {
  if (m_pRecentFileList == nullptr) return FALSE;
  int index = static_cast<int>(nID - ID_FILE_MRU_FILE1);
  if (index < 0 || index >= m_pRecentFileList->GetSize() || (*m_pRecentFileList)[index].IsEmpty())
    return FALSE;
  CString path = (*m_pRecentFileList)[index];
  if (OpenDocumentFile(path) == nullptr) m_pRecentFileList->Remove(index);
  return TRUE;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI) {
  if (m_pRecentFileList == nullptr) {
    pCmdUI->Enable(FALSE);
    return;
  }
  m_pRecentFileList->UpdateMenu(pCmdUI);
}

void CWinApp::OnAppExit() {
  if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr) m_pMainWnd->SendMessage(WM_CLOSE);
}

// The application's wait cursor serves every command target.
void CCmdTarget::BeginWaitCursor() { AfxGetApp() != nullptr ? AfxGetApp()->DoWaitCursor(1) : (void)0; }
void CCmdTarget::EndWaitCursor() { AfxGetApp() != nullptr ? AfxGetApp()->DoWaitCursor(-1) : (void)0; }
void CCmdTarget::RestoreWaitCursor() { AfxGetApp() != nullptr ? AfxGetApp()->DoWaitCursor(0) : (void)0; }

CWaitCursor::CWaitCursor() {
  if (AfxGetApp() != nullptr) AfxGetApp()->DoWaitCursor(1);
}
CWaitCursor::~CWaitCursor() {
  if (AfxGetApp() != nullptr) AfxGetApp()->DoWaitCursor(-1);
}
void CWaitCursor::Restore() {
  if (AfxGetApp() != nullptr) AfxGetApp()->DoWaitCursor(0);
}

CWinApp* AfxGetApp() { return g_app.load(); }

CWnd* AfxGetMainWnd() {
  CWinThread* pThread = AfxGetThread();
  return pThread != nullptr ? pThread->GetMainWnd() : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
  CWinApp* pApp = AfxGetApp();
  if (pApp != nullptr && pApp->m_hInstance != nullptr) return pApp->m_hInstance;
  return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() {
  HINSTANCE resources = g_resourceHandle.load();
  return resources != nullptr ? resources : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource) { g_resourceHandle.store(hInstResource); }

const char* AfxGetAppName() {
  CWinApp* pApp = AfxGetApp();
  if (pApp != nullptr) {
    if (pApp->m_pszAppName == nullptr) {
      // The title string of the program's resources, or else the executable's name.
      static CString fallback;
      static std::once_flag once;
      std::call_once(once, [] {
        if (!fallback.LoadString(AFX_IDS_APP_TITLE)) fallback = ModuleBaseName();
      });
      return fallback;
    }
    return pApp->m_pszAppName;
  }
  static const CString moduleName = ModuleBaseName();
  return moduleName;
}

void AfxInitCommonControls() {
  static std::once_flag once;
  std::call_once(once, [] {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES |
                                                   ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES | ICC_COOL_CLASSES};
    ::InitCommonControlsEx(&init);
  });
}

namespace {
// Set when AfxOleInit initialised OLE for the application's thread; undone after ExitInstance.
bool g_oleInitialised = false;
}  // namespace

BOOL AfxOleInit() {
  HRESULT hr = ::OleInitialize(nullptr);
  if (SUCCEEDED(hr) && !g_oleInitialised) {
    g_oleInitialised = true;
  } else if (SUCCEEDED(hr)) {
    ::OleUninitialize();  // initialised twice: keep one count for the end
  }
  return SUCCEEDED(hr) ? TRUE : FALSE;
}

void AfxOleTerm() {
  if (!g_oleInitialised) return;
  g_oleInitialised = false;
  ::OleUninitialize();
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPTSTR lpCmdLine, int nCmdShow) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr) return -1;
  pApp->m_hInstance = hInstance;
  pApp->m_lpCmdLine = lpCmdLine;
  pApp->m_nCmdShow = nCmdShow;
  AfxInitCommonControls();
  int result = -1;
  try {
    if (pApp->InitApplication()) {
      if (!pApp->InitInstance()) {
        if (pApp->m_pMainWnd != nullptr && pApp->m_pMainWnd->m_hWnd != nullptr)
          pApp->m_pMainWnd->DestroyWindow();
        result = pApp->ExitInstance();
      } else {
        result = pApp->Run();
      }
    }
  } catch (...) {
    AfxReportCaughtException();
  }
  // Only now: ExitInstance has released the COM objects the application still held (LUT objects in
  // static lists), so no Release reaches a server that OLE already unloaded.
  AfxOleTerm();
  return result;
}
