// Seeded mutations of the library's inputs: persisted forms, TARGA files and TIFF files. Whatever the
// bytes, a call answers an HRESULT, and a failed load leaves the bitmap as it was.
#include <Fixtures.h>
#include <zlib.h>

#include <fstream>
#include <random>

#include "ImageTestSupport.h"
#include "MemoryStream.h"

using namespace imagetest;
using namespace zvkImage;

namespace {

constexpr COLORREF kUntouched = RGB(5, 6, 7);

std::string Scratch() {
  static const std::string folder = testsupport::ScratchFolder("fuzz");
  return folder;
}

COLORREF Busy(int x, int y) { return RGB(x * 37 % 256, y * 11 % 256, (x ^ y) * 5 % 256); }

std::vector<uint8_t> FileOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// One mutation of good bytes: flipped bits, random bytes, a run of one value, a cut, a doubled or dropped
// stretch, or (within the first `header` bytes) a number set to an extreme.
std::vector<uint8_t> Mutate(const std::vector<uint8_t>& good, size_t header, std::mt19937& random) {
  std::vector<uint8_t> b = good;
  auto pick = [&](size_t n) { return n ? size_t(random() % n) : 0; };
  const int rounds = 1 + int(random() % 3);
  for (int r = 0; r < rounds && !b.empty(); ++r) {
    switch (random() % 7) {
      case 0:
        b[pick(b.size())] ^= uint8_t(1u << (random() % 8));
        break;
      case 1:
        for (int i = 0; i < 8; ++i) b[pick(b.size())] = uint8_t(random());
        break;
      case 2: {
        const size_t at = pick(b.size()), n = std::min(b.size() - at, 1 + pick(64));
        std::fill_n(b.begin() + ptrdiff_t(at), n, uint8_t(random() % 2 ? 0xFF : 0x00));
        break;
      }
      case 3:
        b.resize(pick(b.size()));
        break;
      case 4: {
        const size_t at = pick(b.size()), n = std::min(b.size() - at, 1 + pick(256));
        b.insert(b.begin() + ptrdiff_t(at), b.begin() + ptrdiff_t(at), b.begin() + ptrdiff_t(at + n));
        break;
      }
      case 5: {
        const size_t at = pick(b.size()), n = std::min(b.size() - at, 1 + pick(256));
        b.erase(b.begin() + ptrdiff_t(at), b.begin() + ptrdiff_t(at + n));
        break;
      }
      default: {
        const size_t at = pick(std::min(header, b.size()));
        static const uint8_t extremes[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};
        for (size_t i = at; i < std::min(b.size(), at + 4); ++i) b[i] = extremes[random() % 6];
        break;
      }
    }
  }
  return b;
}

// A failed load must leave the target as it was; a good one gives a picture.
void ExpectCleanLoad(HRESULT hr, IBitmap* target, const std::string& what) {
  long w = 0, h = 0;
  target->GetWidth(&w), target->GetHeight(&h);
  if (FAILED(hr)) {
    ASSERT_EQ(2, w) << what;
    ASSERT_EQ(kUntouched, Read(target).At(1, 1)) << what;
  } else {
    ASSERT_TRUE(w > 0 && h > 0) << what;
  }
}

}  // namespace

TEST(ImageBadInput, MutatedPersistedFormsNeverCrash) {
  auto keyed = MakeBitmap(90, 70, Busy);
  const float key[5] = {120.0f / 360, 10.0f / 360, 3.0f / 360, 0.05f, 0.2f};
  keyed->HueKey(key);
  auto wide = MakeBitmap(300, 9, Busy);
  std::vector<std::vector<uint8_t>> goods;
  for (IBitmap* source : {keyed.p, wide.p}) {
    MemoryStream stream;
    ASSERT_EQ(S_OK, source->SaveToStream(&stream, 0));
    goods.push_back(stream.bytes);
  }
  std::mt19937 random(20261);
  for (int i = 0; i < 400; ++i) {
    const std::vector<uint8_t>& good = goods[size_t(i) % goods.size()];
    MemoryStream stream;
    stream.bytes = Mutate(good, 40, random);
    // Half the time the header's checksum is made right again, so that the numbers in it are what the
    // reader has to judge.
    if (i % 2 && stream.bytes.size() >= 40) {
      const uint32_t crc = uint32_t(crc32(0, stream.bytes.data(), 36));
      for (int k = 0; k < 4; ++k) stream.bytes[36 + size_t(k)] = uint8_t(crc >> (8 * k));
    }
    stream.answersStat = i % 3 == 0;
    auto target = MakeFlat(2, 2, kUntouched);
    const HRESULT hr = target->LoadFromStream(&stream, 0);
    ExpectCleanLoad(hr, target.p, "persisted form mutation " + std::to_string(i));
  }
}

TEST(ImageBadInput, MutatedTargaFilesNeverCrash) {
  // A plain file of our own writer, a colour-mapped one, and a run-length one made here.
  const std::string plainPath = Scratch() + "\\plain.tga", mappedPath = Scratch() + "\\mapped.tga";
  auto picture = MakeBitmap(40, 30, Busy);
  ASSERT_EQ(S_OK, picture->Save(Bstr(plainPath), ftTARGA, 24, 0));
  ASSERT_EQ(S_OK, picture->Save(Bstr(mappedPath), ftTARGA, 8, 0));
  std::vector<uint8_t> rle = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 30, 0, 32, 0x20};
  for (int row = 0; row < 30; ++row) {
    rle.insert(rle.end(), {0x80 | 19, uint8_t(row * 8), 200, 30, 255});  // a run of 20
    rle.push_back(19);                                                   // and 20 literal pixels
    for (int x = 0; x < 20; ++x) rle.insert(rle.end(), {uint8_t(x * 12), uint8_t(row), 90, 128});
  }
  const std::vector<std::vector<uint8_t>> goods = {FileOf(plainPath), FileOf(mappedPath), rle};
  {
    WriteFile(Scratch() + "\\rle.tga", rle);
    auto check = NewBitmap();
    ASSERT_EQ(S_OK, check->Load(Bstr(Scratch() + "\\rle.tga"), 24));  // the run-length original is good
  }
  std::mt19937 random(4711);
  const std::string path = Scratch() + "\\mutated.tga";
  for (int i = 0; i < 300; ++i) {
    WriteFile(path, Mutate(goods[size_t(i) % goods.size()], 18, random));
    auto target = MakeFlat(2, 2, kUntouched);
    const HRESULT hr = target->Load(Bstr(path), 24);
    ExpectCleanLoad(hr, target.p, "TARGA mutation " + std::to_string(i));
  }
}

TEST(ImageBadInput, MutatedTiffFilesNeverCrash) {
  // A TIFF of the library's own writer: the file reader walks its directories, the bitmap decodes it.
  const std::string goodPath = Scratch() + "\\good.tif";
  auto picture = MakeBitmap(24, 16, Busy);
  ASSERT_EQ(S_OK, picture->Save(Bstr(goodPath), ftTIFF, 24, 0));
  const std::vector<uint8_t> good = FileOf(goodPath);
  std::mt19937 random(90210);
  const std::string path = Scratch() + "\\mutated.tif";
  for (int i = 0; i < 300; ++i) {
    const std::vector<uint8_t> bytes = Mutate(good, 16, random);
    WriteFile(path, bytes);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, CreateObject(CLSID_FileReader, CLSCTX_ALL, &unknown));
    auto reader = Query<IFileReader>(unknown);
    unknown->Release();
    const HRESULT opened = reader->Open(Bstr(path));
    if (SUCCEEDED(opened)) {
      VARIANT tag;
      const HRESULT found = Query<IFileTags>(reader.p)->GetTag(270, &tag);
      EXPECT_TRUE(found == S_OK || found == S_FALSE);
      VariantClear(&tag);
    }
    auto target = MakeFlat(2, 2, kUntouched);
    ExpectCleanLoad(target->Load(Bstr(path), 24), target.p, "TIFF mutation " + std::to_string(i));
  }
}
