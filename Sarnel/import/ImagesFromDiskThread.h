// The disk-import worker: loads the listed files one after the other, makes each one's processed
// preview and hands every image to its dialog, asking the dialog whenever a file cannot be taken.
// It never touches the document or the controls.
#pragma once

#include "ImportedImage.h"
#include "Thread.h"

#include <atomic>
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
  // gives no bitmap.
  static IBitmapPtr LoadImageFile(const CString& path, ImportTagTexts& texts);

 protected:
  int Main() override;

 private:
  bool Stopped() const;
  // Posts a question or an image and waits; false when the stop event ended the wait.
  bool PostAndWait(UINT message, WPARAM wParam, const void* data);
  // Runs the list; true when it reached the end.
  bool RunFiles(int32_t& handedOver);

  Link link;
  bool indexed;
  bool reference;
  bool keepPath;
  std::vector<File> files;
};
