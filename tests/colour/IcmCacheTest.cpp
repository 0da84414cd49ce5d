// The profile cache: shared entries and conversions, deferred purges, held temporary files, and the sampled
// tables checked against the system's conversion.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ColourTestSupport.h"
#include "IcmCache.h"

using namespace zvk;
using colourtest::DebianProfile;

namespace {

class FixtureSpace : public IcmCache::ADocumentSpace {
 public:
  FixtureSpace(int spaceId, int kind, std::vector<uint8_t> profile = {})
      : spaceId_(spaceId), kind_(kind), profile_(std::move(profile)) {}
  HRESULT StreamProfile(ColorProfileStreamOut& sink) override {
    ++streams;
    for (size_t at = 0; at < profile_.size(); at += 700)
      if (!sink.Write(profile_.data() + at, std::min<size_t>(700, profile_.size() - at))) return E_FAIL;
    return S_OK;
  }
  int DocumentNumber() override { return 0; }
  int SpaceId() override { return spaceId_; }
  int ProfileKind() override { return ++kindAsked, kind_; }
  int streams = 0, kindAsked = 0;

 private:
  int spaceId_, kind_;
  std::vector<uint8_t> profile_;
};

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A target other than sRGB, so that named space 1 converts too.
const std::string& AdobeTarget() {
  static const std::string path = DebianProfile("compatibleWithAdobeRGB1998.icc");
  return path;
}

}  // namespace

TEST(IcmCache, DocumentSpacesOfOneNamedIdShareOneEntryAndConversion) {
  IcmCache cache;
  FixtureSpace first(-2, 2), second(-1, 2);
  const IcmConversion *a = nullptr, *b = nullptr, *c = nullptr;
  const std::string srgb = IcmCache::SrgbTargetPath();
  EXPECT_EQ(cache.GetDocumentConversion(first, 0, srgb, &a), S_OK);
  EXPECT_EQ(cache.GetDocumentConversion(second, 0, srgb, &b), S_OK);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_EQ(cache.EntryCount(), 1u);
  EXPECT_EQ(cache.ConversionCount(), 1u);
  EXPECT_EQ(first.kindAsked, 1);
  EXPECT_EQ(cache.GetDocumentConversion(first, 0, srgb, &a), S_OK);
  EXPECT_EQ(first.kindAsked, 1);

  // The default source and a document in sRGB share named space 1; the document's release leaves the source.
  FixtureSpace srgbDoc(-3, 1);
  EXPECT_EQ(cache.GetSourceConversion(1, AdobeTarget(), &a), S_OK);
  EXPECT_EQ(cache.GetDocumentConversion(srgbDoc, 1, AdobeTarget(), &b), S_OK);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  cache.ReleaseDocumentSpace(0);
  EXPECT_EQ(cache.EntryCount(), 1u);
  EXPECT_EQ(cache.GetSourceConversion(1, AdobeTarget(), &c), S_OK);
  EXPECT_EQ(c, a);

  // sRGB onto the sRGB profile converts nothing and makes no transform.
  EXPECT_EQ(cache.GetSourceConversion(0, srgb, &c), S_OK);
  EXPECT_EQ(c, nullptr);
  EXPECT_EQ(cache.ConversionCount(), 1u);
  EXPECT_EQ(cache.GetSourceConversion(4, srgb, &c), E_INVALIDARG);
}

TEST(IcmCache, NoneAndUnknownKinds) {
  IcmCache cache;
  FixtureSpace none(-2, -1), odd(-1, 12);
  const IcmConversion* c = reinterpret_cast<const IcmConversion*>(1);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(cache.GetDocumentConversion(none, 0, IcmCache::SrgbTargetPath(), &c), S_FALSE);
    EXPECT_EQ(c, nullptr);
  }
  EXPECT_EQ(cache.GetDocumentConversion(odd, 0, IcmCache::SrgbTargetPath(), &c), IcmCache::kUnknownKind);
  EXPECT_EQ(cache.EntryCount(), 0u);
}

TEST(IcmCache, InvalidationWaitsForTheLastUser) {
  IcmCache cache;
  FixtureSpace doc(-2, 2);
  const IcmConversion* c = nullptr;
  cache.AddRef();
  ASSERT_EQ(cache.GetDocumentConversion(doc, 0, IcmCache::SrgbTargetPath(), &c), S_OK);
  cache.InvalidateColorSpaces();
  cache.ReleaseDocumentSpace(0);
  EXPECT_FALSE(cache.Purge());
  EXPECT_EQ(cache.ConversionCount(), 1u);  // still drawing with it
  EXPECT_EQ(cache.EntryCount(), 1u);
  cache.Release();
  EXPECT_EQ(cache.ConversionCount(), 0u);
  EXPECT_EQ(cache.EntryCount(), 0u);
}

TEST(IcmCache, EmbeddedProfileIsHeldInATemporaryFileUntilReleased) {
  for (bool all : {false, true}) {
    IcmCache cache;
    FixtureSpace doc(-2, -2, colourtest::ReadFileBytes(AdobeTarget()));
    const IcmConversion* c = nullptr;
    ASSERT_EQ(cache.GetDocumentConversion(doc, 0, IcmCache::SrgbTargetPath(), &c), S_OK);
    ASSERT_NE(c, nullptr);
    const std::vector<std::string> files = cache.TemporaryFiles();
    ASSERT_EQ(files.size(), 1u);
    const std::string name = files[0].substr(files[0].find_last_of('\\') + 1);
    EXPECT_EQ(name.substr(0, 3), "ICM");
    EXPECT_FALSE(DeleteFileA(files[0].c_str()));  // held open: nobody deletes or changes it meanwhile
    EXPECT_EQ(colourtest::ReadFileBytes(files[0]), colourtest::ReadFileBytes(AdobeTarget()));
    all ? cache.InvalidateAll() : cache.ReleaseDocumentSpace(0);
    EXPECT_FALSE(FileExists(files[0]));
    EXPECT_EQ(doc.streams, 1);
  }
  // A profile that cannot be streamed leaves no file behind.
  IcmCache cache;
  FixtureSpace empty(-2, -2);
  const IcmConversion* c = nullptr;
  EXPECT_TRUE(FAILED(cache.GetDocumentConversion(empty, 0, IcmCache::SrgbTargetPath(), &c)));
  EXPECT_TRUE(cache.TemporaryFiles().empty());
}

TEST(IcmCache, WorkingAndDisplayProfiles) {
  IcmCache cache;
  std::string first, second;
  ASSERT_EQ(cache.GetWorkingProfile(first), S_OK);
  ASSERT_EQ(cache.GetWorkingProfile(second), S_OK);
  EXPECT_EQ(first, second);
  EXPECT_TRUE(FileExists(first));
  EXPECT_EQ(cache.TemporaryFiles().size(), 1u);
  EXPECT_TRUE(ColourProfile::FromFile(first));
  cache.InvalidateAll();
  EXPECT_FALSE(FileExists(first));

  std::string display;
  ASSERT_EQ(cache.GetDisplayProfile(display), S_OK);
  EXPECT_TRUE(FileExists(display)) << display;
}

TEST(ColourTable, MatchesTheSystemConversionWithinOneLevel) {
  const ColourProfile source = ColourProfile::FromFile(AdobeTarget());
  const ColourProfile target = ColourProfile::FromFile(IcmCache::SrgbTargetPath());
  for (int intent : {0, 1}) {
    const ColourTransform transform = ColourTransform::Create(source, target, intent);
    const ColourTable table(transform);
    // A sweep of the cube in steps of 5 levels, plus the reference colours.
    std::vector<uint8_t> pixels;
    for (int r = 0; r < 256; r += 5)
      for (int g = 0; g < 256; g += 5)
        for (int b = 0; b < 256; b += 5) pixels.insert(pixels.end(), {uint8_t(b), uint8_t(g), uint8_t(r)});
    pixels.insert(pixels.end(), {50, 100, 200, 64, 200, 120, 255, 255, 255, 1, 254, 3});
    const int width = static_cast<int>(pixels.size() / 3);
    std::vector<uint8_t> bySystem = pixels, byTable = pixels;
    transform.TranslateBgrRows(bySystem.data(), width, 1, static_cast<int>(pixels.size()));
    table.ApplyBgrRows(byTable.data(), width, 1, static_cast<int>(pixels.size()));
    int worst = 0;
    for (size_t i = 0; i < pixels.size(); ++i) worst = std::max(worst, std::abs(bySystem[i] - byTable[i]));
    EXPECT_LE(worst, 1) << "intent " << intent;
    const size_t last = pixels.size() - 12;
    EXPECT_NEAR(byTable[last + 2], 227, 1);
    EXPECT_NEAR(byTable[last + 1], 100, 1);
    EXPECT_NEAR(byTable[last + 0], 42, 1);
  }
}
