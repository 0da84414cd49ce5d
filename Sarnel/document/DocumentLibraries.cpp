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
#include "ElementSwap.h"
#include "JobStorage.h"
#include "MemoryStream.h"
#include "StoragePointers.h"
#include "StreamWindow.h"

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

void SeekTo(IStream* stream, uint64_t position) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(position);
  const HRESULT hr = stream->Seek(to, STREAM_SEEK_SET, nullptr);
  if (FAILED(hr)) zvk::ThrowArchiveStreamComError(hr);
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

uint32_t CheckedLength(uint64_t length) {
  if (length > std::numeric_limits<uint32_t>::max())
    throw zvk::ArchiveException(zvk::ArchiveException::Generic);
  return static_cast<uint32_t>(length);
}

// A window on an item's picture that goes with its reference whichever way the caller leaves.
struct StreamWindowReference {
  StreamWindow* stream;
  StreamWindowReference(IStream* source, uint32_t length) : stream(StreamWindow::Create(source, length)) {}
  StreamWindowReference(const StreamWindowReference&) = delete;
  StreamWindowReference& operator=(const StreamWindowReference&) = delete;
  ~StreamWindowReference() { stream->Release(); }
};

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
  bool stored = false;
  const CString key = StoreNewLibraryItem(library, bitmap, stored);
  if (!stored) return key;
  LibraryEntry entry;
  entry.name = name != nullptr ? name : "";
  library.entries.Set(key, entry);
  dirty = true;
  return key;
}

CString CTheDocument::StoreNewLibraryItem(const PictureLibrary& library, zvkImage::IBitmap* bitmap,
                                          bool& stored) {
  // The key is the digest of what the picture writes, known only once it is written: the item is written
  // under a name that no key gives and takes its key's name when that key is new (in place of any stream
  // an earlier run left under it). A swap not finished removes the written item again, on every exit.
  CSingleLock lock(&imageStorageLock, TRUE);
  IStoragePtr section(OpenChildStorage(storage, library.storageName, true), false);
  const std::wstring writing = ElementSwap::FreshName(L"-");
  section->DestroyElement(writing.c_str());
  ElementSwap swap(section);
  CString key;
  {
    IStreamPtr stream(OpenChildStream(section, CString(writing.c_str()), true), false);
    swap.AddFresh(writing);
    key = WriteBitmapItem(stream, bitmap);
  }
  stored = !library.entries.Contains(key);
  if (stored) {
    swap.Replace(ToWideName(MakeLibraryItemName(key)), writing);
    swap.Finish();
  }
  return key;
}

void CTheDocument::StoreLibraryItem(const char* storageName, const CString& key, zvkImage::IBitmap* bitmap) {
  CSingleLock lock(&imageStorageLock, TRUE);
  IStoragePtr section(OpenChildStorage(storage, storageName, true), false);
  const CString itemName = MakeLibraryItemName(key);
  try {
    IStreamPtr stream(OpenChildStream(section, itemName, true), false);
    WriteBitmapItem(stream, bitmap);
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

CString CTheDocument::WriteBitmapItem(IStream* stream, zvkImage::IBitmap* bitmap) {
  const uint64_t start = PositionOf(stream);
  IBitmapPtr draft = CreateRuntimeBitmap(bitmap, static_cast<uint32_t>(draftSize), false);
  CheckBitmapCall(draft->SetOptions(1, 0), draft);
  MemoryBytes draftBytes;
  CheckBitmapCall(draft->SaveToStream(draftBytes.stream, 0), draft);
  const std::vector<uint8_t>& small = draftBytes.stream->GetBytes();
  zvk::ArchiveStream archive(stream);
  zvk::WriteArchiveWord(archive, ItemSchema);
  zvk::WriteArchiveDword(archive, CheckedLength(small.size()));
  WriteBytes(archive, small);
  zvk::WriteArchiveDword(archive, 0);
  // The full picture saves itself straight into the item, digested on its way for its key; its length
  // goes in front of it afterwards. The options do not change the bytes a picture saves.
  CheckBitmapCall(bitmap->SetOptions(1, 0), bitmap);
  uint64_t fullLength = 0;
  const CString key = SaveBitmapWithContentKey(bitmap, stream, fullLength);
  const uint32_t fullLength32 = CheckedLength(fullLength);
  SeekTo(stream, start + 6 + small.size());
  zvk::WriteArchiveDword(archive, fullLength32);
  SeekTo(stream, start + 10 + small.size() + fullLength);
  return key;
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
  // The picture loads straight from the job through a window of its length: it can take nothing beyond
  // it, and it decodes what it has read while it reads on.
  StreamWindowReference window(stream, length);
  CheckBitmapCall(bitmap->LoadFromStream(window.stream, 0), bitmap);
  if (window.stream->GetPosition() != length) throw zvk::ArchiveException(zvk::ArchiveException::EndOfFile);
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
