#include "ImagesFromDiskThread.h"

#include "ApplyImportAdjustments.h"
#include "ErrorReport.h"
#include "ImageFromDiskSettings.h"
#include "ImagesImportSettings.h"
#include "ImportMessages.h"
#include "MakePreviewBitmap.h"

#include <io.h>

#include <comdef.h>

namespace {

using IFileReaderPtr = _com_ptr_t<_com_IIID<zvkImage::IFileReader, &__uuidof(zvkImage::IFileReader)>>;
using IFileTagsPtr = _com_ptr_t<_com_IIID<zvkImage::IFileTags, &__uuidof(zvkImage::IFileTags)>>;

constexpr long UserCommentTag = 37510;
constexpr long ImageDescriptionTag = 270;

template <class Ptr>
Ptr CreateLibraryObject(REFCLSID clsid) {
  IUnknown* object = nullptr;
  Ptr result;
  if (SUCCEEDED(zvkImage::CreateObject(clsid, CLSCTX_INPROC_SERVER, &object)) && object != nullptr) {
    result = object;  // queries the interface
    object->Release();
  }
  return result;
}

// A tag counts only when it is read and is a text.
bool ReadTextTag(zvkImage::IFileTags* tags, long tag, CString& text) {
  _variant_t value;
  if (tags->GetTag(tag, &value) != S_OK || value.vt != VT_BSTR || value.bstrVal == nullptr) return false;
  text = CString(static_cast<const char*>(_bstr_t(value.bstrVal)));
  return true;
}

}  // namespace

CImagesFromDiskThread::CImagesFromDiskThread(const Link& link, bool indexed, bool reference, bool keepPath,
                                             std::vector<File> files)
    : zvk::thread(true),
      link(link),
      indexed(indexed),
      reference(reference),
      keepPath(keepPath),
      files(std::move(files)) {}

IBitmapPtr CImagesFromDiskThread::LoadImageFile(const CString& path, ImportTagTexts& texts) {
  IBitmapPtr bitmap = CreateLibraryObject<IBitmapPtr>(zvkImage::CLSID_Bitmap);
  IFileReaderPtr reader = CreateLibraryObject<IFileReaderPtr>(zvkImage::CLSID_FileReader);
  if (!bitmap || !reader) return nullptr;
  const _bstr_t name(static_cast<const char*>(path));
  if (reader->Open(name) != S_OK) return nullptr;
  bitmap->Initialize(0);
  bitmap->SetOptions(0, 0);
  long count = 0;
  reader->GetImageCount(&count);
  HRESULT loaded;
  if (count <= 1) {
    loaded = bitmap->Load(name, 24);
  } else {
    // The largest of the file's images; the products are taken in 64 bits.
    long width = 0;
    long height = 0;
    reader->GetWidth(&width);
    reader->GetHeight(&height);
    SIZE kept = {width, height};
    int64_t keptArea = static_cast<int64_t>(width) * height;
    for (long index = 0; index < count; ++index) {
      long w = 0;
      long h = 0;
      if (FAILED(reader->GetImageSize(index, &w, &h))) continue;
      const int64_t area = static_cast<int64_t>(w) * h;
      if (area > keptArea) {
        kept = {w, h};
        keptArea = area;
      }
      reader->GetImageCount(&count);
    }
    loaded = bitmap->LoadAtSize(name, &kept, 24);
  }
  if (GetImagesImportSettings().UseExif) {
    IFileTagsPtr tags;
    const HRESULT query =
        reader->QueryInterface(__uuidof(zvkImage::IFileTags), reinterpret_cast<void**>(&tags));
    if (FAILED(query) && query != E_NOINTERFACE) _com_issue_error(query);
    CString text;
    if (tags && ReadTextTag(tags, UserCommentTag, text)) ParseUserComment(text, texts);
    if (tags && ReadTextTag(tags, ImageDescriptionTag, text)) ParseImageDescription(text, texts);
  }
  return loaded == S_OK ? bitmap : nullptr;
}

bool CImagesFromDiskThread::Stopped() const { return ::WaitForSingleObject(link.stop, 0) == WAIT_OBJECT_0; }

bool CImagesFromDiskThread::PostAndWait(UINT message, WPARAM wParam, const void* data) {
  ::ResetEvent(link.answer);
  if (!::PostMessageA(link.dialog, message, wParam, reinterpret_cast<LPARAM>(data))) return false;
  const HANDLE events[] = {link.stop, link.answer};
  // The stop event comes first: it wins when both are set.
  return ::WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}

bool CImagesFromDiskThread::RunFiles(int32_t& handedOver) {
  const auto count = static_cast<int32_t>(files.size());
  const ImageFromDiskSettings& settings = ImageFromDiskSettings::Instance();
  for (int32_t i = 0; i < count; ++i) {
    if (Stopped()) return false;
    const File& file = files[static_cast<size_t>(i)];
    ImportFileProgress progress{file.path, i, count};
    ::SendMessageA(link.dialog, WM_IMPORT_FILE, 0, reinterpret_cast<LPARAM>(&progress));
    int32_t percent = 0;
    ::SendMessageA(link.dialog, WM_IMPORT_PERCENT, 0, reinterpret_cast<LPARAM>(&percent));

    IBitmapPtr bitmap;
    ImportTagTexts texts;
    for (;;) {
      const bool exists = ::_access(file.path, 0) == 0;
      texts = ImportTagTexts();
      if (exists) bitmap = LoadImageFile(file.path, texts);
      if (bitmap) break;
      if (!PostAndWait(WM_IMPORT_QUESTION, exists ? UnreadableFile : MissingFile, &file.path)) return false;
      const int answer = *link.answerCode;
      if (answer == IDABORT) return false;
      if (answer != IDRETRY) break;
    }
    if (Stopped()) return false;

    bool skip = !bitmap;
    if (bitmap) {
      percent = 100;
      ::SendMessageA(link.dialog, WM_IMPORT_PERCENT, 0, reinterpret_cast<LPARAM>(&percent));
      if (indexed && file.number <= 0) {
        if (!PostAndWait(WM_IMPORT_QUESTION, InvalidNumber, &file.path)) return false;
        if (*link.answerCode == IDCANCEL) return false;
        skip = true;
      }
    }
    if (Stopped()) return false;

    if (!skip) {
      ImportedImage image;
      image.path = file.path;
      image.number = file.number;
      image.bitmap = bitmap;
      image.reference = reference;
      image.keepPath = keepPath;
      // The preview shows the processing without the sharpening; the document applies the rest.
      image.processing = settings.MakeProcessing(false);
      image.preview = MakePreviewBitmap(bitmap);
      if (image.preview) ApplyImportAdjustments(image.preview, image.processing);
      image.processing.sharpen = settings.sharpen;
      image.texts = texts;
      if (!PostAndWait(WM_IMPORT_IMAGE, 0, &image)) return false;
      ++handedOver;
    }
    if (Stopped()) return false;
    ::SendMessageA(link.dialog, WM_IMPORT_DONE_FILE, 0, reinterpret_cast<LPARAM>(&progress));
  }
  return true;
}

int CImagesFromDiskThread::Main() {
  int32_t handedOver = 0;
  if (FAILED(::CoInitialize(nullptr))) {
    // Without COM nothing can be loaded; the dialog must still learn that the run is over.
    ::SetEvent(link.done);
    ::SendMessageA(link.dialog, WM_IMPORT_STOPPED, 0, reinterpret_cast<LPARAM>(&handedOver));
    return -1;
  }
  bool finished = false;
  try {
    finished = RunFiles(handedOver);
  } catch (...) {
    ReportCurrentException();
  }
  ::CoUninitialize();
  ::SetEvent(link.done);
  ::SendMessageA(link.dialog, finished ? WM_IMPORT_FINISHED : WM_IMPORT_STOPPED, 0,
                 reinterpret_cast<LPARAM>(&handedOver));
  return 0;
}
