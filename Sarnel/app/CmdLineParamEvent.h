// One switch of the command line ("/FIN12" arrives as "FIN12"), fired on the application's source
// once start-up has shown the main window's job.
#pragma once

#include "Event.h"

#include "classlib/ClassLib.h"

class CmdLineParamEvent : public Event {
 public:
  explicit CmdLineParamEvent(const char* text) : text(text) {}
  CString text;
};
