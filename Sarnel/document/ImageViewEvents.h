// Events between the image grid and the windows beside it: what the grid tells about its
// selection, and the questions other windows ask it (answered inside the fire).
#pragma once

#include "Event.h"
#include "SharedStringList.h"

#include "classlib/ClassLib.h"

#include <cstdint>

// The grid's selection changed.
class ImageSelectionChangeEvent : public Event {};

// A press or a double click on a cell that holds an image.
class ImageClickEvent : public Event {
 public:
  explicit ImageClickEvent(const CString& id) : id(id) {}
  CString id;
};
class ImageDblClickEvent : public Event {
 public:
  explicit ImageDblClickEvent(const CString& id) : id(id) {}
  CString id;
};

// Which images are selected: kind 0 none, 1 one (in id), 2 several (in ids, in the order the
// user selected them).
class ImageSelectionRequestEvent : public Event {
 public:
  enum : int32_t { None = 0, One = 1, Several = 2 };
  uint8_t answered = 0;
  int32_t kind = None;
  CString id;
  SharedStringList ids;
};

// Which images an action applies to, in grid order: type 0 every cell, 1 the first selected and
// every later cell, 3 the cell right after the first selected one.
class ImageSetRequestEvent : public Event {
 public:
  enum : int32_t { All = 0, FromFirstSelected = 1, AfterFirstSelected = 3 };
  explicit ImageSetRequestEvent(int32_t type) : type(type) {}
  int32_t type;
  uint8_t answered = 0;
  SharedStringList ids;
};

// Around a run of additions: the grid ignores single changes in between and rebuilds once at
// the end.
class ImageMultipleBeginEvent : public Event {};
class ImageMultipleEndEvent : public Event {};
