// Requests fired on the job's event source and answered inside the fire by the image view: which images
// are selected, and which images an action applies to. An unanswered request keeps answered false.
#pragma once

#include "Event.h"
#include "SharedStringList.h"

class ImageSelectionRequestEvent : public Event {
 public:
  enum Kind { None = 0, One = 1, Several = 2 };
  bool answered = false;
  int kind = None;
  CString id;            // kind One
  SharedStringList ids;  // kind Several, in selection order
};

class ImageSetRequestEvent : public Event {
 public:
  enum Type { EveryCell = 0, FromFirstSelected = 1, AfterFirstSelected = 3 };
  explicit ImageSetRequestEvent(int type = EveryCell) : type(type) {}
  int type;
  bool answered = false;
  SharedStringList ids;  // in grid order
};
