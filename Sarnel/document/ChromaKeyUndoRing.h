// The chroma-key changes of the open job, for Undo and Redo. Keying is done by trial, so every change
// an operation makes is kept: a ring of 16 steps, each holding all the changes of one operation (which
// may touch many images). The step at the cursor is always the open one that collects new changes, so
// at most 15 closed steps can be undone; the oldest is dropped when a sixteenth is closed.
#pragma once

#include "ChromaKey.h"

#include "classlib/ClassLib.h"

#include <array>
#include <vector>

struct ChromaKeyUndoEntry {
  CString id;
  ChromaKey oldValue;
  ChromaKey newValue;
};

using ChromaKeyUndoStep = std::vector<ChromaKeyUndoEntry>;

class ChromaKeyUndoRing {
 public:
  static constexpr int StepCount = 16;

  // Sixteen empty steps, nothing to undo or redo.
  void Reset();
  // A change made after an Undo discards what could have been redone.
  void Record(const CString& id, const ChromaKey& oldValue, const ChromaKey& newValue);
  // Closes the open step; nothing when no change was recorded in it since the last close or Undo.
  void CloseStep();
  bool CanUndo() const { return cursor != oldest; }
  bool CanRedo() const { return cursor != newest; }
  // The changes of the last closed step, which becomes the open one again; empty when there is none.
  ChromaKeyUndoStep StepBack();
  // The changes of the step that was last undone, which counts as closed again; empty when there is none.
  ChromaKeyUndoStep StepForward();

 private:
  static int Next(int index) { return (index + 1) % StepCount; }
  static int Previous(int index) { return (index + StepCount - 1) % StepCount; }

  std::array<ChromaKeyUndoStep, StepCount> steps;
  int oldest = 0;  // the oldest step that can still be undone to
  int newest = 0;  // the end of redo
  int cursor = 0;  // the open step
};
