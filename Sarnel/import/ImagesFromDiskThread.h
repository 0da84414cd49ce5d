// The disk-import worker: loads the listed files one after the other, makes each one's processed
// preview and hands every image to its dialog, asking the dialog whenever a file cannot be taken.
// While the dialog stores one image, the worker already loads the next one and makes its preview; it
// sends nothing about that file until the dialog has taken the one before, so the dialog sees its
// messages in list order. It never touches the document or the controls.
#pragma once

#include "ImportedImage.h"
#include "Thread.h"

#include <atomic>
#include <exception>
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
  CImagesFromDiskThread(const Link& link, bool indexed, bool reference, bool keepPath,
                        std::vector<File> files);

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
  // preview with the processing it shows.
  struct Prepared {
    bool exists = false;
    IBitmapPtr bitmap;
    ImportTagTexts texts;
    IBitmapPtr preview;
    ImageProcessing processing;
    std::exception_ptr failure;
  };

  bool Stopped() const;
  void Load(const File& file, Prepared& prepared, bool withProgress);
  void MakePreview(Prepared& prepared) const;
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
  XBitmapEventsSink progressSink{*this};
};
