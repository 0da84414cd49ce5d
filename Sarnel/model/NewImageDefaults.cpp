#include "NewImageDefaults.h"

NewImageDefaults& GetNewImageDefaults() {
  static NewImageDefaults defaults;
  return defaults;
}
