#include "ImageRecord.h"

#include "PathHelpers.h"

namespace {

constexpr uint16_t PlainVersion = 0x0100;
constexpr uint16_t ChromaKeyVersion = 0x0200;
constexpr uint16_t RotationVersion = 0x0300;
constexpr uint16_t CropSchema = 0x0100;

// A reader over the content of a stored block, from its start.
zvk::ArchiveMemory ReaderOver(const zvk::ArchiveMemory& content) {
  if (content.GetSize() == 0) throw zvk::ArchiveException(zvk::ArchiveException::EndOfFile);
  return zvk::ArchiveMemory(content.GetData(), content.GetSize());
}

void ReadDouble(zvk::Archive& archive, double& value) {
  double read;
  if (archive.Read(&read, sizeof read) != sizeof read)
    throw zvk::ArchiveException(zvk::ArchiveException::EndOfFile);
  value = read;
}

void WriteDouble(zvk::Archive& archive, double value) { archive.Write(&value, sizeof value); }

}  // namespace

void ImageRecord::SetImportProcessing(const ImageProcessing& processing) {
  zvk::ArchiveMemory lut;
  WriteLUTRecord(lut, processing.lut);
  zvk::ArchiveMemory sharpen;
  WriteSharpenValues(sharpen, processing.sharpen);
  importProcessing.quarterTurns = static_cast<uint32_t>(processing.quarterTurns);
  importProcessing.flipA = processing.flipA;
  importProcessing.flipB = processing.flipB;
  SetArchiveContent(importProcessing.lutBytes, lut.GetData(), lut.GetSize());
  SetArchiveContent(importProcessing.sharpenBytes, sharpen.GetData(), sharpen.GetSize());
  flags |= ImageStatus::HasImportProcessing;
}

ImageProcessing ImageRecord::GetImportProcessing() const {
  ImageProcessing processing;
  if (!HasFlag(ImageStatus::HasImportProcessing)) return processing;
  processing.quarterTurns = static_cast<int32_t>(importProcessing.quarterTurns);
  processing.flipA = importProcessing.flipA;
  processing.flipB = importProcessing.flipB;
  zvk::ArchiveMemory lut = ReaderOver(importProcessing.lutBytes);
  ReadLUTRecord(lut, processing.lut);
  zvk::ArchiveMemory sharpen = ReaderOver(importProcessing.sharpenBytes);
  ReadSharpenValues(sharpen, processing.sharpen);
  return processing;
}

CString ImageRecord::GetFileNameKey() const { return IsLinked() ? GetFileNamePart(fileName) : fileName; }

CString ImageRecord::GetBaseNameKey() const { return IsLinked() ? GetFileTitlePart(fileName) : fileName; }

uint16_t ImageRecord::GetVersion() const {
  if (rotation != 0) return RotationVersion;
  return chromaKey.IsDefault() ? PlainVersion : ChromaKeyVersion;
}

void ImageRecord::Write(zvk::Archive& archive, const ImageRecord& record) {
  uint16_t version = record.GetVersion();
  zvk::WriteArchiveWord(archive, version);
  WriteObjectID(archive, record.id);
  zvk::WriteArchiveDword(archive, 0);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(record.number));
  zvk::WriteArchiveCString(archive, record.fileName);
  zvk::WriteArchiveWord(archive, CropSchema);
  WriteDouble(archive, record.cropScale.posA);
  WriteDouble(archive, record.cropScale.posB);
  WriteDouble(archive, record.cropScale.scale);
  WriteColorCorrectValues(archive, record.colorCorrect);
  zvk::WriteArchiveDword(archive, record.flags);
  zvk::WriteArchiveDword(archive, 0);
  record.values.Write(archive);
  record.details.Write(archive);
  if (record.HasFlag(ImageStatus::HasImportProcessing)) record.importProcessing.Write(archive);
  if (version >= ChromaKeyVersion) record.chromaKey.WriteBlock(archive);
  if (version == RotationVersion) zvk::WriteArchiveDword(archive, static_cast<uint32_t>(record.rotation));
}

void ImageRecord::Read(zvk::Archive& archive, ImageRecord& record) {
  uint16_t version;
  zvk::ReadArchiveWord(archive, version);
  if ((version >> 8) != 1 && version != ChromaKeyVersion && version != RotationVersion)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, ImageRecordSourceFile,
                                ImageRecordVersionLine);
  bool hasChromaKey = version > 0x01FF;
  bool hasRotation = version > 0x02FF;

  ReadObjectID(archive, record.id);
  uint32_t reserved;
  zvk::ReadArchiveDword(archive, reserved);
  zvk::ReadArchiveDword(archive, record.number);
  zvk::ReadArchiveCString(archive, record.fileName);

  uint16_t cropSchema;
  zvk::ReadArchiveWord(archive, cropSchema);
  if ((cropSchema >> 8) != (CropSchema >> 8))
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, CropScaleSourceFile, CropScaleSchemaLine);
  ReadDouble(archive, record.cropScale.posA);
  ReadDouble(archive, record.cropScale.posB);
  ReadDouble(archive, record.cropScale.scale);

  ReadColorCorrectValues(archive, record.colorCorrect);
  zvk::ReadArchiveDword(archive, record.flags);
  zvk::ReadArchiveDword(archive, reserved);
  record.values.Read(archive);
  record.details.Read(archive);
  if (record.HasFlag(ImageStatus::HasImportProcessing)) record.importProcessing.Read(archive);
  if (hasChromaKey) record.chromaKey.ReadBlock(archive);
  if (hasRotation) zvk::ReadArchiveDword(archive, record.rotation);
}
