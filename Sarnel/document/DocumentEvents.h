// The events that the document fires on its own event source about the job file and the job's
// settings. Sinks tell them apart by their run-time type, so each is a class of its own.
#pragma once

#include "Event.h"

#include "classlib/ClassLib.h"

// The job file's life: no data.
class FileEvent : public Event {};
class FileNewEvent : public FileEvent {};
class FileOpenEvent : public FileEvent {};
class FileSavingEvent : public FileEvent {};
class FileSavedEvent : public FileEvent {};
class FileSavingAsEvent : public FileEvent {};
class FileSavedAsEvent : public FileEvent {};
class FileClosingEvent : public FileEvent {};
class FileCloseEvent : public FileEvent {};
// The first of nested file operations begins, and the last one ends.
class FileFreezeEvent : public FileEvent {};
class FileUnfreezeEvent : public FileEvent {};

class QueuesEvent : public Event {
 public:
  explicit QueuesEvent(const CString& text) : text(text) {}
  CString text;
};
// The job's queue selection (always empty in this program).
class QueuesSelectedEvent : public QueuesEvent {
 public:
  explicit QueuesSelectedEvent(const CString& text) : QueuesEvent(text) {}
};

// The job's template folder (the second attribute text) differs from the previous job's.
class TemplateFolderEvent : public Event {
 public:
  explicit TemplateFolderEvent(const CString& folder) : folder(folder) {}
  CString folder;
};

class AspectRatiosChangeEvent : public Event {};
class PropertiesChangeEvent : public Event {};
class PrimaryImageIsFirstChangeEvent : public Event {};
