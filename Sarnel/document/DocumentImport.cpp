// Import of one image: a worker writes the new image's bitmaps into the job (that takes long for a
// large bitmap) while the user-interface thread keeps its windows alive; then the record is placed.
#include "TheDocument.h"

#include "HandlerFrame.h"
#include "ImagesImportSettings.h"
#include "ImportStoreThread.h"

namespace {

// Waits for the event while dispatching this thread's messages. A quit request ends the pumping but
// not the wait: the worker still writes into the job; the request is posted again for the outer loop.
void WaitPumpingMessages(CEvent& event) {
  HANDLE handle = event.m_hObject;
  if (AfxWaitPumpingMessages(1, &handle, INFINITE) != WAIT_OBJECT_0) ::WaitForSingleObject(handle, INFINITE);
}

}  // namespace

CTheDocument::StoredImage CTheDocument::StoreNewImage(zvkImage::IBitmap* bitmap, const ImportBitmaps* made,
                                                      bool linked, const ImageProcessing* processing) {
  StoredImage stored;
  const CString id = CObjectID::CreateNew();
  const ImageProcessing none;
  try {
    stored.draft = made != nullptr ? WriteImageBitmaps(id, *made)
                                   : WriteImageBitmaps(id, linked, processing ? *processing : none, bitmap);
  } catch (...) {
    // A half-written image storage would stay in the job without a record.
    try {
      DestroyImageStorage(id);
    } catch (...) {
    }
    throw;
  }
  if (stored.draft) stored.id = id;
  return stored;
}

bool CTheDocument::ImportImage(int32_t position, IBitmapPtr bitmap, const char* sourceName, bool linked,
                               const ImageProcessing* processing) {
  if (!bitmap) return false;
  return ImportStored(position, bitmap, nullptr, sourceName, linked, processing);
}

bool CTheDocument::ImportImage(int32_t position, ImportBitmaps bitmaps, const char* sourceName, bool linked,
                               const ImageProcessing* processing) {
  if (!bitmaps.draft) return false;
  return ImportStored(position, nullptr, &bitmaps, sourceName, linked, processing);
}

bool CTheDocument::ImportStored(int32_t position, IBitmapPtr bitmap, const ImportBitmaps* made,
                                const char* sourceName, bool linked, const ImageProcessing* processing) {
  // An Indexed job takes only images that bring their number.
  if (indexed && position < 1) return false;
  if (!open) return false;
  bool placed = false;
  const bool keptBusy = busy;
  busy = true;
  StoredImage stored;
  RunInHandlerFrame([&] {
    CEvent completion(FALSE, TRUE);
    if (!importStoreThread) importStoreThread = std::make_unique<ImportStoreThread>();
    const auto store = [&] {
      RunInHandlerFrame([&] { stored = StoreNewImage(bitmap, made, linked, processing); });
    };
    if (!importStoreThread->Post(store, &completion))
      throw CMyException(E_FAIL, "E_FAIL", "DocumentImages", 1500);
    WaitPumpingMessages(completion);
    // A failed store was reported by the worker; there is nothing to place.
    if (stored.id.IsEmpty()) return;
    try {
      placed = PlaceImportedImage(position, stored.id, sourceName, linked, processing);
    } catch (...) {
      // A placement that failed leaves no storage without a record behind.
      try {
        DestroyImageStorage(stored.id);
      } catch (...) {
      }
      throw;
    }
  });
  stored.draft = nullptr;
  busy = keptBusy;
  return placed;
}

bool CTheDocument::PlaceImportedImage(int32_t position, const CString& id, const char* sourceName,
                                      bool linked, const ImageProcessing* processing) {
  if (indexed) {
    AddImageIndexed(position, id, sourceName, linked, processing);
    return true;
  }
  ImagesImportSettings& settings = GetImagesImportSettings();
  switch (settings.Mode) {
    case ImagesImportSettings::ToEnd:
      InsertImageAt(settings.Reverse ? 0 : -1, id, sourceName, linked, processing);
      break;
    case ImagesImportSettings::Insert:
      if (settings.Reverse) {
        InsertImageAt(0, id, sourceName, linked, processing);
      } else {
        InsertImageAt(settings.Position, id, sourceName, linked, processing);
        ++settings.Position;
      }
      break;
    case ImagesImportSettings::Replace:
      ReplaceImageAt(settings.Position, id, sourceName, linked, processing);
      if (settings.Reverse) {
        if (--settings.Position == -1) settings.Mode = ImagesImportSettings::ToEnd;
      } else if (++settings.Position == images.GetCount()) {
        settings.Mode = ImagesImportSettings::ToEnd;
        settings.Position = -1;
      }
      break;
    default:
      // An unknown mode places nothing; the storage must not stay behind.
      DestroyImageStorage(id);
      return false;
  }
  return true;
}
