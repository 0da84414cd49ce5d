// The application object: owns the one document for the run, starts the program up, carries the
// program-wide event source, hands out idle time and shuts the program down.
#pragma once

#include "EventSource.h"

#include "classlib/ClassLib.h"

class CTheDocument;
class Event;

class CSarnelEXE : public CWinApp, public EventSource {
  DECLARE_DYNAMIC(CSarnelEXE)

 public:
  // Collects the switches of the command line; each is fired as a CmdLineParamEvent after the
  // messages already waiting have been handled. Plain parameters are ignored.
  class CCommandLineInfo2 : public CCommandLineInfo {
   public:
    void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) override;
  };

  CSarnelEXE();
  ~CSarnelEXE() override;

  BOOL InitInstance() override;
  int ExitInstance() override;
  BOOL OnIdle(LONG lCount) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  CDocument* OpenDocumentFile(LPCTSTR lpszFileName) override;

  // The barcode wedge's two entries from the pre-translation: true when the message is swallowed.
  bool OnBarcodeChar(UINT ch, LPARAM keyData);
  bool OnBarcodeEnter(UINT virtualKey);

  // Fires ExitingEvent; true unless a sink vetoed.
  bool CanExit();
  // Fires IdleTimeEvent; true when a sink asked for more time.
  bool FireIdleTimeEvent();
  // Fires on the program-wide source; the event stays the caller's.
  void FireEvent(Event* event);

  CTheDocument* GetDocument() const { return document; }
  // The show command start-up ends with (after the saved placement was applied to it).
  int GetStartShowCommand() const { return startShowCommand; }

  // The smallest primary screen the program runs on.
  static constexpr int MinScreenWidth = 800;
  static constexpr int MinScreenHeight = 600;

 protected:
  // The steps of InitInstance after the profile and settings are in place; split so that a test
  // can run start-up with a profile of its own. False ends the program.
  bool CreateDocumentAndFrame();
  bool OpenFirstJob(const CString& jobPath);
  int ChooseShowCommand(bool placementLoaded, UINT loadedShowCommand) const;
  void FireCommandLineSwitches();
  void ShowMainWindow(int showCommand);
  // The primary screen's size, and the program's arguments (a test may pretend others).
  virtual SIZE GetScreenSize() const;
  virtual void ParseArguments(CCommandLineInfo& info);

 private:
  CTheDocument* document = nullptr;
  int startShowCommand = SW_SHOWNORMAL;

  DECLARE_MESSAGE_MAP()
};

// The application object of the process (null before it is constructed).
CSarnelEXE* GetSarnelApp();
// The face name of the image view's cell texts.
const char* GetDefaultFontName();
