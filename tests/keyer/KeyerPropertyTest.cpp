// What callers rely on from IChromaKeyer, checked on generated composites through the saved state
// and the engine's own apply: one table of properties.
#include <gtest/gtest.h>

#include <functional>

#include "KeyerTestSupport.h"

using namespace keyertest;

namespace {

struct Shares {
  double transparent = 0, opaque = 0;        // of all pixels
  double screenAlpha = 0, subjectAlpha = 0;  // mean alpha 0..1 over true screen and subject
  double mixedAlpha = 0;                     // and over the half-covering hair
};

Shares Measure(const Scene& scene, const Keyed& k) {
  Shares s;
  double screenSum = 0, subjectSum = 0, mixedSum = 0;
  int screens = 0, subjects = 0, mixed = 0;
  for (size_t i = 0; i < k.alpha.size(); ++i) {
    s.transparent += k.alpha[i] == 0;
    s.opaque += k.alpha[i] == 255;
    if (scene.truth[i] == kScreen) screenSum += k.alpha[i] / 255.0, ++screens;
    if (scene.truth[i] == kSubject) subjectSum += k.alpha[i] / 255.0, ++subjects;
    if (scene.truth[i] == kMixed) mixedSum += k.alpha[i] / 255.0, ++mixed;
  }
  s.transparent /= k.alpha.size();
  s.opaque /= k.alpha.size();
  s.screenAlpha = screenSum / screens;
  s.subjectAlpha = subjectSum / subjects;
  s.mixedAlpha = mixed ? mixedSum / mixed : 0;
  return s;
}

int Red(uint32_t c) { return c & 0xFF; }
int Green(uint32_t c) { return (c >> 8) & 0xFF; }
int Blue(uint32_t c) { return (c >> 16) & 0xFF; }

// A keyer set up on the green scene with a screen patch and the darkest screen corner.
IChromaKeyer* KeyedOnGreen(const Scene& scene) {
  IChromaKeyer* k = NewKeyer();
  VARIANT patch = SceneBlock(scene, 4, 4, 12, 12);
  EXPECT_EQ(k->SelectBackgroundColor(patch), S_OK);
  VariantClear(&patch);
  VARIANT corner = SceneBlock(scene, scene.width - 10, scene.height - 10, 10, 10);
  EXPECT_EQ(k->CleanBackground(corner), S_OK);
  VariantClear(&corner);
  return k;
}

uint8_t AlphaOf(IChromaKeyer* k, uint32_t colour, uint32_t* out = nullptr) {
  uint32_t keyed = 0;
  uint8_t alpha = 0;
  KeyColour(k, colour, keyed, alpha);
  if (out) *out = keyed;
  return alpha;
}

// A hair-like colour half over the screen, and a greenish opaque colour in the spill zone.
constexpr uint32_t kHalfHair = 0x3A7A3A;  // R 3A, G 7A, B 3A
constexpr uint32_t kSpilled = 0x70C0A0;   // R A0, G C0, B 70

struct Property {
  const char* name;
  std::function<void()> check;
};

}  // namespace

TEST(KeyerProperties, Table) {
  const Scene green = MakeComposite(false);
  const Scene blue = MakeComposite(true);

  const Property properties[] = {
      {"an empty path keys nothing",
       [&] {
         IChromaKeyer* k = NewKeyer();
         ASSERT_EQ(Load(k, ""), S_OK);
         Keyed out = KeyScene(k, green);
         for (uint8_t a : out.alpha) ASSERT_EQ(a, 255);
         EXPECT_EQ(out.bgr, green.bgr);
         k->Release();
       }},
      // The inner surface holds the screen's own scatter over its uneven light, not the darker colours of
      // strands over it.
      {"AutoCompute keys a green and a blue composite without samples, half-covering hair partly",
       [&] {
         for (const Scene* scene : {&green, &blue}) {
           IChromaKeyer* k = NewKeyer();
           IUnknown* source = NewPixelSource(*scene);
           ASSERT_EQ(k->AutoCompute(source, 0, 0), S_OK);
           source->Release();
           Shares s = Measure(*scene, KeyScene(k, *scene));
           EXPECT_LT(s.screenAlpha, 0.03);
           EXPECT_GT(s.subjectAlpha, 0.97);
           EXPECT_GT(s.mixedAlpha, 0.35);
           EXPECT_LT(s.mixedAlpha, 0.85);
           k->Release();
         }
       }},
      {"a higher background factor never shrinks the transparent share, a higher foreground factor the opaque one",
       [&] {
         const float factors[] = {-0.5f, -0.25f, 0.0f, 0.25f, 0.5f};
         double lastTransparent = -1, lastOpaque = -1;
         for (float f : factors) {
           IChromaKeyer* k = NewKeyer();
           IUnknown* source = NewPixelSource(green);
           ASSERT_EQ(k->AutoCompute(source, f, 0), S_OK);
           Shares s = Measure(green, KeyScene(k, green));
           EXPECT_GE(s.transparent, lastTransparent) << "background factor " << f;
           lastTransparent = s.transparent;
           ASSERT_EQ(k->AutoCompute(source, 0, f), S_OK);
           s = Measure(green, KeyScene(k, green));
           EXPECT_GE(s.opaque, lastOpaque) << "foreground factor " << f;
           lastOpaque = s.opaque;
           source->Release();
           k->Release();
         }
       }},
      {"after SelectBackgroundColor and CleanBackground sampled colours key to 0, distant ones keep theirs",
       [&] {
         IChromaKeyer* k = KeyedOnGreen(green);
         Keyed out = KeyScene(k, green);
         for (int y = 4; y < 16; ++y)
           for (int x = 4; x < 16; ++x) ASSERT_EQ(out.alpha[y * green.width + x], 0) << x << "," << y;
         for (int y = green.height - 10; y < green.height; ++y)
           for (int x = green.width - 10; x < green.width; ++x) ASSERT_EQ(out.alpha[y * green.width + x], 0);
         for (uint32_t distant : {green.skin, green.shirt, 0x2020C0u, 0xFFFFFFu, 0x000000u}) {
           uint32_t keyed = 0;
           EXPECT_EQ(AlphaOf(k, distant, &keyed), 255) << std::hex << distant;
           EXPECT_NEAR(Red(keyed), Red(distant), 1);
           EXPECT_NEAR(Green(keyed), Green(distant), 1);
           EXPECT_NEAR(Blue(keyed), Blue(distant), 1);
         }
         k->Release();
       }},
      {"a secondary colour containing the screen's primary (yellow-green before green) stays nearly opaque",
       [&] {
         // Red risen far above the screen's while blue fell below it: no mix of the screen with a
         // subject gives that short of a mostly opaque subject of that colour.
         IChromaKeyer* k = KeyedOnGreen(green);
         constexpr uint32_t kYellowGreen = 0x38CDAD;  // R AD, G CD, B 38
         // Without that rule it keyed to 0: the screen's channel still dominates it.
         EXPECT_GE(AlphaOf(k, kYellowGreen), 230);
         k->Release();
       }},
      {"CleanForeground and MatteSponge give alpha 1; the sponge still removes spill",
       [&] {
         IChromaKeyer* k = KeyedOnGreen(green);
         ASSERT_LT(AlphaOf(k, kHalfHair), 255);
         VARIANT v = OneColour(kHalfHair);
         ASSERT_EQ(k->CleanForeground(v), S_OK);
         EXPECT_EQ(AlphaOf(k, kHalfHair), 255);
         k->Release();

         k = KeyedOnGreen(green);
         uint32_t keyed = 0;
         ASSERT_EQ(k->MatteSponge(v), S_OK);
         EXPECT_EQ(AlphaOf(k, kHalfHair, &keyed), 255);
         EXPECT_LT(Green(keyed), Green(kHalfHair) - 10) << "spill left in " << std::hex << keyed;
         k->Release();
       }},
      {"SpillSponge leaves the sample's colour as it is",
       [&] {
         IChromaKeyer* k = KeyedOnGreen(green);
         for (uint32_t c : {kHalfHair, kSpilled}) {
           VARIANT v = OneColour(c);
           ASSERT_EQ(k->SpillSponge(v), S_OK);
           uint32_t keyed = 0;
           EXPECT_EQ(AlphaOf(k, c, &keyed), 255);
           EXPECT_EQ(keyed, c);
         }
         k->Release();
       }},
      {"MakeForegroundTransparent gives 0 < alpha < 1",
       [&] {
         IChromaKeyer* k = KeyedOnGreen(green);
         for (uint32_t c : {green.skin, green.shirt, kSpilled}) {
           VARIANT v = OneColour(c);
           ASSERT_EQ(k->MakeForegroundTransparent(v), S_OK);
           uint8_t a = AlphaOf(k, c);
           EXPECT_GT(a, 0) << std::hex << c;
           EXPECT_LT(a, 255) << std::hex << c;
         }
         k->Release();
       }},
      {"RestoreDetail raises alpha",
       [&] {
         IChromaKeyer* k = KeyedOnGreen(green);
         VARIANT v = OneColour(kHalfHair);
         uint8_t before = AlphaOf(k, kHalfHair);
         ASSERT_EQ(k->RestoreDetail(v), S_OK);
         EXPECT_GT(AlphaOf(k, kHalfHair), before);
         k->Release();
       }},
      {"AdjustMatte and AdjustDetail move alpha one bounded step per call, monotonic over 50 calls",
       [&] {
         using Adjust = HRESULT (STDMETHODCALLTYPE IChromaKeyer::*)(VARIANT, LONG);
         for (Adjust adjust : {&IChromaKeyer::AdjustMatte, &IChromaKeyer::AdjustDetail}) {
           for (LONG flag : {1, 0}) {
             IChromaKeyer* k = KeyedOnGreen(green);
             VARIANT v = OneColour(kHalfHair);
             int first = AlphaOf(k, kHalfHair), last = first;
             for (int call = 0; call < 50; ++call) {
               ASSERT_EQ((k->*adjust)(v, flag), S_OK);
               int a = AlphaOf(k, kHalfHair);
               if (flag == 1) {
                 EXPECT_GE(a, last);
               } else {
                 EXPECT_LE(a, last);
               }
               if (call == 0) {
                 EXPECT_LE(std::abs(a - first), 40) << "one step is small";
               }
               last = a;
             }
             if (flag == 1) {
               EXPECT_GT(last, first);
             } else {
               EXPECT_LT(last, first);
             }
             k->Release();
           }
         }
       }},
      {"AdjustSpill moves the spill removed one step per call, monotonic over 50 calls",
       [&] {
         for (LONG flag : {1, 0}) {
           IChromaKeyer* k = KeyedOnGreen(green);
           VARIANT v = OneColour(kSpilled);
           ASSERT_EQ(k->CleanForeground(v), S_OK);
           uint32_t keyed = 0;
           ASSERT_EQ(AlphaOf(k, kSpilled, &keyed), 255);
           // Start from less removal than the most, so that more has room to show.
           for (int call = 0; flag == 1 && call < 30; ++call) ASSERT_EQ(k->AdjustSpill(v, 0), S_OK);
           AlphaOf(k, kSpilled, &keyed);
           int first = Green(keyed), last = first;
           for (int call = 0; call < 50; ++call) {
             ASSERT_EQ(k->AdjustSpill(v, flag), S_OK);
             AlphaOf(k, kSpilled, &keyed);
             int g = Green(keyed);
             if (flag == 1) {
               EXPECT_LE(g, last);
             } else {
               EXPECT_GE(g, last);
             }
             last = g;
           }
           if (flag == 1) {
             EXPECT_LT(last, first);
           } else {
             EXPECT_GT(last, first);
           }
           k->Release();
         }
       }},
      {"FineTune with zero deltas keeps the state and answers what a 1x1 bitmap keys to",
       [&] {
         IChromaKeyer* k = KeyedOnGreen(green);
         std::string before = Save(k);
         for (uint32_t c : {kHalfHair, kSpilled, green.skin, green.screen}) {
           COLORREF colour = 0;
           float opacity = -1;
           ASSERT_EQ(k->FineTune(OneColour(c), 0, 0, 0, &colour, &opacity), S_OK);
           uint32_t keyed = 0;
           uint8_t alpha = 0;
           SavedState(k)->KeyColour(c, keyed, alpha);  // the whole table, as a bitmap gets it
           EXPECT_EQ(colour, keyed);
           EXPECT_FLOAT_EQ(opacity, alpha / 255.0f);
         }
         EXPECT_EQ(Save(k), before);
         COLORREF colour = 0;
         float opacity = 0;
         ASSERT_EQ(k->FineTune(OneColour(kHalfHair), 0, 0.5f, 0, &colour, &opacity), S_OK);
         EXPECT_NE(Save(k), before);
         k->Release();
       }},
      {"SetAlgorithm takes 0, 1 and 2",
       [&] {
         IChromaKeyer* k = KeyedOnGreen(green);
         std::vector<std::string> paths;
         for (LONG a : {0, 1, 2}) {
           EXPECT_EQ(k->SetAlgorithm(a), S_OK);
           paths.push_back(Save(k));
         }
         EXPECT_NE(paths[0], paths[1]);
         EXPECT_NE(paths[1], paths[2]);
         k->Release();
       }},
      {"spill replacement: solid colour, -1 the stored colour, complement, defocus",
       [&] {
         IChromaKeyer* k = NewKeyer();
         LONG mode = -1;
         ASSERT_EQ(k->SetSpillReplaceColor(-1), S_OK);
         EXPECT_EQ(SavedState(k)->Model().spillColour, 0x7F7F7Fu);
         ASSERT_EQ(k->GetSpillReplaceMode(&mode), S_OK);
         EXPECT_EQ(mode, 1);
         ASSERT_EQ(k->SetSpillReplaceComplement(), S_OK);
         k->GetSpillReplaceMode(&mode);
         EXPECT_EQ(mode, 0);
         ASSERT_EQ(k->SetSpillReplaceDefocus(), S_OK);
         k->GetSpillReplaceMode(&mode);
         EXPECT_EQ(mode, 2);
         ASSERT_EQ(k->SetSpillReplaceColor(0x123456), S_OK);
         k->GetSpillReplaceMode(&mode);
         EXPECT_EQ(mode, 1);
         ASSERT_EQ(k->SetSpillReplaceColor(-1), S_OK);
         EXPECT_EQ(SavedState(k)->Model().spillColour, 0x123456u);
         k->Release();
       }},
  };
  for (const Property& p : properties) {
    SCOPED_TRACE(p.name);
    p.check();
  }
}
