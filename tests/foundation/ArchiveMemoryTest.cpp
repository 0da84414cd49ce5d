// The memory archive, the primitives and the text layout: golden bytes both ways, misuse, bad input.
#include "Archive.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using zvk::ArchiveException;
using zvk::ArchiveMemory;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Content(const ArchiveMemory& archive) {
  return Bytes(archive.GetData(), archive.GetData() + archive.GetSize());
}

Bytes Concat(Bytes head, const std::string& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

int KindOf(const std::function<void()>& body) {
  try {
    body();
  } catch (const ArchiveException& e) {
    return e.GetKind();
  }
  return -1;
}

std::string TextOf(const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(nothing thrown)";
}

}  // namespace

TEST(ArchiveNumbers, GoldenBytesBothWays) {
  const Bytes golden = {0x2A, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFF,
                        0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F, 0x01};
  ArchiveMemory out;
  zvk::WriteArchiveByte(out, 0x2A);
  zvk::WriteArchiveWord(out, 0x1234);
  zvk::WriteArchiveDword(out, 0x12345678);
  int32_t minusOne = -1;
  out.Write(&minusOne, 4);
  zvk::WriteArchiveFloat(out, 1.0f);
  bool yes = true;
  out.Write(&yes, 1);
  EXPECT_EQ(Content(out), golden);

  ArchiveMemory in(golden.data(), static_cast<unsigned>(golden.size()));
  uint8_t b;
  uint16_t w;
  uint32_t d;
  int32_t i;
  float f;
  bool flag;
  zvk::ReadArchiveDword(zvk::ReadArchiveDword(zvk::ReadArchiveWord(zvk::ReadArchiveByte(in, b), w), d), i);
  zvk::ReadArchiveByte(zvk::ReadArchiveDword(in, f), flag);
  EXPECT_EQ(b, 0x2A);
  EXPECT_EQ(w, 0x1234);
  EXPECT_EQ(d, 0x12345678u);
  EXPECT_EQ(i, -1);
  EXPECT_EQ(f, 1.0f);
  EXPECT_TRUE(flag);
}

TEST(ArchiveText, LengthPrefixesGoldenBothWays) {
  struct Case {
    size_t length;
    Bytes prefix;
  } cases[] = {
      {0, {0x00}},
      {3, {0x03}},
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {65533, {0xFF, 0xFD, 0xFF}},
      {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
  };
  for (const Case& c : cases) {
    std::string text(c.length, 'x');
    for (size_t k = 0; k < c.length; ++k) text[k] = static_cast<char>('a' + k % 26);
    const Bytes golden = Concat(c.prefix, text);

    ArchiveMemory out;
    zvk::WriteArchiveCString(out, CString(text.c_str()));
    EXPECT_EQ(Content(out), golden) << "length " << c.length;

    ArchiveMemory in(golden.data(), static_cast<unsigned>(golden.size()));
    CString read("old");
    zvk::ReadArchiveCString(in, read);
    EXPECT_EQ(std::string(static_cast<const char*>(read)), text) << "length " << c.length;
    EXPECT_EQ(in.GetPosition(), golden.size());
  }
}

TEST(ArchiveText, ReaderAcceptsLongFormsAndWideText) {
  const Bytes longForm = {0xFF, 0x05, 0x00, 'h', 'e', 'l', 'l', 'o'};
  const Bytes longestForm = {0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 'o', 'k'};
  const Bytes wide = {0xFF, 0xFE, 0xFF, 0x02, 'H', 0x00, 'i', 0x00};
  const Bytes wideLong = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 'Z', 0x00};
  struct Case {
    Bytes bytes;
    const char* text;
  } cases[] = {{longForm, "hello"}, {longestForm, "ok"}, {wide, "Hi"}, {wideLong, "Z"}};
  for (const Case& c : cases) {
    ArchiveMemory in(c.bytes.data(), static_cast<unsigned>(c.bytes.size()));
    CString read;
    zvk::ReadArchiveCString(in, read);
    EXPECT_STREQ(read, c.text);
    EXPECT_EQ(in.GetPosition(), c.bytes.size());
  }
}

TEST(ArchiveText, ShortOrHostileTextIsEndOfFileAndKeepsTarget) {
  const Bytes cases[] = {
      {0x05, 'a', 'b'},                                 // fewer bytes than the length
      {0xFF, 0x05},                                     // a cut u16 length
      {0xFF, 0xFF, 0xFF, 0x10},                         // a cut u32 length
      {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0x7F, 'a'},  // 2 GB claimed, one byte present
      {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 'a'},  // 8 GB of wide text
      {0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x00},                               // a second wide marker
      {0xFF, 0xFE, 0xFF, 0x03, 'a', 0x00},                                      // cut wide text
  };
  for (const Bytes& bytes : cases) {
    ArchiveMemory in(bytes.data(), static_cast<unsigned>(bytes.size()));
    CString target("kept");
    EXPECT_EQ(KindOf([&] { zvk::ReadArchiveCString(in, target); }), ArchiveException::EndOfFile)
        << "case of " << bytes.size() << " bytes";
    EXPECT_STREQ(target, "kept");
  }
}

TEST(ArchiveMemoryArchive, ShortReadsAndMisuse) {
  const Bytes three = {1, 2, 3};
  {
    ArchiveMemory in(three.data(), 3);
    uint32_t value = 7;
    EXPECT_EQ(KindOf([&] { zvk::ReadArchiveDword(in, value); }), ArchiveException::EndOfFile);
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(in.GetPosition(), 3u);
    in.Seek(0, 0);
    uint8_t raw[4];
    EXPECT_EQ(in.Read(raw, 4), 3u);
    EXPECT_EQ(in.Read(raw, 4), 0u);  // the end: no exception from the archive itself
  }
  {
    ArchiveMemory empty;
    uint8_t raw[1];
    EXPECT_EQ(TextOf([&] { empty.Read(raw, 0); }), "Archive Uninitialized");
    EXPECT_EQ(empty.Write(nullptr, 0), 0u);
    EXPECT_EQ(TextOf([&] { empty.Seek(0, 3); }), "Archive Origin");
  }
  {
    ArchiveMemory archive;
    zvk::WriteArchiveDword(archive, 1);
    EXPECT_EQ(archive.Seek(-1, 0), -1);
    uint8_t raw[1] = {0};
    EXPECT_EQ(TextOf([&] { archive.Read(raw, 1); }), "Archive Offset");
    EXPECT_EQ(TextOf([&] { archive.Write(raw, 1); }), "Archive Offset");
    EXPECT_EQ(archive.Seek(-2, 2), 2);
    EXPECT_EQ(archive.Seek(1, 1), 3);
  }
}

TEST(ArchiveMemoryArchive, GrowsInWholeStepsAndUserBufferNeverGrows) {
  ArchiveMemory one;
  zvk::WriteArchiveByte(one, 9);
  EXPECT_EQ(one.GetCapacity(), 4000u);
  ArchiveMemory big;
  std::vector<uint8_t> block(4001, 0x5A);
  EXPECT_EQ(big.Write(block.data(), 4001), 4001u);
  EXPECT_EQ(big.GetCapacity(), 8000u);
  EXPECT_EQ(big.GetSize(), 4001u);

  uint8_t buffer[10] = {};
  ArchiveMemory user(buffer, sizeof(buffer));
  uint8_t ten[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_EQ(user.Write(ten, 10), 10u);
  EXPECT_EQ(buffer[9], 10);
  EXPECT_EQ(TextOf([&] { zvk::WriteArchiveByte(user, 11); }), "Archive User Buffer");
  EXPECT_EQ(TextOf([&] { user.SetSize(10); }), "Archive User Buffer");
}

TEST(ArchiveMemoryArchive, SetSizeZeroFillsGrowthAndTruncateCuts) {
  ArchiveMemory archive;
  zvk::WriteArchiveDword(archive, 0xFFFFFFFF);
  archive.Seek(0, 0);
  archive.SetSize(1);
  EXPECT_EQ(archive.SetSize(4100), 4100u);
  EXPECT_EQ(archive.GetCapacity(), 8000u);
  Bytes content = Content(archive);
  EXPECT_EQ(content[0], 0xFF);
  for (size_t i = 1; i < content.size(); ++i) ASSERT_EQ(content[i], 0) << "byte " << i;

  archive.Seek(2, 0);
  EXPECT_EQ(archive.Truncate(), 2u);
  EXPECT_EQ(archive.GetSize(), 2u);
  EXPECT_EQ(archive.SetSize(0), 0u);
  EXPECT_EQ(archive.GetSize(), 0u);
  archive.Seek(0, 0);
  zvk::WriteArchiveWord(archive, 0xBEEF);  // still a usable archive
  EXPECT_EQ(Content(archive), (Bytes{0xEF, 0xBE}));
}

TEST(ArchiveMemoryArchive, CopyDuplicatesOwnBufferAndSharesCallers) {
  ArchiveMemory original;
  zvk::WriteArchiveDword(original, 0x01020304);
  ArchiveMemory copy(original);
  EXPECT_NE(copy.GetData(), original.GetData());
  EXPECT_EQ(Content(copy), Content(original));
  EXPECT_EQ(copy.GetPosition(), 4u);
  copy.Seek(0, 0);
  zvk::WriteArchiveByte(copy, 0xAA);
  EXPECT_EQ(original.GetData()[0], 0x04);

  uint8_t buffer[4] = {1, 2, 3, 4};
  ArchiveMemory user(buffer, 4);
  ArchiveMemory userCopy;
  userCopy = user;
  EXPECT_TRUE(userCopy.IsUserBuffer());
  EXPECT_EQ(userCopy.GetData(), buffer);
}

TEST(ArchiveExceptionText, KindOnlyAndPlacedForms) {
  EXPECT_STREQ(ArchiveException(ArchiveException::EndOfFile).what(), "Archive Exception EndOfFile");
  EXPECT_STREQ(ArchiveException(42).what(), "Archive Exception Unknown");
  EXPECT_STREQ(ArchiveException(ArchiveException::BadSchema, "C:\\src\\_common\\ObjectID.h", 74).what(),
               "Archive Exception [BadSchema]\nObjectID.h(74)");
  EXPECT_STREQ(ArchiveException(ArchiveException::BadSchema, "AspectRatios.cpp", 196).what(),
               "Archive Exception [BadSchema]\nAspectRatios.cpp(196)");
}

TEST(ArchiveRecords, EveryTruncationOfARecordIsEndOfFile) {
  ArchiveMemory out;
  zvk::WriteArchiveWord(out, 0x0100);
  zvk::WriteArchiveCString(out, CString("first"));
  zvk::WriteArchiveDword(out, 123456);
  zvk::WriteArchiveCString(out, CString(std::string(300, 'q').c_str()));
  zvk::WriteArchiveByte(out, 1);
  const Bytes whole = Content(out);

  auto readRecord = [](zvk::Archive& in) {
    uint16_t schema;
    CString a, b;
    uint32_t n;
    bool flag;
    zvk::ReadArchiveWord(in, schema);
    zvk::ReadArchiveCString(in, a);
    zvk::ReadArchiveDword(in, n);
    zvk::ReadArchiveCString(in, b);
    zvk::ReadArchiveByte(in, flag);
  };
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    ArchiveMemory in(whole.data(), static_cast<unsigned>(cut));
    ASSERT_EQ(KindOf([&] { readRecord(in); }), ArchiveException::EndOfFile) << "cut at " << cut;
  }
  ArchiveMemory in(whole.data(), static_cast<unsigned>(whole.size()));
  EXPECT_EQ(KindOf([&] { readRecord(in); }), -1);
}
