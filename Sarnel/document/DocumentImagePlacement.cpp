// Where a new image enters the image list: inserted at a position, at its own number in an Indexed
// job, or in place of an existing image, which keeps its id and takes the new bitmaps.
#include "TheDocument.h"

#include "ImageEvents.h"
#include "ImagesImportSettings.h"
#include "NewImageDefaults.h"

namespace {

// The record keeps the import processing, for a stored image too: its bitmaps hold all of it but the
// sharpening, which output applies; a linked image's file gets all of it at output.
void KeepImportProcessing(ImageRecord& record, bool linked, const ImageProcessing* processing) {
  if (processing != nullptr || linked)
    record.SetImportProcessing(processing != nullptr ? *processing : ImageProcessing());
  else
    record.flags &= ~ImageStatus::HasImportProcessing;
}

}  // namespace

ImageRecord CTheDocument::MakeNewImageRecord(const CString& id, int32_t number, const char* fileName,
                                             bool linked, const ImageProcessing* processing) {
  ImageRecord record;
  record.flags = ImageStatus::Inserted;
  if (id.IsEmpty()) {
    record.id = CObjectID::CreateNew();
    record.flags |= ImageStatus::EmptySlot;
  } else {
    record.id = id;
  }
  record.number = number;
  record.fileName = fileName != nullptr ? fileName : "";
  const NewImageDefaults& defaults = GetNewImageDefaults();
  record.cropScale = defaults.cropScale;
  record.colorCorrect = defaults.colorCorrect;
  record.chromaKey = defaults.chromaKey;
  if (linked) record.flags |= ImageStatus::Linked;
  if (!id.IsEmpty()) KeepImportProcessing(record, linked, processing);
  return record;
}

void CTheDocument::InsertImageAt(int32_t position, const CString& id, const char* fileName, bool linked,
                                 const ImageProcessing* processing) {
  const int count = images.GetCount();
  if (position < 0 || position > count) position = count;
  // Everything from the position on moves up one number, from the back so the order holds.
  for (int i = count - 1; i >= position; --i) {
    ImageRecord moved = images.GetAt(static_cast<unsigned>(i));
    ++moved.number;
    images.Replace(static_cast<unsigned>(i), moved);
  }
  ImageRecord record = MakeNewImageRecord(id, position + 1, fileName, linked, processing);
  images.Add(record);
  ImageAddedEvent added(record.id, record.number, GetImagesImportSettings().FollowImages);
  FireEvent(added);
  dirty = true;
}

void CTheDocument::ReplaceListedImage(const ImageRecord& listed, const CString& id, const char* fileName,
                                      bool linked, const ImageProcessing* processing, bool markInserted) {
  ImageRecord copy = listed;
  if (id.IsEmpty())
    copy.flags |= ImageStatus::EmptySlot;
  else
    copy.flags &= ~ImageStatus::EmptySlot;
  if (linked)
    copy.flags |= ImageStatus::Linked;
  else
    copy.flags &= ~ImageStatus::Linked;
  if (markInserted) copy.flags |= ImageStatus::Inserted;
  // The image keeps its id; its storage is replaced by the new one, and the old one is destroyed only
  // once the new one has its name.
  ReplaceImageStorage(listed.id, id);
  imageCache.Remove(static_cast<LPCTSTR>(listed.id));
  copy.fileName = fileName != nullptr ? fileName : "";
  const NewImageDefaults& defaults = GetNewImageDefaults();
  copy.cropScale = defaults.cropScale;
  copy.colorCorrect = defaults.colorCorrect;
  copy.chromaKey = defaults.chromaKey;
  if (id.IsEmpty())
    copy.flags &= ~ImageStatus::HasImportProcessing;
  else
    KeepImportProcessing(copy, linked, processing);
  // Replaced through the list, so that its file-name indexes follow the new name.
  images.Replace(static_cast<unsigned>(FindImagePosition(listed.id)), copy);
  // The bitmap cache drops its entry of the image here, once the cache exists.
  ImageReplacedEvent replaced(copy.id, copy.number);
  FireEvent(replaced);
}

void CTheDocument::AddImageIndexed(int32_t number, const CString& id, const char* fileName, bool linked,
                                   const ImageProcessing* processing) {
  if (images.ContainsNumber(number)) {
    ReplaceListedImage(images.GetByNumber(number), id, fileName, linked, processing, false);
  } else {
    ImageRecord record = MakeNewImageRecord(id, number, fileName, linked, processing);
    images.Add(record);
    ImageAddedEvent added(record.id, record.number, GetImagesImportSettings().FollowImages);
    FireEvent(added);
  }
  dirty = true;
}

void CTheDocument::ReplaceImageAt(int32_t position, const CString& id, const char* fileName, bool linked,
                                  const ImageProcessing* processing) {
  // An empty id would turn an existing image into an empty slot and destroy its bitmaps.
  if (id.IsEmpty()) throw CMyException(E_INVALIDARG, "E_INVALIDARG", "DocumentImages", 1600);
  ReplaceListedImage(images.GetByNumber(position + 1), id, fileName, linked, processing, true);
  dirty = true;
}
