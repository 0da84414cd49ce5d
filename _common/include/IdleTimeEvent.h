// Fired on the application-wide bus when the application is idle; a sink that wants to be called again
// sets moreTime.
#pragma once

#include "Event.h"

class IdleTimeEvent : public Event {
 public:
  bool moreTime = false;
};
