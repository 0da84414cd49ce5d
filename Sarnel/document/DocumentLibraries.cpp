// The steps that the job's three picture libraries share: their storages with the list and the link
// table, the item streams that hold a picture at draft and at full size, and the texts of the images'
// graphic fields that decide which entries a save drops.
#include "TheDocument.h"

#include "ArchiveException.h"
#include "ArchivePrimitives.h"
#include "ArchiveErrors.h"
#include "ArchiveStream.h"
#include "BitmapContentKey.h"
#include "CreateRuntimeBitmap.h"
#include "MemoryStream.h"
#include "StoragePointers.h"

#include <algorithm>
#include <limits>

namespace {

constexpr uint16_t SectionSchema = 0x0100;
constexpr uint16_t ItemSchema = 0x0100;

uint64_t PositionOf(IStream* stream) {
  LARGE_INTEGER zero{};
  ULARGE_INTEGER now{};
  const HRESULT hr = stream->Seek(zero, STREAM_SEEK_CUR, &now);
  if (FAILED(hr)) zvk::ThrowArchiveStreamComError(hr);
  return now.QuadPart;
}

void WriteBytes(zvk::Archive& archive, const std::vector<uint8_t>& bytes) {
  const size_t chunk = 1u << 26;
  for (size_t at = 0; at < bytes.size(); at += chunk) {
    const unsigned count = static_cast<unsigned>(std::min(chunk, bytes.size() - at));
    if (archive.Write(bytes.data() + at, count) != count)
      throw zvk::ArchiveException(zvk::ArchiveException::WriteOnly);
  }
}

// A stream in memory that goes with its bytes whichever way the caller leaves.
struct MemoryBytes {
  MemoryStream* stream = MemoryStream::Create();
  MemoryBytes() = default;
  MemoryBytes(const MemoryBytes&) = delete;
  MemoryBytes& operator=(const MemoryBytes&) = delete;
  ~MemoryBytes() { stream->Release(); }
};

uint32_t CheckedLength(size_t length) {
  if (length > std::numeric_limits<uint32_t>::max())
    throw zvk::ArchiveException(zvk::ArchiveException::Generic);
  return static_cast<uint32_t>(length);
}

// Exactly length bytes of the archive into the memory stream, which is then rewound.
void ReadBytes(zvk::Archive& archive, MemoryStream* target, uint32_t length) {
  std::vector<uint8_t> bytes(length);
  const unsigned chunk = 1u << 26;
  for (uint32_t at = 0; at < length;) {
    const unsigned count = std::min<uint32_t>(chunk, length - at);
    if (archive.Read(bytes.data() + at, count) != count)
      throw zvk::ArchiveException(zvk::ArchiveException::EndOfFile);
    at += count;
  }
  ULONG written = 0;
  if (FAILED(target->Write(bytes.data(), length, &written)) || written != length)
    _com_issue_error(E_OUTOFMEMORY);
  LARGE_INTEGER zero{};
  target->Seek(zero, STREAM_SEEK_SET, nullptr);
}

// A length read from an item must fit in what is left of its stream.
void CheckLength(zvk::ArchiveStream& archive, uint32_t length) {
  uint64_t remaining = 0;
  if (!archive.GetRemaining(remaining) || length > remaining)
    throw zvk::ArchiveException(zvk::ArchiveException::EndOfFile);
}

}  // namespace

CTheDocument::PictureLibrary CTheDocument::GraphicLibrary() {
  return {"@Graphics", graphics, graphicsLinks, graphicNames, "DocumentGraphics", 52, 64};
}

CTheDocument::PictureLibrary CTheDocument::MaskLibrary() {
  return {"@Masks", masks, masksLinks, maskNames, "DocumentMasks", 53, 65};
}

CTheDocument::PictureLibrary CTheDocument::BackgroundLibrary() {
  return {"@Backgrounds", backgrounds, backgroundsLinks, backgroundNames, "DocumentBackgrounds", 53, 65};
}

void CTheDocument::LoadLibrary(const PictureLibrary& library) {
  CSingleLock lock(&imageStorageLock, TRUE);
  if (!StorageHasStorage(storage, library.storageName)) return;
  IStoragePtr section(OpenChildStorage(storage, library.storageName, false), false);
  auto readSchema = [&](zvk::Archive& archive, int line) {
    uint16_t schema = 0;
    zvk::ReadArchiveWord(archive, schema);
    if ((schema >> 8) != 1)
      throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, library.place, line);
  };
  if (StorageHasStream(section, "@List")) {
    IStreamPtr stream(OpenChildStream(section, "@List", false), false);
    zvk::ArchiveStream archive(stream);
    readSchema(archive, library.listLine);
    library.entries.Read(archive);
  }
  if (StorageHasStream(section, "@Links")) {
    IStreamPtr stream(OpenChildStream(section, "@Links", false), false);
    zvk::ArchiveStream archive(stream);
    readSchema(archive, library.linksLine);
    ObjectLinksOneMany::Read(archive, library.links);
  }
}

void CTheDocument::SaveLibrary(const PictureLibrary& library) {
  CSingleLock lock(&imageStorageLock, TRUE);
  IStoragePtr section(OpenChildStorage(storage, library.storageName, true), false);
  {
    IStreamPtr stream(OpenChildStream(section, "@List", true), false);
    zvk::ArchiveStream archive(stream);
    archive.Seek(0, STREAM_SEEK_SET);
    zvk::WriteArchiveWord(archive, SectionSchema);
    library.entries.Write(archive);
    archive.Truncate();
  }
  IStreamPtr stream(OpenChildStream(section, "@Links", true), false);
  zvk::ArchiveStream archive(stream);
  archive.Seek(0, STREAM_SEEK_SET);
  zvk::WriteArchiveWord(archive, SectionSchema);
  ObjectLinksOneMany::Write(archive, library.links);
  archive.Truncate();
}

template <class Remove>
void CTheDocument::PurgeLibrary(const PictureLibrary& library, Remove&& remove) {
  FieldTexts current = CollectGraphicFieldTexts();
  for (const CString& text : library.remembered) {
    if (current.count(text) != 0) continue;
    // A key that an image still links to keeps its entry: dropping it would leave the image without
    // its picture after the save.
    if (library.links.GetChildren(text).GetCount() > 0) continue;
    remove(text);
  }
  library.remembered = std::move(current);
}

CString CTheDocument::AddLibraryPicture(const PictureLibrary& library, zvkImage::IBitmap* bitmap,
                                        const char* name) {
  if (bitmap == nullptr) _com_issue_error(E_POINTER);
  CheckBitmapCall(bitmap->SetOptions(0, 0), bitmap);
  std::vector<uint8_t> saved;
  const CString key = MakeBitmapContentKey(bitmap, &saved);
  if (library.entries.Contains(key)) return key;
  StoreLibraryItem(library.storageName, key, bitmap, &saved);
  LibraryEntry entry;
  entry.name = name != nullptr ? name : "";
  library.entries.Set(key, entry);
  dirty = true;
  return key;
}

void CTheDocument::StoreLibraryItem(const char* storageName, const CString& key, zvkImage::IBitmap* bitmap,
                                    const std::vector<uint8_t>* savedFull) {
  CSingleLock lock(&imageStorageLock, TRUE);
  IStoragePtr section(OpenChildStorage(storage, storageName, true), false);
  const CString itemName = MakeLibraryItemName(key);
  try {
    IStreamPtr stream(OpenChildStream(section, itemName, true), false);
    WriteBitmapItem(stream, bitmap, savedFull);
    zvk::ArchiveStream archive(stream);
    archive.Truncate();
  } catch (...) {
    // No half-written item stays behind under the key.
    StorageDestroyElement(section, itemName);
    throw;
  }
}

IBitmapPtr CTheDocument::LoadLibraryItem(const char* storageName, const CString& key, bool full) {
  try {
    CSingleLock lock(&imageStorageLock, TRUE);
    if (storage == nullptr || !StorageHasStorage(storage, storageName)) return IBitmapPtr();
    IStoragePtr section(OpenChildStorage(storage, storageName, false), false);
    const CString itemName = MakeLibraryItemName(key);
    if (!StorageHasStream(section, itemName)) return IBitmapPtr();
    IStreamPtr stream(OpenChildStream(section, itemName, false), false);
    return ReadBitmapItem(stream, full);
  } catch (...) {
    return IBitmapPtr();
  }
}

void CTheDocument::DeleteLibraryItem(const char* storageName, const CString& key) {
  CSingleLock lock(&imageStorageLock, TRUE);
  if (storage == nullptr || !StorageHasStorage(storage, storageName)) return;
  IStoragePtr section(OpenChildStorage(storage, storageName, false), false);
  StorageDestroyElement(section, MakeLibraryItemName(key));
}

void CTheDocument::WriteBitmapItem(IStream* stream, zvkImage::IBitmap* bitmap,
                                   const std::vector<uint8_t>* savedFull) {
  // Both pictures are saved into memory first: with their lengths known, the stream is grown once and
  // written in a few large pieces, which a compound file takes far faster than many small writes.
  IBitmapPtr draft = CreateRuntimeBitmap(bitmap, static_cast<uint32_t>(draftSize), false);
  CheckBitmapCall(draft->SetOptions(1, 0), draft);
  MemoryBytes draftBytes;
  CheckBitmapCall(draft->SaveToStream(draftBytes.stream, 0), draft);
  CheckBitmapCall(bitmap->SetOptions(1, 0), bitmap);
  // The options do not change the bytes a picture saves, so the bytes it gave for its key serve here.
  MemoryBytes fullBytes;
  if (savedFull == nullptr) CheckBitmapCall(bitmap->SaveToStream(fullBytes.stream, 0), bitmap);
  const std::vector<uint8_t>& full = savedFull != nullptr ? *savedFull : fullBytes.stream->GetBytes();
  const std::vector<uint8_t>& small = draftBytes.stream->GetBytes();
  const uint32_t draftLength = CheckedLength(small.size());
  const uint32_t fullLength = CheckedLength(full.size());

  const uint64_t end = PositionOf(stream) + 10 + uint64_t{draftLength} + fullLength;
  ULARGE_INTEGER size{};
  size.QuadPart = end;
  const HRESULT hr = stream->SetSize(size);
  if (FAILED(hr)) zvk::ThrowArchiveStreamComError(hr);
  zvk::ArchiveStream archive(stream);
  zvk::WriteArchiveWord(archive, ItemSchema);
  zvk::WriteArchiveDword(archive, draftLength);
  WriteBytes(archive, small);
  zvk::WriteArchiveDword(archive, fullLength);
  WriteBytes(archive, full);
}

IBitmapPtr CTheDocument::ReadBitmapItem(IStream* stream, bool full) {
  zvk::ArchiveStream archive(stream);
  uint16_t schema = 0;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != 1) return IBitmapPtr();
  IBitmapPtr bitmap = TryCreateImageBitmap();
  if (!bitmap) return IBitmapPtr();
  uint32_t length = 0;
  zvk::ReadArchiveDword(archive, length);
  CheckLength(archive, length);
  if (full) {
    LARGE_INTEGER skip;
    skip.QuadPart = length;
    const HRESULT hr = stream->Seek(skip, STREAM_SEEK_CUR, nullptr);
    if (FAILED(hr)) zvk::ThrowArchiveStreamComError(hr);
    zvk::ReadArchiveDword(archive, length);
    CheckLength(archive, length);
  }
  // The picture's bytes in one read (a compound file answers one large read far faster than the many
  // small ones of a picture loading itself); the picture then loads from memory and can take nothing
  // beyond its own length.
  MemoryBytes bytes;
  ReadBytes(archive, bytes.stream, length);
  CheckBitmapCall(bitmap->LoadFromStream(bytes.stream, 0), bitmap);
  if (bytes.stream->GetPosition() != length) throw zvk::ArchiveException(zvk::ArchiveException::EndOfFile);
  return bitmap;
}

CTheDocument::FieldTexts CTheDocument::CollectGraphicFieldTexts() {
  FieldTexts texts;
  for (int f = 0; f < imageFields.GetCount(); ++f) {
    const DetailField& field = imageFields.GetAt(f);
    if (field.type != DetailTypeGraphic) continue;
    for (int i = 0; i < images.GetCount(); ++i) {
      const VARIANT& value = images.GetAt(static_cast<unsigned>(i)).values.Get(field.id);
      if (value.vt == VT_EMPTY) continue;
      _variant_t copy(value);
      _variant_t text;
      // A value that cannot be made a text names no picture; it must not stop the save.
      if (FAILED(VariantChangeType(&text, &copy, 0, VT_BSTR)) || text.vt != VT_BSTR) continue;
      const CString name(text.bstrVal);
      if (!name.IsEmpty()) texts.insert(name);
    }
  }
  return texts;
}

IBitmapPtr CTheDocument::GetImageMaskBitmap(const char* id, bool full) {
  const ImageRecord& record = images.Get(id);
  if (!record.HasFlag(ImageStatus::MaskOn)) return IBitmapPtr();
  const CString key = masksLinks.GetParent(record.id);
  if (key.IsEmpty()) return IBitmapPtr();
  return GetMaskBitmap(key, full);
}

IBitmapPtr CTheDocument::GetImageBackgroundBitmap(const char* id, bool full) {
  const ImageRecord& record = images.Get(id);
  if (!record.HasFlag(ImageStatus::BackgroundOn)) return IBitmapPtr();
  const CString key = backgroundsLinks.GetParent(record.id);
  if (key.IsEmpty()) return IBitmapPtr();
  return full ? GetBackgroundBitmapFull(key) : GetBackgroundBitmap(key);
}

void CTheDocument::RememberGraphicNames() { graphicNames = CollectGraphicFieldTexts(); }
void CTheDocument::RememberMaskNames() { maskNames = CollectGraphicFieldTexts(); }
void CTheDocument::RememberBackgroundNames() { backgroundNames = CollectGraphicFieldTexts(); }

void CTheDocument::PurgeGraphics() {
  PurgeLibrary(GraphicLibrary(), [&](const CString& key) { RemoveGraphic(key); });
}

void CTheDocument::PurgeMasks() {
  PurgeLibrary(MaskLibrary(), [&](const CString& key) { RemoveMask(key); });
}

void CTheDocument::PurgeBackgrounds() {
  PurgeLibrary(BackgroundLibrary(), [&](const CString& key) { RemoveBackground(key); });
}
