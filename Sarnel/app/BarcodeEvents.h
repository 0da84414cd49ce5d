// What a barcode scanner typed: one event per scanned code, fired on the program-wide source with
// the code's data. The letter after the "/%" prefix picks the event's type.
#pragma once

#include "Event.h"

#include "classlib/ClassLib.h"

class BCEvent : public Event {
 public:
  explicit BCEvent(const char* text) : text(text) {}
  CString text;
};

class BCSubjectEvent : public BCEvent {
  using BCEvent::BCEvent;
};
class BCImageEvent : public BCEvent {
  using BCEvent::BCEvent;
};
class BCOrderEvent : public BCEvent {
  using BCEvent::BCEvent;
};
class BCRetouchEvent : public BCEvent {
  using BCEvent::BCEvent;
};
class BCDetailsEvent : public BCEvent {
  using BCEvent::BCEvent;
};
class BCPoseEvent : public BCEvent {
  using BCEvent::BCEvent;
};
class BCCommandEvent : public BCEvent {
  using BCEvent::BCEvent;
};
class BCTicketEvent : public BCEvent {
  using BCEvent::BCEvent;
};
