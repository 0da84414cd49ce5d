// Keyer-mode keys in the bitmap cache: a real keyer state made by the chroma keyer from a generated
// green-screen picture, with protect and garbage areas, against the same library calls made by hand.
#include "ImageBitmapCache.h"

#include "Fixtures.h"
#include "ImageTestSupport.h"
#include "KeyerTestSupport.h"
#include "keyer/KeyerCreation.h"

#include <gtest/gtest.h>

#include <string>

using namespace imagetest;

namespace {

zvkImage::IBitmap* P(const IBitmapPtr& bitmap) { return bitmap.GetInterfacePtr(); }

class ImageBitmapCacheKeyer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new std::string(testsupport::ScratchFolder("cachekeyer"));
    SetKeyerStateFolder(folder_->c_str());
    scene_ = new keyertest::Scene(keyertest::MakeComposite(false, 120, 90));
    IChromaKeyer* keyer = keyertest::NewKeyer();
    auto bitmap = Picture();
    EXPECT_EQ(S_OK, keyer->AutoCompute(bitmap.p, 0, 0));
    path_ = new std::string(keyertest::Save(keyer));
    keyer->Release();
  }
  static void TearDownTestSuite() {
    SetKeyerStateFolder(nullptr);
    delete path_;
    delete scene_;
    delete folder_;
  }

  static Ref<zvkImage::IBitmap> Picture() {
    const keyertest::Scene& s = *scene_;
    return MakeBitmap(s.width, s.height, [&s](int x, int y) {
      const uint8_t* p = &s.bgr[(size_t(y) * s.width + x) * 3];
      return RGB(p[2], p[1], p[0]);
    });
  }
  static const std::string& StatePath() { return *path_; }
  static const std::string& Folder() { return *folder_; }

  // A keyer-mode key on the state, with a protect rectangle and ellipse and a garbage band along the top
  // (edges in thousandths of the picture); the record of type 7 is a shape the library does not know.
  static ChromaKey KeyerKey(const std::string& path) {
    ChromaKey key;
    key.on = 1;
    key.mode = ChromaKey::ModeKeyerState;
    key.keyerStatePath = path.c_str();
    key.protectAreas = {{0, 100, 150, 300, 400}, {1, 600, 500, 900, 950}};
    key.garbageAreas = {{0, 0, 0, 1000, 120}, {7, 1, 2, 3, 4}};
    return key;
  }

 private:
  static inline std::string* folder_ = nullptr;
  static inline keyertest::Scene* scene_ = nullptr;
  static inline std::string* path_ = nullptr;
};

// What the cache must do, spelled out in library calls: turn, apply the state, then the area texts with the
// angle rotation / 3600 - 1.
Ref<zvkImage::IBitmap> KeyedByHand(Ref<zvkImage::IBitmap> bitmap, const std::string& path, int rotation,
                                   bool withAreas) {
  if (rotation != 0) EXPECT_EQ(S_OK, bitmap->Rotate(float(rotation) * 0.00027777778f));
  EXPECT_EQ(S_OK, Query<zvkImage::IKeyerState>(bitmap.p)->ApplyState(Bstr(path)));
  if (withAreas) {
    const float angle = rotation == 0 ? 0.0f : float(rotation / 3600.0 - 1.0);
    EXPECT_EQ(S_FALSE,
              Query<zvkImage::IKeyerAreas>(bitmap.p)->ApplyAreas(Bstr(" 0 100 150 300 400 1 600 500 900 950"),
                                                                 Bstr(" 0 0 0 1000 120 7 1 2 3 4"), angle));
  }
  return bitmap;
}

TEST_F(ImageBitmapCacheKeyer, AStateAndItsAreasKeyTheTurnedPicture) {
  for (int rotation : {0, 300, -450}) {
    SCOPED_TRACE(rotation);
    ImageBitmapCache cache(32);
    cache.Put("a", IBitmapPtr(Picture().p), ColorCorrectValues(), KeyerKey(StatePath()), rotation);
    IBitmapPtr keyed = cache.GetCorrected("a", false);
    IBitmapPtr unkeyed = cache.GetCorrected("a", true);
    ASSERT_TRUE(keyed && unkeyed);
    EXPECT_NE(P(keyed), P(unkeyed));
    EXPECT_EQ(P(keyed), P(cache.GetDisplayCopy("a", false)));

    auto expected = KeyedByHand(Picture(), StatePath(), rotation, true);
    EXPECT_EQ(Read(expected.p).values, Read(keyed).values);
    const std::vector<int> alpha = ReadAlpha(keyed);
    EXPECT_EQ(ReadAlpha(expected.p), alpha);
    // The areas took part: without them the matte differs, and the unkeyed kind has none.
    EXPECT_NE(ReadAlpha(KeyedByHand(Picture(), StatePath(), rotation, false).p), alpha);
    EXPECT_EQ(std::vector<int>(alpha.size(), 255), ReadAlpha(unkeyed));
  }
}

// A state that cannot be read (missing, or a file of another kind) keys nothing: the keyed kinds show the
// unkeyed picture, and the cache goes on.
TEST_F(ImageBitmapCacheKeyer, AStateThatCannotBeReadShowsTheUnkeyedPicture) {
  auto bitmap = Picture();
  const std::string foreign = Folder() + "\\picture.bmp";
  ASSERT_EQ(S_OK, bitmap->Save(Bstr(foreign), zvkImage::ftBMP, 24, 0));
  for (const std::string& path : {Folder() + "\\missing.state", foreign}) {
    SCOPED_TRACE(path);
    ImageBitmapCache cache(32);
    ColorCorrectValues values;
    values.blue = 20;
    cache.Put("a", IBitmapPtr(Picture().p), values, KeyerKey(path), 300);
    IBitmapPtr corrected = cache.GetCorrected("a", true);
    ASSERT_TRUE(corrected);
    EXPECT_EQ(P(corrected), P(cache.GetCorrected("a", false)));
    EXPECT_EQ(P(corrected), P(cache.GetDisplayCopy("a", false)));
  }
}

}  // namespace
