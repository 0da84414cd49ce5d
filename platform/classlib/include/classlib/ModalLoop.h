// The layer's one modal loop, shared by dialogs, property sheets and the program's own popups: the
// application's pre-translation chain and idle processing keep working while a modal window is up.
#pragma once

#include <windows.h>

#include <functional>

class CWnd;

// The window a modal window is owned by: the parent's top-level window, else the main window.
HWND AfxFindModalOwner(const CWnd* pParentWnd);

// Pumps this thread's messages (idle time: WM_ENTERIDLE to the owner, WM_KICKIDLE to hWndModal
// with rising counts, the thread's OnIdle(0)) while keepRunning() holds. Temporary wrappers are not
// released while it runs. Returns FALSE when WM_QUIT ended the loop; the quit message, with its
// exit code, has then been posted again for the outer loop.
BOOL AfxRunModalLoop(HWND hWndModal, const std::function<bool()>& keepRunning);
