#include "classlib/FolderBrowser.h"

namespace {
std::mutex g_scriptLock;
CFolderBrowseScript* g_script = nullptr;
}  // namespace

CFolderBrowseScript::CFolderBrowseScript() {
  std::lock_guard<std::mutex> guard(g_scriptLock);
  m_previousScript = g_script;
  g_script = this;
  m_previousHandler = reinterpret_cast<void*>(AfxSetBrowseForFolderHandler(&CFolderBrowseScript::Handle));
}

CFolderBrowseScript::~CFolderBrowseScript() {
  std::lock_guard<std::mutex> guard(g_scriptLock);
  g_script = m_previousScript;
  AfxSetBrowseForFolderHandler(reinterpret_cast<AFX_BROWSEFORFOLDER_HANDLER>(m_previousHandler));
}

CFolderBrowseScript& CFolderBrowseScript::Answer(LPCTSTR folder) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_replies.push_back({true, folder});
  return *this;
}

CFolderBrowseScript& CFolderBrowseScript::Cancel() {
  std::lock_guard<std::mutex> guard(m_lock);
  m_replies.push_back({false, CString()});
  return *this;
}

std::vector<CFolderBrowseScript::Shown> CFolderBrowseScript::GetShown() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_shown;
}

size_t CFolderBrowseScript::PendingAnswers() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_replies.size();
}

BOOL CFolderBrowseScript::Handle(HWND hWndOwner, CString& result, LPCTSTR lpszInitialFolder,
                                 LPCTSTR lpszTitle) {
  CFolderBrowseScript* script;
  {
    std::lock_guard<std::mutex> guard(g_scriptLock);
    script = g_script;
  }
  if (script == nullptr) return FALSE;
  std::lock_guard<std::mutex> guard(script->m_lock);
  Reply reply{false, CString()};
  bool answered = !script->m_replies.empty();
  if (answered) {
    reply = script->m_replies.front();
    script->m_replies.pop_front();
  }
  script->m_shown.push_back({hWndOwner, lpszInitialFolder, lpszTitle, answered});
  if (reply.ok) result = reply.folder;
  return reply.ok ? TRUE : FALSE;
}
