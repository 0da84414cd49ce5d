// The operator asked to leave the program; a sink that must keep it running sets cancel.
#pragma once

#include "Event.h"

class ExitingEvent : public Event {
 public:
  bool cancel = false;
};
