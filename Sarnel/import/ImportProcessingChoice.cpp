#include "ImportProcessingChoice.h"

int32_t ValidRotation(int32_t rotation) { return rotation >= 0 && rotation <= 3 ? rotation : 0; }

ImageProcessing ImportProcessingChoice::MakeProcessing(bool withSharpening) const {
  ImageProcessing processing;
  processing.quarterTurns = ValidRotation(rotation);
  processing.flipA = flipVertical ? 1 : 0;
  processing.flipB = flipHorizontal ? 1 : 0;
  if (!lutName.IsEmpty()) processing.lut = lutList.FindByName(lutName);
  if (withSharpening) processing.sharpen = sharpen;
  return processing;
}

void ImportProcessingChoice::LoadProcessing(const char* section, const char* moduleKey) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return;
  rotation = ValidRotation(static_cast<int32_t>(app->GetProfileInt(section, "Rotate", 0)));
  flipVertical = app->GetProfileInt(section, "FlipVertical", 0) != 0;
  flipHorizontal = app->GetProfileInt(section, "FlipHorizontal", 0) != 0;
  lutName = app->GetProfileString(section, "LUT", "");
  LoadLUTList(moduleKey, lutList);
  LoadSharpenSettings(moduleKey, sharpen);
}

void ImportProcessingChoice::SaveProcessing(const char* section, const char* moduleKey) const {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return;
  app->WriteProfileInt(section, "Rotate", ValidRotation(rotation));
  app->WriteProfileInt(section, "FlipHorizontal", flipHorizontal ? 1 : 0);
  app->WriteProfileInt(section, "FlipVertical", flipVertical ? 1 : 0);
  app->WriteProfileString(section, "LUT", lutName);
  SaveLUTList(moduleKey, lutList);
  SaveSharpenSettings(moduleKey, sharpen);
}
