// The disk-import worker: loads the listed files one after the other, makes each one's processed
// preview and the bitmaps the document stores of it, and hands every image to its dialog, asking the
// dialog whenever a file cannot be taken. While the dialog stores one image, the next two files are
// already loaded and made ready, each on a thread of its own (a decode runs on one core); nothing about a
// file is sent until the dialog has taken the one before, so the dialog sees its messages in list order.
// It never touches the controls, and of the document only the maker of stored bitmaps it is given.
#pragma once

#include "ImportedImage.h"
#include "Thread.h"

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class CImagesFromDiskThread : public zvk::thread {
 public:
  struct File {
    CString path;
    int32_t number;
  };
  // The events and the answer belong to the dialog, which outlives every run: it sets stop and waits
  // for done before it goes. The worker sets done before its last message.
  struct Link {
    HWND dialog;
    HANDLE stop;
    HANDLE answer;
    HANDLE done;
    std::atomic<int>* answerCode;
  };
  // Makes the bitmaps the document stores of a loaded picture, which the worker gives up to it.
  using StoredMaker =
      std::function<ImportBitmaps(zvkImage::IBitmap* bitmap, bool linked, const ImageProcessing& processing)>;
  // Without a maker, the dialog's document makes the stored bitmaps itself.
  CImagesFromDiskThread(const Link& link, bool indexed, bool reference, bool keepPath,
                        std::vector<File> files, StoredMaker makeStored = nullptr);

  // Loads one file with its identifier texts (when the settings ask for them); null when the file
  // gives no bitmap. With a worker, a large file's load moves the dialog's file progress bar.
  static IBitmapPtr LoadImageFile(const CString& path, ImportTagTexts& texts,
                                  CImagesFromDiskThread* progress = nullptr);

 protected:
  int Main() override;

  // Sends the load progress of the file being read to the dialog as a percentage.
  class XBitmapEventsSink : public zvkImage::IBitmapEvents {
   public:
    explicit XBitmapEventsSink(CImagesFromDiskThread& worker) : worker(worker) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives as long as the worker
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Reserved3() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LoadProgress(LONG_PTR callerValue, long done, long total) override;
    HRESULT STDMETHODCALLTYPE SaveProgress(LONG_PTR, long, long) override { return S_OK; }

   private:
    CImagesFromDiskThread& worker;
  };

 private:
  // One file as the worker prepared it: whether it exists, what its load gave (or the failure that
  // ended the load, raised again once the file's turn comes) and, with a bitmap, the processed
  // preview with the processing it shows. Once the stored bitmaps are made, the picture itself is let
  // go.
  struct Prepared {
    bool exists = false;
    IBitmapPtr bitmap;
    ImportTagTexts texts;
    IBitmapPtr preview;
    ImageProcessing processing;
    ImportBitmaps stored;
    std::exception_ptr failure;
    bool Loaded() const { return bitmap || stored.draft; }
  };

  // The files loaded ahead of the one the dialog is given, each on its own thread; every thread is joined
  // before the worker goes on past its file or ends.
  class ReadAhead {
   public:
    static constexpr int32_t kFiles = 2;

    explicit ReadAhead(CImagesFromDiskThread& worker) : worker(worker) {}
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Starts loading the files from `first` on that are not loading yet, up to kFiles of them.
    void Fill(int32_t first);
    // The file at `index` once its load ends; false when it was not read ahead.
    bool Take(int32_t index, Prepared& prepared);

   private:
    struct Load {
      int32_t index;
      Prepared prepared;
      std::thread thread;
    };
    CImagesFromDiskThread& worker;
    std::vector<std::unique_ptr<Load>> loads;  // in file order
  };

  bool Stopped() const;
  void Load(const File& file, Prepared& prepared, bool withProgress);
  void MakePreview(Prepared& prepared) const;
  void MakeStored(const File& file, Prepared& prepared);
  // Posts a question or an image and waits; false when the stop event ended the wait.
  bool PostAndWait(UINT message, WPARAM wParam, const void* data);
  bool Post(UINT message, WPARAM wParam, const void* data);
  bool WaitForAnswer();
  // Runs the list; true when it reached the end.
  bool RunFiles(int32_t& handedOver);

  Link link;
  bool indexed;
  bool reference;
  bool keepPath;
  std::vector<File> files;
  StoredMaker makeStored;
  XBitmapEventsSink progressSink{*this};
};
