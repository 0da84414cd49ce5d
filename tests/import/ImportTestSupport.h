// Shared pieces of the import tests: the test program's application with a profile of its own for
// every test, a job open in a document, scratch folders and generated image files.
#pragma once

#include "BitmapPixels.h"
#include "EventSink.h"
#include "ImageBitmap.h"
#include "TheDocument.h"

#include "classlib/ClassLib.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>
#include <vector>

namespace importtest {

CWinApp& App();
CWnd& MainWindow();

// A folder (with its trailing backslash) removed with everything in it when the test ends.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  const std::string& Path() const { return path; }
  std::string File(const std::string& name) const { return path + name; }

 private:
  std::string path;
};

// Every test gets an empty profile, fresh import values and an open new job.
class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  ScratchFolder jobFolder;  // the job's own files
  CTheDocument document;
  ScratchFolder folder;
};

// The run-time type names of the document's events, in order.
class EventRecorder : public EventSink {
 public:
  explicit EventRecorder(CTheDocument& document);
  ~EventRecorder() override;
  int OnEvent(EventSource* source, Event* event) override;
  std::vector<std::string> names;
  std::vector<bool> stopFinished;  // the flag of each stop event

 private:
  CTheDocument& document;
};

template <class T>
std::string Name() {
  return typeid(T).name();
}

// A bitmap of one colour with a marker pixel of another at (x, y).
IBitmapPtr MakeMarkedBitmap(long width, long height, COLORREF colour, long x, long y, COLORREF marker);
SIZE SizeOf(zvkImage::IBitmap* bitmap);
// The first place of the colour (within a tolerance per channel), {-1, -1} when none.
POINT FindColour(zvkImage::IBitmap* bitmap, COLORREF colour, int tolerance);
// Writes the bitmap as a file of the library's file type (JPEG 10, TIFF 3, BMP 6).
void SaveBitmap(zvkImage::IBitmap* bitmap, const std::string& path, long fileType);
void WriteTextFile(const std::string& path, const std::string& text);

// Dispatches this thread's messages until done() holds; false on time-out.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000);
void PumpFor(DWORD ms);

}  // namespace importtest
