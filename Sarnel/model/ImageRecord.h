// One image of a job: its identity and number, its source file, the operator's corrections, its status
// bits, its detail values and the import processing to re-apply to an outside file.
#pragma once

#include "ChromaKey.h"
#include "ColorCorrectValues.h"
#include "CropScale.h"
#include "Details.h"
#include "DetailsValues.h"
#include "ImageProcessing.h"
#include "ImageStatus.h"
#include "ImportProcessingBlock.h"
#include "ObjectID.h"

#include "Archive.h"

#include <cstdint>

// Where a record of an unknown version is refused (the image list reads the records).
constexpr const char* ImageRecordSourceFile = "ImagesList.cpp";
constexpr int ImageRecordVersionLine = 387;

class ImageRecord {
 public:
  CObjectID id;
  int32_t number = 0;
  CString fileName;
  CropScale cropScale;
  ColorCorrectValues colorCorrect;
  ChromaKey chromaKey;
  int32_t rotation = 0;  // tenths of a degree, counter-clockwise
  uint32_t flags = 0;    // ImageStatus bits
  DetailsValues values;
  Details details;
  ImportProcessingBlock importProcessing;  // meaningful while ImageStatus::HasImportProcessing is set

  bool HasFlag(uint32_t flag) const { return (flags & flag) != 0; }
  bool IsLinked() const { return HasFlag(ImageStatus::Linked); }

  // Stores the processing in its stored form and sets ImageStatus::HasImportProcessing.
  void SetImportProcessing(const ImageProcessing& processing);
  // The stored processing, or the default one when none is stored. Read failures propagate.
  ImageProcessing GetImportProcessing() const;

  // The keys of the image list's name indexes: for a linked image the file name (or its title) of
  // the path, otherwise the name as stored.
  CString GetFileNameKey() const;
  CString GetBaseNameKey() const;

  // Version 0x0300 when rotated, else 0x0100 when the chroma key is default, else 0x0200.
  uint16_t GetVersion() const;
  static void Write(zvk::Archive& archive, const ImageRecord& record);
  // Fills a record built with the defaults. Accepts every version 1, and 0x0200 and 0x0300 exactly.
  static void Read(zvk::Archive& archive, ImageRecord& record);
};
