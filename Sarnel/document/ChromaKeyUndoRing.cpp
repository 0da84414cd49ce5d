#include "ChromaKeyUndoRing.h"

void ChromaKeyUndoRing::Reset() {
  for (ChromaKeyUndoStep& step : steps) step.clear();
  oldest = newest = cursor = 0;
}

void ChromaKeyUndoRing::Record(const CString& id, const ChromaKey& oldValue, const ChromaKey& newValue) {
  if (cursor != newest) {
    newest = cursor;
    steps[cursor].clear();
  }
  steps[cursor].push_back({id, oldValue, newValue});
}

void ChromaKeyUndoRing::CloseStep() {
  // After an Undo the open step holds the undone changes, not new ones: closing it would count them as
  // done again, lose the Redo and leave an Undo that changes nothing.
  if (cursor != newest || steps[cursor].empty()) return;
  cursor = Next(cursor);
  if (cursor == oldest) oldest = Next(oldest);
  newest = cursor;
  steps[cursor].clear();
}

ChromaKeyUndoStep ChromaKeyUndoRing::StepBack() {
  if (!CanUndo()) return {};
  cursor = Previous(cursor);
  return steps[cursor];
}

ChromaKeyUndoStep ChromaKeyUndoRing::StepForward() {
  if (!CanRedo()) return {};
  ChromaKeyUndoStep step = steps[cursor];
  cursor = Next(cursor);
  return step;
}
