// The bitmaps of the job's images: one storage per image, named "-" and the image id, beside the image
// list in "@Images-Individual", with the full bitmap "@Bitmap-Final" (absent for a linked image) and
// the reduced "@Bitmap-Draft". The import worker writes here while the user-interface thread reads,
// so every operation holds the image-storage lock for its whole run.
#include "TheDocument.h"

#include "ApplyImportAdjustments.h"
#include "ArchivePrimitives.h"
#include "ArchiveStream.h"
#include "BitmapWriteFault.h"
#include "CreateRuntimeBitmap.h"
#include "DocumentText.h"
#include "ElementSwap.h"
#include "MyException.h"
#include "StoragePointers.h"

#include "resource.h"

#include <atomic>
#include <cstring>
#include <exception>
#include <thread>

namespace {

constexpr const char* ImagesPlace = "DocumentImages";
constexpr char BitmapMagic[6] = {'<', 'z', 'v', 'k', '>', 0};
constexpr uint16_t BitmapStreamVersion = 0x0100;
constexpr DWORD ReadMode = STGM_READ | STGM_SHARE_EXCLUSIVE;
constexpr DWORD WriteMode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr DWORD CreateMode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;

CString ImageStorageName(const CString& id) { return "-" + id; }

void ThrowStorageError(HRESULT hr, int line) {
  throw CMyException(FAILED(hr) ? hr : E_FAIL, "hr", ImagesPlace, line);
}

IStorage* OpenStorage(IStorage* parent, const CString& name, DWORD mode, int line) {
  IStorage* child = nullptr;
  HRESULT hr = parent->OpenStorage(ToWideName(name).c_str(), nullptr, mode, nullptr, 0, &child);
  if (FAILED(hr) || child == nullptr) {
    if (child != nullptr) child->Release();
    ThrowStorageError(hr, line);
  }
  return child;
}

IStorage* CreateStorage(IStorage* parent, const CString& name, int line) {
  IStorage* child = nullptr;
  HRESULT hr = parent->CreateStorage(ToWideName(name).c_str(), CreateMode, 0, 0, &child);
  if (FAILED(hr) || child == nullptr) {
    if (child != nullptr) child->Release();
    ThrowStorageError(hr, line);
  }
  return child;
}

// Opens a stream; with createMissing a missing one is created. Other failures throw.
IStream* OpenStream(IStorage* parent, const char* name, DWORD mode, bool createMissing, int line) {
  std::wstring wide = ToWideName(name);
  IStream* stream = nullptr;
  HRESULT hr = parent->OpenStream(wide.c_str(), nullptr, mode, 0, &stream);
  if (hr == STG_E_FILENOTFOUND && createMissing)
    hr = parent->CreateStream(wide.c_str(), CreateMode, 0, 0, &stream);
  if (FAILED(hr) || stream == nullptr) {
    if (stream != nullptr) stream->Release();
    ThrowStorageError(hr, line);
  }
  return stream;
}

IStream* CreateStream(IStorage* parent, const char* name, int line) {
  IStream* stream = nullptr;
  HRESULT hr = parent->CreateStream(ToWideName(name).c_str(), CreateMode, 0, 0, &stream);
  if (FAILED(hr) || stream == nullptr) {
    if (stream != nullptr) stream->Release();
    ThrowStorageError(hr, line);
  }
  return stream;
}

std::atomic<int> bitmapWritesBeforeFault{0};

// The stream head, then the bitmap's own persisted form, into a new stream.
void WriteBitmapStream(IStream* stream, zvkImage::IBitmap* bitmap) {
  if (bitmapWritesBeforeFault.load() > 0 && --bitmapWritesBeforeFault == 0) ThrowStorageError(E_FAIL, 290);
  zvk::ArchiveStream archive(stream);
  archive.Write(BitmapMagic, sizeof(BitmapMagic));
  zvk::WriteArchiveWord(archive, BitmapStreamVersion);
  CheckBitmapCall(bitmap->SetOptions(1, 2), bitmap);
  CheckBitmapCall(bitmap->SaveToStream(stream, 0), bitmap);
}

// Mirrors and turns that cannot be made would leave a picture stored the wrong way round as if it
// were right: the image is refused instead.
void ApplyProcessing(zvkImage::IBitmap* bitmap, const ImageProcessing& processing) {
  if (!ApplyImportAdjustments(bitmap, processing))
    throw CMyException(E_FAIL, ResourceText(IDS_IMAGE_NOT_TURNED));
}

// The import processing that goes into stored bitmaps: everything but the sharpening, which is for
// output only.
ImageProcessing Unsharpened(const ImageProcessing& processing) {
  ImageProcessing result = processing;
  result.sharpen.on = 0;
  return result;
}

// The draft of a new or replaced image: reduced to the draft size and processed.
IBitmapPtr MakeDraft(zvkImage::IBitmap* bitmap, int32_t draftSize, const ImageProcessing& processing) {
  IBitmapPtr draft = CreateRuntimeBitmap(bitmap, static_cast<uint32_t>(draftSize), true);
  ApplyProcessing(draft, Unsharpened(processing));
  return draft;
}

// The stored full bitmap, processed once; the caller's bitmap stays as it was.
IBitmapPtr MakeFinal(zvkImage::IBitmap* bitmap, int32_t sizeLimit, const ImageProcessing& processing) {
  const ImageProcessing stored = Unsharpened(processing);
  IBitmapPtr result = CreateRuntimeBitmap(bitmap, static_cast<uint32_t>(sizeLimit), stored.IsActive());
  if (stored.IsActive()) ApplyProcessing(result, stored);
  return result;
}

// Makes the stored full bitmap on a thread of its own, so that the draft is made and written meanwhile.
// Both only read the caller's bitmap, whose every call takes its lock.
class FinalMaker {
 public:
  FinalMaker(zvkImage::IBitmap* bitmap, int32_t sizeLimit, const ImageProcessing& processing) {
    if (bitmap == nullptr) return;
    thread = std::thread([this, source = IBitmapPtr(bitmap), sizeLimit, processing] {
      const HRESULT init = CoInitialize(nullptr);
      try {
        result = MakeFinal(source, sizeLimit, processing);
      } catch (...) {
        failure = std::current_exception();
      }
      if (SUCCEEDED(init)) CoUninitialize();
    });
  }
  ~FinalMaker() {
    if (thread.joinable()) thread.join();
  }
  FinalMaker(const FinalMaker&) = delete;
  FinalMaker& operator=(const FinalMaker&) = delete;

  // The full bitmap, once made; its failure is thrown here.
  IBitmapPtr Take() {
    if (thread.joinable()) thread.join();
    if (failure) std::rethrow_exception(failure);
    return result;
  }

 private:
  std::thread thread;
  IBitmapPtr result;
  std::exception_ptr failure;
};

const std::wstring FinalName = L"@Bitmap-Final";
const std::wstring DraftName = L"@Bitmap-Draft";

// Writes the new bitmaps of an image beside its old ones, then swaps them in; a null bitmap leaves its
// stream as it is, unless dropFinal removes the full one. Any failure leaves the image as it was.
void SwapInBitmaps(IStorage* image, zvkImage::IBitmap* finalBitmap, zvkImage::IBitmap* draft,
                   bool dropFinal) {
  ElementSwap swap(image);
  for (auto [name, bitmap] : {std::pair{&FinalName, finalBitmap}, std::pair{&DraftName, draft}}) {
    if (bitmap == nullptr) continue;
    const std::wstring fresh = ElementSwap::FreshName(*name);
    swap.AddFresh(fresh);
    IStream* stream = nullptr;
    HRESULT hr = image->CreateStream(fresh.c_str(), CreateMode, 0, 0, &stream);
    if (FAILED(hr) || stream == nullptr) ThrowStorageError(hr, 441);
    IStreamPtr held(stream, false);
    WriteBitmapStream(held, bitmap);
  }
  if (finalBitmap != nullptr)
    swap.Replace(FinalName, ElementSwap::FreshName(FinalName));
  else if (dropFinal)
    swap.Remove(FinalName);
  if (draft != nullptr) swap.Replace(DraftName, ElementSwap::FreshName(DraftName));
  swap.Finish();
}

}  // namespace

ImportBitmaps CTheDocument::MakeImportBitmaps(zvkImage::IBitmap* bitmap, bool linked,
                                              const ImageProcessing& processing, bool pictureGivenUp) const {
  ImportBitmaps made;
  if (bitmap == nullptr) return made;
  if (pictureGivenUp && !linked) {
    // The draft first, then the picture itself becomes the full bitmap: no copy of a large picture.
    made.draft = MakeDraft(bitmap, draftSize, processing);
    ReduceRuntimeBitmap(bitmap, static_cast<uint32_t>(storedBitmapSizeLimit));
    ApplyProcessing(bitmap, Unsharpened(processing));
    made.finalBitmap = bitmap;
    return made;
  }
  FinalMaker finalMaker(linked ? nullptr : bitmap, storedBitmapSizeLimit, processing);
  made.draft = MakeDraft(bitmap, draftSize, processing);
  if (!linked) made.finalBitmap = finalMaker.Take();
  return made;
}

IBitmapPtr CTheDocument::WriteImageBitmaps(const CString& id, const ImportBitmaps& bitmaps) {
  if (!bitmaps.draft) return IBitmapPtr();
  CSingleLock lock(&imageStorageLock, TRUE);
  IStoragePtr images(OpenImagesStorage(), false);
  IStoragePtr image(CreateStorage(images, ImageStorageName(id), 314), false);
  {
    IStreamPtr stream(CreateStream(image, "@Bitmap-Draft", 349), false);
    WriteBitmapStream(stream, bitmaps.draft);
  }
  if (bitmaps.finalBitmap) {
    IStreamPtr stream(CreateStream(image, "@Bitmap-Final", 324), false);
    WriteBitmapStream(stream, bitmaps.finalBitmap);
  }
  return bitmaps.draft;
}

IBitmapPtr CTheDocument::ReplaceImageBitmaps(const CString& id, bool linked,
                                             const ImageProcessing& processing, zvkImage::IBitmap* bitmap) {
  if (bitmap == nullptr) return IBitmapPtr();
  IBitmapPtr draft = MakeDraft(bitmap, draftSize, processing);
  IBitmapPtr finalBitmap;
  if (!linked) finalBitmap = MakeFinal(bitmap, storedBitmapSizeLimit, processing);

  CSingleLock lock(&imageStorageLock, TRUE);
  IStoragePtr images(OpenImagesStorage(), false);
  IStoragePtr image(OpenStorage(images, ImageStorageName(id), WriteMode, 394), false);
  // A linked image keeps no full bitmap.
  SwapInBitmaps(image, finalBitmap, draft, linked);
  return draft;
}

void CTheDocument::RewriteImageBitmaps(const CString& id, zvkImage::IBitmap* finalBitmap,
                                       zvkImage::IBitmap* draft) {
  CSingleLock lock(&imageStorageLock, TRUE);
  IStoragePtr images(OpenImagesStorage(), false);
  IStoragePtr image(OpenStorage(images, ImageStorageName(id), WriteMode, 262), false);
  SwapInBitmaps(image, finalBitmap, draft, false);
}

IBitmapPtr CTheDocument::ReadImageBitmap(const CString& id, bool wantFinal) {
  CSingleLock lock(&imageStorageLock, TRUE);
  const DWORD mode = readOnly ? ReadMode : WriteMode;
  IStoragePtr images(OpenChildStorage(storage, "@Images-Individual", false), false);
  IStoragePtr image(OpenStorage(images, ImageStorageName(id), mode, 1019), false);
  IStreamPtr stream(OpenStream(image, wantFinal ? "@Bitmap-Final" : "@Bitmap-Draft", mode, false, 1026),
                    false);
  IBitmapPtr bitmap = CreateImageBitmap(ImagesPlace, 1030);

  zvk::ArchiveStream archive(stream);
  char magic[sizeof(BitmapMagic)] = {};
  if (archive.Read(magic, sizeof(magic)) != sizeof(magic) ||
      std::memcmp(magic, BitmapMagic, sizeof(magic)) != 0)
    throw CMyException(E_FAIL, "E_FAIL", ImagesPlace, 1035);
  uint16_t version = 0;
  zvk::ReadArchiveWord(archive, version);
  if ((version >> 8) != 1) throw CMyException(E_FAIL, "E_FAIL", ImagesPlace, 1037);
  CheckBitmapCall(bitmap->LoadFromStream(stream, 0), bitmap);
  return bitmap;
}

IBitmapPtr CTheDocument::MakeImageDraft(zvkImage::IBitmap* picture, const ImageProcessing& processing) {
  ReduceRuntimeBitmap(picture, static_cast<uint32_t>(draftSize));
  ApplyProcessing(picture, Unsharpened(processing));
  return picture;
}

void CTheDocument::DestroyImageStorage(const CString& id) {
  CSingleLock lock(&imageStorageLock, TRUE);
  IStoragePtr images(OpenImagesStorage(), false);
  images->DestroyElement(ToWideName(ImageStorageName(id)).c_str());
}

void CTheDocument::ReplaceImageStorage(const CString& listedId, const CString& newId) {
  CSingleLock lock(&imageStorageLock, TRUE);
  IStoragePtr images(OpenImagesStorage(), false);
  // An image whose storage did not take its name would have no bitmaps: the failure is reported and
  // the old storage stays.
  ElementSwap swap(images);
  const std::wstring name = ToWideName(ImageStorageName(listedId));
  if (newId.IsEmpty())
    swap.Remove(name);
  else
    swap.Replace(name, ToWideName(ImageStorageName(newId)));
  swap.Finish();
}

void CTheDocument::CopyImageStorage(const CString& toId, const CString& fromId) {
  CSingleLock lock(&imageStorageLock, TRUE);
  IStoragePtr images(OpenImagesStorage(), false);
  IStoragePtr from(OpenStorage(images, ImageStorageName(fromId), readOnly ? ReadMode : WriteMode, 1019),
                   false);
  // Moving elements is not available on every platform: the copy is a new storage filled by CopyTo,
  // and a copy that did not complete is removed again.
  const std::wstring toName = ToWideName(ImageStorageName(toId));
  IStoragePtr to(CreateStorage(images, ImageStorageName(toId), 314), false);
  HRESULT hr = from->CopyTo(0, nullptr, nullptr, to);
  if (FAILED(hr)) {
    to = nullptr;
    images->DestroyElement(toName.c_str());
    ThrowStorageError(hr, 1090);
  }
}

void FailBitmapWriteAfter(int count) { bitmapWritesBeforeFault = count; }
