// The test program's application object (the program's own, with the screen size and the command
// line under the test's control), a profile of its own for every test, and helpers that run the
// program's start-up and shutdown in-process.
#pragma once

#include "SarnelEXE.h"

#include "classlib/ClassLib.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

class CMainFrame_Image;

class CShellTestApp : public CSarnelEXE {
 public:
  SIZE screenSize = {1280, 1024};
  std::vector<std::string> arguments;
  bool showSplash = false;

 protected:
  SIZE GetScreenSize() const override { return screenSize; }
  void ParseArguments(CCommandLineInfo& info) override;
};

CShellTestApp& TestApp();

// Every test gets an empty profile and fresh process-wide settings; the app is shut down after it.
class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the start-up sequence; the main frame when it succeeded.
  bool Start(const std::vector<std::string>& arguments = {});
  // Closes the main window as the operator does (WM_CLOSE) and, once it is gone, runs the exit.
  // False when the window stayed open.
  bool CloseMainWindow();
  // Ends the run whatever state it is in (the exit step included).
  void Stop();

  CMainFrame_Image* Frame() const;
  std::string Title() const;
  // The profile's root key of the application for this test.
  std::string ProfileKey() const;
  bool ProfileValueExists(const char* section, const char* entry) const;

  std::string scratch;
  bool running = false;
};

// Dispatches this thread's messages until done() holds or the time runs out; false on time-out.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
void PumpPending(DWORD ms = 50);
// Resets the options record and the program-wide values beside it to their first state.
void ResetProcessSettings();
