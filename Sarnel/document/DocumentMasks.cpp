// The job's mask library: the masks that cut an image's subject out, handed out exactly as stored (no
// correction), at draft and at full size, through two caches of their own.
#include "TheDocument.h"

void CTheDocument::LoadMasks() { LoadLibrary(MaskLibrary()); }

void CTheDocument::SaveMasks() { SaveLibrary(MaskLibrary()); }

void CTheDocument::ClearMasks() {
  masks.Clear();
  masksLinks.Clear();
  maskDraftCache.Clear();
  maskFullCache.Clear();
}

CString CTheDocument::AddMask(zvkImage::IBitmap* bitmap, const char* name) {
  return AddLibraryPicture(MaskLibrary(), bitmap, name);
}

IBitmapPtr CTheDocument::GetMaskBitmap(const CString& key, bool full) {
  if (!masks.Contains(key)) return IBitmapPtr();
  ComObjectCache& cache = GetMaskCache(full);
  if (cache.Contains(key, 0)) {
    IUnknown* cached = cache.Get(key, 0);
    IBitmapPtr bitmap(cached);
    if (cached != nullptr) cached->Release();
    return bitmap;
  }
  try {
    IBitmapPtr bitmap = LoadMaskItem(key, full);
    if (bitmap) cache.Put(key, 0, bitmap);
    return bitmap;
  } catch (...) {
    return IBitmapPtr();
  }
}

void CTheDocument::RemoveMask(const CString& key) {
  if (!masks.Contains(key)) return;
  try {
    if (maskDraftCache.ContainsName(key)) maskDraftCache.RemoveName(key);
    if (maskFullCache.ContainsName(key)) maskFullCache.RemoveName(key);
    masks.Remove(key);
    DeleteMaskItem(key);
  } catch (...) {
    // The entry is what counts: its stream left behind is never read again.
  }
  dirty = true;
}

IStorage* CTheDocument::OpenMasksStorage() { return OpenChildStorage(storage, "@Masks", true); }

void CTheDocument::StoreMaskItem(const CString& key, zvkImage::IBitmap* bitmap) {
  StoreLibraryItem("@Masks", key, bitmap);
}

IBitmapPtr CTheDocument::LoadMaskItem(const CString& key, bool full) {
  return LoadLibraryItem("@Masks", key, full);
}

void CTheDocument::DeleteMaskItem(const CString& key) { DeleteLibraryItem("@Masks", key); }
