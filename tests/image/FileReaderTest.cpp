#include <Fixtures.h>

#include <fstream>

#include "ImageTestSupport.h"

using namespace imagetest;
using namespace zvkImage;

namespace {

// TIFF-structured EXIF block: IFD0 with ImageDescription (270) and the EXIF pointer (34665); the EXIF
// directory with UserComment (37510). big: Motorola byte order.
std::vector<uint8_t> ExifBlock(bool big, const std::string& description,
                               const std::vector<uint8_t>& comment) {
  std::vector<uint8_t> b;
  auto u16 = [&](uint32_t v) {
    if (big)
      b.push_back(uint8_t(v >> 8)), b.push_back(uint8_t(v));
    else
      b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8));
  };
  auto u32 = [&](uint32_t v) {
    if (big)
      u16(v >> 16), u16(v & 0xFFFF);
    else
      u16(v & 0xFFFF), u16(v >> 16);
  };
  b.push_back(big ? 'M' : 'I'), b.push_back(big ? 'M' : 'I');
  u16(42);
  u32(8);
  const uint32_t ifd0 = 8, exif = ifd0 + 2 + 2 * 12 + 4, descAt = exif + 2 + 12 + 4;
  const uint32_t commentAt = descAt + uint32_t(description.size()) + 1;
  u16(2);
  u16(270), u16(2), u32(uint32_t(description.size() + 1)), u32(descAt);
  u16(34665), u16(4), u32(1), u32(exif);
  u32(0);
  u16(1);
  u16(37510), u16(7), u32(uint32_t(comment.size())), u32(commentAt);
  u32(0);
  b.insert(b.end(), description.begin(), description.end());
  b.push_back(0);
  b.insert(b.end(), comment.begin(), comment.end());
  return b;
}

std::string JpegWithExif(const std::string& name, const std::vector<uint8_t>& tiff) {
  const std::string folder = testsupport::ScratchFolder("reader");
  const std::string plain = folder + "\\plain.jpg", path = folder + "\\" + name;
  auto bitmap = MakeBitmap(48, 32, Blocks);
  EXPECT_EQ(S_OK, bitmap->Save(Bstr(plain), ftJPEG, 24, 0));
  std::ifstream in(plain, std::ios::binary);
  std::vector<uint8_t> jpeg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<uint8_t> app1 = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
  app1.insert(app1.end(), tiff.begin(), tiff.end());
  const size_t length = app1.size() - 2;
  app1[2] = uint8_t(length >> 8), app1[3] = uint8_t(length);
  jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
  return path;
}

// An uncompressed RGB TIFF of w x h with an ImageDescription, its directory written after the pixels (as
// many writers do).
std::string TiffWithDirectoryAtTheEnd(const std::string& name, uint32_t w, uint32_t h,
                                      const std::string& description) {
  std::vector<uint8_t> b;
  auto u16 = [&](uint32_t v) { b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8)); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
  const uint32_t pixels = w * h * 3;
  const uint32_t descAt = 8 + pixels, bitsAt = descAt + uint32_t(description.size()) + 1;
  const uint32_t dirAt = (bitsAt + 6 + 1) & ~1u;
  b.push_back('I'), b.push_back('I');
  u16(42);
  u32(dirAt);
  b.resize(b.size() + pixels, 0x40);
  b.insert(b.end(), description.begin(), description.end());
  b.push_back(0);
  u16(8), u16(8), u16(8);
  b.resize(dirAt, 0);
  auto entry = [&](uint32_t tag, uint32_t type, uint32_t count, uint32_t value) {
    u16(tag), u16(type), u32(count), u32(value);
  };
  u16(10);
  entry(256, 4, 1, w);
  entry(257, 4, 1, h);
  entry(258, 3, 3, bitsAt);
  entry(259, 3, 1, 1);  // no compression
  entry(262, 3, 1, 2);  // RGB
  entry(270, 2, uint32_t(description.size() + 1), descAt);
  entry(273, 4, 1, 8);
  entry(277, 3, 1, 3);
  entry(278, 4, 1, h);
  entry(279, 4, 1, pixels);
  u32(0);
  const std::string path = testsupport::ScratchFolder("reader") + "\\" + name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
  return path;
}

Ref<IFileReader> NewReader() {
  IUnknown* unknown = nullptr;
  EXPECT_EQ(S_OK, CreateObject(CLSID_FileReader, CLSCTX_ALL, &unknown));
  Ref<IUnknown> holder(unknown);
  return Query<IFileReader>(unknown);
}

std::wstring Tag(IFileReader* reader, long tag, HRESULT expect = S_OK) {
  VARIANT v;
  EXPECT_EQ(expect, Query<IFileTags>(reader)->GetTag(tag, &v));
  std::wstring text = v.vt == VT_BSTR ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : L"";
  VariantClear(&v);
  return text;
}

}  // namespace

TEST(ImageFileReader, ReportsSizeCountAndTagsOfAJpeg) {
  std::vector<uint8_t> comment = {'A', 'S', 'C', 'I', 'I', 0, 0, 0};
  for (char c : std::string("4711, /%D2%Smith")) comment.push_back(uint8_t(c));
  const std::string path = JpegWithExif("tags.jpg", ExifBlock(false, "Auxiliary=ID99,/%D1%x", comment));
  auto reader = NewReader();
  ASSERT_EQ(S_OK, reader->Open(Bstr(path)));
  long bits = 0, w = 0, h = 0, size = 0, count = 0, fw = 0, fh = 0;
  EXPECT_EQ(S_OK, reader->GetBits(&bits));
  EXPECT_EQ(24, bits);
  reader->GetWidth(&w), reader->GetHeight(&h), reader->GetSize(&size), reader->GetImageCount(&count);
  EXPECT_EQ(48, w);
  EXPECT_EQ(32, h);
  EXPECT_EQ(1, count);
  EXPECT_GT(size, 100);
  EXPECT_EQ(S_OK, reader->GetImageSize(0, &fw, &fh));
  EXPECT_EQ(48, fw);
  EXPECT_EQ(E_INVALIDARG, reader->GetImageSize(1, &fw, &fh));
  EXPECT_EQ(L"4711, /%D2%Smith", Tag(reader.p, 37510));
  EXPECT_EQ(L"Auxiliary=ID99,/%D1%x", Tag(reader.p, 270));
  EXPECT_EQ(L"", Tag(reader.p, 315, S_FALSE));
  // The bitmap loads the file the reader opened, with the reader's bits.
  auto bitmap = NewBitmap();
  EXPECT_EQ(S_OK, bitmap->Load(Bstr(path), bits));
}

TEST(ImageFileReader, ReadsUnicodeCommentsInMotorolaOrder) {
  std::vector<uint8_t> comment = {'U', 'N', 'I', 'C', 'O', 'D', 'E', 0};
  for (wchar_t c : std::wstring(L"K\u00e4se 12"))
    comment.push_back(uint8_t(c >> 8)), comment.push_back(uint8_t(c));
  const std::string path = JpegWithExif("unicode.jpg", ExifBlock(true, "x", comment));
  auto reader = NewReader();
  ASSERT_EQ(S_OK, reader->Open(Bstr(path)));
  EXPECT_EQ(L"K\u00e4se 12", Tag(reader.p, 37510));
}

TEST(ImageFileReader, FindsATiffDirectoryWhereverTheFilePutsIt) {
  // More than 8 MB of pixels before the directory.
  const std::string path = TiffWithDirectoryAtTheEnd("late.tif", 1700, 1700, "Auxiliary=ID7,/%D1%late");
  auto reader = NewReader();
  ASSERT_EQ(S_OK, reader->Open(Bstr(path)));
  long size = 0, w = 0;
  reader->GetSize(&size), reader->GetWidth(&w);
  EXPECT_GT(size, 8L << 20);
  EXPECT_EQ(1700, w);
  EXPECT_EQ(L"Auxiliary=ID7,/%D1%late", Tag(reader.p, 270));
  Tag(reader.p, 37510, S_FALSE);
}

TEST(ImageFileReader, BrokenTagBlocksAndUnreadableFiles) {
  std::vector<uint8_t> comment = {'A', 'S', 'C', 'I', 'I', 0, 0, 0, 'h', 'i'};
  std::vector<uint8_t> tiff = ExifBlock(false, "desc", comment);
  // Offsets pointing past the block: the tag is absent, the file still opens.
  std::vector<uint8_t> bad = tiff;
  bad[8 + 2 + 8] = 0xF0, bad[8 + 2 + 9] = 0xFF;  // description offset
  bad[8 + 2 + 12 + 8] = 0xFF;                    // EXIF directory offset
  auto reader = NewReader();
  ASSERT_EQ(S_OK, reader->Open(Bstr(JpegWithExif("bad.jpg", bad))));
  Tag(reader.p, 270, S_FALSE);
  Tag(reader.p, 37510, S_FALSE);
  // Every truncation of the block is read without harm.
  for (size_t cut = 0; cut < tiff.size(); cut += 3) {
    std::vector<uint8_t> part(tiff.begin(), tiff.begin() + cut);
    auto r = NewReader();
    ASSERT_EQ(S_OK, r->Open(Bstr(JpegWithExif("cut.jpg", part)))) << cut;
  }
  const std::string folder = testsupport::ScratchFolder("reader");
  std::ofstream(folder + "\\junk.jpg") << "not a picture at all";
  EXPECT_TRUE(FAILED(reader->Open(Bstr(folder + "\\junk.jpg"))));
  long bits = -1;
  reader->GetBits(&bits);
  EXPECT_EQ(0, bits);
}
