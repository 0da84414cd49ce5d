// The job's notes (the stream "@Notes") and the Notes and Properties commands.
#include "TheDocument.h"

#include "ArchiveException.h"
#include "ArchivePrimitives.h"
#include "ArchiveStream.h"
#include "DocumentEvents.h"
#include "ShellServices.h"
#include "StoragePointers.h"

void CTheDocument::SetNotes(const CString& text) {
  notes = text;
  notesChanged = true;
  dirty = true;
}

void CTheDocument::LoadNotes() {
  notes.Empty();
  notesChanged = false;
  if (!StorageHasStream(storage, "@Notes")) return;
  IStreamPtr stream(OpenChildStream(storage, "@Notes", false), false);
  zvk::ArchiveStream archive(stream);
  uint16_t schema = 0;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != 1) throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, "DocumentNotes", 35);
  CString text;
  zvk::ReadArchiveCString(archive, text);
  notes = text;
}

// Only changed notes are written. The mark stays until the whole save has succeeded (see
// CommitSavedSections), so a save that fails later still writes them the next time.
void CTheDocument::SaveNotes() {
  if (!notesChanged) return;
  IStreamPtr stream(OpenChildStream(storage, "@Notes", true), false);
  zvk::ArchiveStream archive(stream);
  archive.Seek(0, 0);
  zvk::WriteArchiveWord(archive, 0x0100);
  zvk::WriteArchiveCString(archive, notes);
}

void CTheDocument::ClearNotes() {
  notes.Empty();
  notesChanged = false;
}

void CTheDocument::OnNotes() {
  RunInHandlerFrame([&] {
    ShellServices* shell = GetShellServices();
    if (!open || shell == nullptr) return;
    CString text = notes;
    if (shell->EditNotes(AfxGetMainWnd(), text, true)) SetNotes(text);
  });
}

void CTheDocument::OnProperties() {
  RunInHandlerFrame([&] {
    ShellServices* shell = GetShellServices();
    if (!open || shell == nullptr) return;
    JobPropertiesValues values;
    values.indexed = indexed;
    values.primaryFirst = primaryImageFirst;
    values.storedSizeKilobytes = storedBitmapSizeLimit / 1024;
    values.draftSizeKilobytes = draftSize / 1024;
    values.text = attributeTexts[0];
    if (!shell->EditProperties(AfxGetMainWnd(), values)) return;

    // Numbers given by an index are made consecutive before the job stops being indexed.
    if (indexed && !values.indexed) RenumberImages(0);
    indexed = values.indexed;
    storedBitmapSizeLimit = values.storedSizeKilobytes * 1024;
    draftSize = values.draftSizeKilobytes * 1024;
    if (values.primaryFirst != primaryImageFirst) {
      primaryImageFirst = values.primaryFirst;
      PrimaryImageIsFirstChangeEvent event;
      FireEvent(event);
    }
    PropertiesChangeEvent changed;
    FireEvent(changed);
    dirty = true;
  });
}
