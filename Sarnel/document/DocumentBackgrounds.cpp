// The job's background library: pictures that replace an image's keyed-out background, handed out at
// draft and at full size through two caches, so that a picture is read from the job once while cached.
#include "TheDocument.h"

#include "StoragePointers.h"

namespace {

// A background is drawn as it is: no correction, no key, no turn.
void PutPlain(ImageBitmapCache& cache, const CString& key, zvkImage::IBitmap* bitmap) {
  ColorCorrectValues values;
  values.Clear();
  cache.Put(static_cast<LPCTSTR>(key), bitmap, values, ChromaKey(), 0);
}

}  // namespace

void CTheDocument::LoadBackgrounds() { LoadLibrary(BackgroundLibrary()); }

void CTheDocument::SaveBackgrounds() { SaveLibrary(BackgroundLibrary()); }

void CTheDocument::ClearBackgrounds() {
  backgrounds.Clear();
  backgroundsLinks.Clear();
  backgroundDraftCache.Clear();
  backgroundFullCache.Clear();
}

CString CTheDocument::AddBackground(zvkImage::IBitmap* bitmap, const char* name) {
  return AddLibraryPicture(BackgroundLibrary(), bitmap, name);
}

IBitmapPtr CTheDocument::GetBackgroundBitmap(const CString& key) {
  if (!backgrounds.Contains(key)) return IBitmapPtr();
  const std::string cacheKey = static_cast<LPCTSTR>(key);
  if (backgroundDraftCache.Contains(cacheKey)) return backgroundDraftCache.GetCorrected(cacheKey, false);
  try {
    IBitmapPtr bitmap = LoadBackgroundItem(key, false);
    if (bitmap) PutPlain(backgroundDraftCache, key, bitmap);
    return bitmap;
  } catch (...) {
    return IBitmapPtr();
  }
}

IBitmapPtr CTheDocument::GetBackgroundBitmapFull(const CString& key) {
  if (!backgrounds.Contains(key)) return IBitmapPtr();
  const std::string cacheKey = static_cast<LPCTSTR>(key);
  if (backgroundFullCache.Contains(cacheKey)) return backgroundFullCache.GetCorrected(cacheKey, false);
  try {
    IBitmapPtr bitmap = LoadBackgroundItem(key, true);
    if (bitmap) PutPlain(backgroundFullCache, key, bitmap);
    return bitmap;
  } catch (...) {
    return IBitmapPtr();
  }
}

void CTheDocument::RemoveBackground(const CString& key) {
  if (!backgrounds.Contains(key)) return;
  try {
    const std::string cacheKey = static_cast<LPCTSTR>(key);
    backgroundDraftCache.Remove(cacheKey);
    backgroundFullCache.Remove(cacheKey);
    backgrounds.Remove(key);
    DeleteBackgroundItem(key);
  } catch (...) {
    // The entry is what counts: its stream left behind is never read again.
  }
  dirty = true;
}

IStorage* CTheDocument::OpenBackgroundsStorage() { return OpenChildStorage(storage, "@Backgrounds", true); }

void CTheDocument::StoreBackgroundItem(const CString& key, zvkImage::IBitmap* bitmap) {
  StoreLibraryItem("@Backgrounds", key, bitmap);
}

IBitmapPtr CTheDocument::LoadBackgroundItem(const CString& key, bool full) {
  return LoadLibraryItem("@Backgrounds", key, full);
}

void CTheDocument::DeleteBackgroundItem(const CString& key) { DeleteLibraryItem("@Backgrounds", key); }
