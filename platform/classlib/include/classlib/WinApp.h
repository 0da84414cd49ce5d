// CWinApp: the application object. One per program; its constructor makes it AfxGetApp().
#pragma once

#include "classlib/CommandLineInfo.h"
#include "classlib/Profile.h"
#include "classlib/RecentFileList.h"
#include "classlib/StandardIds.h"
#include "classlib/WinThread.h"

class CDocument;

class CWinApp : public CWinThread {
  DECLARE_DYNAMIC(CWinApp)

 public:
  explicit CWinApp(LPCTSTR lpszAppName = nullptr);
  ~CWinApp() override;

  LPCTSTR m_pszAppName = nullptr;
  LPCTSTR m_pszRegistryKey = nullptr;
  LPCTSTR m_pszProfileName = nullptr;
  LPCTSTR m_pszExeName = nullptr;
  HINSTANCE m_hInstance = nullptr;
  LPTSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;
  CRecentFileList* m_pRecentFileList = nullptr;

  virtual BOOL InitApplication();
  BOOL InitInstance() override;
  int ExitInstance() override;
  int Run() override;
  BOOL OnIdle(LONG lCount) override;
  // No document templates: the program opens its documents itself.
  virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);

  void ParseCommandLine(CCommandLineInfo& rCmdInfo);
  // Settings go to HKEY_CURRENT_USER\Software\<key>\<application name>.
  void SetRegistryKey(LPCTSTR lpszRegistryKey);
  void SetRegistryKey(UINT nIDRegistryKey);
  void LoadStdProfileSettings(UINT nMaxMRU = 4);
  void SaveStdProfileSettings();
  virtual void AddToRecentFileList(LPCTSTR lpszPathName);

  UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
  CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
  BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes);
  BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
  BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
  BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes);
  HKEY GetAppRegistryKey() { return m_profile.GetAppRegistryKey(); }
  HKEY GetSectionKey(LPCTSTR lpszSection) { return m_profile.GetSectionKey(lpszSection); }
  CProfile& GetProfile() { return m_profile; }

  // nCode 1 begins, -1 ends, 0 restores the hourglass after something changed the cursor.
  virtual void DoWaitCursor(int nCode);

  afx_msg BOOL OnOpenRecentFile(UINT nID);
  afx_msg void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);
  afx_msg void OnAppExit();

 protected:
  CProfile m_profile;
  CString m_strAppName;
  CString m_strRegistryKey;
  CString m_strProfileName;
  CString m_strExeName;

  DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
// What the program's WinMain calls: sets the application up, runs InitInstance and the loop.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
// Registers the common-control classes the layer uses (once per process).
void AfxInitCommonControls();
// OLE start-up for the calling thread; undone when the application exits.
BOOL AfxOleInit();
// Ends what AfxOleInit began; AfxWinMain calls it after ExitInstance.
void AfxOleTerm();
// Lets windows host ActiveX controls (CWnd::CreateControl): registers the platform's control host
// window class once per process.
void AfxEnableControlContainer();
