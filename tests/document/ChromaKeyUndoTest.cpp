// Undo and Redo of chroma-key changes over images of a real job: the steps, what each re-application
// fires and keeps in the bitmap cache, and the ring's life with the job.
#include "BitmapPixels.h"
#include "DocumentTestSupport.h"
#include "ImagesJobFixture.h"

#include "ImageEvents.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace doctest;

namespace {

// Key n: off and default for 0, otherwise a green hue key shifted by n degrees.
ChromaKey Key(int n) {
  ChromaKey key;
  if (n == 0) return key;
  key.on = 1;
  key.keyColour = ChromaKey::KeyColourGreen;
  key.hueOffset = static_cast<int16_t>(n);
  return key;
}

// The ids of the images whose chroma key changed, in the order of the events.
class KeyChanges : public EventSink {
 public:
  explicit KeyChanges(CTheDocument& document) { document.Subscribe(this); }
  int OnEvent(EventSource*, Event* event) override {
    if (auto* changed = dynamic_cast<ImageChromaKeyChangeEvent*>(event)) ids.push_back(changed->id);
    return 0;
  }
  std::vector<CString> ids;
};

class ChromaKeyUndoTest : public ImagesJobFixture {
 protected:
  ChromaKeyUndoTest() : ImagesJobFixture("undo") {}
  CString Import(const char* name) {
    const int before = document.GetImageCount();
    document.ImportImage(0, PaintedBitmap(8, 6, [](long x, long) { return RGB(40 * x, 200, 30); }), name,
                         false, nullptr);
    EXPECT_EQ(before + 1, document.GetImageCount());
    return document.GetImages().GetAt(static_cast<unsigned>(document.GetImageCount() - 1)).id;
  }
  // The key number an image holds: its hue offset, or 0 for the default key.
  int KeyOf(const CString& id) {
    const ChromaKey key = document.GetImageChromaKey(id);
    return key.on ? key.hueOffset : 0;
  }
  // Whether the cache serves the image keyed: a keyed display copy differs from the unkeyed one.
  bool CachedKeyed(const CString& id) {
    IBitmapPtr unkeyed = document.GetImageBitmap(id, 3);
    IBitmapPtr keyed = document.GetImageBitmap(id, 4);
    return unkeyed.GetInterfacePtr() != keyed.GetInterfacePtr();
  }
};

}  // namespace

// The whole life of the ring as one sequence: each row acts and then states the keys of the three images
// (-1 once removed), the images whose change events fired in order, and what can be undone and redone.
TEST_F(ChromaKeyUndoTest, StepsUndoAndRedoAsOneSequence) {
  const CString ids[3] = {Import("a"), Import("b"), Import("c")};
  for (const CString& id : ids) ASSERT_FALSE(CachedKeyed(id));
  enum Action { Set, Close, Undo, Redo, Remove };
  struct Row {
    const char* what;
    Action action;
    int image;  // Set and Remove
    int key;    // Set
    std::vector<int> events;
    std::array<int, 3> keys;
    bool canUndo;
    bool canRedo;
  };
  const Row rows[] = {
      {"a change stays in the open step", Set, 0, 1, {0}, {1, 0, 0}, false, false},
      {"closing makes it undoable", Close, 0, 0, {}, {1, 0, 0}, true, false},
      {"closing without a change makes no empty step", Close, 0, 0, {}, {1, 0, 0}, true, false},
      {"undo restores the old key", Undo, 0, 0, {0}, {0, 0, 0}, false, true},
      {"redo re-applies the new key", Redo, 0, 0, {0}, {1, 0, 0}, true, false},
      {"undo again", Undo, 0, 0, {0}, {0, 0, 0}, false, true},
      {"closing right after an undo keeps the redo", Close, 0, 0, {}, {0, 0, 0}, false, true},
      {"a change after an undo discards the redo", Set, 1, 2, {1}, {0, 2, 0}, false, false},
      {"close", Close, 0, 0, {}, {0, 2, 0}, true, false},
      {"one operation changes three images", Set, 0, 3, {0}, {3, 2, 0}, true, false},
      {"  the second", Set, 1, 4, {1}, {3, 4, 0}, true, false},
      {"  the third", Set, 2, 5, {2}, {3, 4, 5}, true, false},
      {"  and closes its step", Close, 0, 0, {}, {3, 4, 5}, true, false},
      {"one undo restores all three, last first", Undo, 0, 0, {2, 1, 0}, {0, 2, 0}, true, true},
      {"the step before", Undo, 0, 0, {1}, {0, 0, 0}, false, true},
      {"nothing older to undo", Undo, 0, 0, {}, {0, 0, 0}, false, true},
      {"redo the first step", Redo, 0, 0, {1}, {0, 2, 0}, true, true},
      {"redo the three, first first", Redo, 0, 0, {0, 1, 2}, {3, 4, 5}, true, false},
      {"nothing newer to redo", Redo, 0, 0, {}, {3, 4, 5}, true, false},
      {"an image is removed", Remove, 2, 0, {}, {3, 4, -1}, true, false},
      {"undo skips the removed image", Undo, 0, 0, {1, 0}, {0, 2, -1}, true, true},
      {"redo skips it too", Redo, 0, 0, {0, 1}, {3, 4, -1}, true, false},
      {"later changes are still recorded", Set, 0, 6, {0}, {6, 4, -1}, true, false},
      {"close", Close, 0, 0, {}, {6, 4, -1}, true, false},
      {"and undone", Undo, 0, 0, {0}, {3, 4, -1}, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    KeyChanges changes(document);
    switch (row.action) {
      case Set:
        document.SetImageChromaKey(ids[row.image], Key(row.key));
        break;
      case Close:
        document.BeginUndoStep();
        break;
      case Undo:
        document.Undo();
        break;
      case Redo:
        document.Redo();
        break;
      case Remove:
        document.RemoveImage(ids[row.image]);
        break;
    }
    std::vector<CString> expectedEvents;
    for (int image : row.events) expectedEvents.push_back(ids[image]);
    EXPECT_EQ(expectedEvents, changes.ids);
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      if (row.keys[i] < 0) {
        EXPECT_FALSE(document.HasImage(ids[i]));
        continue;
      }
      EXPECT_EQ(row.keys[i], KeyOf(ids[i]));
      EXPECT_EQ(row.keys[i] != 0, CachedKeyed(ids[i]));
    }
    EXPECT_EQ(row.canUndo, document.CanUndo());
    EXPECT_EQ(row.canRedo, document.CanRedo());
  }
}

TEST_F(ChromaKeyUndoTest, SeventeenClosedStepsLeaveFifteenToUndo) {
  const CString id = Import("a");
  for (int n = 1; n <= 17; ++n) {
    document.SetImageChromaKey(id, Key(n));
    document.BeginUndoStep();
  }
  for (int undo = 1; undo <= 15; ++undo) {
    ASSERT_TRUE(document.CanUndo()) << undo;
    document.Undo();
  }
  EXPECT_EQ(2, KeyOf(id));
  EXPECT_FALSE(document.CanUndo());
  KeyChanges changes(document);
  document.Undo();
  EXPECT_EQ(2, KeyOf(id));
  EXPECT_TRUE(changes.ids.empty());
  // All fifteen come back.
  while (document.CanRedo()) document.Redo();
  EXPECT_EQ(17, KeyOf(id));
  EXPECT_EQ(15u, changes.ids.size());
}

TEST_F(ChromaKeyUndoTest, EqualKeysAndADuplicatesCopiedKey) {
  const CString id = Import("a");
  document.SetImageChromaKey(id, Key(7));
  document.BeginUndoStep();
  // An equal key changes nothing and records nothing.
  ChromaKey same = Key(7);
  same.keyerStatePath = "unused by a hue key";
  document.SetImageChromaKey(id, same);
  document.BeginUndoStep();
  document.Undo();
  EXPECT_EQ(0, KeyOf(id));
  EXPECT_FALSE(document.CanUndo());
  document.Redo();

  // The duplicate takes the key through the setter, so the copy is one more change that can be undone.
  const CString copy = document.DuplicateImage(id, false);
  ASSERT_FALSE(copy.IsEmpty());
  EXPECT_EQ(7, KeyOf(copy));
  document.BeginUndoStep();
  KeyChanges changes(document);
  document.Undo();
  EXPECT_EQ(std::vector<CString>{copy}, changes.ids);
  EXPECT_EQ(0, KeyOf(copy));
  EXPECT_EQ(7, KeyOf(id));
}

TEST_F(ChromaKeyUndoTest, ClosingTheJobEmptiesTheRing) {
  const CString id = Import("a");
  document.SetImageChromaKey(id, Key(1));
  document.BeginUndoStep();
  document.SetImageChromaKey(id, Key(2));
  document.BeginUndoStep();
  document.Undo();
  ASSERT_TRUE(document.CanUndo());
  ASSERT_TRUE(document.CanRedo());
  ASSERT_TRUE(document.CloseJob());
  EXPECT_FALSE(document.CanUndo());
  EXPECT_FALSE(document.CanRedo());
  ASSERT_TRUE(document.NewJob());
  KeyChanges changes(document);
  document.Undo();
  document.Redo();
  document.BeginUndoStep();
  EXPECT_FALSE(document.CanUndo());
  EXPECT_TRUE(changes.ids.empty());
}
