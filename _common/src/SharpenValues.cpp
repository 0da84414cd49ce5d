#include "SharpenValues.h"

#include "classlib/ClassLib.h"

namespace {
constexpr uint8_t Marker = 42;
constexpr uint16_t Schema = 0x0100;
}  // namespace

void SharpenValues::Load(const char* section) {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  on = app->GetProfileInt(section, "On", 0) != 0 ? 1 : 0;
  int k = static_cast<int>(app->GetProfileInt(section, "Kernel", 3));
  kernel = static_cast<int16_t>(k == 3 || k == 5 || k == 7 ? k : 3);
  strength = static_cast<int16_t>(static_cast<int>(app->GetProfileInt(section, "Strength", 50)));
}

void SharpenValues::Save(const char* section) const {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  app->WriteProfileInt(section, "On", on);
  app->WriteProfileInt(section, "Kernel", kernel);
  app->WriteProfileInt(section, "Strength", strength);
}

void LoadSharpenSettings(const char* moduleKey, SharpenValues& values) {
  values.Load(CString("Sharpen\\") + moduleKey);
}

void SaveSharpenSettings(const char* moduleKey, const SharpenValues& values) {
  values.Save(CString("Sharpen\\") + moduleKey);
}

void WriteSharpenValues(zvk::Archive& archive, const SharpenValues& values) {
  zvk::WriteArchiveByte(archive, Marker);
  zvk::WriteArchiveWord(archive, Schema);
  zvk::WriteArchiveByte(archive, values.on);
  zvk::WriteArchiveWord(archive, static_cast<uint16_t>(values.kernel));
  zvk::WriteArchiveWord(archive, static_cast<uint16_t>(values.strength));
}

void ReadSharpenValues(zvk::Archive& archive, SharpenValues& values) {
  uint8_t marker;
  zvk::ReadArchiveByte(archive, marker);
  if (marker != Marker)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, SharpenValuesSourceFile,
                                SharpenValuesMarkerLine);
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != (Schema >> 8))
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, SharpenValuesSourceFile,
                                SharpenValuesSchemaLine);
  SharpenValues read;
  zvk::ReadArchiveByte(archive, read.on);
  zvk::ReadArchiveWord(archive, read.kernel);
  zvk::ReadArchiveWord(archive, read.strength);
  values = read;
}
