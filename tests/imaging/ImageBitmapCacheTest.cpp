// The image bitmap cache over real zvkImage bitmaps.
#include "ImageBitmapCache.h"

#include "ImageTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace imagetest;

namespace {

zvkImage::IBitmap* P(const IBitmapPtr& bitmap) { return bitmap.GetInterfacePtr(); }

// Yellow (hue 60), a red of hue 350, green and grey, in vertical bands.
COLORREF Bands(int x, int) {
  static const COLORREF colours[] = {RGB(230, 230, 0), RGB(230, 0, 38), RGB(0, 200, 0), RGB(128, 128, 128)};
  return colours[(x / 2) % 4];
}

IBitmapPtr Picture(int w = 8, int h = 4) {
  auto bitmap = MakeBitmap(w, h, Bands);
  return IBitmapPtr(bitmap.p);
}

ChromaKey HueKey(int colour, int offset) {
  ChromaKey key;
  key.on = 1;
  key.keyColour = colour;
  key.hueOffset = static_cast<int16_t>(offset);
  key.hueRange = 20;
  return key;
}

TEST(ImageBitmapCache, AnUntouchedPictureHandsOutTheStoredObject) {
  ImageBitmapCache cache(32);
  IBitmapPtr original = Picture();
  cache.Put("a", original, ColorCorrectValues(), ChromaKey(), 0);
  EXPECT_EQ(P(original), P(cache.GetOriginal("a")));
  for (bool unkeyed : {true, false}) {
    EXPECT_EQ(P(original), P(cache.GetCorrected("a", unkeyed)));
    EXPECT_EQ(P(original), P(cache.GetDisplayCopy("a", unkeyed)));
  }
  EXPECT_FALSE(cache.GetCorrected("b", true));
  EXPECT_FALSE(cache.GetOriginal("b"));
}

TEST(ImageBitmapCache, AChangeDerivesAnewAndLeavesEarlierBitmapsAlone) {
  ImageBitmapCache cache(32);
  IBitmapPtr original = Picture();
  const Pixels before = Read(original);
  cache.Put("a", original, ColorCorrectValues(), ChromaKey(), 0);
  IBitmapPtr first = cache.GetDisplayCopy("a", false);

  cache.SetRotation("a", 900);
  IBitmapPtr turned = cache.GetDisplayCopy("a", false);
  ASSERT_TRUE(turned);
  EXPECT_NE(P(first), P(turned));
  EXPECT_EQ(4, Read(turned).width);  // a quarter turn
  EXPECT_EQ(P(turned), P(cache.GetCorrected("a", true)));

  ColorCorrectValues brighter;
  brighter.intensity = 20;
  cache.SetColorCorrect("a", brighter);
  IBitmapPtr corrected = cache.GetCorrected("a", true);
  ASSERT_TRUE(corrected);
  EXPECT_NE(P(turned), P(corrected));
  EXPECT_EQ(4, Read(turned).width);

  cache.SetChromaKey("a", HueKey(ChromaKey::KeyColourGreen, 0));
  IBitmapPtr keyed = cache.GetCorrected("a", false);
  ASSERT_TRUE(keyed);
  EXPECT_NE(P(cache.GetCorrected("a", true)), P(keyed));

  EXPECT_EQ(before.values, Read(original).values);
  EXPECT_EQ(before.values, Read(first).values);
  EXPECT_EQ(P(original), P(cache.GetOriginal("a")));
}

TEST(ImageBitmapCache, TheLeastRecentlyUsedLeavesAndAKnownKeyNeverEvicts) {
  ImageBitmapCache cache(32);
  IBitmapPtr picture = Picture(2, 2);
  for (int i = 0; i < 32; ++i)
    cache.Put("k" + std::to_string(i), picture, ColorCorrectValues(), ChromaKey(), 0);
  cache.GetCorrected("k0", true);  // k1 is now the least recently used
  cache.Put("k5", picture, ColorCorrectValues(), ChromaKey(), 0);
  EXPECT_EQ(32u, cache.GetCount());
  cache.Put("new", picture, ColorCorrectValues(), ChromaKey(), 0);
  EXPECT_EQ(32u, cache.GetCount());
  EXPECT_TRUE(cache.Contains("k0"));
  EXPECT_FALSE(cache.Contains("k1"));
  EXPECT_TRUE(cache.Contains("new"));
  cache.Remove("new");
  EXPECT_FALSE(cache.Contains("new"));
  cache.Clear();
  EXPECT_EQ(0u, cache.GetCount());
}

TEST(ImageBitmapCache, KeyingWithoutAKeyColourMakesNoKeyedBitmap) {
  ImageBitmapCache cache(32);
  ChromaKey noColour = HueKey(ChromaKey::KeyColourNone, 0);
  ColorCorrectValues values;
  values.red = 10;
  cache.Put("a", Picture(), values, noColour, 0);
  IBitmapPtr corrected = cache.GetCorrected("a", true);
  ASSERT_TRUE(corrected);
  EXPECT_EQ(P(corrected), P(cache.GetCorrected("a", false)));
  EXPECT_EQ(P(corrected), P(cache.GetDisplayCopy("a", false)));
}

TEST(ImageBitmapCache, HueKeysWrapRoundTheColourCircle) {
  struct Case {
    int offset;
    int keyedBand;  // the band whose pixels become transparent
  };
  const Case cases[] = {{300, 0}, {-130, 1}, {0, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offset);
    ImageBitmapCache cache(32);
    cache.Put("a", Picture(), ColorCorrectValues(), HueKey(ChromaKey::KeyColourGreen, c.offset), 0);
    IBitmapPtr keyed = cache.GetCorrected("a", false);
    ASSERT_TRUE(keyed);
    const std::vector<int> alpha = ReadAlpha(keyed);
    for (int x = 0; x < 8; ++x) {
      if (x / 2 == c.keyedBand)
        EXPECT_LT(alpha[x], 64) << x;
      else
        EXPECT_GT(alpha[x], 192) << x;
    }
  }
}

// Keying sees turned, uncorrected pixels; the keyed bitmap then gets the same tables as the unkeyed one.
TEST(ImageBitmapCache, KeyingSeesUncorrectedPixelsAndBothKindsGetTheSameTables) {
  ImageBitmapCache cache(32);
  ColorCorrectValues values;
  values.red = 40;  // would move the yellow's hue away from the key if it came first
  values.contrast = 10;
  cache.Put("a", Picture(), values, HueKey(ChromaKey::KeyColourGreen, 300), 1800);
  IBitmapPtr corrected = cache.GetCorrected("a", true);
  IBitmapPtr keyed = cache.GetCorrected("a", false);
  ASSERT_TRUE(corrected && keyed);

  auto reference = MakeBitmap(8, 4, Bands);
  ASSERT_EQ(S_OK, reference->Rotate(0.5f));
  const float toTurns = 0.0027777778f;
  const float params[5] = {60 * toTurns, 20 * toTurns, 3 * toTurns, 0.05f, 0.2f};
  ASSERT_EQ(S_OK, reference->HueKey(params));
  EXPECT_EQ(ReadAlpha(reference.p), ReadAlpha(keyed));

  const Pixels a = Read(corrected), b = Read(keyed);
  const std::vector<int> alpha = ReadAlpha(keyed);
  for (size_t i = 0; i < a.values.size(); ++i)
    if (alpha[i] == 255) EXPECT_EQ(a.values[i], b.values[i]) << i;
}

TEST(ImageBitmapCache, AFailedDerivationDerivesAgainAndTheOriginalStaysAvailable) {
  ImageBitmapCache cache(32);
  IBitmapPtr original = Picture();
  cache.Put("a", original, ColorCorrectValues(), ChromaKey(), 450);
  zvkImage::SetCreationFailure(E_NOINTERFACE);
  EXPECT_FALSE(cache.GetCorrected("a", true));
  EXPECT_FALSE(cache.GetDisplayCopy("a", false));
  EXPECT_EQ(P(original), P(cache.GetOriginal("a")));
  zvkImage::SetCreationFailure(S_OK);
  EXPECT_TRUE(cache.GetCorrected("a", true));
}

// A keyer state that cannot be read keys nothing: the keyed kinds show the unkeyed picture.
TEST(ImageBitmapCache, AnUnreadableKeyerStateShowsTheUnkeyedPicture) {
  ImageBitmapCache cache(32);
  ChromaKey key;
  key.on = 1;
  key.mode = ChromaKey::ModeKeyerState;
  key.keyerStatePath = "C:\\no\\such\\state.kst";
  key.protectAreas.push_back({0, 0, 0, 500, 500});
  cache.Put("a", Picture(), ColorCorrectValues(), key, 0);
  IBitmapPtr corrected = cache.GetCorrected("a", true);
  ASSERT_TRUE(corrected);
  EXPECT_EQ(P(corrected), P(cache.GetCorrected("a", false)));
  EXPECT_EQ(P(corrected), P(cache.GetDisplayCopy("a", false)));
}

}  // namespace
