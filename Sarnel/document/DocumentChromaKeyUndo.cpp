// Undo and Redo of chroma-key changes. Values are re-applied through SetImageChromaKey, so the cache and
// the views follow as they do for any change; while they are, nothing is recorded.
#include "TheDocument.h"

namespace {

// Set for the re-application of one step, cleared on every way out.
class UndoingScope {
 public:
  explicit UndoingScope(bool& flag) : flag(flag) { flag = true; }
  ~UndoingScope() { flag = false; }
  UndoingScope(const UndoingScope&) = delete;
  UndoingScope& operator=(const UndoingScope&) = delete;

 private:
  bool& flag;
};

}  // namespace

void CTheDocument::RecordChromaKeyChange(const char* id, const ChromaKey& oldValue,
                                         const ChromaKey& newValue) {
  chromaKeyUndo.Record(CString(id != nullptr ? id : ""), oldValue, newValue);
}

void CTheDocument::Undo() {
  const ChromaKeyUndoStep step = chromaKeyUndo.StepBack();
  UndoingScope scope(undoing);
  // Images removed since the change have nothing to restore; the others are restored all the same.
  for (auto entry = step.rbegin(); entry != step.rend(); ++entry)
    if (images.Contains(entry->id)) SetImageChromaKey(entry->id, entry->oldValue);
}

void CTheDocument::Redo() {
  const ChromaKeyUndoStep step = chromaKeyUndo.StepForward();
  UndoingScope scope(undoing);
  for (const ChromaKeyUndoEntry& entry : step)
    if (images.Contains(entry.id)) SetImageChromaKey(entry.id, entry.newValue);
}
