#include <Fixtures.h>

#include <fstream>

#include "ImageTestSupport.h"

using namespace imagetest;
using namespace zvkImage;

namespace {

struct Format {
  long type;
  const char* extension;
  bool lossy;
  bool keepsDpi;
};

const Format kFormats[] = {
    {ftJPEG, "jpg", true, true}, {ftPNG, "png", false, true},    {ftTIFF, "tif", false, true},
    {ftBMP, "bmp", false, true}, {ftTARGA, "tga", false, false}, {ftPCX, "pcx", false, true},
};

std::string Scratch() {
  static const std::string folder = testsupport::ScratchFolder("image");
  return folder;
}

}  // namespace

TEST(ImageCodecs, EachFormatAtEightAndTwentyFourBitsReadsBack) {
  for (const Format& f : kFormats)
    for (long bits : {24L, 8L, 0L}) {  // 0: the library's own choice, 24 bits
      const std::string path = Scratch() + "\\blocks" + std::to_string(bits) + "." + f.extension;
      // JPEG gets a smooth picture (hard colour edges are what it blurs); the others a few exact colours.
      auto bitmap = f.lossy
                        ? MakeBitmap(37, 21, [](int x, int y) { return RGB(40 + x * 4, 60 + y * 6, 128); })
                        : MakeBitmap(37, 21, Blocks);
      Query<IResolution>(bitmap.p)->SetResolution(150, 150);
      ASSERT_EQ(S_OK, bitmap->Save(Bstr(path), f.type, bits, f.type == ftJPEG ? 2 : 0)) << path;
      auto back = NewBitmap();
      ASSERT_EQ(S_OK, back->Load(Bstr(path), 24)) << path;
      const Pixels a = Read(bitmap.p), b = Read(back.p);
      ASSERT_EQ(a.width, b.width) << path;
      ASSERT_EQ(a.height, b.height) << path;
      int worst = 0;
      double total = 0;
      for (size_t i = 0; i < a.values.size(); ++i) {
        COLORREF expected = a.values[i];
        if (f.type == ftJPEG && bits == 8) {  // 8-bit JPEG is grey
          const int y =
              (GetRValue(expected) * 77 + GetGValue(expected) * 150 + GetBValue(expected) * 29 + 128) >> 8;
          expected = RGB(y, y, y);
        }
        worst = std::max(worst, MaxDifference(expected, b.values[i]));
        total += MaxDifference(expected, b.values[i]);
      }
      if (f.lossy)  // JPEG: hard colour edges blur, the picture as a whole stays
        EXPECT_LE(total / a.values.size(), 4.0) << path;
      else
        EXPECT_EQ(0, worst) << path;
      long dx = 0, dy = 0;
      Query<IResolution>(back.p)->GetResolution(&dx, &dy);
      EXPECT_EQ(f.keepsDpi ? 150 : 72, dx) << path;
      EXPECT_EQ(f.keepsDpi ? 150 : 72, dy) << path;
    }
}

TEST(ImageCodecs, ManyColoursGoThroughTheQuantiserAtEightBits) {
  const std::string path = Scratch() + "\\ramp8.png";
  auto bitmap = MakeBitmap(64, 64, [](int x, int y) { return RGB(x * 4, y * 4, (x + y) * 2); });
  ASSERT_EQ(S_OK, bitmap->Save(Bstr(path), ftPNG, 8, 0));
  auto back = NewBitmap();
  ASSERT_EQ(S_OK, back->Load(Bstr(path), 24));
  const Pixels a = Read(bitmap.p), b = Read(back.p);
  double error = 0;
  for (size_t i = 0; i < a.values.size(); ++i) error += MaxDifference(a.values[i], b.values[i]);
  EXPECT_LT(error / a.values.size(), 12.0);
}

TEST(ImageCodecs, PictFilesForTheOutsideCheck) {
  // Written here; check-pict.sh compares them with ImageMagick's reading. The header is checked here.
  for (long bits : {24L, 8L}) {
    const std::string out = testsupport::ScratchFolder("pict");
    auto bitmap = MakeBitmap(37, 21, Blocks);
    Query<IResolution>(bitmap.p)->SetResolution(144, 144);
    const std::string path = out + "\\blocks.pct";
    ASSERT_EQ(S_OK, bitmap->Save(Bstr(path), ftPICT, bits, 0));
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 600u);
    EXPECT_EQ(0x00, bytes[522]);  // version opcode 0x0011 after the preamble, size and frame
    EXPECT_EQ(0x11, bytes[523]);
    EXPECT_EQ(0x02, bytes[524]);
    EXPECT_EQ(0xFF, bytes[525]);
    // The extended header's resolution, a fixed-point 144.0 twice (ImageMagick does not report it).
    EXPECT_EQ((std::vector<uint8_t>{0x00, 0x90, 0x00, 0x00, 0x00, 0x90, 0x00, 0x00}),
              std::vector<uint8_t>(bytes.begin() + 532, bytes.begin() + 540));
    EXPECT_EQ(0x00, bytes[bytes.size() - 2]);
    EXPECT_EQ(0xFF, bytes[bytes.size() - 1]);
    // The expected pixels as a binary PPM beside it.
    const char* target = getenv("PELLORIN_PICT_OUT");
    if (target && *target) {
      const std::string name = std::string(target) + "\\blocks" + std::to_string(bits);
      CopyFileA(path.c_str(), (name + ".pct").c_str(), FALSE);
      std::ofstream ppm(name + ".ppm", std::ios::binary);
      ppm << "P6\n37 21\n255\n";
      for (COLORREF c : Read(bitmap.p).values)
        ppm << char(GetRValue(c)) << char(GetGValue(c)) << char(GetBValue(c));
    }
  }
}

TEST(ImageCodecs, SaveAndLoadReportProgressThroughTheConnectionPoint) {
  class Sink : public IBitmapEvents {
   public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
      if (iid == IID_IUnknown || iid == __uuidof(IBitmapEvents)) {
        *out = this;
        AddRef();
        return S_OK;
      }
      *out = nullptr;
      return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LoadProgress(LONG_PTR caller, long done, long total) override {
      loads.push_back(done), lastCaller = caller, lastTotal = total;
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SaveProgress(LONG_PTR caller, long done, long total) override {
      saves.push_back(done), lastCaller = caller, lastTotal = total;
      return S_OK;
    }
    ULONG refs = 1;
    std::vector<long> loads, saves;
    LONG_PTR lastCaller = 0;
    long lastTotal = 0;
  } sink;
  auto bitmap = MakeBitmap(64, 64, Blocks);
  auto container = Query<IConnectionPointContainer>(bitmap.p);
  Ref<IConnectionPoint> point;
  ASSERT_EQ(S_OK, container->FindConnectionPoint(__uuidof(IBitmapEvents), point.Out()));
  DWORD cookie = 0;
  ASSERT_EQ(S_OK, point->Advise(&sink, &cookie));
  int marker = 0;
  const LONG_PTR caller = reinterpret_cast<LONG_PTR>(&marker);
  ASSERT_EQ(S_OK, bitmap->SetProgress(10, caller));
  const std::string path = Scratch() + "\\progress.bmp";
  ASSERT_EQ(S_OK, bitmap->Save(Bstr(path), ftBMP, 24, 0));
  ASSERT_FALSE(sink.saves.empty());
  EXPECT_EQ(10, sink.saves.back());
  EXPECT_EQ(10, sink.lastTotal);
  EXPECT_EQ(caller, sink.lastCaller);
  ASSERT_EQ(S_OK, bitmap->Load(Bstr(path), 24));
  ASSERT_FALSE(sink.loads.empty());
  EXPECT_EQ(10, sink.loads.back());
  EXPECT_TRUE(std::is_sorted(sink.loads.begin(), sink.loads.end()));
  EXPECT_EQ(S_OK, point->Unadvise(cookie));
  EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(cookie));
  EXPECT_EQ(1u, sink.refs);
}

TEST(ImageCodecs, ProgressSinksMayWaitOnAThreadThatUsesTheBitmap) {
  // A sink that hands the bitmap to another thread and waits for its answer, as a sink that sends a
  // message to a window would: the bitmap's lock must not be held while progress is reported.
  class Sink : public IBitmapEvents {
   public:
    explicit Sink(IBitmap* watched) : bitmap(watched) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
      if (iid == IID_IUnknown || iid == __uuidof(IBitmapEvents)) {
        *out = this;
        return S_OK;
      }
      *out = nullptr;
      return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LoadProgress(LONG_PTR, long, long) override { return AskOtherThread(); }
    HRESULT STDMETHODCALLTYPE SaveProgress(LONG_PTR, long, long) override { return AskOtherThread(); }
    HRESULT AskOtherThread() {
      HANDLE thread = CreateThread(
          nullptr, 0,
          [](void* self) -> DWORD {
            long width = 0;
            static_cast<Sink*>(self)->bitmap->GetWidth(&width);
            return DWORD(width);
          },
          this, 0, nullptr);
      if (WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0)
        ++answered;
      else
        ++stuck;
      // A stuck thread is left waiting on the lock: it ends once the call that holds it returns.
      CloseHandle(thread);
      return S_OK;
    }
    IBitmap* bitmap;
    int answered = 0, stuck = 0;
  };
  auto bitmap = MakeBitmap(64, 64, Blocks);
  Sink sink(bitmap.p);
  Ref<IConnectionPoint> point;
  ASSERT_EQ(S_OK, Query<IConnectionPointContainer>(bitmap.p)->FindConnectionPoint(__uuidof(IBitmapEvents),
                                                                                  point.Out()));
  DWORD cookie = 0;
  ASSERT_EQ(S_OK, point->Advise(&sink, &cookie));
  ASSERT_EQ(S_OK, bitmap->SetProgress(4, 0));
  const std::string path = Scratch() + "\\waiting.bmp";
  EXPECT_EQ(S_OK, bitmap->Save(Bstr(path), ftBMP, 24, 0));
  EXPECT_EQ(S_OK, bitmap->Load(Bstr(path), 24));
  EXPECT_GT(sink.answered, 1);
  EXPECT_EQ(0, sink.stuck);
  point->Unadvise(cookie);
}

TEST(ImageCodecs, BadFilesAndArgumentsFailCleanly) {
  auto bitmap = MakeBitmap(8, 8, Blocks);
  EXPECT_TRUE(FAILED(bitmap->Load(Bstr(Scratch() + "\\missing.jpg"), 24)));
  EXPECT_EQ(E_INVALIDARG, bitmap->Save(Bstr(Scratch() + "\\x.jpg"), 99, 24, 0));
  EXPECT_EQ(E_INVALIDARG, bitmap->Save(Bstr(Scratch() + "\\x.jpg"), ftJPEG, 16, 0));
  // Truncated files of our own coders are refused, and the bitmap keeps its pixels.
  for (const char* ext : {"tga", "pcx"}) {
    const std::string path = Scratch() + "\\whole." + ext;
    ASSERT_EQ(S_OK, bitmap->Save(Bstr(path), std::string(ext) == "tga" ? ftTARGA : ftPCX, 24, 0));
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (size_t cut : {size_t(0), size_t(10), size_t(100), bytes.size() / 2, bytes.size() - 1}) {
      const std::string part = Scratch() + "\\cut." + ext;
      std::ofstream(part, std::ios::binary).write(bytes.data(), std::streamsize(cut));
      auto target = MakeFlat(2, 2, RGB(1, 2, 3));
      EXPECT_TRUE(FAILED(target->Load(Bstr(part), 24))) << ext << " cut at " << cut;
      EXPECT_EQ(RGB(1, 2, 3), Read(target.p).At(0, 0));
    }
  }
  // Headers that claim 32,000 x 32,000 pixels over a few bytes (run-length and plain TARGA, PCX) are
  // refused on what the bytes can carry.
  std::vector<uint8_t> rle = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x7D, 0x00, 0x7D, 24, 0x20};
  for (int i = 0; i < 64; ++i) rle.insert(rle.end(), {0xFF, 10, 20, 30});  // 64 runs of 128 pixels
  std::vector<uint8_t> plain = rle;
  plain[2] = 2;
  std::vector<uint8_t> pcx(128 + 256, 0xC1);
  const uint8_t pcxHead[] = {0x0A, 5, 1, 8, 0, 0, 0, 0, 0xFF, 0x7C, 0xFF, 0x7C};  // 0..31999 both ways
  std::copy(std::begin(pcxHead), std::end(pcxHead), pcx.begin());
  pcx[65] = 3, pcx[66] = 0x00, pcx[67] = 0x7D;  // three planes of 32,000 bytes
  const std::pair<const char*, std::vector<uint8_t>> huge[] = {
      {"huge-rle.tga", rle}, {"huge.tga", plain}, {"huge.pcx", pcx}};
  for (const auto& [name, bytes] : huge) {
    const std::string path = Scratch() + "\\" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    auto target = MakeFlat(2, 2, RGB(1, 2, 3));
    EXPECT_TRUE(FAILED(target->Load(Bstr(path), 24))) << name;
    EXPECT_EQ(RGB(1, 2, 3), Read(target.p).At(0, 0)) << name;
  }
}
