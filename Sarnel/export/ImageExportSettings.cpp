#include "ImageExportSettings.h"

#include "zvkImage/zvkImage.h"

namespace {

const ImageExportFormat Formats[] = {
    {"JPEG (JPG)", zvkImage::ftJPEG},          {"PNG (PNG)", zvkImage::ftPNG},
    {"TIFF (TIF)", zvkImage::ftTIFF},          {"TARGA (TGA)", zvkImage::ftTARGA},
    {"Windows bitmap (BMP)", zvkImage::ftBMP}, {"PCX (PCX)", zvkImage::ftPCX},
    {"MacPict (PCT)", zvkImage::ftPICT},
};

CString SharpenSection() { return CString("Sharpen\\") + ImageExportSettings::ModuleKey; }

}  // namespace

ImageExportSettings& ImageExportSettings::Instance() {
  static ImageExportSettings settings;
  return settings;
}

ImageExportFormat ImageExportSettings::GetFormat(int row) {
  return row >= 0 && row < GetFormatCount() ? Formats[row] : Formats[0];
}

int ImageExportSettings::FindFormat(int32_t type) {
  for (int row = 0; row < GetFormatCount(); ++row)
    if (Formats[row].type == type) return row;
  return -1;
}

bool ImageExportSettings::SizeAndDpiValid() const {
  const bool size = SameSize || (SizeX >= 1 && SizeX <= MaxSide && SizeY >= 1 && SizeY <= MaxSide);
  return size && DPI >= 1 && DPI <= MaxDpi;
}

void ImageExportSettings::Load() {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  const auto flag = [&](const char* key, uint8_t current) -> uint8_t {
    return app->GetProfileInt(Section, key, current) != 0 ? 1 : 0;
  };
  const auto number = [&](const char* key, int32_t current) {
    return static_cast<int32_t>(app->GetProfileInt(Section, key, current));
  };
  Path = app->GetProfileString(Section, "Path", "");
  OriginalFilename = flag("OriginalFilename", 0);
  FilenamePre = app->GetProfileString(Section, "FilenamePre", "");
  FilenameWidth = number("FilenameWidth", 1);
  FilenamePost = app->GetProfileString(Section, "FilenamePost", "");
  FilenameExt = app->GetProfileString(Section, "FilenameExt", "jpg");
  Type = number("Type", Type);
  if (FindFormat(Type) < 0) Type = Formats[0].type;
  Bits = number("Bits", Bits);
  if (Bits != 8 && Bits != 24) Bits = 24;
  SameSize = flag("SameSize", SameSize);
  SizeX = number("SizeX", SizeX);
  SizeY = number("SizeY", SizeY);
  DPI = number("DPI", DPI);
  LUT = app->GetProfileString(Section, "LUT", "");
  LoadLUTList(ModuleKey, LUTs);
  Sharpen.Load(SharpenSection());
  DoSelected = flag("DoSelected", DoSelected);
  DoFiltered = flag("DoFiltered", DoFiltered);
  DoOff = flag("DoOff", DoOff);
  TransparencyUse = flag("TransparencyUse", TransparencyUse);
  TransparencyColor = number("TransparencyColor", TransparencyColor);
}

void ImageExportSettings::Save() const {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  app->WriteProfileString(Section, "Path", Path);
  app->WriteProfileInt(Section, "OriginalFilename", OriginalFilename ? 1 : 0);
  app->WriteProfileString(Section, "FilenamePre", FilenamePre);
  app->WriteProfileInt(Section, "FilenameWidth", FilenameWidth);
  app->WriteProfileString(Section, "FilenamePost", FilenamePost);
  app->WriteProfileString(Section, "FilenameExt", FilenameExt);
  app->WriteProfileInt(Section, "Type", Type);
  app->WriteProfileInt(Section, "Bits", Bits);
  app->WriteProfileInt(Section, "SameSize", SameSize ? 1 : 0);
  app->WriteProfileInt(Section, "SizeX", SizeX);
  app->WriteProfileInt(Section, "SizeY", SizeY);
  app->WriteProfileInt(Section, "DPI", DPI);
  app->WriteProfileString(Section, "LUT", LUT);
  app->WriteProfileInt(Section, "DoSelected", DoSelected ? 1 : 0);
  app->WriteProfileInt(Section, "DoFiltered", DoFiltered ? 1 : 0);
  app->WriteProfileInt(Section, "DoOff", DoOff ? 1 : 0);
  app->WriteProfileInt(Section, "TransparencyUse", TransparencyUse ? 1 : 0);
  app->WriteProfileInt(Section, "TransparencyColor", TransparencyColor);
  SaveLUTList(ModuleKey, LUTs);
  Sharpen.Save(SharpenSection());
}
