// Loading a job, and the header stream "@Header" that marks a file as a job.
#include "TheDocument.h"

#include "ArchiveException.h"
#include "ArchivePrimitives.h"
#include "ArchiveStream.h"
#include "StoragePointers.h"
#include "DocumentText.h"
#include "JobFileOptions.h"
#include "MyException.h"

#include "resource.h"

#include <cstring>

namespace {

const char HeaderMagic[6] = {'@', 'p', 'l', 'j', '@', '\0'};

void ReadExactly(zvk::Archive& archive, void* buffer, unsigned count) {
  if (archive.Read(buffer, count) != count) throw zvk::ArchiveException(zvk::ArchiveException::EndOfFile);
}

}  // namespace

void CTheDocument::LoadJob() {
  CSingleLock lock(&imageStorageLock, TRUE);
  // Whatever a previous job left in a section must not be carried into this one, and a load that
  // fails must not leave half a job behind.
  ClearSections();
  try {
    ReadHeader();
    ReadUsage();
    ReadAttributes();
    LoadImages();
    LoadDetails();
    LoadNotes();
    LoadGraphics();
    LoadMasks();
    LoadBackgrounds();
    // The colour profile is read on first use.
    LoadColorProfile();
    RememberGraphicNames();
    RememberMaskNames();
    RememberBackgroundNames();
  } catch (const zvk::ArchiveException& e) {
    ClearSections();
    ResetJobFields();
    UINT message =
        e.GetKind() == zvk::ArchiveException::BadSchema ? IDS_FILE_NEWER_VERSION : IDS_FILE_INVALID;
    throw CMyException(E_CANNOT_READ_FILE, ResourceText(message));
  } catch (...) {
    ClearSections();
    ResetJobFields();
    throw;
  }
}

void CTheDocument::ResetJobFields() {
  jobId = GUID();
  headerText.Empty();
  openCounter = 0;
  firstSave.Reset();
  lastSave.Reset();
  for (CString& text : attributeTexts) text.Empty();
  indexed = false;
  primaryImageFirst = false;
  storedBitmapSizeLimit = 0;
  draftSize = GetJobFileOptions().DefaultDraftSize;
  aspectRatios = AspectRatios();
  aspectRatios.SetDefaults();
}

void CTheDocument::ReadHeader() {
  if (!StorageHasStream(storage, "@Header"))
    throw CMyException(E_CANNOT_READ_FILE, ResourceText(IDS_FILE_INVALID));
  IStreamPtr stream(OpenChildStream(storage, "@Header", false), false);
  zvk::ArchiveStream archive(stream);

  char magic[6] = {};
  if (archive.Read(magic, sizeof(magic)) != sizeof(magic) ||
      std::memcmp(magic, HeaderMagic, sizeof(magic)) != 0)
    throw CMyException(E_CANNOT_READ_FILE, ResourceText(IDS_FILE_INVALID));
  uint16_t schema = 0;
  zvk::ReadArchiveWord(archive, schema);
  const int major = schema >> 8;
  if (major == 2) {
    uint32_t reservedField = 0;
    zvk::ReadArchiveDword(archive, reservedField);
  } else if (major != 1) {
    throw CMyException(E_CANNOT_READ_FILE, ResourceText(IDS_FILE_NEWER_VERSION));
  }
  GUID id = {};
  ReadExactly(archive, &id, sizeof(id));
  uint16_t reservedWord = 0;
  zvk::ReadArchiveWord(archive, reservedWord);
  CString text;
  zvk::ReadArchiveCString(archive, text);
  uint32_t counter = 0;
  zvk::ReadArchiveDword(archive, counter);

  jobId = id;
  headerText = text;
  openCounter = static_cast<int32_t>(counter);
}

void CTheDocument::WriteHeader() {
  IStreamPtr stream(OpenChildStream(storage, "@Header", true), false);
  zvk::ArchiveStream archive(stream);
  archive.Seek(0, 0);
  archive.Write(HeaderMagic, sizeof(HeaderMagic));
  zvk::WriteArchiveWord(archive, 0x0100);
  archive.Write(&jobId, sizeof(jobId));
  zvk::WriteArchiveWord(archive, 0);
  zvk::WriteArchiveCString(archive, headerText);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(openCounter));
  archive.Truncate();
}
