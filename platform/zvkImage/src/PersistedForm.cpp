#include "PersistedForm.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>
#include <vector>

#include "BandCoder.h"
#include "ParallelRows.h"

namespace zvkImage {
namespace {

constexpr uint8_t kMagic[4] = {'Z', 'V', 'K', 'B'};
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderBytes = 36;
constexpr size_t kTargetBandBytes = 1 << 20;
constexpr uint32_t kMaxBandLength = 1u << 30;

struct FormError {};

void PutU16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
  PutU16(p, v & 0xFFFF);
  PutU16(p + 2, v >> 16);
}
uint32_t GetU16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t GetU32(const uint8_t* p) { return GetU16(p) | GetU16(p + 2) << 16; }

int RowsPerBand(int width) {
  const size_t rowBytes = size_t(width) * 4 + 2;
  return int(std::max<size_t>(1, kTargetBandBytes / rowBytes));
}

// The median-edge prediction: the median of left, up and left + up - upper-left (branch-free).
inline int Predict(int a, int b, int c) {
  const int lo = a < b ? a : b, hi = a < b ? b : a, grad = a + b - c;
  const int m = hi < grad ? hi : grad;
  return lo > m ? lo : m;
}

// Residuals of one plane row of n samples spaced `step` apart (step 3 for colour, 1 for alpha). The first row
// of a band predicts from the left only; the first sample of a row from above.
inline void FilterRow(const uint8_t* __restrict cur, const uint8_t* __restrict up, uint8_t* __restrict out,
                      int n, int step) {
  const int head = n < step ? n : step;
  if (!up) {
    for (int i = 0; i < head; ++i) out[i] = cur[i];
    for (int i = step; i < n; ++i) out[i] = uint8_t(cur[i] - cur[i - step]);
    return;
  }
  for (int i = 0; i < head; ++i) out[i] = uint8_t(cur[i] - up[i]);
  for (int i = step; i < n; ++i) out[i] = uint8_t(cur[i] - Predict(cur[i - step], up[i], up[i - step]));
}

inline void UnfilterRow(uint8_t* __restrict cur, const uint8_t* __restrict up, const uint8_t* __restrict in,
                        int n, int step) {
  const int head = n < step ? n : step;
  if (!up) {
    for (int i = 0; i < head; ++i) cur[i] = in[i];
    for (int i = step; i < n; ++i) cur[i] = uint8_t(in[i] + cur[i - step]);
    return;
  }
  for (int i = 0; i < head; ++i) cur[i] = uint8_t(in[i] + up[i]);
  for (int i = step; i < n; ++i) cur[i] = uint8_t(in[i] + Predict(cur[i - step], up[i], up[i - step]));
}

// BGR -> G, B-G, R-G and back.
inline void Decorrelate(const uint8_t* bgr, uint8_t* out, int width) {
  for (int x = 0; x < width; ++x, bgr += 3, out += 3) {
    out[0] = bgr[1];
    out[1] = uint8_t(bgr[0] - bgr[1]);
    out[2] = uint8_t(bgr[2] - bgr[1]);
  }
}
inline void Recorrelate(const uint8_t* in, uint8_t* bgr, int width) {
  for (int x = 0; x < width; ++x, bgr += 3, in += 3) {
    bgr[1] = in[0];
    bgr[0] = uint8_t(in[1] + in[0]);
    bgr[2] = uint8_t(in[2] + in[0]);
  }
}

size_t BandRawBytes(int width, int rows, bool alpha) {
  return size_t(rows) * size_t(width) * (alpha ? 4 : 3);
}

// Band buffers handed back once used, for the next band of this picture or of the next one: a block of
// memory is far slower to write the first time than again (under Wine above all, where a freed block of a
// megabyte goes back to the system), and importing pictures one after another would otherwise pay for
// fresh memory for every band in flight of every picture. At most kMaxKept buffers are kept.
class BufferShelf {
 public:
  static constexpr size_t kMaxKept = 32;

  static BufferShelf& Shared() {
    static BufferShelf* shelf = new BufferShelf;  // never destroyed: bands may end after statics go
    return *shelf;
  }

  // A buffer of at least `bytes`; its contents are undefined.
  std::vector<uint8_t> Take(size_t bytes) {
    std::vector<uint8_t> buffer;
    {
      std::lock_guard<std::mutex> guard(lock_);
      // Coded bands need more room than raw ones: the smallest buffer that holds the request is taken,
      // so that a small one is not grown (a fresh block again) while a large one waits.
      size_t pick = spare_.size();
      for (size_t i = 0; i < spare_.size(); ++i)
        if (spare_[i].size() >= bytes && (pick == spare_.size() || spare_[i].size() < spare_[pick].size()))
          pick = i;
      if (pick != spare_.size()) {
        buffer = std::move(spare_[pick]);
        spare_.erase(spare_.begin() + ptrdiff_t(pick));
      }
    }
    if (buffer.size() < bytes) buffer.resize(bytes);
    return buffer;
  }
  void Give(std::vector<uint8_t> buffer) {
    std::lock_guard<std::mutex> guard(lock_);
    if (spare_.size() < kMaxKept) spare_.push_back(std::move(buffer));
  }

 private:
  std::mutex lock_;
  std::vector<std::vector<uint8_t>> spare_;
};

// A band's coding in a buffer of the shelf, after 4 bytes left for its length.
struct CodedBand {
  std::vector<uint8_t> buffer;
  size_t size = 0;  // the 4 bytes included
};

CodedBand EncodeBand(const PixelImage& image, int y0, int y1, BufferShelf& shelf) {
  const int w = image.Width();
  const bool alpha = image.HasAlpha();
  std::vector<uint8_t> raw = shelf.Take(BandRawBytes(w, y1 - y0, alpha));
  std::vector<uint8_t> prev(size_t(w) * 3), cur(size_t(w) * 3);
  uint8_t* out = raw.data();
  for (int y = y0; y < y1; ++y) {
    Decorrelate(image.Row(y), cur.data(), w);
    FilterRow(cur.data(), y > y0 ? prev.data() : nullptr, out, w * 3, 3);
    out += size_t(w) * 3;
    cur.swap(prev);
  }
  if (alpha)
    for (int y = y0; y < y1; ++y) {
      FilterRow(image.AlphaRow(y), y > y0 ? image.AlphaRow(y - 1) : nullptr, out, w, 1);
      out += w;
    }
  CodedBand coded{shelf.Take(
      4 + BandCoder::Bound(size_t(y1 - y0) * size_t(w) * 3, alpha ? size_t(y1 - y0) * size_t(w) : 0))};
  coded.size = BandCoder::Encode(raw.data(), size_t(y1 - y0) * size_t(w) * 3,
                                 alpha ? size_t(y1 - y0) * size_t(w) : 0, 4, coded.buffer);
  shelf.Give(std::move(raw));
  return coded;
}

void DecodeBand(const std::vector<uint8_t>& packed, PixelImage& image, int y0, int y1) {
  const int w = image.Width();
  const bool alpha = image.HasAlpha();
  BufferShelf& shelf = BufferShelf::Shared();
  std::vector<uint8_t> raw = shelf.Take(BandRawBytes(w, y1 - y0, alpha));
  if (!BandCoder::Decode(packed.data(), packed.size(), raw.data(), size_t(y1 - y0) * size_t(w) * 3,
                         alpha ? size_t(y1 - y0) * size_t(w) : 0)) {
    shelf.Give(std::move(raw));
    throw FormError{};
  }
  std::vector<uint8_t> prev(size_t(w) * 3), cur(size_t(w) * 3);
  const uint8_t* in = raw.data();
  for (int y = y0; y < y1; ++y) {
    UnfilterRow(cur.data(), y > y0 ? prev.data() : nullptr, in, w * 3, 3);
    Recorrelate(cur.data(), image.Row(y), w);
    in += size_t(w) * 3;
    cur.swap(prev);
  }
  if (alpha)
    for (int y = y0; y < y1; ++y) {
      UnfilterRow(image.AlphaRow(y), y > y0 ? image.AlphaRow(y - 1) : nullptr, in, w, 1);
      in += w;
    }
  shelf.Give(std::move(raw));
}

HRESULT WriteAll(IStream* stream, const void* data, size_t size) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ULONG chunk = ULONG(std::min<size_t>(size, 1u << 30));
    ULONG written = 0;
    HRESULT hr = stream->Write(p, chunk, &written);
    if (FAILED(hr)) return hr;
    if (written != chunk) return STG_E_MEDIUMFULL;
    p += chunk;
    size -= chunk;
  }
  return S_OK;
}

// The coded bands go into the stream in order, each as soon as it and every band before it are coded, so that
// the stream's writing (a compound file's takes about as long as the coding) overlaps the coding of later
// bands. Whoever finishes a band takes the writer's turn when it is free and writes what is ready; nobody
// waits for anybody, so the bands need no particular number of threads. After a failed write the rest is
// only freed; the first failure is the result.
class InOrderBandWriter {
 public:
  InOrderBandWriter(IStream* stream, int bands, BufferShelf& shelf)
      : stream_(stream),
        bands_(bands),
        shelf_(shelf),
        packed_(size_t(bands)),
        ready_(new std::atomic<bool>[size_t(bands)]) {
    for (int b = 0; b < bands; ++b) ready_[b].store(false);
  }

  void Done(int band, CodedBand coded) {
    packed_[size_t(band)] = std::move(coded);
    ready_[band].store(true);
    // The writer checks for a ready band again after giving up its turn, so a band that became ready while
    // the turn was taken is never left behind.
    while (!writing_.exchange(true)) {
      WriteReady();
      writing_.store(false);
      const int next = next_.load();
      if (next >= bands_ || !ready_[next].load()) return;
    }
  }

  // Waits until the band may be coded: at most kMaxAhead bands are coded and not yet written, so that a
  // slow stream does not hold (and keep allocating) buffers for the whole picture. The band the stream
  // waits for is always being coded by a thread that does not wait here.
  void WaitForRoom(int band) {
    if (band < next_.load() + kMaxAhead) return;
    std::unique_lock<std::mutex> lock(roomLock_);
    room_.wait(lock, [&] { return band < next_.load() + kMaxAhead || Failed(); });
  }

  // A band that could not be coded ends the write: nothing after it is written, and no thread waits for it.
  void Fail(HRESULT error) {
    {
      std::lock_guard<std::mutex> lock(roomLock_);
      HRESULT expected = S_OK;
      result_.compare_exchange_strong(expected, error);
    }
    room_.notify_all();
  }

  bool Failed() const { return FAILED(result_.load()); }
  HRESULT Result() const {
    const HRESULT result = result_.load();
    return FAILED(result) || next_.load() == bands_ ? result : E_FAIL;
  }

 private:
  static constexpr int kMaxAhead = 24;

  void WriteReady() {
    for (int b = next_.load(); b < bands_ && ready_[b].load(); b = next_.load()) {
      CodedBand coded = std::move(packed_[size_t(b)]);
      if (SUCCEEDED(result_.load())) {
        PutU32(coded.buffer.data(), uint32_t(coded.size - 4));
        result_.store(WriteAll(stream_, coded.buffer.data(), coded.size));
      }
      shelf_.Give(std::move(coded.buffer));
      {
        std::lock_guard<std::mutex> lock(roomLock_);
        next_.store(b + 1);
      }
      room_.notify_all();
    }
  }

  IStream* stream_;
  const int bands_;
  BufferShelf& shelf_;
  std::vector<CodedBand> packed_;
  std::unique_ptr<std::atomic<bool>[]> ready_;
  std::atomic<int> next_{0};
  std::atomic<bool> writing_{false};

  std::atomic<HRESULT> result_{S_OK};
  std::mutex roomLock_;
  std::condition_variable room_;
};

// Reads exactly size bytes; a short stream is malformed data.
void ReadAll(IStream* stream, void* data, size_t size) {
  uint8_t* p = static_cast<uint8_t*>(data);
  while (size > 0) {
    ULONG got = 0;
    const ULONG chunk = ULONG(std::min<size_t>(size, 1u << 30));
    HRESULT hr = stream->Read(p, chunk, &got);
    if (FAILED(hr) || got == 0 || got > chunk) throw FormError{};
    p += got;
    size -= got;
  }
}

// The bytes left in the stream, or -1 when the stream cannot tell (no Stat, or no position).
int64_t RemainingBytes(IStream* stream) {
  STATSTG stat{};
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return -1;
  LARGE_INTEGER none{};
  ULARGE_INTEGER position{};
  if (FAILED(stream->Seek(none, STREAM_SEEK_CUR, &position))) return -1;
  if (position.QuadPart > stat.cbSize.QuadPart) return 0;
  return int64_t(std::min<uint64_t>(stat.cbSize.QuadPart - position.QuadPart, uint64_t(INT64_MAX)));
}

uint32_t MilliDpi(double dpi) {
  if (!(dpi > 0) || dpi > 4000000.0) return 0;
  return uint32_t(dpi * 1000.0 + 0.5);
}

}  // namespace

HRESULT PersistedForm::Write(const PixelImage& image, IStream* stream) {
  if (!stream) return E_POINTER;
  try {
    const int w = image.Width(), h = image.Height();
    const int rowsPerBand = RowsPerBand(w);
    const int bands = image.Empty() ? 0 : (h + rowsPerBand - 1) / rowsPerBand;
    uint8_t head[kHeaderBytes + 4] = {};
    std::memcpy(head, kMagic, 4);
    PutU16(head + 4, kVersion);
    PutU16(head + 6, image.HasAlpha() && !image.Empty() ? 1 : 0);
    PutU32(head + 8, image.Empty() ? 0 : uint32_t(w));
    PutU32(head + 12, image.Empty() ? 0 : uint32_t(h));
    PutU32(head + 16, MilliDpi(image.dpiX));
    PutU32(head + 20, MilliDpi(image.dpiY));
    head[24] = 1;  // method; bytes 25..27 stay 0
    PutU32(head + 28, uint32_t(rowsPerBand));
    // The band count sits after the rows per band; the CRC covers everything before it.
    PutU32(head + 32, uint32_t(bands));
    PutU32(head + 36, crc32(0, head, kHeaderBytes));
    HRESULT hr = WriteAll(stream, head, kHeaderBytes + 4);
    if (FAILED(hr) || bands == 0) return hr;
    // One band a part: parts are taken in order, so the first bands are coded first.
    BufferShelf& shelf = BufferShelf::Shared();
    InOrderBandWriter writer(stream, bands, shelf);
    ParallelParts(bands, bands, [&](int b0, int b1) {
      for (int b = b0; b < b1 && !writer.Failed(); ++b) {
        writer.WaitForRoom(b);
        if (writer.Failed()) break;
        CodedBand coded;
        try {
          coded = EncodeBand(image, b * rowsPerBand, std::min(h, (b + 1) * rowsPerBand), shelf);
        } catch (const std::bad_alloc&) {
          writer.Fail(E_OUTOFMEMORY);
          throw;
        } catch (...) {
          writer.Fail(E_FAIL);
          throw;
        }
        writer.Done(b, std::move(coded));
      }
    });
    return writer.Result();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT PersistedForm::Read(IStream* stream, PixelImage& image) {
  if (!stream) return E_POINTER;
  try {
    uint8_t head[40];
    ReadAll(stream, head, sizeof(head));
    if (std::memcmp(head, kMagic, 4) != 0 || GetU16(head + 4) != kVersion) return E_FAIL;
    if (crc32(crc32(0, head, 32), head + 32, 4) != GetU32(head + 36)) return E_FAIL;
    const uint32_t flags = GetU16(head + 6);
    const uint32_t w = GetU32(head + 8), h = GetU32(head + 12);
    const uint32_t rowsPerBand = GetU32(head + 28), bands = GetU32(head + 32);
    if ((flags & ~1u) != 0 || head[24] != 1 || head[25] != 0 || GetU16(head + 26) != 0) return E_FAIL;
    if (!PixelImage::SizeAllowed(w, h) || (w == 0) != (h == 0)) return E_FAIL;
    if (w == 0) {
      if (bands != 0 || flags != 0) return E_FAIL;
    } else if (rowsPerBand != uint32_t(RowsPerBand(int(w))) || bands != (h + rowsPerBand - 1) / rowsPerBand) {
      return E_FAIL;
    }
    // The picture is allocated only once the stream has shown that it holds it: every band codes each of its
    // bytes in at least one bit. A stream that can tell its length is checked at once; any other is read
    // band by band first, so a header that claims a huge picture ends at the first missing band.
    auto bandRows = [&](uint32_t b) { return std::min<uint32_t>(rowsPerBand, h - b * rowsPerBand); };
    const size_t alphaPerRow = (flags & 1) ? w : 0;
    uint64_t needed = 0;
    for (uint32_t b = 0; b < bands; ++b)
      needed += 4 + BandCoder::MinSize(size_t(bandRows(b)) * w * 3, size_t(bandRows(b)) * alphaPerRow);
    const int64_t remaining = RemainingBytes(stream);
    if (remaining >= 0 && uint64_t(remaining) < needed) return E_FAIL;
    const double dpiX = GetU32(head + 16) / 1000.0, dpiY = GetU32(head + 20) / 1000.0;
    // One band's coding from the stream. No band codes longer than its bound or shorter than its least.
    auto readBand = [&](uint32_t b, std::vector<uint8_t>& packed) {
      uint8_t len[4];
      ReadAll(stream, len, 4);
      const uint32_t length = GetU32(len);
      const size_t colour = size_t(bandRows(b)) * w * 3, alpha = size_t(bandRows(b)) * alphaPerRow;
      if (length < BandCoder::MinSize(colour, alpha) || length > BandCoder::Bound(colour, alpha) ||
          length > kMaxBandLength)
        throw FormError{};
      packed.resize(length);
      ReadAll(stream, packed.data(), length);
    };
    auto decode = [&](const std::vector<uint8_t>& packed, PixelImage& into, uint32_t b) {
      DecodeBand(packed, into, int(b * rowsPerBand), int(std::min(h, (b + 1) * rowsPerBand)));
    };
    PixelImage result;
    auto allocate = [&] {
      result.Allocate(int(w), int(h), false);
      if (flags & 1) result.AddAlpha(0);
      result.dpiX = dpiX;
      result.dpiY = dpiY;
    };
    if (remaining >= 0) {
      // The stream has shown that it holds the picture: it is allocated now and every band is decoded as
      // soon as it is read, so that the stream's time (a file's, mostly) passes while earlier bands are
      // decoded on the other cores. The stream is read by one thread at a time, in order.
      allocate();
      std::mutex reading;
      uint32_t next = 0;
      ParallelParts(int(bands), int(bands), [&](int p0, int p1) {
        for (int p = p0; p < p1; ++p) {
          std::vector<uint8_t> packed = BufferShelf::Shared().Take(0);
          uint32_t b = 0;
          {
            std::lock_guard<std::mutex> lock(reading);
            b = next++;
            readBand(b, packed);
          }
          decode(packed, result, b);
          BufferShelf::Shared().Give(std::move(packed));
        }
      });
    } else {
      // A stream that cannot tell its length is read whole first, so that a header that claims a huge
      // picture ends at the first missing band before anything is allocated.
      std::vector<std::vector<uint8_t>> packed(bands);
      for (uint32_t b = 0; b < bands; ++b) readBand(b, packed[b]);
      allocate();
      ParallelRows(int(bands), 1, [&](int b0, int b1) {
        for (int b = b0; b < b1; ++b) {
          decode(packed[b], result, uint32_t(b));
          std::vector<uint8_t>().swap(packed[b]);
        }
      });
    }
    image = std::move(result);
    return S_OK;
  } catch (const FormError&) {
    return E_FAIL;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace zvkImage
