// Shared pieces of the document tests: the test program's application and main window, a recorder
// of the document's events, scratch folders, answers for the job-file dialog and hand-built job
// files written from the job file's documented layout.
#pragma once

#include "EventSink.h"
#include "TheDocument.h"

#include "classlib/ClassLib.h"

#include <objbase.h>

#include <map>
#include <string>
#include <typeinfo>
#include <vector>

namespace doctest {

// The application object of the test program, with a real main window (for titles and dialogs).
CWinApp& App();
CWnd& MainWindow();
CString MainWindowTitle();

// Records the run-time type names of the events that a document fires, in order.
class EventRecorder : public EventSink {
 public:
  explicit EventRecorder(CTheDocument& document);
  ~EventRecorder() override;
  int OnEvent(EventSource* source, Event* event) override;
  std::vector<std::string> names;
  std::vector<CString> texts;  // the text of queue and template-folder events, "" for the rest

 private:
  CTheDocument& document;
};

// The event class names, for comparisons with the recorder.
std::string NameOf(const std::type_info& type);
template <class T>
std::string Name() {
  return NameOf(typeid(T));
}

// A fresh folder (with its trailing backslash) removed again when the test ends.
class ScratchFolder {
 public:
  explicit ScratchFolder(const char* tag);
  ~ScratchFolder();
  const std::string& Path() const { return path; }
  std::string File(const char* name) const { return path + name; }
  // The names of the files in the folder.
  std::vector<std::string> Files() const;

 private:
  std::string path;
};

// Answers the job-file dialogs with the given paths in turn; a dialog past the last answer is
// cancelled. Requests() tells what the dialogs showed.
class DialogAnswers {
 public:
  DialogAnswers& Answer(const std::string& path);
  std::vector<CFileDialogScript::Shown> Requests() const { return script.GetShown(); }

 private:
  CFileDialogScript script;
};

// Resets the program-wide job-file options to their defaults (and FilesPath to the folder).
void ResetOptions(const std::string& filesPath);

// ---- Building job files by hand.
std::vector<unsigned char> HeaderBytes(uint16_t schema, const GUID& id, const char* text, uint32_t counter);
std::vector<unsigned char> ArchiveText(const char* text);
// Creates a compound file with the given root streams ("@Images-Individual\\@List" style names
// make a child storage).
struct Element {
  std::string name;
  std::vector<unsigned char> bytes;
};
void WriteCompoundFile(const std::string& path, const std::vector<Element>& elements);
// Adds (or replaces) streams in an existing compound file.
void AddToCompoundFile(const std::string& path, const std::vector<Element>& elements);
// Every stream of a compound file by its "storage\\stream" name, with its bytes.
std::map<std::string, std::vector<unsigned char>> ReadAllStreams(const std::string& path);
// Reads a stream of a compound file ("storage\\stream" names allowed); false when missing.
bool ReadCompoundStream(const std::string& path, const std::string& name, std::vector<unsigned char>& bytes);
std::vector<unsigned char> ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::vector<unsigned char>& bytes);
bool FileExists(const std::string& path);

// The job file named by PELLORIN_OLE_JOB with the suffix appended, for the independent reader's
// check; empty when the variable is not set.
std::string OleCheckPath(const char* suffix);

// The texts the document gives for its failures.
CString Text(UINT id);

}  // namespace doctest
