#include "Thread.h"

namespace zvk {

thread::thread(bool autoDelete) : heldEvent(FALSE, TRUE), stopEvent(FALSE, TRUE) {
  m_bAutoDelete = autoDelete ? TRUE : FALSE;
  wakeEvent = new CEvent(FALSE, FALSE);
  spareEvent = new CEvent(FALSE, FALSE);
}

thread::~thread() {
  delete wakeEvent;
  delete doneEvent;
  delete spareEvent;
}

CEvent* thread::GetDoneEvent() {
  if (!doneEvent) doneEvent = new CEvent(TRUE, TRUE);
  return doneEvent;
}

CEvent* thread::GetWakeEvent() {
  if (!wakeEvent) wakeEvent = new CEvent(FALSE, FALSE);
  return wakeEvent;
}

bool thread::Start(DWORD waitInterval, bool wakeNow, DWORD createFlags, UINT stackSize,
                   LPSECURITY_ATTRIBUTES security) {
  interval = waitInterval;
  if (wakeNow) GetWakeEvent()->SetEvent();
  stopEvent.ResetEvent();
  CEvent* done = GetDoneEvent();
  done->ResetEvent();
  // Once the thread runs, a self-deleting object may be gone: nothing of it is touched after this call.
  if (CreateThread(createFlags, stackSize, security)) return true;
  done->SetEvent();
  return false;
}

int thread::Run() {
  BeforeRun();
  CEvent* wake = GetWakeEvent();
  int exitCode = 0;
  do {
    ::WaitForSingleObject(wake->m_hObject, interval);
    if (::WaitForSingleObject(stopEvent.m_hObject, 0) != WAIT_OBJECT_0) {
      try {
        exitCode = Main();
      } catch (...) {
        // The worker's own failure: still report the end of the run before the class library
        // deals with the exception.
        GetDoneEvent()->SetEvent();
        throw;
      }
    }
  } while (::WaitForSingleObject(stopEvent.m_hObject, 0) != WAIT_OBJECT_0 && interval != INFINITE);
  AfterRun();
  // The class library's loop sees the quit message at once and ends through ExitInstance.
  ::PostQuitMessage(exitCode);
  return CWinThread::Run();
}

int thread::ExitInstance() {
  GetDoneEvent()->SetEvent();
  return CWinThread::ExitInstance();
}

}  // namespace zvk
