// The barcode keyboard wedge. Scanners type a code as "/", "%", a type letter, the data and Enter
// into whatever window has the focus. The application's pre-translation hands every character and
// key-down to this decoder, which swallows a code's characters, fires one typed BCEvent per code
// and gives a prefix typed by hand back to the focused window with the key data it came with.
// One decoder for the process; user-interface thread only.
#pragma once

#include "classlib/ClassLib.h"

#include <functional>

class Event;

class BarcodeWedge {
 public:
  // Decoder states: idle, "/" swallowed, "/%" swallowed, then one collecting state per letter.
  enum State { Idle = 0, Slash = 1, SlashPercent = 2, FirstCode = 3, LastCode = 10 };

  // What the decoder does to the world; a test replaces them.
  struct Hooks {
    std::function<UINT_PTR(UINT ms)> startTimer;  // returns the timer's id (0: none)
    std::function<void(UINT_PTR id)> stopTimer;
    std::function<HWND()> focusWindow;
    std::function<void(HWND target, UINT ch, LPARAM keyData)> sendChar;
    std::function<void(Event* event)> fire;
  };

  static constexpr UINT InterKeyMs = 150;

  // True when the character is swallowed.
  bool OnChar(UINT ch, LPARAM keyData);
  // True when the key-down is swallowed (Enter ending a code).
  bool OnEnter(UINT virtualKey);
  // The inter-key time ran out.
  void OnTimer();

  int GetState() const { return state; }
  const CString& GetText() const { return text; }
  UINT_PTR GetTimerId() const { return timerId; }

  // Hooks that are left empty take the real ones: a thread timer calling BarcodeTimerProc,
  // the focus window and a sent WM_CHAR, the application's FireEvent. Resets the decoder.
  void SetHooks(Hooks hooks);

 private:
  void StopTimer();
  void RestartTimer();
  void GiveBack(UINT ch, LPARAM keyData);
  void Reset();
  // Copies the code, resets and only then fires: a sink that runs a modal loop then sees an idle
  // decoder instead of one that still swallows into the finished code.
  void FinishCode();

  int state = Idle;
  CString text;
  LPARAM slashKeyData = 0;
  LPARAM percentKeyData = 0;
  UINT_PTR timerId = 0;
  Hooks hooks;
};

// The process's decoder.
BarcodeWedge& GetBarcodeWedge();

// The inter-key timer's callback (a thread timer: no window).
void CALLBACK BarcodeTimerProc(HWND hWnd, UINT message, UINT_PTR id, DWORD time);
