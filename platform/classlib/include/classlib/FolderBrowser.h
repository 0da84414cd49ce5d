// The shell's folder chooser behind one replaceable function (see FolderBrowseScript.h).
#pragma once

#include "classlib/String.h"

// Shows the folder chooser (file-system folders only, with a status text showing the selected
// path) titled lpszTitle and starting at lpszInitialFolder. On OK with a file-system folder the
// path goes to result and the answer is TRUE; on cancel (or a choice that is no file-system
// folder) result is left alone and the answer is FALSE.
BOOL AfxBrowseForFolder(HWND hWndOwner, CString& result, LPCTSTR lpszInitialFolder, LPCTSTR lpszTitle);
typedef BOOL (*AFX_BROWSEFORFOLDER_HANDLER)(HWND hWndOwner, CString& result, LPCTSTR lpszInitialFolder,
                                            LPCTSTR lpszTitle);
// Replaces the folder chooser for the whole process (nullptr restores the real one).
AFX_BROWSEFORFOLDER_HANDLER AfxSetBrowseForFolderHandler(AFX_BROWSEFORFOLDER_HANDLER handler);

#include "classlib/FolderBrowseScript.h"
