// The base of every event class: no data, a virtual destructor so each event carries its run-time type.
#pragma once

class Event {
 public:
  virtual ~Event() = default;
};
