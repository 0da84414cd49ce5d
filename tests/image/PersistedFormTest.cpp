#include <zlib.h>

#include <thread>

#include "ImageTestSupport.h"
#include "MemoryStream.h"

using namespace imagetest;
using namespace zvkImage;

namespace {

std::vector<uint8_t> Persist(IBitmap* bitmap) {
  MemoryStream stream;
  EXPECT_EQ(S_OK, bitmap->SaveToStream(&stream, 0));
  return stream.bytes;
}

COLORREF Noise(int x, int y) {
  uint32_t v = uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u;
  v ^= v >> 13;
  v *= 0x5bd1e995u;
  return COLORREF(v & 0xFFFFFF);
}

Ref<IBitmap> Keyed(int w, int h) {
  auto bitmap =
      MakeBitmap(w, h, [](int x, int y) { return (x + y) % 3 ? RGB(10, 220, 30) : RGB(220, 40, 30); });
  const float key[5] = {120.0f / 360, 10.0f / 360, 3.0f / 360, 0.05f, 0.2f};
  bitmap->HueKey(key);
  return bitmap;
}

// The bytes of memory the process has committed.
uint64_t CommittedBytes() {
  uint64_t total = 0;
  MEMORY_BASIC_INFORMATION region{};
  const uint8_t* at = nullptr;
  while (VirtualQuery(at, &region, sizeof(region)) == sizeof(region)) {
    if (region.State == MEM_COMMIT) total += region.RegionSize;
    const uint8_t* next = static_cast<const uint8_t*>(region.BaseAddress) + region.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return total;
}

// A stream that notes, at every read, the most memory the process had committed.
class WatchingStream : public MemoryStream {
 public:
  uint64_t most = 0;
  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override {
    most = std::max(most, CommittedBytes());
    return MemoryStream::Read(buffer, count, read);
  }
};

// A stream with room for so many bytes: a write beyond them is refused whole (and counted).
class FillingStream : public MemoryStream {
 public:
  explicit FillingStream(size_t room) : room(room) {}
  size_t room;
  int refused = 0;
  HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override {
    if (bytes.size() + count <= room) return MemoryStream::Write(buffer, count, written);
    ++refused;
    if (written) *written = 0;
    return STG_E_MEDIUMFULL;
  }
};

COLORREF PixelAt(IBitmap* bitmap, int x, int y) {
  RECT one{x, y, x + 1, y + 1};
  VARIANT v;
  VariantInit(&v);
  EXPECT_EQ(S_OK, Query<IBitmapEx>(bitmap)->Sample(&one, &v));
  const COLORREF colour = v.vt == VT_I4 ? COLORREF(v.lVal) : CLR_INVALID;
  VariantClear(&v);
  return colour;
}

void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// The 40-byte header of a picture of w x h (its rows per band and band count as the writer gives them),
// with a good checksum.
std::vector<uint8_t> Header(uint32_t w, uint32_t h) {
  std::vector<uint8_t> head = Persist(MakeFlat(1, 1, 0).p);
  head.resize(40);
  const uint32_t rowsPerBand = std::max<uint32_t>(1, (1u << 20) / (w * 4 + 2));
  PutU32(&head[8], w);
  PutU32(&head[12], h);
  PutU32(&head[28], rowsPerBand);
  PutU32(&head[32], (h + rowsPerBand - 1) / rowsPerBand);
  PutU32(&head[36], uint32_t(crc32(0, head.data(), 36)));
  return head;
}

}  // namespace

TEST(ImagePersistedForm, EveryKindOfBitmapRoundTripsExactly) {
  struct Case {
    const char* name;
    Ref<IBitmap> bitmap;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", NewBitmap()});
  cases.push_back({"one pixel", MakeFlat(1, 1, RGB(1, 2, 3))});
  cases.push_back({"odd width", MakeBitmap(13, 7, Noise)});
  cases.push_back({"tall", MakeBitmap(3, 700, Noise)});
  cases.push_back({"alpha", Keyed(31, 17)});
  cases.push_back({"large", MakeBitmap(230, 280, Noise)});
  cases.push_back({"several bands", MakeBitmap(5000, 160, Noise)});
  Query<IResolution>(cases[2].bitmap.p)->SetResolution(300, 72);
  // A stream that tells its length has the picture decoded while it is read; any other is read first.
  for (bool answersStat : {false, true})
    for (Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "stat " << answersStat);
      MemoryStream stream;
      stream.answersStat = answersStat;
      ASSERT_EQ(S_OK, c.bitmap->SaveToStream(&stream, 0)) << c.name;
      stream.position = 0;
      auto back = NewBitmap();
      ASSERT_EQ(S_OK, back->LoadFromStream(&stream, 0)) << c.name;
      EXPECT_EQ(stream.bytes.size(), stream.position) << c.name;  // reads exactly what was written
      long w1, h1, w2, h2;
      c.bitmap->GetWidth(&w1), c.bitmap->GetHeight(&h1), back->GetWidth(&w2), back->GetHeight(&h2);
      ASSERT_EQ(w1, w2) << c.name;
      ASSERT_EQ(h1, h2) << c.name;
      if (w1 * h1 > 0 && w1 * h1 <= 65536) {
        EXPECT_EQ(Read(c.bitmap.p).values, Read(back.p).values) << c.name;
        EXPECT_EQ(ReadAlpha(c.bitmap.p), ReadAlpha(back.p)) << c.name;
      }
      EXPECT_EQ(stream.bytes, Persist(back.p)) << c.name;  // and writes the same bytes again
    }
  long dx = 0, dy = 0;
  auto back = NewBitmap();
  MemoryStream s;
  cases[2].bitmap->SaveToStream(&s, 0);
  s.position = 0;
  back->LoadFromStream(&s, 0);
  Query<IResolution>(back.p)->GetResolution(&dx, &dy);
  EXPECT_EQ(300, dx);
  EXPECT_EQ(72, dy);
}

TEST(ImagePersistedForm, SamePictureGivesSameBytesWhateverTheOptions) {
  auto a = MakeBitmap(300, 250, Noise);
  auto b = NewBitmap();
  b->CopyFrom(a.p);
  b->SetOptions(1, 2);
  a->SetOptions(1, 0);
  EXPECT_EQ(Persist(a.p), Persist(b.p));
  Query<ITransform>(b.p)->MirrorHorizontal();
  EXPECT_NE(Persist(a.p), Persist(b.p));
}

TEST(ImagePersistedForm, BandsCodedAtOnceAreWrittenInOrderAndAFullStreamEndsTheWrite) {
  // Bands of about a megabyte, coded on several threads: 400 x 2000 makes four (654 rows each, the last 38);
  // 20000 x 800 makes 62 of 13 rows, more than are ever coded ahead of the stream.
  for (auto [width, height] : {std::pair{400, 2000}, std::pair{20000, 800}}) {
    SCOPED_TRACE(testing::Message() << width << " x " << height);
    const int rowsPerBand = (1 << 20) / (4 * width + 2);
    auto picture = MakeBitmap(width, height, Noise);
    const std::vector<uint8_t> good = Persist(picture.p);
    MemoryStream stream;
    stream.bytes = good;
    auto back = NewBitmap();
    ASSERT_EQ(S_OK, back->LoadFromStream(&stream, 0));
    // Every band's rows where they belong: the first and last row of each band.
    for (int y0 = 0; y0 < height; y0 += rowsPerBand)
      for (int y : {y0, std::min(height, y0 + rowsPerBand) - 1})
        for (int x : {0, width / 2, width - 1})
          ASSERT_EQ(Noise(x, y), PixelAt(back.p, x, y)) << x << ", " << y;
    // Wherever the stream fills up, the write ends with the stream's failure, writes nothing more after
    // it, and what went in is the start of the whole form.
    for (size_t room : {size_t(0), size_t(40), good.size() / 2, good.size() - 1}) {
      SCOPED_TRACE(testing::Message() << "room " << room);
      FillingStream full(room);
      EXPECT_EQ(STG_E_MEDIUMFULL, picture->SaveToStream(&full, 0));
      EXPECT_EQ(1, full.refused);
      ASSERT_LE(full.bytes.size(), good.size());
      EXPECT_TRUE(std::equal(full.bytes.begin(), full.bytes.end(), good.begin()));
    }
  }
}

TEST(ImagePersistedForm, TwoBitmapsBackToBackEachReadTheirOwnLength) {
  auto draft = MakeBitmap(20, 10, Noise);
  auto full = Keyed(60, 30);
  MemoryStream stream;
  ASSERT_EQ(S_OK, draft->SaveToStream(&stream, 0));
  ASSERT_EQ(S_OK, full->SaveToStream(&stream, 0));
  stream.position = 0;
  auto d = NewBitmap(), f = NewBitmap();
  ASSERT_EQ(S_OK, d->LoadFromStream(&stream, 0));
  ASSERT_EQ(S_OK, f->LoadFromStream(&stream, 0));
  EXPECT_EQ(Read(draft.p).values, Read(d.p).values);
  EXPECT_EQ(Read(full.p).values, Read(f.p).values);
  EXPECT_EQ(stream.bytes.size(), stream.position);
}

TEST(ImagePersistedForm, TruncatedOrCorruptedDataFailsCleanly) {
  auto bitmap = Keyed(40, 30);
  const std::vector<uint8_t> good = Persist(bitmap.p);
  auto target = MakeFlat(2, 2, RGB(5, 6, 7));
  for (bool answersStat : {false, true})
    for (size_t cut = 0; cut < good.size(); cut += (cut < 64 ? 1 : 17)) {
      MemoryStream stream;
      stream.answersStat = answersStat;
      stream.bytes.assign(good.begin(), good.begin() + cut);
      ASSERT_TRUE(FAILED(target->LoadFromStream(&stream, 0))) << "cut at " << cut << ", stat " << answersStat;
    }
  // Bands cut or damaged in the middle of a picture decoded while it is read.
  const std::vector<uint8_t> banded = Persist(MakeBitmap(5000, 160, Noise).p);
  for (size_t part = 1; part < 8; ++part) {
    const size_t at = banded.size() * part / 8;
    MemoryStream cut, flipped;
    cut.answersStat = flipped.answersStat = true;
    cut.bytes.assign(banded.begin(), banded.begin() + at);
    flipped.bytes = banded;
    flipped.bytes[at] ^= 0x5A;
    EXPECT_TRUE(FAILED(target->LoadFromStream(&cut, 0))) << "cut at " << at;
    const HRESULT hr = target->LoadFromStream(&flipped, 0);
    if (SUCCEEDED(hr)) EXPECT_EQ(banded, Persist(target.p)) << "flip at " << at;
  }
  // A flipped byte fails the load, or (where zlib's coding leaves the bit unused) gives the picture
  // unchanged.
  const Pixels original = Read(bitmap.p);
  int failed = 0, tried = 0;
  for (size_t at = 0; at < good.size(); at += (at < 64 ? 1 : 7), ++tried) {
    MemoryStream stream;
    stream.bytes = good;
    stream.bytes[at] ^= 0x5A;
    auto probe = MakeFlat(2, 2, RGB(5, 6, 7));
    if (FAILED(probe->LoadFromStream(&stream, 0))) {
      ++failed;
      EXPECT_EQ(RGB(5, 6, 7), Read(probe.p).At(1, 1));
    } else {
      ASSERT_EQ(original.values, Read(probe.p).values) << "flip at " << at;
    }
  }
  EXPECT_GT(failed, tried * 9 / 10);
  // A failed load leaves the bitmap as it was.
  EXPECT_EQ(RGB(5, 6, 7), Read(target.p).At(1, 1));
  // A header that claims a huge picture is refused before anything is allocated.
  MemoryStream huge;
  huge.bytes = good;
  huge.bytes[10] = 0xFF, huge.bytes[11] = 0x7F;
  EXPECT_TRUE(FAILED(target->LoadFromStream(&huge, 0)));
  EXPECT_EQ(E_POINTER, target->LoadFromStream(nullptr, 0));
}

TEST(ImagePersistedForm, AHugeHeaderOverFewBytesFailsBeforeAnyLargeAllocation) {
  // 32,000 x 32,000 lies inside the library's limits (3 GB of pixels); the stream holds only the header, or
  // the header and a few bands' worth of bytes.
  auto target = MakeFlat(2, 2, RGB(5, 6, 7));
  for (bool answersStat : {true, false})
    for (size_t extra : {size_t(0), size_t(4096)}) {
      SCOPED_TRACE(testing::Message() << "stat " << answersStat << ", extra " << extra);
      WatchingStream stream;
      stream.bytes = Header(32000, 32000);
      stream.bytes.resize(stream.bytes.size() + extra, 0x11);
      stream.answersStat = answersStat;
      const uint64_t before = CommittedBytes();
      EXPECT_EQ(E_FAIL, target->LoadFromStream(&stream, 0));
      EXPECT_LT(stream.most, before + (uint64_t(512) << 20));
      if (answersStat) EXPECT_EQ(40u, stream.position);  // refused on the header alone
      EXPECT_EQ(RGB(5, 6, 7), Read(target.p).At(1, 1));
    }
  // The same checks let a real picture through, whether or not its stream tells its length.
  auto picture = MakeBitmap(230, 280, Noise);
  for (bool answersStat : {true, false}) {
    MemoryStream stream;
    stream.bytes = Persist(picture.p);
    stream.answersStat = answersStat;
    auto back = NewBitmap();
    ASSERT_EQ(S_OK, back->LoadFromStream(&stream, 0));
    EXPECT_EQ(Read(picture.p).values, Read(back.p).values);
  }
}

TEST(ImagePersistedForm, OneBitmapServesManyThreadsAtOnce) {
  // Free-threaded: workers copy and persist the same bitmap while another turns a copy of it.
  auto shared = MakeBitmap(400, 300, Noise);
  const std::vector<uint8_t> expected = Persist(shared.p);
  std::vector<std::vector<uint8_t>> results(6);
  std::vector<std::thread> workers;
  for (size_t i = 0; i < results.size(); ++i)
    workers.emplace_back([&, i] {
      CoInitializeEx(nullptr, COINIT_MULTITHREADED);
      {
        auto mine = NewBitmap();
        mine->CopyFrom(shared.p);
        if (i % 2) mine->Rotate(0.5f), mine->Rotate(0.5f);
        MemoryStream stream;
        shared->SaveToStream(&stream, 0);
        results[i] = stream.bytes;
      }
      CoUninitialize();
    });
  for (auto& w : workers) w.join();
  for (const auto& r : results) EXPECT_EQ(expected, r);
}
