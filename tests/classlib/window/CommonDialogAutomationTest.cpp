// The real common dialogs, driven from a second thread the way UI automation does it: the thread
// finds the dialog ("#32770") among the test thread's windows, works its controls and closes it.
#include <gtest/gtest.h>

#include "WindowTestIds.h"
#include "WindowTestSupport.h"

#include <atomic>
#include <functional>
#include <thread>

namespace {

const DWORD kFindTimeoutMs = 10000;

struct FindDialog {
  LPCSTR title;  // null: any visible dialog
  HWND found;
};

BOOL CALLBACK FindDialogWindow(HWND hWnd, LPARAM lParam) {
  auto* find = reinterpret_cast<FindDialog*>(lParam);
  char className[32] = {};
  ::GetClassNameA(hWnd, className, sizeof(className));
  if (lstrcmpA(className, "#32770") != 0 || !::IsWindowVisible(hWnd)) return TRUE;
  if (find->title != nullptr) {
    char text[256] = {};
    ::GetWindowTextA(hWnd, text, sizeof(text));
    if (lstrcmpA(text, find->title) != 0) return TRUE;
  }
  find->found = hWnd;
  return FALSE;
}

struct FindControl {
  int id;
  LPCSTR className;
  HWND found;
};

BOOL CALLBACK FindControlWindow(HWND hWnd, LPARAM lParam) {
  auto* find = reinterpret_cast<FindControl*>(lParam);
  if (find->id != 0 && ::GetDlgCtrlID(hWnd) != find->id) return TRUE;
  if (find->className != nullptr) {
    char className[32] = {};
    ::GetClassNameA(hWnd, className, sizeof(className));
    if (lstrcmpiA(className, find->className) != 0) return TRUE;
  }
  find->found = hWnd;
  return FALSE;
}

// A control anywhere below the dialog (the child template's controls are grandchildren).
HWND FindDescendant(HWND hDlg, int id, LPCSTR className = nullptr) {
  FindControl find{id, className, nullptr};
  ::EnumChildWindows(hDlg, &FindControlWindow, reinterpret_cast<LPARAM>(&find));
  return find.found;
}

// Runs the script on a second thread once a dialog of the test thread appears. If the script
// does not finish (or the dialog never appears in time), every dialog of the test thread is
// cancelled so that the test fails instead of hanging.
class CDialogDriver {
 public:
  CDialogDriver(LPCSTR title, std::function<bool(HWND)> script)
      : m_testThread(::GetCurrentThreadId()), m_title(title), m_script(std::move(script)) {
    m_thread = std::thread([this] { Run(); });
  }
  ~CDialogDriver() { m_thread.join(); }
  CDialogDriver(const CDialogDriver&) = delete;
  CDialogDriver& operator=(const CDialogDriver&) = delete;

  bool Succeeded() const { return m_succeeded; }

 private:
  HWND WaitForDialog() {
    const ULONGLONG end = ::GetTickCount64() + kFindTimeoutMs;
    while (::GetTickCount64() < end) {
      FindDialog find{m_title, nullptr};
      ::EnumThreadWindows(m_testThread, &FindDialogWindow, reinterpret_cast<LPARAM>(&find));
      if (find.found != nullptr) return find.found;
      ::Sleep(20);
    }
    return nullptr;
  }

  void Run() {
    HWND hDlg = WaitForDialog();
    if (hDlg != nullptr && m_script(hDlg)) {
      m_succeeded = true;
      return;
    }
    // Give up: cancel whatever dialog the test thread shows.
    const ULONGLONG end = ::GetTickCount64() + kFindTimeoutMs;
    while (::GetTickCount64() < end) {
      FindDialog any{nullptr, nullptr};
      ::EnumThreadWindows(m_testThread, &FindDialogWindow, reinterpret_cast<LPARAM>(&any));
      if (any.found == nullptr) return;
      ::PostMessageA(any.found, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      ::Sleep(100);
    }
  }

  DWORD m_testThread;
  LPCSTR m_title;
  std::function<bool(HWND)> m_script;
  std::atomic<bool> m_succeeded{false};
  std::thread m_thread;
};

// Waits on the driver's thread until the condition holds.
bool WaitFor(const std::function<bool()>& done) {
  const ULONGLONG end = ::GetTickCount64() + kFindTimeoutMs;
  while (!done()) {
    if (::GetTickCount64() > end) return false;
    ::Sleep(20);
  }
  return true;
}

void PressButton(HWND hDlg, int id) {
  HWND button = ::GetDlgItem(hDlg, id);
  ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// The file-name field of the system's file dialog: an edit, or the edit inside a combo box.
HWND FileNameField(HWND hDlg) {
  HWND field = ::GetDlgItem(hDlg, edt1);
  if (field == nullptr || !::IsWindowVisible(field)) {
    HWND combo = ::GetDlgItem(hDlg, cmb13);
    field = combo != nullptr ? FindDescendant(combo, 0, "Edit") : nullptr;
    if (field == nullptr) field = combo;
  }
  return field;
}

// A folder of its own with one file in it.
class TempFolder {
 public:
  TempFolder() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    char longTemp[MAX_PATH] = {};
    if (::GetLongPathNameA(temp, longTemp, MAX_PATH) == 0) lstrcpyA(longTemp, temp);
    m_path.Format("%sclasslib-dlg-%lu", longTemp, ::GetCurrentProcessId());
    ::CreateDirectoryA(m_path, nullptr);
  }
  ~TempFolder() {
    for (const CString& file : m_files) ::DeleteFileA(file);
    ::RemoveDirectoryA(m_path);
  }
  CString AddFile(LPCSTR name) {
    CString file = m_path + "\\" + name;
    HANDLE h = ::CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    m_files.push_back(file);
    return file;
  }
  const CString& Path() const { return m_path; }

 private:
  CString m_path;
  std::vector<CString> m_files;
};

// A file dialog with a child template whose "Setup" button the derived class's map answers.
class CSetupFileDialog : public CFileDialog {
 public:
  CSetupFileDialog()
      : CFileDialog(TRUE, nullptr, nullptr,
                    OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                    "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||") {
    m_ofn.Flags |= OFN_ENABLETEMPLATE;
    m_ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_FILE_EXTRA);
  }

  std::atomic<int> setupClicks{0};
  HWND initChild = nullptr;
  char initParentClass[32] = {};
  CString pathWhileOpen;

 protected:
  BOOL OnInitDialog() override {
    initChild = m_hWnd;
    ::GetClassNameA(::GetParent(m_hWnd), initParentClass, sizeof(initParentClass));
    return CFileDialog::OnInitDialog();
  }
  afx_msg void OnSetup() {
    pathWhileOpen = GetFolderPath();
    ++setupClicks;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSetupFileDialog, CFileDialog)
  ON_BN_CLICKED(IDC_FILE_SETUP, &CSetupFileDialog::OnSetup)
END_MESSAGE_MAP()

TEST(RealCommonDialogs, AFileDialogWithAChildTemplateRoutesItsButtonAndReturnsTheTypedName) {
  TempFolder folder;
  CString expected = folder.AddFile("pick.txt");
  CSetupFileDialog dlg;
  dlg.m_ofn.lpstrTitle = "ClassLib open test";
  dlg.m_ofn.lpstrInitialDir = folder.Path();

  CDialogDriver driver("ClassLib open test", [&](HWND hDlg) {
    HWND setup = FindDescendant(hDlg, IDC_FILE_SETUP);
    if (setup == nullptr) return false;
    ::PostMessageA(::GetParent(setup), WM_COMMAND, MAKEWPARAM(IDC_FILE_SETUP, BN_CLICKED),
                   reinterpret_cast<LPARAM>(setup));
    if (!WaitFor([&] { return dlg.setupClicks.load() == 1; })) return false;
    HWND field = FileNameField(hDlg);
    if (field == nullptr) return false;
    ::SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("pick.txt"));
    PressButton(hDlg, IDOK);
    return true;
  });
  INT_PTR result = dlg.DoModal();
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dlg.GetPathName().CompareNoCase(expected), 0) << dlg.GetPathName().GetString();
  EXPECT_EQ(dlg.GetFileName(), "pick.txt");
  EXPECT_EQ(dlg.setupClicks.load(), 1) << "the template's button reached the dialog's map";
  EXPECT_NE(dlg.initChild, nullptr) << "OnInitDialog ran with the child as the object's window";
  EXPECT_STREQ(dlg.initParentClass, "#32770") << "the system's dialog is the child's parent";
  EXPECT_EQ(dlg.pathWhileOpen.CompareNoCase(folder.Path()), 0)
      << "while open the dialog answers with what it shows: " << dlg.pathWhileOpen.GetString();
  EXPECT_EQ(dlg.m_hWnd, nullptr) << "detached when the dialog went";
  EXPECT_TRUE(driver.Succeeded());
}

TEST(RealCommonDialogs, ACancelledSaveDialogReturnsCancel) {
  CFileDialog dlg(FALSE, "txt", "unchanged.txt", OFN_OVERWRITEPROMPT, "Text Files (*.txt)|*.txt||");
  dlg.m_ofn.lpstrTitle = "ClassLib save test";
  CDialogDriver driver("ClassLib save test", [](HWND hDlg) {
    PressButton(hDlg, IDCANCEL);
    return true;
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.GetFileName(), "unchanged.txt");
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_TRUE(driver.Succeeded());
}

TEST(RealCommonDialogs, AColourDialogClosedWithOkAnswersItsInitialColour) {
  CColorDialog dlg(RGB(12, 34, 56), CC_FULLOPEN | CC_ANYCOLOR);
  CDialogDriver driver(nullptr, [](HWND hDlg) {
    PressButton(hDlg, IDOK);
    return true;
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetColor(), RGB(12, 34, 56));
  EXPECT_TRUE(driver.Succeeded());
}

}  // namespace
