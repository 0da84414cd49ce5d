#include "TheDocument.h"

#include "AdjustBitmap.h"
#include "ApplyImportAdjustments.h"
#include "ImageCorrections.h"
#include "ImagePathSearch.h"
#include "MyException.h"

namespace {

constexpr const char* ImagesPlace = "DocumentImages";

using ITablesModePtr = _com_ptr_t<_com_IIID<zvkImage::ITablesMode, &__uuidof(zvkImage::ITablesMode)>>;

bool IsEmptySlot(const ImageRecord& record) { return record.HasFlag(ImageStatus::EmptySlot); }

// The cache operation of each kind.
IBitmapPtr CachedKind(ImageBitmapCache& cache, const std::string& key, int kind) {
  switch (kind) {
    case 0:
      return cache.GetOriginal(key);
    case 1:
      return cache.GetCorrected(key, true);
    case 2:
      return cache.GetCorrected(key, false);
    case 3:
      return cache.GetDisplayCopy(key, true);
    case 4:
      return cache.GetDisplayCopy(key, false);
    default:
      throw CMyException(E_UNEXPECTED, "E_UNEXPECTED", ImagesPlace, 1264);
  }
}

}  // namespace

IBitmapPtr CTheDocument::FindCachedBitmap(const char* id, int kind) {
  const ImageRecord& record = images.Get(id);
  if (IsEmptySlot(record)) return IBitmapPtr();
  return CachedKind(imageCache, static_cast<LPCTSTR>(record.id), kind);
}

IBitmapPtr CTheDocument::GetImageBitmap(const char* id, int kind) {
  // A cached picture is never an empty slot (an image that becomes one leaves the cache), so a request the
  // cache answers needs no look at the image list, whose lock costs several kernel calls: views ask for
  // every visible cell on every paint.
  if (id != nullptr && imageCache.Contains(id)) return CachedKind(imageCache, id, kind);
  const ImageRecord& record = images.Get(id);
  if (IsEmptySlot(record)) return IBitmapPtr();
  if (kind < 0 || kind > 4) throw CMyException(E_UNEXPECTED, "E_UNEXPECTED", ImagesPlace, 1264);
  const CString imageId = record.id;
  IBitmapPtr draft = ReadImageBitmap(imageId, false);
  if (!draft) return IBitmapPtr();
  const ImageRecord& current = images.Get(imageId);
  const std::string key = static_cast<LPCTSTR>(imageId);
  imageCache.Put(key, draft, current.colorCorrect, current.chromaKey, current.rotation);
  return CachedKind(imageCache, key, kind);
}

CString CTheDocument::ResolveImagePath(const char* name) {
  static const SharedStringList none;
  return SearchImageFile(name != nullptr ? name : "", jobPath,
                         imageSearchFolders != nullptr ? *imageSearchFolders : none);
}

CString CTheDocument::GetLinkedImagePath(const char* id) {
  if (id == nullptr || !images.Contains(id)) return CString();
  return ResolveImagePath(images.Get(id).fileName);
}

IBitmapPtr CTheDocument::LoadLinkedImageBitmap(const char* id) {
  const CString path = GetLinkedImagePath(id);
  if (path.IsEmpty())
    throw CMyException(E_CANNOT_FIND_IMAGE_FILE, "E_CANNOT_FIND_IMAGE_FILE", ImagesPlace, 1060);
  IBitmapPtr bitmap = TryCreateImageBitmap();
  if (!bitmap) throw CMyException(E_NOINTERFACE, "E_NOINTERFACE", ImagesPlace, 1065);
  if (!LoadImageFile(bitmap, path, 0))
    throw CMyException(E_CANNOT_OPEN_IMAGE_FILE, "E_CANNOT_OPEN_IMAGE_FILE", ImagesPlace, 1071);
  ApplyImportAdjustments(bitmap, images.Get(id).GetImportProcessing());
  return bitmap;
}

bool CTheDocument::LoadImageFile(zvkImage::IBitmap* bitmap, const CString& path, long bits) {
  if (bitmap->Initialize(0) != S_OK || bitmap->SetOptions(0, 0) != S_OK ||
      bitmap->Load(_bstr_t(static_cast<LPCTSTR>(path)), bits) != S_OK)
    return false;
  ITablesModePtr tables;
  if (SUCCEEDED(bitmap->QueryInterface(__uuidof(zvkImage::ITablesMode), reinterpret_cast<void**>(&tables))) &&
      tables) {
    const HRESULT hr = tables->SetMode(1);
    if (FAILED(hr)) _com_issue_errorex(hr, tables, __uuidof(zvkImage::ITablesMode));
  }
  return true;
}

IBitmapPtr CTheDocument::RenderImage(const char* id) {
  const ImageRecord& listed = images.Get(id);
  if (IsEmptySlot(listed)) return IBitmapPtr();
  const CString imageId = listed.id;
  IBitmapPtr bitmap;
  if (listed.IsLinked()) {
    bitmap = LoadLinkedImageBitmap(imageId);
  } else {
    // A stored bitmap already holds its turns, mirrors and tone curve; only the sharpening, which is
    // for output, is still to do.
    bitmap = ReadImageBitmap(imageId, true);
    if (!bitmap) return IBitmapPtr();
    const ImageProcessing processing = images.Get(imageId).GetImportProcessing();
    if (processing.sharpen.on) AdjustBitmap(bitmap, 0, false, false, LUTRecord(), processing.sharpen);
  }
  const ImageRecord& record = images.Get(imageId);
  if (!RotateByTenths(bitmap, record.rotation)) return IBitmapPtr();
  if (FAILED(ApplyChromaKey(bitmap, record.chromaKey, record.rotation))) return IBitmapPtr();
  ApplyColorCorrection(bitmap, record.colorCorrect);
  return bitmap;
}
