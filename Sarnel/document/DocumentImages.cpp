// The image section of the job: the storage "@Images-Individual" with the image list "@List".
#include "TheDocument.h"

#include "ArchiveException.h"
#include "ArchivePrimitives.h"
#include "ArchiveStream.h"
#include "StoragePointers.h"

namespace {

constexpr int ImageListSchemaLine = 1198;

}  // namespace

IStorage* CTheDocument::OpenImagesStorage() {
  return OpenChildStorage(storage, "@Images-Individual", !readOnly);
}

void CTheDocument::LoadImages() {
  if (!StorageHasStorage(storage, "@Images-Individual")) return;
  IStoragePtr section(OpenChildStorage(storage, "@Images-Individual", false), false);
  if (!StorageHasStream(section, "@List")) return;
  IStreamPtr stream(OpenChildStream(section, "@List", false), false);
  zvk::ArchiveStream archive(stream);
  uint16_t schema = 0;
  zvk::ReadArchiveWord(archive, schema);
  // A list of a newer version is refused rather than read as empty: the next save would wipe it.
  if ((schema >> 8) != 1)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, "DocumentImages", ImageListSchemaLine);
  images.Read(archive);
}

void CTheDocument::SaveImages() {
  CSingleLock lock(&imageStorageLock, TRUE);
  IStoragePtr section(OpenImagesStorage(), false);
  IStreamPtr stream(OpenChildStream(section, "@List", true), false);
  zvk::ArchiveStream archive(stream);
  archive.Seek(0, 0);
  zvk::WriteArchiveWord(archive, 0x0100);
  images.Write(archive);
  archive.Truncate();
}

void CTheDocument::ClearImages() {
  imageCache.Clear();
  images.Clear();
}
