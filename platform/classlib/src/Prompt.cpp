#include "classlib/Prompt.h"

#include <atomic>

namespace {
std::atomic<PromptHandler> g_handler{nullptr};
std::atomic<BeepHandler> g_beepHandler{nullptr};
}  // namespace

int AfxRealPrompt(const PromptRequest& request) {
  return MessageBoxA(request.owner, request.text, request.caption, request.flags);
}

PromptHandler AfxSetPromptHandler(PromptHandler handler) { return g_handler.exchange(handler); }

int AfxPrompt(HWND owner, LPCTSTR text, LPCTSTR caption, UINT flags, UINT stringId) {
  PromptRequest request;
  request.owner = owner;
  request.text = text;
  request.caption = caption;
  request.flags = flags;
  request.stringId = stringId;
  PromptHandler handler = g_handler.load();
  return handler != nullptr ? handler(request) : AfxRealPrompt(request);
}

BeepHandler AfxSetBeepHandler(BeepHandler handler) { return g_beepHandler.exchange(handler); }

void AfxBeep(UINT type) {
  BeepHandler handler = g_beepHandler.load();
  if (handler != nullptr)
    handler(type);
  else
    MessageBeep(type);
}

int AfxMessageBox(LPCTSTR text, UINT type, UINT /*helpId*/) {
  return AfxPrompt(GetActiveWindow(), text, AfxGetAppName(), type);
}

int AfxMessageBox(UINT promptId, UINT type, UINT /*helpId*/) {
  CString text;
  text.LoadString(promptId);
  return AfxPrompt(GetActiveWindow(), text, AfxGetAppName(), type, promptId);
}
