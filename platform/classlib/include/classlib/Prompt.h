// The one prompt function behind every message box of the program and the layer, and
// AfxMessageBox on top of it; likewise the one warning sound.
#pragma once

#include "classlib/String.h"

struct PromptRequest {
  HWND owner = nullptr;
  CString text;
  CString caption;
  UINT flags = 0;
  UINT stringId = 0;  // the string-table id of the text, 0 when the text was given directly
};

// Shows a message box (or what the installed handler does instead) and returns the button id.
typedef int (*PromptHandler)(const PromptRequest& request);

int AfxPrompt(HWND owner, LPCTSTR text, LPCTSTR caption, UINT flags, UINT stringId = 0);
// Installs a handler for the whole process (nullptr restores the real message box) and returns
// the one it replaces.
PromptHandler AfxSetPromptHandler(PromptHandler handler);
// The real thing: MessageBoxA.
int AfxRealPrompt(const PromptRequest& request);

// The warning sound of a refused input (a MessageBeep type), or what the installed handler does
// instead; installing works as for prompts.
typedef void (*BeepHandler)(UINT type);
void AfxBeep(UINT type);
BeepHandler AfxSetBeepHandler(BeepHandler handler);

// Caption AfxGetAppName(), owner the thread's active window.
int AfxMessageBox(LPCTSTR text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));

#include "classlib/ScriptedPrompt.h"
