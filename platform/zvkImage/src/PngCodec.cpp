#include "PngCodec.h"

#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <png.h>

#include "PaletteQuantizer.h"
#include "PlaneWarmer.h"
#include "StdioFile.h"

// libpng reports a failure by calling our error function, which must not return: it jumps back (longjmp) to
// the setjmp in the one function that called into libpng. Those functions (the "Guarded" ones below) hold
// no object with a destructor, and libpng is C, so the jump never skips a destructor; the libpng objects,
// the file and every buffer live in the callers, outside the jump.

namespace zvkImage {
namespace {

struct Failure {
  jmp_buf jump;
  HRESULT result = S_OK;
  int warnings = 0;
};

// libpng's failures carry only a message; the few that mean something other than a damaged file are told
// apart by it.
[[noreturn]] void OnError(png_structp png, png_const_charp message) {
  Failure* failure = static_cast<Failure*>(png_get_error_ptr(png));
  HRESULT hr = WINCODEC_ERR_BADIMAGE;
  if (message) {
    if (std::strstr(message, "Write Error"))
      hr = STG_E_WRITEFAULT;
    else if (std::strstr(message, "ut of memory") || std::strstr(message, "Insufficient memory"))
      hr = E_OUTOFMEMORY;
    else if (std::strstr(message, "exceeds") || std::strstr(message, "too large"))
      hr = WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
    else if (std::strstr(message, "Not a PNG file"))
      hr = WINCODEC_ERR_UNKNOWNIMAGEFORMAT;
  }
  failure->result = hr;
  longjmp(failure->jump, 1);
}

// Warnings (a damaged ancillary chunk, say) are counted; the chunk is skipped and the picture still reads.
void OnWarning(png_structp png, png_const_charp) {
  ++static_cast<Failure*>(png_get_error_ptr(png))->warnings;
}

struct Reader {
  Failure failure;
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~Reader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

struct Writer {
  Failure failure;
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~Writer() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

struct Header {
  png_uint_32 width = 0, height = 0;
  int channels = 0;  // after the transformations: 3 or 4 (with alpha)
  int passes = 1;
  double dpiX = 0, dpiY = 0;  // 0: the file gives none
};

// Reads the chunks before the pixels and sets up the transformations to 8-bit BGR(A). False with
// failure.result set.
bool GuardedReadHeader(Reader* r, FILE* file, Header* header) {
  if (setjmp(r->failure.jump)) return false;
  r->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r->failure, OnError, OnWarning);
  if (!r->png) {
    r->failure.result = E_OUTOFMEMORY;
    return false;
  }
  r->info = png_create_info_struct(r->png);
  if (!r->info) png_error(r->png, "Out of memory");
  png_init_io(r->png, file);
  png_set_user_limits(r->png, PixelImage::kMaxSide, PixelImage::kMaxSide);
  png_read_info(r->png, r->info);
  header->width = png_get_image_width(r->png, r->info);
  header->height = png_get_image_height(r->png, r->info);
  const int type = png_get_color_type(r->png, r->info);
  if (png_get_bit_depth(r->png, r->info) == 16) png_set_scale_16(r->png);
  png_set_expand(r->png);  // palette to colour, 1, 2 and 4-bit grey to 8, transparency (tRNS) to alpha
  if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(r->png);
  png_set_bgr(r->png);
  header->passes = png_set_interlace_handling(r->png);
  png_read_update_info(r->png, r->info);
  header->channels = png_get_channels(r->png, r->info);
  if (header->channels != 3 && header->channels != 4) png_error(r->png, "unexpected channels");
  png_uint_32 x = 0, y = 0;
  int unit = 0;
  if (png_get_pHYs(r->png, r->info, &x, &y, &unit) && unit == PNG_RESOLUTION_METER && x > 0 && y > 0) {
    header->dpiX = x * 0.0254;
    header->dpiY = y * 0.0254;
  }
  return true;
}

struct RowTarget {
  uint8_t* bgr;  // first row of the picture
  size_t stride;
  uint8_t* alpha;       // first row of the alpha plane, or null
  uint8_t* wide;        // BGRA rows: one row, or the whole picture for an interlaced file; null without alpha
  PlaneWarmer* warmer;  // told before the first pass reaches each row
  const ProgressFn* progress;
};

void SplitAlpha(const uint8_t* bgra, uint8_t* bgr, uint8_t* alpha, png_uint_32 width) {
  for (png_uint_32 x = 0; x < width; ++x, bgra += 4, bgr += 3) {
    bgr[0] = bgra[0], bgr[1] = bgra[1], bgr[2] = bgra[2];
    alpha[x] = bgra[3];
  }
}

bool GuardedReadRows(Reader* r, const Header* h, const RowTarget* t) {
  if (setjmp(r->failure.jump)) return false;
  constexpr int kBands = 16;
  const uint64_t total = uint64_t(h->height) * h->passes;
  uint64_t done = 0;
  int band = 0;
  const bool whole = t->wide && h->passes > 1;
  for (int pass = 0; pass < h->passes; ++pass)
    for (png_uint_32 y = 0; y < h->height; ++y) {
      if (pass == 0) t->warmer->Reach(int(y) + 1);
      if (!t->wide) {
        png_read_row(r->png, t->bgr + size_t(y) * t->stride, nullptr);
      } else {
        uint8_t* row = t->wide + (whole ? size_t(y) * h->width * 4 : 0);
        png_read_row(r->png, row, nullptr);
        if (!whole)
          SplitAlpha(row, t->bgr + size_t(y) * t->stride, t->alpha + size_t(y) * h->width, h->width);
      }
      ++done;
      if (*t->progress)
        while (band < kBands && done >= total * (band + 1) / kBands) (*t->progress)(++band, kBands);
    }
  if (whole)
    for (png_uint_32 y = 0; y < h->height; ++y)
      SplitAlpha(t->wide + size_t(y) * h->width * 4, t->bgr + size_t(y) * t->stride,
                 t->alpha + size_t(y) * h->width, h->width);
  // What follows the pixels (text, time, the end chunk) is not needed: a file cut short after its last row
  // still loads.
  return true;
}

struct EncodeJob {
  FILE* file;
  const uint8_t* rows;  // first row: BGR, or palette indices
  size_t stride;
  png_uint_32 width, height;
  const png_color* palette;  // null: colour
  int paletteSize;
  double dpiX, dpiY;
  const ProgressFn* progress;
};

png_uint_32 PixelsPerMetre(double dpi) { return png_uint_32(std::lround((dpi > 0 ? dpi : 96.0) / 0.0254)); }

bool GuardedWrite(Writer* w, const EncodeJob* job) {
  if (setjmp(w->failure.jump)) return false;
  w->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &w->failure, OnError, OnWarning);
  if (!w->png) {
    w->failure.result = E_OUTOFMEMORY;
    return false;
  }
  w->info = png_create_info_struct(w->png);
  if (!w->info) png_error(w->png, "Out of memory");
  png_init_io(w->png, job->file);
  png_set_IHDR(w->png, w->info, job->width, job->height, 8,
               job->palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (job->palette) png_set_PLTE(w->png, w->info, job->palette, job->paletteSize);
  png_set_pHYs(w->png, w->info, PixelsPerMetre(job->dpiX), PixelsPerMetre(job->dpiY), PNG_RESOLUTION_METER);
  // zlib level 1 with the SUB filter alone: a photograph's sensor noise is what costs bytes, and neither a
  // deeper search nor trying every filter on each row removes it. Measured with libpng on a 6-megapixel
  // noisy photograph: libpng's default (level 6, every filter tried) took three times the processor time
  // for a file 1.1 % smaller than level 1 with SUB (level 1 with every filter: 1 % smaller, 10-25 % more
  // time). Palette indices are not values a filter can predict: no filter there.
  png_set_compression_level(w->png, 1);
  png_set_filter(w->png, PNG_FILTER_TYPE_BASE, job->palette ? PNG_FILTER_NONE : PNG_FILTER_SUB);
  // Larger IDAT chunks: fewer, larger writes.
  png_set_compression_buffer_size(w->png, 256 * 1024);
  png_write_info(w->png, w->info);
  if (!job->palette) png_set_bgr(w->png);
  constexpr int kBands = 16;
  int band = 0;
  for (png_uint_32 y = 0; y < job->height; ++y) {
    png_write_row(w->png, job->rows + size_t(y) * job->stride);
    if (*job->progress)
      while (band < kBands && y + 1 >= uint64_t(job->height) * (band + 1) / kBands)
        (*job->progress)(++band, kBands);
  }
  png_write_end(w->png, w->info);
  return true;
}

}  // namespace

HRESULT PngCodec::Inspect(const std::wstring& path, int& width, int& height) {
  width = height = 0;
  StdioFile file;
  HRESULT hr = file.Open(path, false);
  if (FAILED(hr)) return hr;
  Reader r;
  Header h;
  if (!GuardedReadHeader(&r, file.Get(), &h)) return r.failure.result;
  if (!PixelImage::SizeAllowed(h.width, h.height)) return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
  width = int(h.width);
  height = int(h.height);
  return S_OK;
}

HRESULT PngCodec::Decode(const std::wstring& path, PixelImage& image, const ProgressFn& progress) {
  StdioFile file;
  HRESULT hr = file.Open(path, false);
  if (FAILED(hr)) return hr;
  Reader r;
  Header h;
  if (!GuardedReadHeader(&r, file.Get(), &h)) return r.failure.result;
  if (h.width == 0 || h.height == 0 || !PixelImage::SizeAllowed(h.width, h.height))
    return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
  PixelImage out;
  out.Allocate(int(h.width), int(h.height),
               false);  // the row padding zeroed, the rest written by the decoder
  std::vector<uint8_t> wide;
  if (h.channels == 4) {
    out.AddAlpha(255);
    wide.resize(size_t(h.width) * 4 * (h.passes > 1 ? h.height : 1));
  }
  {
    PlaneWarmer warmer(out.Bits(), out.Stride(), out.Height());
    const RowTarget target{out.Bits(),
                           out.Stride(),
                           h.channels == 4 ? out.AlphaRow(0) : nullptr,
                           wide.empty() ? nullptr : wide.data(),
                           &warmer,
                           &progress};
    if (!GuardedReadRows(&r, &h, &target)) return r.failure.result;
  }
  if (h.dpiX > 0) {
    out.dpiX = h.dpiX;
    out.dpiY = h.dpiY;
  }
  image = std::move(out);
  return S_OK;
}

HRESULT PngCodec::Encode(const std::wstring& path, int bits, const PixelImage& image,
                         const ProgressFn& progress) {
  if ((bits != 8 && bits != 24) || image.Empty()) return E_INVALIDARG;
  IndexedImage indexed;
  std::vector<png_color> palette;
  if (bits == 8) {
    indexed = PaletteQuantizer::Quantize(image);
    for (const RGBQUAD& q : indexed.palette) palette.push_back({q.rgbRed, q.rgbGreen, q.rgbBlue});
    if (palette.empty()) return E_INVALIDARG;
  }
  EncodeJob job{nullptr,
                bits == 8 ? indexed.indices.data() : image.Bits(),
                bits == 8 ? size_t(image.Width()) : image.Stride(),
                png_uint_32(image.Width()),
                png_uint_32(image.Height()),
                bits == 8 ? palette.data() : nullptr,
                int(palette.size()),
                image.dpiX,
                image.dpiY,
                &progress};
  StdioFile file;
  HRESULT hr = file.Open(path, true);
  if (FAILED(hr)) return hr;
  job.file = file.Get();
  Writer w;
  if (!GuardedWrite(&w, &job)) return w.failure.result;
  return file.Close();
}

}  // namespace zvkImage
