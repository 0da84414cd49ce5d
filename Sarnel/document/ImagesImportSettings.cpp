#include "ImagesImportSettings.h"

ImagesImportSettings& GetImagesImportSettings() {
  static ImagesImportSettings settings;
  return settings;
}
