// The base of every worker thread: a class-library thread whose work procedure is Main, started
// with a wake event, stopped by a stop event, and reporting its end through a done event.
#pragma once

#include "classlib/ClassLib.h"

namespace zvk {

class thread : public CWinThread {
 public:
  // With autoDelete the object deletes itself on its own thread when the thread ends: its owner must
  // not touch it once started (but deletes it itself when Start fails).
  explicit thread(bool autoDelete);
  thread(const thread&) = delete;
  thread& operator=(const thread&) = delete;
  ~thread() override;

  // interval: the wait for the wake event in milliseconds; INFINITE runs Main once. False when the
  // thread cannot be made; the done event is then signalled again.
  bool Start(DWORD interval = INFINITE, bool wakeNow = true, DWORD createFlags = 0, UINT stackSize = 0,
             LPSECURITY_ATTRIBUTES security = nullptr);

  // Signalled whenever no thread runs for this object.
  CEvent* GetDoneEvent();
  CEvent* GetWakeEvent();
  CEvent& GetStopEvent() { return stopEvent; }

  BOOL InitInstance() override { return TRUE; }
  int Run() override;
  int ExitInstance() override;

 protected:
  virtual void BeforeRun() {}
  // The work procedure; its result is the thread's exit code.
  virtual int Main() = 0;
  virtual void AfterRun() {}

 private:
  CEvent* wakeEvent = nullptr;   // auto reset
  CEvent* doneEvent = nullptr;   // manual reset, signalled while no thread runs
  CEvent* spareEvent = nullptr;  // auto reset, unused while the thread runs
  CEvent heldEvent;              // manual reset, never signalled
  CEvent stopEvent;              // manual reset; ends the work loop
  DWORD interval = INFINITE;
};

}  // namespace zvk
