#include "classlib/ColorDialog.h"

#include "classlib/FileDialog.h"

namespace {
std::mutex g_scriptLock;
CColorDialogScript* g_script = nullptr;
}  // namespace

CColorDialogScript::CColorDialogScript() {
  std::lock_guard<std::mutex> guard(g_scriptLock);
  m_previousScript = g_script;
  g_script = this;
  m_previousHandler = reinterpret_cast<void*>(AfxSetChooseColorHandler(&CColorDialogScript::Handle));
}

CColorDialogScript::~CColorDialogScript() {
  std::lock_guard<std::mutex> guard(g_scriptLock);
  g_script = m_previousScript;
  AfxSetChooseColorHandler(reinterpret_cast<AFX_CHOOSECOLOR_HANDLER>(m_previousHandler));
}

CColorDialogScript& CColorDialogScript::Answer(COLORREF color) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_replies.push_back({true, color});
  return *this;
}

CColorDialogScript& CColorDialogScript::Cancel() {
  std::lock_guard<std::mutex> guard(m_lock);
  m_replies.push_back({false, 0});
  return *this;
}

std::vector<CColorDialogScript::Shown> CColorDialogScript::GetShown() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_shown;
}

size_t CColorDialogScript::PendingAnswers() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_replies.size();
}

BOOL CColorDialogScript::Handle(CHOOSECOLORA* pcc) {
  CColorDialogScript* script;
  {
    std::lock_guard<std::mutex> guard(g_scriptLock);
    script = g_script;
  }
  if (script == nullptr) return FALSE;
  AfxSetCommDlgExtendedError(0);
  std::lock_guard<std::mutex> guard(script->m_lock);
  Reply reply{false, 0};
  bool answered = !script->m_replies.empty();
  if (answered) {
    reply = script->m_replies.front();
    script->m_replies.pop_front();
  }
  script->m_shown.push_back({pcc->hwndOwner, pcc->rgbResult, pcc->Flags, answered});
  if (reply.ok) pcc->rgbResult = reply.color;
  return reply.ok ? TRUE : FALSE;
}
