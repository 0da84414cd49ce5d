#include "classlib/Prompt.h"

namespace {
// The innermost live script; the prompt handler is process-wide.
std::mutex g_scriptLock;
CScriptedPrompt* g_script = nullptr;
}  // namespace

CScriptedPrompt::CScriptedPrompt() {
  std::lock_guard<std::mutex> guard(g_scriptLock);
  m_previousScript = g_script;
  g_script = this;
  m_previousHandler = reinterpret_cast<void*>(AfxSetPromptHandler(&CScriptedPrompt::Handle));
  m_previousBeepHandler = reinterpret_cast<void*>(AfxSetBeepHandler(&CScriptedPrompt::HandleBeep));
}

CScriptedPrompt::~CScriptedPrompt() {
  std::lock_guard<std::mutex> guard(g_scriptLock);
  g_script = m_previousScript;
  AfxSetPromptHandler(reinterpret_cast<PromptHandler>(m_previousHandler));
  AfxSetBeepHandler(reinterpret_cast<BeepHandler>(m_previousBeepHandler));
}

CScriptedPrompt& CScriptedPrompt::Answer(int buttonId) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_answers.push_back(buttonId);
  return *this;
}

std::vector<CScriptedPrompt::Shown> CScriptedPrompt::GetShown() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_shown;
}

size_t CScriptedPrompt::PendingAnswers() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_answers.size();
}

std::vector<UINT> CScriptedPrompt::GetBeeps() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_beeps;
}

void CScriptedPrompt::HandleBeep(UINT type) {
  std::lock_guard<std::mutex> guard(g_scriptLock);
  if (g_script == nullptr) {
    MessageBeep(type);
    return;
  }
  std::lock_guard<std::mutex> scriptGuard(g_script->m_lock);
  g_script->m_beeps.push_back(type);
}

int CScriptedPrompt::Handle(const PromptRequest& request) {
  CScriptedPrompt* script;
  {
    std::lock_guard<std::mutex> guard(g_scriptLock);
    script = g_script;
  }
  return script != nullptr ? script->Respond(request) : AfxRealPrompt(request);
}

int CScriptedPrompt::Respond(const PromptRequest& request) {
  bool answered = false;
  int answer = 0;
  bool failWhenEmpty;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_answers.empty()) {
      answer = m_answers.front();
      m_answers.pop_front();
      answered = true;
    }
    failWhenEmpty = m_failWhenEmpty;
    m_shown.push_back(
        {request.owner, request.text, request.caption, request.flags, request.stringId, answered});
  }
  if (answered || failWhenEmpty) return answer;
  // No scripted answer: the real box, shown outside the lock.
  return AfxRealPrompt(request);
}
