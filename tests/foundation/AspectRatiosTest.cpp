// Aspect ratios: the stored block both ways, the orientation choice, the profile value.
#include "AspectRatios.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Add(Bytes& b, std::initializer_list<uint8_t> bytes) {
  for (uint8_t v : bytes) b.push_back(v);
}
void AddU32(Bytes& b, uint32_t v) {
  Add(b, {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
}
void AddFloat(Bytes& b, float f) {
  uint32_t v;
  std::memcpy(&v, &f, 4);
  AddU32(b, v);
}
void AddEntry(Bytes& b, const char* name, uint32_t w, uint32_t h, uint32_t colour, const char* id = "") {
  Add(b, {0x00, 0x01, 0x00, 0x01, uint8_t(std::strlen(id))});
  b.insert(b.end(), id, id + std::strlen(id));
  Add(b, {uint8_t(std::strlen(name))});
  b.insert(b.end(), name, name + std::strlen(name));
  AddU32(b, w);
  AddU32(b, h);
  AddU32(b, colour);
  Add(b, {0x01});
}

Bytes DefaultBlock(uint16_t version) {
  Bytes b;
  Add(b, {uint8_t(version), uint8_t(version >> 8)});
  AddU32(b, 3);
  AddEntry(b, "4:5", 4, 5, 0x000000FF);
  AddEntry(b, "5:7", 5, 7, 0x0000FFFF);
  AddEntry(b, "2:3", 2, 3, 0x0040FF00);
  return b;
}

Bytes Written(const AspectRatios& ratios) {
  zvk::ArchiveMemory out;
  ratios.Write(out);
  return Bytes(out.GetData(), out.GetData() + out.GetSize());
}

int KindOf(const Bytes& bytes, AspectRatios& into) {
  zvk::ArchiveMemory in(bytes.data(), static_cast<unsigned>(bytes.size()));
  try {
    into.Read(in);
  } catch (const zvk::ArchiveException& e) {
    return e.GetKind();
  }
  return -1;
}

}  // namespace

TEST(AspectRatiosBlock, DefaultListIsVersionOneGoldenBothWays) {
  AspectRatios defaults;
  defaults.SetDefaults();
  const Bytes golden = DefaultBlock(0x0100);
  EXPECT_EQ(Written(defaults), golden);

  AspectRatios read;
  read.Append(AspectRatio("stale", 9, 9, 0));
  ASSERT_EQ(KindOf(golden, read), -1);
  ASSERT_EQ(read.GetCount(), 3);
  EXPECT_STREQ(read.GetAt(1).name, "5:7");
  EXPECT_EQ(read.GetAt(2).colour, 0x0040FF00u);
  EXPECT_EQ(Written(read), golden);
}

TEST(AspectRatiosBlock, TrimAndHeadGuideRaiseTheVersionGoldenBothWays) {
  AspectRatios trimmed;
  trimmed.Append(AspectRatio("1:1", 1, 1, 0x00123456));
  trimmed.trim = true;
  Bytes v2;
  Add(v2, {0x00, 0x02});
  AddU32(v2, 1);
  AddEntry(v2, "1:1", 1, 1, 0x00123456);
  Add(v2, {0x00, 0x01, 0x01});
  AddU32(v2, 1);
  AddU32(v2, 1);
  EXPECT_EQ(Written(trimmed), v2);

  AspectRatios guided;
  guided.headGuide = true;  // the head guide alone gives version 3 with both extra blocks
  guided.guideTop = 0.1f;
  Bytes v3;
  Add(v3, {0x00, 0x03});
  AddU32(v3, 0);
  Add(v3, {0x00, 0x01, 0x00});
  AddU32(v3, 1);
  AddU32(v3, 1);
  Add(v3, {0x00, 0x01, 0x01});
  AddFloat(v3, 0.5f);
  AddFloat(v3, 0.1f);
  AddFloat(v3, 0.82f);
  AddU32(v3, 2);
  AddU32(v3, 3);
  EXPECT_EQ(Written(guided), v3);

  AspectRatios read;
  ASSERT_EQ(KindOf(v3, read), -1);
  EXPECT_TRUE(read.headGuide);
  EXPECT_EQ(read.guideTop, 0.1f);
  EXPECT_EQ(read.guideBottom, 0.82f);
  EXPECT_EQ(Written(read), v3);
}

TEST(AspectRatiosBlock, VersionsSchemasAndShortData) {
  AspectRatios read;
  Bytes minor = DefaultBlock(0x0101);
  EXPECT_EQ(KindOf(minor, read), -1);
  EXPECT_EQ(read.GetCount(), 3);

  Bytes v4 = DefaultBlock(0x0400);
  zvk::ArchiveMemory in(v4.data(), static_cast<unsigned>(v4.size()));
  try {
    read.Read(in);
    ADD_FAILURE();
  } catch (const zvk::ArchiveException& e) {
    EXPECT_STREQ(e.what(), "Archive Exception [BadSchema]\nAspectRatios.cpp(196)");
  }

  Bytes badEntry = DefaultBlock(0x0100);
  badEntry[7] = 0x02;  // the first entry's schema: major 2
  EXPECT_EQ(KindOf(badEntry, read), zvk::ArchiveException::BadSchema);

  Bytes hostile;
  Add(hostile, {0x00, 0x01});
  AddU32(hostile, 0xFFFFFFFF);  // four thousand million entries claimed
  EXPECT_EQ(KindOf(hostile, read), zvk::ArchiveException::EndOfFile);

  Bytes whole = DefaultBlock(0x0100);
  for (size_t cut = 1; cut < whole.size(); ++cut) {
    Bytes part(whole.begin(), whole.begin() + static_cast<long>(cut));
    AspectRatios r;
    ASSERT_EQ(KindOf(part, r), zvk::ArchiveException::EndOfFile) << "cut " << cut;
  }
}

TEST(AspectRatiosChoice, MostElongatedRatioTurnedToTheImage) {
  AspectRatios ratios;
  ratios.SetDefaults();
  struct Case {
    SIZE image;
    SIZE expected;
  } cases[] = {{{600, 400}, {3, 2}}, {{400, 600}, {2, 3}}, {{500, 500}, {2, 3}}};
  for (const Case& c : cases) {
    SIZE got = ratios.GetForOrientation(c.image, true);
    EXPECT_EQ(got.cx, c.expected.cx);
    EXPECT_EQ(got.cy, c.expected.cy);
  }

  AspectRatios disabled = ratios;
  for (auto& e : disabled.Unshare()->items) e.enabled = false;
  EXPECT_EQ(ratios.GetAt(0).enabled, true);  // the change detached the copy
  SIZE portrait = disabled.GetForOrientation({400, 600}, true);
  EXPECT_EQ(portrait.cx, 400);
  EXPECT_EQ(portrait.cy, 600);
  SIZE landscape = disabled.GetForOrientation({600, 400}, true);
  EXPECT_EQ(landscape.cx, 1);
  EXPECT_EQ(landscape.cy, 1);

  AspectRatios tie;
  tie.Append(AspectRatio("3:2", 3, 2, 0));
  tie.Append(AspectRatio("2:3", 2, 3, 0));
  SIZE first = tie.GetPortrait({0, 0}, true);
  EXPECT_EQ(first.cx, 2);
  EXPECT_EQ(first.cy, 3);

  AspectRatios broken;  // sides of zero or less never win (and never divide by zero)
  broken.Append(AspectRatio("bad", 0, 5, 0));
  broken.Append(AspectRatio("neg", -1, 9, 0));
  broken.Append(AspectRatio("4:5", 4, 5, 0));
  SIZE chosen = broken.GetForOrientation({100, 50}, true);
  EXPECT_EQ(chosen.cx, 5);
  EXPECT_EQ(chosen.cy, 4);
}

TEST(AspectRatiosCopy, AssignmentCopiesEveryFieldAndSharesEntries) {
  AspectRatios defaults;
  defaults.SetDefaults();
  defaults.headGuide = true;
  defaults.guideCentreX = 0.4f;
  defaults.trim = true;
  defaults.trimWidth = 4;
  AspectRatios job;
  job = defaults;
  EXPECT_TRUE(job.SharesEntriesWith(defaults));
  EXPECT_TRUE(job.headGuide);
  EXPECT_EQ(job.guideCentreX, 0.4f);
  EXPECT_TRUE(job.trim);
  EXPECT_EQ(job.trimWidth, 4);
}
