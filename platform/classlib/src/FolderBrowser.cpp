#include "classlib/FolderBrowser.h"

#include "classlib/FileDialog.h"

#include <shlobj.h>

#include <atomic>

namespace {

struct BrowseState {
  LPCTSTR initialFolder;
};

int CALLBACK BrowseCallback(HWND hWnd, UINT message, LPARAM lParam, LPARAM lpData) {
  // Plain Win32 calls only: nothing here can throw into the shell.
  auto* state = reinterpret_cast<BrowseState*>(lpData);
  if (message == BFFM_INITIALIZED) {
    if (state != nullptr && state->initialFolder != nullptr && state->initialFolder[0] != '\0')
      ::SendMessageA(hWnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(state->initialFolder));
  } else if (message == BFFM_SELCHANGED) {
    char path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), path)) path[0] = '\0';
    ::SendMessageA(hWnd, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
  }
  return 0;
}

BOOL RealBrowseForFolder(HWND hWndOwner, CString& result, LPCTSTR lpszInitialFolder, LPCTSTR lpszTitle) {
  BrowseState state{lpszInitialFolder};
  char displayName[MAX_PATH] = {};
  BROWSEINFOA info = {};
  info.hwndOwner = hWndOwner;
  info.pszDisplayName = displayName;
  info.lpszTitle = lpszTitle;
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  info.lpfn = &BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(&state);
  PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderA(&info);
  if (chosen == nullptr) return FALSE;
  char path[MAX_PATH] = {};
  BOOL isFolder = ::SHGetPathFromIDListA(chosen, path);
  ::CoTaskMemFree(chosen);
  if (!isFolder) return FALSE;
  result = path;
  return TRUE;
}

std::atomic<AFX_BROWSEFORFOLDER_HANDLER> g_browseHandler{&RealBrowseForFolder};

}  // namespace

BOOL AfxBrowseForFolder(HWND hWndOwner, CString& result, LPCTSTR lpszInitialFolder, LPCTSTR lpszTitle) {
  return g_browseHandler.load()(hWndOwner, result, lpszInitialFolder, lpszTitle);
}

AFX_BROWSEFORFOLDER_HANDLER AfxSetBrowseForFolderHandler(AFX_BROWSEFORFOLDER_HANDLER handler) {
  return g_browseHandler.exchange(handler != nullptr ? handler : &RealBrowseForFolder);
}
