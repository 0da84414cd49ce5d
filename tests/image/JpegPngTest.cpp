// JPEG and PNG files: quality, resolution, damaged files, and the files that check-jpeg-png.sh hands to and
// takes from Debian's djpeg, cjpeg and ImageMagick.
#include <Fixtures.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ImageTestSupport.h"

using namespace imagetest;
using namespace zvkImage;

namespace {

std::string Scratch() {
  static const std::string folder = testsupport::ScratchFolder("jpegpng");
  return folder;
}

// A photograph in small: smooth colour with a little fixed noise, like a sensor's.
COLORREF Photo(int x, int y) {
  const uint32_t h = uint32_t(x * 7919 + y * 104729) * 2654435761u;
  const int n = int(h >> 28) - 8;
  auto c = [n](int v) { return std::clamp(v + n, 0, 255); };
  return RGB(c(40 + x * 2), c(60 + y * 3), c(200 - x - y));
}

std::vector<char> Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Put(const std::string& path, const std::vector<char>& bytes, size_t count) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(count));
}

void SetDpi(IBitmap* bitmap, long x, long y) {
  ASSERT_EQ(S_OK, Query<IResolution>(bitmap)->SetResolution(x, y));
}

std::pair<long, long> Dpi(IBitmap* bitmap) {
  long x = 0, y = 0;
  EXPECT_EQ(S_OK, Query<IResolution>(bitmap)->GetResolution(&x, &y));
  return {x, y};
}

double MeanDifference(const Pixels& a, const Pixels& b) {
  if (a.width != b.width || a.height != b.height || a.values.empty()) return 1e9;
  double sum = 0;
  for (size_t i = 0; i < a.values.size(); ++i)
    sum += std::abs(int(GetRValue(a.values[i])) - int(GetRValue(b.values[i]))) +
           std::abs(int(GetGValue(a.values[i])) - int(GetGValue(b.values[i]))) +
           std::abs(int(GetBValue(a.values[i])) - int(GetBValue(b.values[i])));
  return sum / (3.0 * a.values.size());
}

// A binary PPM (P6) or PGM (P5) as pixels; grey values become grey pixels.
Pixels ReadNetpbm(const std::string& path) {
  Pixels out;
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  in >> magic >> out.width >> out.height >> maxValue;
  in.get();
  const int channels = magic == "P6" ? 3 : (magic == "P5" ? 1 : 0);
  if (!in || channels == 0 || maxValue != 255) return Pixels{};
  std::vector<unsigned char> data(size_t(out.width) * out.height * channels);
  in.read(reinterpret_cast<char*>(data.data()), std::streamsize(data.size()));
  for (size_t i = 0; i < size_t(out.width) * out.height; ++i) {
    const unsigned char* p = &data[i * channels];
    out.values.push_back(channels == 3 ? RGB(p[0], p[1], p[2]) : RGB(p[0], p[0], p[0]));
  }
  return out;
}

void WriteNetpbm(const std::string& path, const Pixels& pixels) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << pixels.width << " " << pixels.height << "\n255\n";
  for (COLORREF c : pixels.values)
    out.put(char(GetRValue(c))).put(char(GetGValue(c))).put(char(GetBValue(c)));
}

// Windows form of a folder the outside script names in an environment variable (empty: not run by it).
std::string OutsideFolder(const char* name) {
  const char* folder = getenv(name);
  return folder ? std::string(folder) : std::string();
}

}  // namespace

TEST(JpegPng, QualityOptionsGiveTheFileSizesTheyStandFor) {
  auto bitmap = MakeBitmap(96, 64, Photo);
  std::vector<size_t> sizes;
  for (long option : {1L, 0L, 2L, 3L}) {  // 70, 85, 95, 100
    const std::string path = Scratch() + "\\q" + std::to_string(option) + ".jpg";
    ASSERT_EQ(S_OK, bitmap->Save(Bstr(path), ftJPEG, 24, option));
    sizes.push_back(Bytes(path).size());
    auto back = NewBitmap();
    ASSERT_EQ(S_OK, back->Load(Bstr(path), 24));
    EXPECT_LT(MeanDifference(Read(bitmap.p), Read(back.p)), option == 1 ? 6.0 : 4.0) << option;
  }
  for (size_t i = 1; i < sizes.size(); ++i) EXPECT_LT(sizes[i - 1], sizes[i]) << "level " << i;
  // Codes outside the table save at the standard quality: the very same bytes.
  const std::vector<char> standard = Bytes(Scratch() + "\\q0.jpg");
  for (long unknown : {-1L, 4L, 99L}) {
    const std::string path = Scratch() + "\\unknown.jpg";
    ASSERT_EQ(S_OK, bitmap->Save(Bstr(path), ftJPEG, 24, unknown));
    EXPECT_EQ(standard, Bytes(path)) << unknown;
  }
}

TEST(JpegPng, PixelsAndResolutionReadBack) {
  auto photo = MakeBitmap(50, 30, Photo);  // sides that are not whole blocks
  auto blocks = MakeBitmap(50, 30, Blocks);
  SetDpi(photo.p, 300, 150);
  SetDpi(blocks.p, 72, 200);
  struct Case {
    const char* name;
    IBitmap* source;
    long type, bits;
    double tolerance;  // mean difference per channel
  } cases[] = {
      {"colour.jpg", photo.p, ftJPEG, 24, 3.0},
      {"grey.jpg", photo.p, ftJPEG, 8, -1},
      {"colour.png", photo.p, ftPNG, 24, 0.0},
      {"palette.png", blocks.p, ftPNG, 8, 0.0},
  };
  for (const Case& c : cases) {
    const std::string path = Scratch() + "\\" + c.name;
    ASSERT_EQ(S_OK, c.source->Save(Bstr(path), c.type, c.bits, 2)) << c.name;
    auto back = NewBitmap();
    ASSERT_EQ(S_OK, back->Load(Bstr(path), 24)) << c.name;
    const Pixels want = Read(c.source), got = Read(back.p);
    ASSERT_EQ(want.width, got.width) << c.name;
    ASSERT_EQ(want.height, got.height) << c.name;
    if (c.tolerance >= 0) {
      EXPECT_LE(MeanDifference(want, got), c.tolerance) << c.name;
    } else {  // greyscale: every pixel grey, near the picture's luma
      for (size_t i = 0; i < got.values.size(); ++i) {
        const COLORREF g = got.values[i], w = want.values[i];
        ASSERT_TRUE(GetRValue(g) == GetGValue(g) && GetGValue(g) == GetBValue(g)) << c.name << " pixel " << i;
        const double luma = 0.299 * GetRValue(w) + 0.587 * GetGValue(w) + 0.114 * GetBValue(w);
        EXPECT_NEAR(luma, GetRValue(g), 16.0) << c.name << " pixel " << i;
      }
    }
    const auto dpi = Dpi(back.p);
    const auto wantDpi = Dpi(c.source);
    EXPECT_EQ(wantDpi, dpi) << c.name;
    // The file reader takes the size from the same header.
    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, CreateObject(CLSID_FileReader, CLSCTX_ALL, &unknown));
    Ref<IUnknown> holder(unknown);
    auto reader = Query<IFileReader>(unknown);
    ASSERT_EQ(S_OK, reader->Open(Bstr(path))) << c.name;
    long w = 0, h = 0, count = 0;
    EXPECT_EQ(S_OK, reader->GetImageCount(&count));
    EXPECT_EQ(1, count);
    EXPECT_EQ(S_OK, reader->GetImageSize(0, &w, &h));
    EXPECT_EQ(50, w);
    EXPECT_EQ(30, h);
  }
}

TEST(JpegPng, CutShortFiles) {
  auto photo = MakeBitmap(64, 64, Photo);
  const std::string jpeg = Scratch() + "\\whole.jpg", png = Scratch() + "\\whole.png";
  ASSERT_EQ(S_OK, photo->Save(Bstr(jpeg), ftJPEG, 24, 0));
  ASSERT_EQ(S_OK, photo->Save(Bstr(png), ftPNG, 24, 0));
  const std::vector<char> j = Bytes(jpeg), p = Bytes(png);
  const std::string cut = Scratch() + "\\cut";
  // A JPEG whose last rows are missing still loads: the rows that are there, the rest filled in.
  Put(cut + ".jpg", j, j.size() * 3 / 4);
  auto target = NewBitmap();
  ASSERT_EQ(S_OK, target->Load(Bstr(cut + ".jpg"), 24));
  const Pixels want = Read(photo.p), got = Read(target.p);
  ASSERT_EQ(64, got.width);
  ASSERT_EQ(64, got.height);
  for (int x = 0; x < 64; ++x) EXPECT_LE(MaxDifference(want.At(x, 0), got.At(x, 0)), 40) << x;
  // A JPEG cut inside its header, and a PNG cut inside its pixels, fail and leave the bitmap as it was.
  const struct {
    const std::vector<char>& bytes;
    size_t size;
    const char* ext;
  } broken[] = {{j, 0, "jpg"}, {j, 3, "jpg"},  {j, 100, "jpg"},
                {p, 8, "png"}, {p, 40, "png"}, {p, p.size() / 2, "png"}};
  for (const auto& b : broken) {
    Put(cut + "." + b.ext, b.bytes, b.size);
    auto keep = MakeFlat(2, 2, RGB(1, 2, 3));
    const HRESULT hr = keep->Load(Bstr(cut + "." + b.ext), 24);
    // An empty file is nobody's: no coder recognises it. The others are damaged files of their kind.
    if (b.size == 0)
      EXPECT_TRUE(FAILED(hr));
    else
      EXPECT_EQ(WINCODEC_ERR_BADIMAGE, hr) << b.ext << " cut at " << b.size;
    EXPECT_EQ(RGB(1, 2, 3), Read(keep.p).At(0, 0));
  }
  // A PNG that ends right after its pixels (no end chunk) has all it needs.
  Put(cut + ".png", p, p.size() - 12);
  ASSERT_EQ(S_OK, target->Load(Bstr(cut + ".png"), 24));
  EXPECT_EQ(0.0, MeanDifference(want, Read(target.p)));
}

// Random damage: cuts anywhere and a few flipped bytes. Never a crash or a hang; a file that loads has the
// size its header states (so nothing larger was made), and a refused one leaves the bitmap as it was.
TEST(JpegPng, DamagedFilesNeverCrash) {
  auto photo = MakeBitmap(40, 32, Photo);
  for (const char* ext : {"jpg", "png"}) {
    const std::string whole = Scratch() + "\\fuzz." + ext;
    ASSERT_EQ(S_OK, photo->Save(Bstr(whole), std::string(ext) == "jpg" ? ftJPEG : ftPNG, 24, 0));
    const std::vector<char> bytes = Bytes(whole);
    std::mt19937 random(20261210);
    int loaded = 0;
    for (int round = 0; round < 200; ++round) {
      std::vector<char> damaged = bytes;
      if (round % 3 == 0) {
        damaged.resize(std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(random));
      } else {
        const int flips = 1 + round % 4;
        for (int k = 0; k < flips; ++k)
          damaged[std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(random)] ^=
              char(1 << std::uniform_int_distribution<int>(0, 7)(random));
      }
      const std::string path = Scratch() + "\\damaged." + ext;
      Put(path, damaged, damaged.size());
      IUnknown* unknown = nullptr;
      ASSERT_EQ(S_OK, CreateObject(CLSID_FileReader, CLSCTX_ALL, &unknown));
      Ref<IUnknown> holder(unknown);
      auto reader = Query<IFileReader>(unknown);
      const bool opened = SUCCEEDED(reader->Open(Bstr(path)));
      long w = 0, h = 0;
      if (opened) reader->GetImageSize(0, &w, &h);
      auto target = MakeFlat(2, 2, RGB(1, 2, 3));
      const HRESULT hr = target->Load(Bstr(path), 24);
      if (SUCCEEDED(hr)) {
        ++loaded;
        EXPECT_EQ(S_OK, hr);
        EXPECT_TRUE(opened) << ext << " round " << round;
        auto ex = Query<IBitmapEx>(target.p);
        long gotW = 0, gotH = 0;
        ex->GetWidth(&gotW);
        ex->GetHeight(&gotH);
        EXPECT_EQ(w, gotW) << ext << " round " << round;
        EXPECT_EQ(h, gotH) << ext << " round " << round;
      } else {
        EXPECT_EQ(RGB(1, 2, 3), Read(target.p).At(0, 0)) << ext << " round " << round;
        EXPECT_NE(E_FAIL, hr) << ext << " round " << round;
      }
    }
    // Much damage leaves a JPEG readable (libjpeg gets past bad data with a warning), so the rows of damaged
    // files are exercised too; PNG checks every chunk's CRC and refuses nearly everything.
    if (std::string(ext) == "jpg") EXPECT_GT(loaded, 20);
  }
}

// Written for check-jpeg-png.sh, which reads them with djpeg and ImageMagick: a photograph at quality 70
// and 95, in grey, as PNG, and a palette PNG, with the pixels each should hold beside them.
TEST(JpegPng, OurFilesForTheOutsideCheck) {
  const std::string out = OutsideFolder("PELLORIN_JPEGPNG_OUT");
  if (out.empty()) GTEST_SKIP() << "run by check-jpeg-png.sh";
  auto photo = MakeBitmap(120, 80, Photo);
  auto blocks = MakeBitmap(120, 80, Blocks);
  SetDpi(photo.p, 300, 300);
  SetDpi(blocks.p, 72, 144);
  ASSERT_EQ(S_OK, photo->Save(Bstr(out + "\\q70.jpg"), ftJPEG, 24, 1));
  ASSERT_EQ(S_OK, photo->Save(Bstr(out + "\\q95.jpg"), ftJPEG, 24, 2));
  ASSERT_EQ(S_OK, photo->Save(Bstr(out + "\\grey.jpg"), ftJPEG, 8, 2));
  ASSERT_EQ(S_OK, photo->Save(Bstr(out + "\\colour.png"), ftPNG, 24, 0));
  ASSERT_EQ(S_OK, blocks->Save(Bstr(out + "\\palette.png"), ftPNG, 8, 0));
  WriteNetpbm(out + "\\photo.ppm", Read(photo.p));
  WriteNetpbm(out + "\\blocks.ppm", Read(blocks.p));
}

// Files written by other tools, made by check-jpeg-png.sh with the pixels they hold (as decoded by djpeg or
// ImageMagick). Its list: <file> <expected pixels or "refused"> <mean tolerance> <dpi or -> <comment or ->
// [<expected alpha>].
TEST(JpegPng, OtherToolsFilesDecode) {
  const std::string in = OutsideFolder("PELLORIN_FOREIGN_IN");
  if (in.empty()) GTEST_SKIP() << "run by check-jpeg-png.sh";
  std::ifstream list(in + "\\list.txt");
  std::string line;
  int cases = 0;
  while (std::getline(list, line)) {
    std::istringstream fields(line);
    std::string file, expect, dpi, comment, alpha;
    double tolerance = 0;
    if (!(fields >> file >> expect >> tolerance >> dpi >> comment)) continue;
    fields >> alpha;
    ++cases;
    const std::string path = in + "\\" + file;
    auto bitmap = MakeFlat(2, 2, RGB(1, 2, 3));
    const HRESULT hr = bitmap->Load(Bstr(path), 24);
    if (expect == "refused") {
      EXPECT_EQ(WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT, hr) << file;
      EXPECT_EQ(RGB(1, 2, 3), Read(bitmap.p).At(0, 0)) << file;
      continue;
    }
    ASSERT_EQ(S_OK, hr) << file;
    const Pixels want = ReadNetpbm(in + "\\" + expect);
    ASSERT_FALSE(want.values.empty()) << expect;
    EXPECT_LE(MeanDifference(want, Read(bitmap.p)), tolerance) << file;
    if (dpi != "-") {
      EXPECT_EQ(std::atol(dpi.c_str()), Dpi(bitmap.p).first) << file;
    }
    if (!alpha.empty()) {
      const Pixels wantAlpha = ReadNetpbm(in + "\\" + alpha);
      const std::vector<int> got = ReadAlpha(bitmap.p);
      ASSERT_EQ(wantAlpha.values.size(), got.size()) << file;
      for (size_t i = 0; i < got.size(); ++i)
        ASSERT_NEAR(GetRValue(wantAlpha.values[i]), got[i], 1) << file << " " << i;
    }
    if (comment != "-") {
      IUnknown* unknown = nullptr;
      ASSERT_EQ(S_OK, CreateObject(CLSID_FileReader, CLSCTX_ALL, &unknown));
      Ref<IUnknown> holder(unknown);
      auto tags = Query<IFileTags>(unknown);
      ASSERT_EQ(S_OK, Query<IFileReader>(unknown)->Open(Bstr(path))) << file;
      VARIANT v;
      ASSERT_EQ(S_OK, tags->GetTag(37510, &v)) << file;
      EXPECT_EQ(Wide(comment), std::wstring(v.bstrVal)) << file;
      VariantClear(&v);
    }
  }
  EXPECT_GT(cases, 10);
}
