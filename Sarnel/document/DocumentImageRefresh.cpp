// A linked image's draft made again from its file, after the file was changed outside the program.
#include "TheDocument.h"

#include "ImageEvents.h"

bool CTheDocument::RefreshImage(const char* id) {
  const ImageRecord& record = images.Get(id);
  if (!record.IsLinked()) return false;
  const CString imageId = record.id;
  const CString path = GetLinkedImagePath(imageId);
  if (path.IsEmpty()) return false;
  IBitmapPtr picture = TryCreateImageBitmap();
  if (!picture || !LoadImageFile(picture, path, 24)) return false;
  // Made as the import made the first draft, so that a refreshed thumbnail looks like an imported one;
  // the decoded picture itself becomes the draft.
  IBitmapPtr draft = MakeImageDraft(picture, images.Get(imageId).GetImportProcessing());
  picture = nullptr;
  RewriteImageBitmaps(imageId, nullptr, draft);

  const ImageRecord& refreshed = images.Get(imageId);
  const std::string key = static_cast<LPCTSTR>(imageId);
  if (imageCache.Contains(key))
    imageCache.Put(key, draft, refreshed.colorCorrect, refreshed.chromaKey, refreshed.rotation);
  dirty = true;
  ImageChangedEvent event(imageId, refreshed.number);
  FireEvent(event);
  return true;
}
