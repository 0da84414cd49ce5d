// The streams "@Usage" (first and last save) and "@Attributes" (the job's own settings).
#include "TheDocument.h"

#include "ArchiveException.h"
#include "ArchivePrimitives.h"
#include "ArchiveStream.h"

namespace {

constexpr int UsageSchemaLine = 1721;
constexpr int AttributesSchemaLine = 1738;

class HeldStream {
 public:
  explicit HeldStream(IStream* stream) : stream(stream) {}
  ~HeldStream() {
    if (stream != nullptr) stream->Release();
  }
  HeldStream(const HeldStream&) = delete;
  HeldStream& operator=(const HeldStream&) = delete;
  IStream* get() const { return stream; }

 private:
  IStream* stream;
};

}  // namespace

void CTheDocument::ReadUsage() {
  firstSave.Reset();
  lastSave.Reset();
  if (!StorageHasStream(storage, "@Usage")) return;
  HeldStream stream(OpenChildStream(storage, "@Usage", false));
  zvk::ArchiveStream archive(stream.get());
  uint16_t schema = 0;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != 1)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, DocumentFilePlace, UsageSchemaLine);
  JobUsageRecord first;
  JobUsageRecord last;
  first.Read(archive);
  last.Read(archive);
  firstSave = first;
  lastSave = last;
}

void CTheDocument::WriteUsage() {
  lastSave.Fill(*this);
  if (firstSave.IsEmpty()) firstSave = lastSave;
  HeldStream stream(OpenChildStream(storage, "@Usage", true));
  zvk::ArchiveStream archive(stream.get());
  archive.Seek(0, 0);
  zvk::WriteArchiveWord(archive, 0x0100);
  firstSave.Write(archive);
  lastSave.Write(archive);
  // Not cut: an older, longer content leaves bytes behind that nobody reads.
}

void CTheDocument::ReadAttributes() {
  if (!StorageHasStream(storage, "@Attributes")) return;
  HeldStream stream(OpenChildStream(storage, "@Attributes", false));
  zvk::ArchiveStream archive(stream.get());
  uint16_t schema = 0;
  zvk::ReadArchiveWord(archive, schema);
  const int major = schema >> 8;
  if (major < 1 || major > 3)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, DocumentFilePlace, AttributesSchemaLine);
  CString texts[5];
  if (major >= 2) {
    zvk::ReadArchiveCString(archive, texts[0]);
    zvk::ReadArchiveCString(archive, texts[1]);
  }
  if (major == 3) {
    zvk::ReadArchiveCString(archive, texts[2]);
    zvk::ReadArchiveCString(archive, texts[3]);
    zvk::ReadArchiveCString(archive, texts[4]);  // always empty, dropped
  }
  bool indexedValue = false;
  uint32_t sizeLimit = 0;
  uint32_t draft = 0;
  zvk::ReadArchiveByte(archive, indexedValue);
  zvk::ReadArchiveDword(archive, sizeLimit);
  zvk::ReadArchiveDword(archive, draft);
  AspectRatios ratios;
  ratios.Read(archive);

  for (int i = 0; i < 4; ++i) attributeTexts[i] = texts[i];
  indexed = indexedValue;
  storedBitmapSizeLimit = static_cast<int32_t>(sizeLimit);
  draftSize = static_cast<int32_t>(draft);
  aspectRatios = ratios;
  primaryImageFirst = (schema & 1) != 0;
}

void CTheDocument::WriteAttributes() {
  uint16_t schema = 0x0100;
  if (!attributeTexts[2].IsEmpty() || !attributeTexts[3].IsEmpty())
    schema = 0x0300;
  else if (!attributeTexts[0].IsEmpty() || !attributeTexts[1].IsEmpty())
    schema = 0x0200;
  if (primaryImageFirst) schema |= 1;

  HeldStream stream(OpenChildStream(storage, "@Attributes", true));
  zvk::ArchiveStream archive(stream.get());
  archive.Seek(0, 0);
  zvk::WriteArchiveWord(archive, schema);
  const int major = schema >> 8;
  if (major >= 2) {
    zvk::WriteArchiveCString(archive, attributeTexts[0]);
    zvk::WriteArchiveCString(archive, attributeTexts[1]);
  }
  if (major == 3) {
    zvk::WriteArchiveCString(archive, attributeTexts[2]);
    zvk::WriteArchiveCString(archive, attributeTexts[3]);
    zvk::WriteArchiveCString(archive, CString());
  }
  zvk::WriteArchiveByte(archive, indexed ? 1 : 0);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(storedBitmapSizeLimit));
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(draftSize));
  aspectRatios.Write(archive);
  archive.Truncate();
}
