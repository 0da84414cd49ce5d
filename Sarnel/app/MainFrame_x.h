// A main frame over a class-library frame window class: the program's folder and help files, and
// the messages every main frame handles before its class does.
#pragma once

#include "MainFrame_base.h"
#include "SarnelEXE.h"

#include "resource.h"

template <class T>
class CMainFrame_x : public T, public CMainFrame_base {
 public:
  explicit CMainFrame_x(CTheDocument* document);

  const CString& GetProgramFolder() const { return programFolder; }
  const CString& GetQuickStartPath() const { return quickStartPath; }
  const CString& GetManualPath() const { return manualPath; }
  bool HelpFileExists() const { return helpFileExists; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  CString programFolder;   // with its final separator
  CString quickStartPath;  // folder, base name, "QuickStart.hlp"
  bool helpFileExists = false;
  CString manualPath;  // folder, "Manual", base name, ".pdf"
};

template <class T>
CMainFrame_x<T>::CMainFrame_x(CTheDocument* document) : CMainFrame_base(document) {
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  CString program(path, length < MAX_PATH ? static_cast<int>(length) : 0);
  int slash = program.ReverseFind('\\');
  int alt = program.ReverseFind('/');
  if (alt > slash) slash = alt;
  programFolder = program.Left(slash + 1);
  CString name = program.Mid(slash + 1);
  int dot = name.ReverseFind('.');
  CString baseName = dot >= 0 ? name.Left(dot) : name;
  quickStartPath = programFolder + baseName + "QuickStart.hlp";
  helpFileExists = GetFileAttributesA(quickStartPath) != INVALID_FILE_ATTRIBUTES;
  manualPath = programFolder + "Manual" + baseName + ".pdf";
  if (CSarnelEXE* app = GetSarnelApp()) app->Subscribe(this);
}

template <class T>
LRESULT CMainFrame_x<T>::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      WinHelpA(this->m_hWnd, quickStartPath, HELP_QUIT, 0);
      break;
    case WM_INITMENU:
      if (!helpFileExists) {
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        int count = GetMenuItemCount(menu);
        HMENU last = count > 0 ? GetSubMenu(menu, count - 1) : nullptr;
        if (last != nullptr) DeleteMenu(last, ID_HELP_QUICK_START, MF_BYCOMMAND);
      }
      break;
    default:
      if (message >= 0xC000 && message <= 0xFFFF &&
          (message == BrisantBitmapMessage || message == BrisantBitmapNoMessage)) {
        this->SendMessageToDescendants(message, wParam, lParam, TRUE, FALSE);
        return 0;
      }
      break;
  }
  return T::WindowProc(message, wParam, lParam);
}
