// One line of a pick list: a separator line (added without text) or a text with a value.
#pragma once

#include "classlib/ClassLib.h"

struct PickListItem {
  bool separator = false;
  CString text;
  VARIANT value;  // empty when added; the list owns it
  bool dimmed = false;
};
