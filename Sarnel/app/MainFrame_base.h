// What every main frame of the program shares: it hears the application's and the job's events (and
// answers the exit question with the job's save prompt), registers the program's private window
// messages and clipboard formats, and runs the idle timer.
#pragma once

#include "TheDocumentUser.h"

#include "classlib/ClassLib.h"

class CTheDocument;
class EventSource;
class Event;

// Registered once by the first main frame and kept for the run. A bitmap pushed from another
// program arrives as one of the two messages; the clipboard formats are only registered.
extern UINT BrisantBitmapMessage;
extern UINT BrisantBitmapNoMessage;
extern UINT ImageIdsClipboardFormat;
extern UINT ItemIdsClipboardFormat;

class CMainFrame_base : public CTheDocumentUser {
 public:
  explicit CMainFrame_base(CTheDocument* document);
  ~CMainFrame_base() override;

  void OnSubscribe(EventSource*) override {}
  void OnUnsubscribe(EventSource*) override {}
  // ExitingEvent: the job's save question; Cancel, a refused or failed save vetoes the exit.
  int OnEvent(EventSource* source, Event* event) override;
  virtual bool LoadMainFrame() = 0;
  virtual void RestartIdleTimer() {}
  virtual bool FireIdleTimeEvent();

  CTheDocument* GetDocument() const { return document; }
};
