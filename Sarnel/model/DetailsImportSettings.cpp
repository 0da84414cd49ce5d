#include "DetailsImportSettings.h"

DetailsImportSettings& GetDetailsImportSettings() {
  static DetailsImportSettings settings;
  return settings;
}
