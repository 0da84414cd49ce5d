// The main window the program's code expects of a benchmark that runs it, with the job-file dialogs starting
// in the benchmark's work folder.
#pragma once

#include "JobFileOptions.h"

#include "classlib/ClassLib.h"

#include <string>

inline void OpenBenchWindow(CWinApp& app, CWnd& window, const std::string& work) {
  window.CreateEx(0, nullptr, "Pellorin", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr);
  app.m_pMainWnd = &window;
  GetJobFileOptions().FilesPath = work.c_str();
}
