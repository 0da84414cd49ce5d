// Reading and changing the images of the job: each change updates the record, marks the job dirty
// and fires one image event so that the views redraw.
#include "TheDocument.h"

#include "ImageEvents.h"
#include "ImagesImportSettings.h"
#include "MyException.h"
#include "PathHelpers.h"

#include <cstdlib>

namespace {

constexpr const char* ImagesPlace = "DocumentImages";

bool AreaListsAndModeEqual(const ChromaKey& a, const ChromaKey& b) {
  return a.on == b.on && a.mode == b.mode && AreaListsEqual(a.protectAreas, b.protectAreas) &&
         AreaListsEqual(a.garbageAreas, b.garbageAreas);
}

// Equal as far as the key's mode uses the fields.
bool ChromaKeysEqual(const ChromaKey& a, const ChromaKey& b) {
  if (!AreaListsAndModeEqual(a, b)) return false;
  if (a.mode == ChromaKey::ModeKeyerState) return a.keyerStatePath == b.keyerStatePath;
  return a.keyColour == b.keyColour && a.hueOffset == b.hueOffset && a.hueRange == b.hueRange &&
         a.hueThird == b.hueThird && a.edgeThreshold == b.edgeThreshold && a.smoothing == b.smoothing;
}

}  // namespace

// ---- Queries.

SharedStringList CTheDocument::GetImageIds() const {
  SharedStringList ids;
  const int count = images.GetCount();
  for (int i = 0; i < count; ++i) ids.Append(images.GetAt(static_cast<unsigned>(i)).id);
  return ids;
}

bool CTheDocument::HasImage(const char* id) const {
  if (id == nullptr) return false;
  if (id[0] == '@') return images.ContainsNumber(std::atoi(id + 1));
  return images.Contains(id);
}

int32_t CTheDocument::GetImageNumber(const char* id) const {
  return id != nullptr && images.Contains(id) ? images.Get(id).number : 0;
}

CString CTheDocument::GetImageIdByNumber(int32_t number) const {
  return images.ContainsNumber(number) ? CString(images.GetByNumber(number).id) : CString();
}

CString CTheDocument::GetImageFileName(const char* id) const {
  return id != nullptr && images.Contains(id) ? images.Get(id).fileName : CString();
}

CString CTheDocument::GetImageFileNamePart(const char* id, bool namePart) const {
  if (id == nullptr || !images.Contains(id)) return CString();
  const ImageRecord& record = images.Get(id);
  if (!record.IsLinked()) return record.fileName;
  return namePart ? GetFileNamePart(record.fileName) : GetFileTitlePart(record.fileName);
}

bool CTheDocument::HasImageFlag(const char* id, uint32_t flag) const { return images.Get(id).HasFlag(flag); }

int CTheDocument::FindImagePosition(const char* id) const {
  const ImageRecord* record = &images.Get(id);
  const int count = images.GetCount();
  for (int i = 0; i < count; ++i)
    if (&images.GetAt(static_cast<unsigned>(i)) == record) return i;
  throw CMyException(E_INVALIDARG, "E_INVALIDARG", ImagesPlace, 1700);
}

CropScale CTheDocument::GetImageCropScale(const char* id) const {
  CropScale crop = images.Get(id).cropScale;
  const AspectRatios& ratios = aspectRatios;
  if (ratios.trim) {
    crop.fixedRatio = true;
    crop.ratioWidth = ratios.trimWidth;
    crop.ratioHeight = ratios.trimHeight;
  }
  return crop;
}

ColorCorrectValues CTheDocument::GetImageColorCorrection(const char* id) const {
  return images.Get(id).colorCorrect;
}
ChromaKey CTheDocument::GetImageChromaKey(const char* id) const { return images.Get(id).chromaKey; }
int32_t CTheDocument::GetImageRotation(const char* id) const { return images.Get(id).rotation; }

ImageProcessing CTheDocument::GetImageOutputProcessing(const char* id) const {
  const ImageRecord& record = images.Get(id);
  const ImageProcessing processing = record.GetImportProcessing();
  if (record.IsLinked()) return processing;
  // A stored bitmap holds everything else already.
  ImageProcessing output;
  output.sharpen = processing.sharpen;
  return output;
}
DetailsValues CTheDocument::GetImageValues(const char* id) const { return images.Get(id).values; }
Details CTheDocument::GetImageDetails(const char* id) const { return images.Get(id).details; }

// ---- Corrections and status.

void CTheDocument::SetImageCropScale(const char* id, const CropScale& crop) {
  ImageRecord& record = images.Get(id);
  record.cropScale = crop;
  ImageCropScaleChangeEvent event(record.id);
  FireEvent(event);
  dirty = true;
}

void CTheDocument::SetImageColorCorrection(const char* id, const ColorCorrectValues& values) {
  ImageRecord& record = images.Get(id);
  record.colorCorrect = values;
  imageCache.SetColorCorrect(static_cast<LPCTSTR>(record.id), values);
  ImageColorCorrectChangeEvent event(record.id);
  FireEvent(event);
  dirty = true;
}

void CTheDocument::SetImageChromaKey(const char* id, const ChromaKey& key) {
  ImageRecord& record = images.Get(id);
  if (ChromaKeysEqual(record.chromaKey, key)) return;
  if (!undoing) RecordChromaKeyChange(record.id, record.chromaKey, key);
  record.chromaKey = key;
  imageCache.SetChromaKey(static_cast<LPCTSTR>(record.id), key);
  ImageChromaKeyChangeEvent event(record.id);
  FireEvent(event);
  dirty = true;
}

void CTheDocument::RotateImage(const char* id, int delta) {
  ImageRecord& record = images.Get(id);
  // The remainder takes the sign of the sum, as C++ division does.
  record.rotation = static_cast<int32_t>((static_cast<int64_t>(record.rotation) + delta) % 360);
  imageCache.SetRotation(static_cast<LPCTSTR>(record.id), record.rotation);
  ImageRotationChangeEvent event(record.id);
  FireEvent(event);
  dirty = true;
}

void CTheDocument::SetImageStatusFlag(const char* id, uint32_t flag, bool on) {
  ImageRecord& record = images.Get(id);
  if (record.HasFlag(flag) == on) return;
  record.flags = on ? (record.flags | flag) : (record.flags & ~flag);
  ImageStatusEvent event(record.id, record.number);
  FireEvent(event);
  dirty = true;
}

void CTheDocument::ImageChanged(const ImageRecord& record) {
  ImageChangedEvent event(record.id, record.number);
  FireEvent(event);
  dirty = true;
}

void CTheDocument::SetImageChangedFlag(const char* id, uint32_t flag, bool on) {
  ImageRecord& record = images.Get(id);
  if (record.HasFlag(flag) == on) return;
  record.flags = on ? (record.flags | flag) : (record.flags & ~flag);
  ImageChanged(record);
}

void CTheDocument::SetImageMask(const char* id, const CString& key) {
  const ImageRecord& record = images.Get(id);
  masksLinks.SetParent(record.id, key);
  ImageChanged(record);
}

void CTheDocument::SetImageBackground(const char* id, const CString& key) {
  const ImageRecord& record = images.Get(id);
  backgroundsLinks.SetParent(record.id, key);
  ImageChanged(record);
}

void CTheDocument::SetImageValues(const char* id, const DetailsValues& values) {
  ImageRecord& record = images.Get(id);
  record.values = values;
  ImageChanged(record);
}

void CTheDocument::SetImageDetails(const char* id, const Details& details) {
  ImageRecord& record = images.Get(id);
  record.details = details;
  ImageChanged(record);
}

void CTheDocument::SetImageValue(const char* id, const char* fieldId, const VARIANT& value) {
  ImageRecord& record = images.Get(id);
  if (COleVariant(record.values.Get(fieldId)) == value) return;
  record.values.Set(fieldId, value);
  ImageChanged(record);
}

void CTheDocument::SetImageValueFromText(const char* id, const char* text) {
  const CString whole = text != nullptr ? text : "";
  const int percent = whole.Find('%');
  const CString fieldPart = percent < 0 ? whole : whole.Left(percent);
  if (fieldPart.IsEmpty()) return;
  CString fieldId;
  if (imageFields.HasName(fieldPart)) {
    fieldId = imageFields.GetByName(fieldPart).id;
  } else {
    const int number = std::atoi(fieldPart);
    if (number < 1 || number > imageFields.GetCount()) return;
    fieldId = imageFields.GetAt(number - 1).id;
  }
  COleVariant value(percent < 0 ? CString() : whole.Mid(percent + 1));
  SetImageValue(id, fieldId, value);
}

void CTheDocument::SetImageFileName(const char* id, const char* name) {
  if (id == nullptr || !images.Contains(id)) return;
  const int position = FindImagePosition(id);
  ImageRecord copy = images.GetAt(static_cast<unsigned>(position));
  copy.fileName = name != nullptr ? name : "";
  // Through the list, so that its file-name indexes follow the new name.
  images.Replace(static_cast<unsigned>(position), copy);
  dirty = true;
}

// ---- Removal and numbers.

void CTheDocument::RemoveImage(const char* id) {
  const ImageRecord record = images.Get(id);
  ImageRemovingEvent removing(record.id, record.number);
  FireEvent(removing);
  masksLinks.RemoveChild(record.id);
  // A link of a removed image would keep its background alive through every save.
  backgroundsLinks.RemoveChild(record.id);
  images.Remove(record.id);
  DestroyImageStorage(record.id);
  imageCache.Remove(static_cast<LPCTSTR>(record.id));
  ImageRemovedEvent removed(record.id, record.number);
  FireEvent(removed);
  dirty = true;
}

void CTheDocument::RemoveImages(const SharedStringList& ids) {
  const SharedStringList list = ids;
  for (int i = 0; i < list.GetCount(); ++i) RemoveImage(list[i]);
  if (indexed) return;
  ImagesImportSettings& settings = GetImagesImportSettings();
  settings.Position -= RenumberImages(settings.Position);
}

int CTheDocument::RenumberImages(int position) {
  int renumbered = 0;
  const int count = images.GetCount();
  for (int i = 0; i < count; ++i) {
    const ImageRecord& record = images.GetAt(static_cast<unsigned>(i));
    if (record.number == i + 1) continue;
    ImageRecord copy = record;
    copy.number = i + 1;
    images.Replace(static_cast<unsigned>(i), copy);
    ImageChangedEvent event(copy.id, copy.number);
    FireEvent(event);
    dirty = true;
    if (i < position) ++renumbered;
  }
  return renumbered;
}

// ---- Duplicates, turns and replaced bitmaps.

CString CTheDocument::DuplicateImage(const char* id, bool withDetails) {
  const ImageRecord source = images.Get(id);
  if (source.HasFlag(ImageStatus::EmptySlot)) return CString();
  ImageImportStartEvent start;
  FireEvent(start);
  CString newId;
  try {
    const ImageProcessing processing = source.GetImportProcessing();
    const bool linked = source.IsLinked();
    newId = CObjectID::CreateNew();
    CopyImageStorage(newId, source.id);
    try {
      ReadImageBitmap(newId, false);
      if (indexed) {
        const int count = images.GetCount();
        const int32_t last = count > 0 ? images.GetAt(static_cast<unsigned>(count - 1)).number : 0;
        AddImageIndexed(last + 1, newId, source.fileName, linked, &processing);
      } else {
        InsertImageAt(source.number, newId, source.fileName, linked, &processing);
      }
    } catch (...) {
      // A copy that did not become an image would stay in the job without a record.
      DestroyImageStorage(newId);
      throw;
    }
    images.Get(newId).flags |= ImageStatus::Duplicate;
    if (withDetails) {
      SetImageValues(newId, source.values);
      SetImageDetails(newId, source.details);
    }
    SetImageCropScale(newId, source.cropScale);
    SetImageColorCorrection(newId, source.colorCorrect);
    SetImageChromaKey(newId, source.chromaKey);
    RotateImage(newId, source.rotation);
    if (source.HasFlag(ImageStatus::MaskOn)) {
      SetImageMask(newId, GetImageMaskKey(source.id));
      SetImageMaskOn(newId, true);
    }
    if (source.HasFlag(ImageStatus::BackgroundOn)) {
      SetImageBackground(newId, GetImageBackgroundKey(source.id));
      SetImageBackgroundOn(newId, true);
    }
  } catch (...) {
    // The import events stay paired, so that the views end their batch.
    ImageImportStopEvent stop;
    FireEvent(stop);
    throw;
  }
  ImageImportStopEvent stop;
  FireEvent(stop);
  return newId;
}

void CTheDocument::TurnImage(const char* id, int quarters) {
  const ImageRecord& record = images.Get(id);
  const CString imageId = record.id;
  const bool linked = record.IsLinked();
  IBitmapPtr draft = ReadImageBitmap(imageId, false);
  if (!draft) return;
  const float turns = 0.25f * static_cast<float>(quarters);
  // The stored full bitmap already holds its processing: it is turned itself, so that no later
  // rendering turns it a second time. A linked image's file is read again for output, so its
  // processing carries the turn.
  IBitmapPtr full;
  if (!linked) {
    full = ReadImageBitmap(imageId, true);
    CheckBitmapCall(full->Rotate(turns), full);
  }
  CheckBitmapCall(draft->Rotate(turns), draft);
  RewriteImageBitmaps(imageId, full, draft);
  // The record changes only once its bitmaps are in place.
  ImageRecord& changed = images.Get(imageId);
  if (linked) {
    ImageProcessing processing = changed.GetImportProcessing();
    processing.quarterTurns = (processing.quarterTurns + quarters) % 4;
    changed.SetImportProcessing(processing);
  }
  const std::string key = static_cast<LPCTSTR>(imageId);
  if (imageCache.Contains(key))
    imageCache.Put(key, draft, changed.colorCorrect, changed.chromaKey, changed.rotation);
  dirty = true;
  ImageChangedEvent event(imageId, images.Get(imageId).number);
  FireEvent(event);
}

void CTheDocument::ReplaceImageBitmap(const char* id, zvkImage::IBitmap* bitmap) {
  const ImageRecord& record = images.Get(id);
  const CString imageId = record.id;
  const bool linked = record.IsLinked();
  ImageProcessing processing;
  // A stored image's new bitmap is stored as given: its processing is already in the picture.
  if (linked) processing = record.GetImportProcessing();
  IBitmapPtr draft = ReplaceImageBitmaps(imageId, linked, processing, bitmap);
  const ImageRecord& replacedRecord = images.Get(imageId);
  const std::string key = static_cast<LPCTSTR>(imageId);
  if (!draft)
    imageCache.Remove(key);
  else if (imageCache.Contains(key))
    imageCache.Put(key, draft, replacedRecord.colorCorrect, replacedRecord.chromaKey,
                   replacedRecord.rotation);
  ImageReplacedEvent event(imageId, replacedRecord.number);
  FireEvent(event);
  dirty = true;
}

// ---- Selection.

bool CTheDocument::SelectImage(const char* id) {
  if (id == nullptr || !images.Contains(id)) return false;
  ImageSelectEvent event(ImageSelectEvent::OneImage, id, SharedStringList());
  FireEvent(event);
  return true;
}

bool CTheDocument::SelectImageByNumber(int32_t number) {
  if (!images.ContainsNumber(number)) return false;
  return SelectImage(images.GetByNumber(number).id);
}

int CTheDocument::SelectImagesByFileName(const char* name) {
  if (name == nullptr || !images.ContainsFileName(name)) return 0;
  SharedStringList found = images.FindByFileName(name);
  SharedStringList ids;
  for (int i = 0; i < found.GetCount(); ++i) ids.Append(found[i]);
  ImageSelectEvent event(ImageSelectEvent::ImageList, CString(), ids);
  FireEvent(event);
  return event.ids.GetCount();
}
