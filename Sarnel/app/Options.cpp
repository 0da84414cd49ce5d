#include "Options.h"

#include "JobFileOptions.h"
#include "OptionValues.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* Section = "Settings";
constexpr float DefaultViewSize = 11.0f;

// The factory keypad: 0 -Int., 1 -R, 2 -G, 3 -B, 4 +R, 5 +G, 6 +B, 7 --, 8 -Con., 9 -Sat.,
// divide +Con., multiply +Sat., minus --, plus --, dot +Int.
constexpr int32_t DefaultKeypad[KeypadKeyCount] = {
    KeypadIntensityDown, KeypadRedDown,      KeypadGreenDown, KeypadBlueDown,     KeypadRedUp,
    KeypadGreenUp,       KeypadBlueUp,       KeypadNone,      KeypadContrastDown, KeypadSaturationDown,
    KeypadContrastUp,    KeypadSaturationUp, KeypadNone,      KeypadNone,         KeypadIntensityUp};

CWinApp& App() {
  CWinApp* app = AfxGetApp();
  ASSERT(app != nullptr);
  return *app;
}

bool ReadBool(const char* key, bool current) {
  return App().GetProfileInt(Section, key, current ? 1 : 0) != 0;
}

int32_t ReadInt(const char* key, int32_t current) {
  return static_cast<int32_t>(App().GetProfileInt(Section, key, current));
}

// A stored value outside first..last means the value was damaged: it falls back to 0.
int32_t ReadRanged(const char* key, int32_t current, int32_t last) {
  int32_t value = ReadInt(key, current);
  return value >= 0 && value <= last ? value : 0;
}

CString ReadText(const char* key, const CString& current) {
  return App().GetProfileString(Section, key, current);
}

// A size that is not a positive finite number of inches gives the default.
float ReadSize(const char* key) {
  CString text = App().GetProfileString(Section, key, "11");
  double value = std::strtod(text, nullptr);
  if (!std::isfinite(value) || value <= 0.0) return DefaultViewSize;
  return static_cast<float>(value);
}

char ReadChar(const char* key, char current) {
  CString fallback(current, 1);
  CString text = App().GetProfileString(Section, key, fallback);
  return text.IsEmpty() ? current : text[0];
}

void WriteBool(const char* key, bool value) { App().WriteProfileInt(Section, key, value ? 1 : 0); }
void WriteInt(const char* key, int32_t value) { App().WriteProfileInt(Section, key, value); }
void WriteText(const char* key, const CString& value) { App().WriteProfileString(Section, key, value); }

void WriteSize(const char* key, float value) {
  char text[64];
  std::snprintf(text, sizeof(text), "%.1f", static_cast<double>(value));
  App().WriteProfileString(Section, key, text);
}

}  // namespace

COptions::COptions() {
  for (int key = 0; key < KeypadKeyCount; ++key) KeypadActions[key] = DefaultKeypad[key];
}

CString KeypadKeyName(int key) {
  static const char* const names[] = {"Divide", "Multiply", "Minus", "Plus", "Dot"};
  CString name;
  if (key < 10)
    name.Format("ImagesCorrect%d", key);
  else
    name = CString("ImagesCorrect") + names[key - 10];
  return name;
}

void COptions::Load() {
  if (AfxGetApp() == nullptr) return;
  JobFileOptions& job = GetJobFileOptions();
  OptionValues& values = GetOptionValues();

  job.FilesPath = ReadText("FilesPath", "");
  UseMetricUnits = App().GetProfileInt(Section, "UseMetricUnits", 0) != 0;
  ViewSizeWidth = ReadSize("ViewSizeWidth");
  ViewSizeHeight = ReadSize("ViewSizeHeight");
  EditImageEXE = ReadText("EditImageEXE", EditImageEXE);
  EditImageFormat = ReadRanged("EditImageFormat", EditImageFormat, 1);
  ViewImageTags = App().GetProfileInt(Section, "ViewImageTags", 0) != 0;
  ViewImageTagExt = App().GetProfileInt(Section, "ViewImageTagExt", 1) != 0;
  ViewImageTagged = App().GetProfileInt(Section, "ViewImageTagged", 1) != 0;
  ClickImageOnOff = App().GetProfileInt(Section, "ClickImageOnOff", 1) != 0;
  SolidARLines = App().GetProfileInt(Section, "SolidARLines", 0) != 0;
  job.DefaultDraftSize = ReadInt("DefaultDraftSize", job.DefaultDraftSize);
  job.ResizeDraftOnly = ReadBool("ResizeDraftOnly", job.ResizeDraftOnly);
  values.ImagesPurge = ReadRanged("ImagesPurge", values.ImagesPurge, 1);
  values.ImagesFilter = ReadRanged("ImagesFilter", values.ImagesFilter, 3);
  values.ImagesFilterUsingPrimary = ReadBool("ImagesFilterUsingPrimary", values.ImagesFilterUsingPrimary);
  values.ImagesFilterUsingPoses = ReadBool("ImagesFilterUsingPoses", values.ImagesFilterUsingPoses);
  values.ImagesFilterUsingPose = ReadText("ImagesFilterUsingPose", values.ImagesFilterUsingPose);
  values.ImagesFilterNot = ReadBool("ImagesFilterNot", values.ImagesFilterNot);
  values.HasOrderedQueue = ReadBool("HasOrderedQueue", values.HasOrderedQueue);
  values.HasOrderedQueueAny = ReadBool("HasOrderedQueueAny", values.HasOrderedQueueAny);
  values.HasOrderedOrder = ReadBool("HasOrderedOrder", values.HasOrderedOrder);
  values.HasOrderedOrderPack = ReadBool("HasOrderedOrderPack", values.HasOrderedOrderPack);
  values.HasOrderedOrderPackIgnore = ReadText("HasOrderedOrderPackIgnore", values.HasOrderedOrderPackIgnore);
  values.HasOrderedOrderComposite = ReadBool("HasOrderedOrderComposite", values.HasOrderedOrderComposite);
  values.HasOrderedOrderGroup = ReadBool("HasOrderedOrderGroup", values.HasOrderedOrderGroup);
  values.PagePopup = ReadBool("PagePopup", values.PagePopup);
  ImagesCorrectSpins = ReadBool("ImagesCorrectSpins", ImagesCorrectSpins);
  ImagesCorrectDirectionKeys = ReadBool("ImagesCorrectDirectionKeys", ImagesCorrectDirectionKeys);
  ImagesCorrectUseKbd = ReadBool("ImagesCorrectUseKbd", ImagesCorrectUseKbd);
  for (int key = 0; key < KeypadKeyCount; ++key)
    KeypadActions[key] = ReadRanged(KeypadKeyName(key), KeypadActions[key], KeypadActionCount - 1);
  ImagesCorrectUseDevice = ReadBool("ImagesCorrectUseDevice", ImagesCorrectUseDevice);
  job.FileOnNew = ReadBool("FileOnNew", job.FileOnNew);
  values.PrintSectionChar = ReadChar("PrintSectionChar", '^');
  values.PrintIndexChar = ReadChar("PrintIndexChar", '#');
  values.FilterTemplates = ReadBool("FilterTemplates", values.FilterTemplates);
  values.SpillSuppressColor = static_cast<COLORREF>(
      ReadInt("Primatte\\SpillSuppressColor", static_cast<int32_t>(values.SpillSuppressColor)));
  values.MonitorTemplatePaths = App().GetProfileInt(Section, "MonitorTemplatePaths", 1) != 0;
}

void COptions::Save() const {
  if (AfxGetApp() == nullptr) return;
  const JobFileOptions& job = GetJobFileOptions();
  const OptionValues& values = GetOptionValues();

  WriteText("FilesPath", job.FilesPath);
  WriteBool("UseMetricUnits", UseMetricUnits);
  WriteSize("ViewSizeWidth", ViewSizeWidth);
  WriteSize("ViewSizeHeight", ViewSizeHeight);
  WriteText("EditImageEXE", EditImageEXE);
  WriteInt("EditImageFormat", EditImageFormat);
  WriteBool("ViewImageTags", ViewImageTags);
  WriteBool("ViewImageTagExt", ViewImageTagExt);
  WriteBool("ViewImageTagged", ViewImageTagged);
  WriteBool("ClickImageOnOff", ClickImageOnOff);
  WriteBool("SolidARLines", SolidARLines);
  WriteInt("DefaultDraftSize", job.DefaultDraftSize);
  WriteBool("ResizeDraftOnly", job.ResizeDraftOnly);
  WriteInt("ImagesPurge", values.ImagesPurge);
  WriteInt("ImagesFilter", values.ImagesFilter);
  WriteBool("ImagesFilterUsingPrimary", values.ImagesFilterUsingPrimary);
  WriteBool("ImagesFilterUsingPoses", values.ImagesFilterUsingPoses);
  WriteText("ImagesFilterUsingPose", values.ImagesFilterUsingPose);
  WriteBool("ImagesFilterNot", values.ImagesFilterNot);
  WriteBool("HasOrderedQueue", values.HasOrderedQueue);
  WriteBool("HasOrderedQueueAny", values.HasOrderedQueueAny);
  WriteBool("HasOrderedOrder", values.HasOrderedOrder);
  WriteBool("HasOrderedOrderPack", values.HasOrderedOrderPack);
  WriteText("HasOrderedOrderPackIgnore", values.HasOrderedOrderPackIgnore);
  WriteBool("HasOrderedOrderComposite", values.HasOrderedOrderComposite);
  WriteBool("HasOrderedOrderGroup", values.HasOrderedOrderGroup);
  WriteBool("PagePopup", values.PagePopup);
  WriteBool("ImagesCorrectSpins", ImagesCorrectSpins);
  WriteBool("ImagesCorrectDirectionKeys", ImagesCorrectDirectionKeys);
  WriteBool("ImagesCorrectUseKbd", ImagesCorrectUseKbd);
  // A key without an action is removed, so the next start gives it its factory action again.
  for (int key = 0; key < KeypadKeyCount; ++key) {
    if (KeypadActions[key] == KeypadNone)
      App().WriteProfileString(Section, KeypadKeyName(key), nullptr);
    else
      WriteInt(KeypadKeyName(key), KeypadActions[key]);
  }
  WriteBool("ImagesCorrectUseDevice", ImagesCorrectUseDevice);
  WriteBool("FilterTemplates", values.FilterTemplates);
  WriteInt("Primatte\\SpillSuppressColor", static_cast<int32_t>(values.SpillSuppressColor));
}

COptions& GetOptions() {
  static COptions options;
  return options;
}

const char* GetSettingsSection() { return Section; }
