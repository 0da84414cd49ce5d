// The tag walker, the description decoder and the info handler over crafted and real profiles.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

#include "ColourTestSupport.h"
#include "IccProfileWriter.h"
#include "IccTagWalker.h"

using namespace zvk;
using colourtest::DebianProfile;

namespace {

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (24 - 8 * i));
}

// Our Adobe RGB profile: desc, wtpt, rXYZ, gXYZ, bXYZ, rTRC, gTRC, bTRC, cprt.
std::vector<uint8_t> BaseProfile() { return WriteRgbDisplayProfile(*FindNamedRgbSpace(2)); }
size_t Entry(int i) { return 132 + 12 * i; }
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) { return ReadBigEndian32(b.data() + at); }

struct Walk {
  int code;
  IccProfileInfo info;
};

Walk WalkBytes(const std::vector<uint8_t>& bytes) {
  iccMemoryReader reader(bytes.data(), bytes.size());
  IccInfoHandler handler;
  const int code = WalkIccTags(reader, handler);
  return {code, handler.Info()};
}

// Replaces tag i's bytes with new ones appended at the end of the profile.
void ReplaceTag(std::vector<uint8_t>& b, int i, std::vector<uint8_t> tag) {
  while (b.size() % 4) b.push_back(0);
  Put32(b, Entry(i) + 4, static_cast<uint32_t>(b.size()));
  Put32(b, Entry(i) + 8, static_cast<uint32_t>(tag.size()));
  b.insert(b.end(), tag.begin(), tag.end());
  while (b.size() % 4) b.push_back(0);
  Put32(b, 0, static_cast<uint32_t>(b.size()));
}

std::vector<uint8_t> DescTag(std::vector<uint8_t> ascii, std::vector<uint8_t> unicode,
                             uint32_t unicodeCount) {
  std::vector<uint8_t> t = {'d', 'e', 's', 'c', 0, 0, 0, 0};
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) t.push_back(uint8_t(v >> (24 - 8 * i)));
  };
  u32(static_cast<uint32_t>(ascii.size()));
  t.insert(t.end(), ascii.begin(), ascii.end());
  u32(0);
  u32(unicodeCount);
  t.insert(t.end(), unicode.begin(), unicode.end());
  t.insert(t.end(), 70, 0);
  return t;
}

}  // namespace

TEST(IccTagWalker, CraftedProfilesGiveTheirCodes) {
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> change;
    int code;
  };
  const Case cases[] = {
      {"intact", [](auto&) {}, kIccOk},
      {"no acsp", [](auto& b) { b[36] = 'x'; }, kIccNotProfile},
      {"100 bytes", [](auto& b) { b.resize(100); }, kIccNotProfile},
      {"6000 tags", [](auto& b) { Put32(b, 128, 6000); }, kIccMalformed},
      {"unaligned offset", [](auto& b) { Put32(b, Entry(1) + 4, Get32(b, Entry(1) + 4) + 2); },
       kIccMalformed},
      {"offset past the end", [](auto& b) { Put32(b, Entry(1) + 4, static_cast<uint32_t>(b.size())); },
       kIccMalformed},
      {"size below 8", [](auto& b) { Put32(b, Entry(1) + 8, 4); }, kIccMalformed},
      {"size past the end", [](auto& b) { Put32(b, Entry(8) + 8, Get32(b, Entry(8) + 8) + 8); },
       kIccMalformed},
      {"size wrapping 32 bits", [](auto& b) { Put32(b, Entry(8) + 8, 0xFFFFFFF8u); }, kIccMalformed},
      {"tag beyond the file's bytes",
       [](auto& b) {
         Put32(b, 0, static_cast<uint32_t>(b.size()) + 400);
         Put32(b, Entry(8) + 8, Get32(b, Entry(8) + 8) + 400);
       },
       kIccShortRead},
      {"tag table cut", [](auto& b) { b.resize(140); }, kIccShortRead},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = BaseProfile();
    c.change(bytes);
    EXPECT_EQ(WalkBytes(bytes).code, c.code) << c.what;
  }
}

TEST(IccTagWalker, InfoHandlerReadsTheFourTextsAndTheirPresence) {
  // Our profile has only "desc" and "cprt": both texts, and the walk offers every tag.
  const Walk walk = WalkBytes(BaseProfile());
  EXPECT_EQ(walk.code, kIccOk);
  EXPECT_EQ(walk.info.text[IccProfileInfo::kDescription], "Adobe RGB (1998)");
  EXPECT_EQ(walk.info.text[IccProfileInfo::kNotice], "No copyright, use freely");
  EXPECT_TRUE(walk.info.present[IccProfileInfo::kNotice]);
  EXPECT_FALSE(walk.info.present[IccProfileInfo::kManufacturer]);
  EXPECT_FALSE(walk.info.present[IccProfileInfo::kModel]);

  // A description whose ASCII count overflows the tag leaves that text empty; the walk goes on.
  std::vector<uint8_t> bytes = BaseProfile();
  std::vector<uint8_t> bad = DescTag({'a', 0}, {}, 0);
  Put32(bad, 8, 0xFFFFFFF0u);
  ReplaceTag(bytes, 0, bad);
  const Walk badWalk = WalkBytes(bytes);
  EXPECT_EQ(badWalk.code, kIccOk);
  EXPECT_TRUE(badWalk.info.present[IccProfileInfo::kDescription]);
  EXPECT_EQ(badWalk.info.text[IccProfileInfo::kDescription], "");
  EXPECT_EQ(badWalk.info.text[IccProfileInfo::kNotice], "No copyright, use freely");
}

TEST(IccDescription, DecodesTheTextTypes) {
  struct Case {
    const char* what;
    std::vector<uint8_t> tag;
    int code;
    std::string text;
  };
  std::vector<uint8_t> mluc = {'m', 'l', 'u', 'c', 0, 0, 0, 0, 0, 0, 0, 0};
  std::vector<uint8_t> text = {'t', 'e', 'x', 't', 0, 0, 0, 0, 'H', 'i', 0};
  std::vector<uint8_t> unterminated = DescTag({'a', 'b'}, {}, 0);
  std::vector<uint8_t> unicodeTooLong = DescTag({}, {0, 'A', 0, 0}, 0x7FFFFFFF);
  std::vector<uint8_t> shortDesc(22, 0);
  std::memcpy(shortDesc.data(), "desc", 4);
  const Case cases[] = {
      {"ASCII", DescTag({'s', 'R', 'G', 'B', 0}, {}, 0), kIccOk, "sRGB"},
      {"little-endian Unicode after FF FE", DescTag({}, {0xFF, 0xFE, 'L', 0, 'E', 0, 0, 0}, 4), kIccOk, "LE"},
      {"big-endian Unicode after FE FF", DescTag({}, {0xFE, 0xFF, 0, 'B', 0, 'E', 0, 0}, 4), kIccOk, "BE"},
      {"big-endian Unicode without a mark", DescTag({}, {0, 'O', 0, 'K', 0, 0}, 3), kIccOk, "OK"},
      {"unterminated ASCII", unterminated, kIccMalformed, ""},
      {"Unicode count past the tag", unicodeTooLong, kIccMalformed, ""},
      {"desc of 22 bytes", shortDesc, kIccMalformed, ""},
      {"shorter than 8 bytes", {'t', 'e', 'x', 't'}, kIccMalformed, ""},
      {"text", text, kIccOk, "Hi"},
      {"mluc", mluc, kIccNotText, ""},
  };
  for (const Case& c : cases) {
    std::string decoded = "unchanged";
    EXPECT_EQ(DecodeIccDescription(c.tag.data(), static_cast<uint32_t>(c.tag.size()), decoded), c.code)
        << c.what;
    if (c.code == kIccOk) EXPECT_EQ(decoded, c.text) << c.what;
  }
}

TEST(IccTagWalker, ReadsDebianProfiles) {
  struct Case {
    const char* file;
    int code;
    const char* description;
    bool descriptionPresent;
  };
  // colord's profiles are version 4: their "mluc" description is present but gives no text.
  const Case cases[] = {
      {"sRGB.icc", kIccOk, "sRGB", true},
      {"compatibleWithAdobeRGB1998.icc", kIccOk, "Compatible with Adobe RGB (1998)", true},
      {"colord/AdobeRGB1998.icc", kIccOk, "", true},
      {"ghostscript/default_cmyk.icc", kIccOk, nullptr, true},
  };
  for (const Case& c : cases) {
    iccFileReader reader(DebianProfile(c.file));
    ASSERT_TRUE(reader.IsOpen()) << c.file;
    IccInfoHandler handler;
    const int code = WalkIccTags(reader, handler);
    EXPECT_TRUE(code == kIccOk || code == kIccStopped) << c.file << " " << code;
    EXPECT_EQ(handler.Info().present[IccProfileInfo::kDescription], c.descriptionPresent) << c.file;
    if (c.description) {
      EXPECT_EQ(handler.Info().text[IccProfileInfo::kDescription], c.description) << c.file;
    }
  }
  // Filtered to RGB display profiles, the CMYK profile is rejected and sRGB accepted.
  for (auto [file, code] : {std::pair{"ghostscript/default_cmyk.icc", kIccStopped}, {"sRGB.icc", kIccOk}}) {
    iccFileReader reader(DebianProfile(file));
    IccInfoHandler handler({IccSig("mntr")}, {IccSig("RGB ")});
    const int got = WalkIccTags(reader, handler);
    EXPECT_EQ(handler.Rejected(), code == kIccStopped) << file;
    if (code == kIccStopped) {
      EXPECT_EQ(got, kIccStopped) << file;
    }
  }
}

TEST(IccReaders, FileAndJobReadersReportTheirFailures) {
  iccFileReader missing("Z:\\no\\such\\profile.icc");
  EXPECT_FALSE(missing.IsOpen());
  IccInfoHandler handler;
  EXPECT_EQ(WalkIccTags(missing, handler), kIccReadFailed);

  // A truncated file: the header reads, the tags do not.
  char temp[MAX_PATH], path[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  GetTempFileNameA(temp, "icc", 0, path);
  std::vector<uint8_t> bytes = BaseProfile();
  bytes.resize(200);
  FILE* f = fopen(path, "wb");
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
  {
    iccFileReader cut(path);
    IccInfoHandler h;
    EXPECT_EQ(WalkIccTags(cut, h), kIccShortRead);
    EXPECT_EQ(cut.LastError(), ERROR_HANDLE_EOF);
  }
  DeleteFileA(path);

  // The job's embedded profile: streamed once, in blocks, then read from memory.
  colourtest::FixtureJob job;
  job.state = -2;
  job.profile = colourtest::ReadFileBytes(DebianProfile("sRGB.icc"));
  job.block = 1000;
  iccDocReader doc(job, -2);
  IccInfoHandler docHandler;
  EXPECT_EQ(WalkIccTags(doc, docHandler), kIccStopped);  // all four texts found
  EXPECT_EQ(docHandler.Info().text[IccProfileInfo::kDescription], "sRGB");
  EXPECT_EQ(job.reads, 1);
  EXPECT_EQ(doc.Bytes(), job.profile);

  // No embedded profile, and one above 16 MB: read failures, nothing kept.
  colourtest::FixtureJob none;
  iccDocReader noneReader(none, -2);
  IccInfoHandler h1;
  EXPECT_EQ(WalkIccTags(noneReader, h1), kIccReadFailed);
  colourtest::FixtureJob huge;
  huge.state = -2;
  huge.profile.assign((16u << 20) + 1, 0);
  huge.block = 1 << 20;
  iccDocReader hugeReader(huge, -2);
  IccInfoHandler h2;
  EXPECT_EQ(WalkIccTags(hugeReader, h2), kIccReadFailed);
  EXPECT_TRUE(hugeReader.Bytes().empty());
}

TEST(IccTagWalker, SurvivesTruncationsAndFlipsOfRealProfiles) {
  std::mt19937 random(20240611);
  for (const char* file : {"sRGB.icc", "colord/AdobeRGB1998.icc", "ghostscript/default_cmyk.icc"}) {
    const std::vector<uint8_t> original = colourtest::ReadFileBytes(DebianProfile(file));
    ASSERT_GT(original.size(), 128u) << file;
    for (int round = 0; round < 300; ++round) {
      std::vector<uint8_t> bytes = original;
      if (round % 3 == 0) bytes.resize(random() % bytes.size());
      const int flips = 1 + random() % 8;
      for (int i = 0; i < flips && !bytes.empty(); ++i) {
        // Most flips land in the header and the tag table, where the walker trusts nothing.
        const size_t span = std::min<size_t>(bytes.size(), random() % 2 ? 400 : bytes.size());
        bytes[random() % span] ^= uint8_t(1u << (random() % 8));
      }
      const Walk walk = WalkBytes(bytes);
      EXPECT_LE(walk.code, kIccStopped) << file << " round " << round;
      EXPECT_GE(walk.code, kIccMalformed) << file << " round " << round;
    }
  }
}
