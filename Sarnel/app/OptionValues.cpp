#include "OptionValues.h"

OptionValues& GetOptionValues() {
  static OptionValues values;
  return values;
}
