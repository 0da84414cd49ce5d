#include "ImportProcessingBlock.h"

#include "ArchiveBytes.h"

#include <vector>

namespace {

void WriteContent(zvk::Archive& archive, const zvk::ArchiveMemory& content) {
  zvk::WriteArchiveDword(archive, content.GetSize());
  if (content.GetSize() != 0) archive.Write(content.GetData(), content.GetSize());
}

void ReadContent(zvk::Archive& archive, zvk::ArchiveMemory& content) {
  uint32_t count;
  zvk::ReadArchiveDword(archive, count);
  std::vector<uint8_t> bytes;
  zvk::ReadArchiveBytes(archive, count, bytes);
  SetArchiveContent(content, bytes.data(), count);
}

}  // namespace

void SetArchiveContent(zvk::ArchiveMemory& archive, const void* bytes, unsigned count) {
  zvk::ArchiveMemory fresh;
  if (count != 0) fresh.Write(bytes, count);
  fresh.Seek(0, 0);
  archive = fresh;
}

void ImportProcessingBlock::Write(zvk::Archive& archive) const {
  zvk::WriteArchiveDword(archive, quarterTurns);
  zvk::WriteArchiveByte(archive, flipA);
  zvk::WriteArchiveByte(archive, flipB);
  WriteContent(archive, lutBytes);
  WriteContent(archive, sharpenBytes);
}

void ImportProcessingBlock::Read(zvk::Archive& archive) {
  zvk::ReadArchiveDword(archive, quarterTurns);
  zvk::ReadArchiveByte(archive, flipA);
  zvk::ReadArchiveByte(archive, flipB);
  ReadContent(archive, lutBytes);
  ReadContent(archive, sharpenBytes);
}
