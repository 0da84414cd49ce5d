// CScriptedPrompt: answers prompts from a queue and records what was asked, for tests. While
// one lives it is the process's prompt handler; when its queue is empty the real message box
// appears (unless FailWhenEmpty is set, then the prompt answers 0). Warning sounds are recorded,
// not sounded.
#pragma once

#include "classlib/String.h"

#include <deque>
#include <mutex>
#include <vector>

struct PromptRequest;

class CScriptedPrompt {
 public:
  CScriptedPrompt();
  ~CScriptedPrompt();
  CScriptedPrompt(const CScriptedPrompt&) = delete;
  CScriptedPrompt& operator=(const CScriptedPrompt&) = delete;

  CScriptedPrompt& Answer(int buttonId);
  void FailWhenEmpty(bool fail) { m_failWhenEmpty = fail; }

  struct Shown {
    HWND owner;
    CString text;
    CString caption;
    UINT flags;
    UINT stringId;
    bool answered;  // false when the queue was empty
  };
  std::vector<Shown> GetShown() const;
  size_t PendingAnswers() const;
  std::vector<UINT> GetBeeps() const;  // the MessageBeep types, in order

 private:
  static int Handle(const PromptRequest& request);
  static void HandleBeep(UINT type);
  int Respond(const PromptRequest& request);

  mutable std::mutex m_lock;
  std::deque<int> m_answers;
  std::vector<Shown> m_shown;
  bool m_failWhenEmpty = false;
  CScriptedPrompt* m_previousScript = nullptr;
  void* m_previousHandler = nullptr;
  void* m_previousBeepHandler = nullptr;
  std::vector<UINT> m_beeps;
};
