#include "ImagesFromDiskThread.h"

#include "ApplyImportAdjustments.h"
#include "ErrorReport.h"
#include "ImageFromDiskSettings.h"
#include "ImagesImportSettings.h"
#include "ImportMessages.h"
#include "MakePreviewBitmap.h"
#include "workers/WorkerPool.h"

#include <io.h>

#include <algorithm>
#include <system_error>

#include <comdef.h>

namespace {

using IFileReaderPtr = _com_ptr_t<_com_IIID<zvkImage::IFileReader, &__uuidof(zvkImage::IFileReader)>>;
using IFileTagsPtr = _com_ptr_t<_com_IIID<zvkImage::IFileTags, &__uuidof(zvkImage::IFileTags)>>;
using IConnectionPointContainerPtr =
    _com_ptr_t<_com_IIID<IConnectionPointContainer, &IID_IConnectionPointContainer>>;
using IConnectionPointPtr = _com_ptr_t<_com_IIID<IConnectionPoint, &IID_IConnectionPoint>>;

constexpr long ProgressStepBytes = 32768;

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

// The bitmap's source of load-progress events, or null.
IConnectionPointPtr ProgressPoint(zvkImage::IBitmap* bitmap) {
  IConnectionPointContainerPtr container;
  if (FAILED(bitmap->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) ||
      !container)
    return nullptr;
  IConnectionPointPtr point;
  if (FAILED(container->FindConnectionPoint(__uuidof(zvkImage::IBitmapEvents), &point))) return nullptr;
  return point;
}

}  // namespace

CImagesFromDiskThread::CImagesFromDiskThread(const Link& link, bool indexed, bool reference, bool keepPath,
                                             std::vector<File> files, StoredMaker makeStored)
    : zvk::thread(true),
      link(link),
      indexed(indexed),
      reference(reference),
      keepPath(keepPath),
      files(std::move(files)),
      makeStored(std::move(makeStored)) {}

IBitmapPtr CImagesFromDiskThread::LoadImageFile(const CString& path, ImportTagTexts& texts,
                                                CImagesFromDiskThread* progress) {
  IBitmapPtr bitmap = CreateLibraryObject<IBitmapPtr>(zvkImage::CLSID_Bitmap);
  IFileReaderPtr reader = CreateLibraryObject<IFileReaderPtr>(zvkImage::CLSID_FileReader);
  if (!bitmap || !reader) return nullptr;
  const _bstr_t name(static_cast<const char*>(path));
  if (reader->Open(name) != S_OK) return nullptr;
  bitmap->Initialize(0);
  bitmap->SetOptions(0, 0);
  // A file of 32 KB or more reports its load in steps of 32 KB.
  IConnectionPointPtr progressPoint;
  DWORD cookie = 0;
  long bytes = 0;
  if (progress != nullptr && SUCCEEDED(reader->GetSize(&bytes)) && bytes >= ProgressStepBytes) {
    bitmap->SetProgress(bytes / ProgressStepBytes, reinterpret_cast<LONG_PTR>(progress));
    progressPoint = ProgressPoint(bitmap);
    if (progressPoint && FAILED(progressPoint->Advise(&progress->progressSink, &cookie)))
      progressPoint = nullptr;
  }
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
  if (progressPoint) progressPoint->Unadvise(cookie);
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

HRESULT CImagesFromDiskThread::XBitmapEventsSink::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == __uuidof(zvkImage::IBitmapEvents)) {
    *object = static_cast<zvkImage::IBitmapEvents*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT CImagesFromDiskThread::XBitmapEventsSink::LoadProgress(LONG_PTR callerValue, long done, long total) {
  if (callerValue != reinterpret_cast<LONG_PTR>(&worker) || total <= 0) return S_OK;
  int32_t percent = static_cast<int32_t>(static_cast<int64_t>(done) * 100 / total);
  ::SendMessageA(worker.link.dialog, WM_IMPORT_PERCENT, 0, reinterpret_cast<LPARAM>(&percent));
  return S_OK;
}

bool CImagesFromDiskThread::Stopped() const { return ::WaitForSingleObject(link.stop, 0) == WAIT_OBJECT_0; }

void CImagesFromDiskThread::Load(const File& file, Prepared& prepared, bool withProgress) {
  prepared = Prepared();
  try {
    prepared.exists = ::_access(file.path, 0) == 0;
    if (prepared.exists)
      prepared.bitmap = LoadImageFile(file.path, prepared.texts, withProgress ? this : nullptr);
    // The processing of the preview and the stored bitmaps: all but the sharpening, which the document
    // keeps for output.
    if (prepared.bitmap) prepared.processing = ImageFromDiskSettings::Instance().MakeProcessing(false);
  } catch (...) {
    prepared.failure = std::current_exception();
  }
}

void CImagesFromDiskThread::MakePreview(Prepared& prepared) const {
  if (!prepared.Loaded() || prepared.preview || prepared.failure) return;
  try {
    // The stored bitmaps are processed already: the preview is reduced from the draft when that is
    // larger than the preview (far fewer pixels to read than the picture's), else from the full bitmap.
    IBitmapPtr processed = prepared.stored.finalBitmap;
    if (prepared.stored.draft) {
      long width = 0, height = 0;
      CheckBitmapCall(prepared.stored.draft->GetWidth(&width), prepared.stored.draft);
      CheckBitmapCall(prepared.stored.draft->GetHeight(&height), prepared.stored.draft);
      const SIZE size = PreviewSize(width, height);
      if (size.cx < width && size.cy < height) processed = prepared.stored.draft;
    }
    if (processed) {
      prepared.preview = MakePreviewBitmap(processed);
    } else if (prepared.bitmap) {
      prepared.preview = MakePreviewBitmap(prepared.bitmap);
      if (prepared.preview) ApplyImportAdjustments(prepared.preview, prepared.processing);
    }
    // Once the stored bitmaps are made, nothing needs the picture any more.
    if (prepared.stored.draft) prepared.bitmap = nullptr;
  } catch (...) {
    prepared.failure = std::current_exception();
  }
}

CImagesFromDiskThread::ReadAhead::~ReadAhead() {
  for (const auto& load : loads)
    if (load->thread.joinable()) load->thread.join();
}

void CImagesFromDiskThread::ReadAhead::Fill(int32_t first) {
  const auto count = static_cast<int32_t>(worker.files.size());
  int32_t next = loads.empty() ? first : std::max(first, loads.back()->index + 1);
  while (next < count && static_cast<int32_t>(loads.size()) < kFiles && !worker.Stopped()) {
    auto load = std::make_unique<Load>();
    load->index = next;
    Load* target = load.get();
    try {
      target->thread = std::thread([this, target] {
        // The tone curve of the preview is a COM object.
        const HRESULT init = ::CoInitialize(nullptr);
        // Work for later: the pool's threads serve the store of the image before first.
        workers::BackgroundWork later;
        worker.Load(worker.files[static_cast<size_t>(target->index)], target->prepared, false);
        worker.MakeStored(worker.files[static_cast<size_t>(target->index)], target->prepared);
        worker.MakePreview(target->prepared);
        if (SUCCEEDED(init)) ::CoUninitialize();
      });
    } catch (const std::system_error&) {
      return;  // a thread that cannot start leaves the file to be loaded in its turn
    }
    loads.push_back(std::move(load));
    ++next;
  }
}

bool CImagesFromDiskThread::ReadAhead::Take(int32_t index, Prepared& prepared) {
  if (loads.empty() || loads.front()->index != index) return false;
  std::unique_ptr<Load> load = std::move(loads.front());
  loads.erase(loads.begin());
  load->thread.join();
  prepared = std::move(load->prepared);
  return true;
}

void CImagesFromDiskThread::MakeStored(const File& file, Prepared& prepared) {
  if (!makeStored || !prepared.bitmap || prepared.failure || prepared.stored.draft) return;
  try {
    prepared.stored = makeStored(prepared.bitmap, reference, prepared.processing);
    // A given-up picture that became the full bitmap is not the picture any more.
    if (prepared.stored.finalBitmap) prepared.bitmap = nullptr;
  } catch (...) {
    // Not the end of the run. The picture given up may be half changed: it is loaded again, and the
    // document makes the bitmaps of it in the image's turn and reports the failure as that image's.
    Load(file, prepared, false);
    MakePreview(prepared);
  }
}

bool CImagesFromDiskThread::Post(UINT message, WPARAM wParam, const void* data) {
  ::ResetEvent(link.answer);
  return ::PostMessageA(link.dialog, message, wParam, reinterpret_cast<LPARAM>(data)) != FALSE;
}

bool CImagesFromDiskThread::WaitForAnswer() {
  const HANDLE events[] = {link.stop, link.answer};
  // The stop event comes first: it wins when both are set.
  return ::WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}

bool CImagesFromDiskThread::PostAndWait(UINT message, WPARAM wParam, const void* data) {
  return Post(message, wParam, data) && WaitForAnswer();
}

bool CImagesFromDiskThread::RunFiles(int32_t& handedOver) {
  const auto count = static_cast<int32_t>(files.size());
  const ImageFromDiskSettings& settings = ImageFromDiskSettings::Instance();
  ReadAhead ahead(*this);
  for (int32_t i = 0; i < count; ++i) {
    if (Stopped()) return false;
    const File& file = files[static_cast<size_t>(i)];
    ImportFileProgress progress{file.path, i, count};
    ::SendMessageA(link.dialog, WM_IMPORT_FILE, 0, reinterpret_cast<LPARAM>(&progress));
    int32_t percent = 0;
    ::SendMessageA(link.dialog, WM_IMPORT_PERCENT, 0, reinterpret_cast<LPARAM>(&percent));

    Prepared current;
    if (!ahead.Take(i, current)) {
      // The files after it are read meanwhile (the first file of a run, say).
      ahead.Fill(i + 1);
      Load(file, current, true);
    }
    for (;;) {
      if (current.failure) std::rethrow_exception(current.failure);
      if (current.Loaded()) break;
      if (!PostAndWait(WM_IMPORT_QUESTION, current.exists ? UnreadableFile : MissingFile, &file.path))
        return false;
      const int answer = *link.answerCode;
      if (answer == IDABORT) return false;
      if (answer != IDRETRY) break;
      Load(file, current, true);
    }
    if (Stopped()) return false;

    bool skip = !current.Loaded();
    if (!skip) {
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
      MakeStored(file, current);
      MakePreview(current);
      if (current.failure) std::rethrow_exception(current.failure);
      ImportedImage image;
      image.path = file.path;
      image.number = file.number;
      image.bitmap = current.bitmap;
      image.preview = current.preview;
      image.reference = reference;
      image.keepPath = keepPath;
      image.processing = current.processing;
      image.processing.sharpen = settings.sharpen;
      image.texts = current.texts;
      image.stored = std::move(current.stored);
      if (!Post(WM_IMPORT_IMAGE, 0, &image)) return false;
      // The next files are read while the dialog stores this image; their messages wait for the answer.
      ahead.Fill(i + 1);
      if (!WaitForAnswer()) return false;
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
