#include "JpegCodec.h"

#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <vector>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

#include "ExifTagReader.h"
#include "PaletteQuantizer.h"
#include "PlaneWarmer.h"
#include "StdioFile.h"

// libjpeg reports a failure by calling error_exit, which must not return. Ours jumps back (longjmp) to the
// setjmp in the one function that called into libjpeg. Those functions (the "Guarded" ones below) hold no
// object with a destructor, and libjpeg is C, so the jump never skips a destructor; everything that needs
// cleaning up (the libjpeg object, the file, the pixels) lives in the callers, outside the jump.

namespace zvkImage {
namespace {

// Our own codes beside libjpeg's message codes.
constexpr int kUnsupportedColour = -1;
constexpr int kTooManyScans = -2;
constexpr int kNoProgress = -3;

// A progressive file may hold any number of scans, each a pass over the whole picture; a few hundred is far
// beyond what any encoder writes, while a crafted file with thousands of tiny scans would take minutes.
constexpr int kMaxScans = 500;

struct Failure {
  jpeg_error_mgr mgr;  // first: libjpeg's error pointer is this structure
  jmp_buf jump;
  int code = 0;
  int warnings = 0;
};

[[noreturn]] void OnError(j_common_ptr info) {
  Failure* failure = reinterpret_cast<Failure*>(info->err);
  failure->code = failure->mgr.msg_code;
  longjmp(failure->jump, 1);
}

// Warnings (level -1) are counted, nothing is printed: a program without a console has nowhere to print.
void OnMessage(j_common_ptr info, int level) {
  if (level < 0) ++reinterpret_cast<Failure*>(info->err)->warnings;
}
void NoOutput(j_common_ptr) {}

void OnProgress(j_common_ptr info) {
  if (!info->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) {
    Failure* failure = reinterpret_cast<Failure*>(info->err);
    failure->code = kTooManyScans;
    longjmp(failure->jump, 1);
  }
}

void InitFailure(Failure& failure) {
  jpeg_std_error(&failure.mgr);
  failure.mgr.error_exit = OnError;
  failure.mgr.emit_message = OnMessage;
  failure.mgr.output_message = NoOutput;
}

HRESULT ResultOf(int code) {
  switch (code) {
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
      return E_OUTOFMEMORY;
    case kUnsupportedColour:
    case JERR_CONVERSION_NOTIMPL:
    case JERR_BAD_IN_COLORSPACE:
    case JERR_BAD_PRECISION:
      return WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
      return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
    case JERR_FILE_WRITE:
      return STG_E_WRITEFAULT;
    case JERR_NO_SOI:
      return WINCODEC_ERR_UNKNOWNIMAGEFORMAT;
    default:  // damaged data, truncated header, too many scans
      return WINCODEC_ERR_BADIMAGE;
  }
}

struct Decompressor {
  jpeg_decompress_struct info{};
  Failure failure;
  jpeg_progress_mgr monitor{};
  Decompressor() { InitFailure(failure); }
  // Safe also when creation failed part way: libjpeg checks what it has.
  ~Decompressor() { jpeg_destroy_decompress(&info); }
};

struct Compressor {
  jpeg_compress_struct info{};
  Failure failure;
  Compressor() { InitFailure(failure); }
  ~Compressor() { jpeg_destroy_compress(&info); }
};

// Reads the markers up to the first scan and sets the output to 24-bit BGR. False with failure.code set.
bool GuardedReadHeader(Decompressor* d, FILE* file) {
  if (setjmp(d->failure.jump)) return false;
  d->info.err = &d->failure.mgr;
  jpeg_create_decompress(&d->info);
  d->monitor.progress_monitor = OnProgress;
  d->info.progress = &d->monitor;
  jpeg_stdio_src(&d->info, file);
  jpeg_save_markers(&d->info, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&d->info, TRUE);
  if (d->info.jpeg_color_space != JCS_GRAYSCALE && d->info.jpeg_color_space != JCS_YCbCr &&
      d->info.jpeg_color_space != JCS_RGB) {
    d->failure.code = kUnsupportedColour;  // CMYK and YCCK: printing separations, not photographs to key
    return false;
  }
  d->info.out_color_space = JCS_EXT_BGR;
  d->info.dct_method = JDCT_ISLOW;
  jpeg_calc_output_dimensions(&d->info);
  return true;
}

// Decodes every row into bits (rows of stride bytes), telling warmer before each block of rows. False with
// failure.code set.
bool GuardedReadRows(Decompressor* d, uint8_t* bits, size_t stride, PlaneWarmer* warmer,
                     const ProgressFn* progress) {
  if (setjmp(d->failure.jump)) return false;
  jpeg_start_decompress(&d->info);
  const JDIMENSION height = d->info.output_height;
  constexpr int kBands = 16;
  int band = 0;
  while (d->info.output_scanline < height) {
    JSAMPROW rows[16];
    const JDIMENSION first = d->info.output_scanline;
    const JDIMENSION count = std::min<JDIMENSION>(16, height - first);
    for (JDIMENSION i = 0; i < count; ++i) rows[i] = bits + size_t(first + i) * stride;
    warmer->Reach(int(first + count));
    if (jpeg_read_scanlines(&d->info, rows, count) == 0) {
      d->failure.code = kNoProgress;  // only a suspending source returns no rows; ours never should
      return false;
    }
    if (*progress)
      while (band < kBands && d->info.output_scanline >= uint64_t(height) * (band + 1) / kBands)
        (*progress)(++band, kBands);
  }
  jpeg_finish_decompress(&d->info);
  return true;
}

struct EncodeJob {
  FILE* file;
  const uint8_t* rows;  // first row
  size_t stride;
  int width, height;
  bool grey;
  int quality;
  double dpiX, dpiY;
  const ProgressFn* progress;
};

UINT16 Density(double dpi) {
  const double rounded = std::round(dpi > 0 ? dpi : 96.0);
  return UINT16(std::clamp(rounded, 1.0, 65535.0));
}

bool GuardedWrite(Compressor* c, const EncodeJob* job) {
  if (setjmp(c->failure.jump)) return false;
  c->info.err = &c->failure.mgr;
  jpeg_create_compress(&c->info);
  jpeg_stdio_dest(&c->info, job->file);
  c->info.image_width = JDIMENSION(job->width);
  c->info.image_height = JDIMENSION(job->height);
  c->info.input_components = job->grey ? 1 : 3;
  c->info.in_color_space = job->grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_set_defaults(&c->info);
  jpeg_set_quality(&c->info, job->quality, TRUE);
  // Full-resolution colour from quality 90 up, as ImageMagick and libvips do: at those qualities halved
  // chroma would be the larger loss. Below, the usual 4:2:0.
  if (!job->grey && job->quality >= 90)
    for (int i = 0; i < c->info.num_components; ++i)
      c->info.comp_info[i].h_samp_factor = c->info.comp_info[i].v_samp_factor = 1;
  c->info.dct_method = JDCT_ISLOW;
  c->info.write_JFIF_header = TRUE;
  c->info.density_unit = 1;  // dots per inch
  c->info.X_density = Density(job->dpiX);
  c->info.Y_density = Density(job->dpiY);
  jpeg_start_compress(&c->info, TRUE);
  constexpr int kBands = 16;
  int band = 0;
  const JDIMENSION height = c->info.image_height;
  while (c->info.next_scanline < height) {
    JSAMPROW rows[16];
    const JDIMENSION first = c->info.next_scanline;
    const JDIMENSION count = std::min<JDIMENSION>(16, height - first);
    for (JDIMENSION i = 0; i < count; ++i)
      rows[i] = const_cast<JSAMPROW>(job->rows + size_t(first + i) * job->stride);
    jpeg_write_scanlines(&c->info, rows, count);
    if (*job->progress)
      while (band < kBands && c->info.next_scanline >= uint64_t(height) * (band + 1) / kBands)
        (*job->progress)(++band, kBands);
  }
  jpeg_finish_compress(&c->info);
  return true;
}

// The resolution of a decoded file: the JFIF density when it is in inches or centimetres, else the EXIF
// resolution, else 96 dpi.
void ReadResolution(const jpeg_decompress_struct& info, PixelImage& image) {
  if (info.saw_JFIF_marker && (info.density_unit == 1 || info.density_unit == 2) && info.X_density > 0 &&
      info.Y_density > 0) {
    const double scale = info.density_unit == 2 ? 2.54 : 1.0;
    image.dpiX = info.X_density * scale;
    image.dpiY = info.Y_density * scale;
    return;
  }
  for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next)
    if (m->marker == JPEG_APP0 + 1 &&
        ExifTagReader::ReadResolution(m->data, m->data_length, image.dpiX, image.dpiY))
      return;
}

}  // namespace

HRESULT JpegCodec::Inspect(const std::wstring& path, int& width, int& height) {
  width = height = 0;
  StdioFile file;
  HRESULT hr = file.Open(path, false);
  if (FAILED(hr)) return hr;
  Decompressor d;
  if (!GuardedReadHeader(&d, file.Get())) return ResultOf(d.failure.code);
  if (!PixelImage::SizeAllowed(d.info.output_width, d.info.output_height))
    return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
  width = int(d.info.output_width);
  height = int(d.info.output_height);
  return S_OK;
}

HRESULT JpegCodec::Decode(const std::wstring& path, PixelImage& image, const ProgressFn& progress) {
  StdioFile file;
  HRESULT hr = file.Open(path, false);
  if (FAILED(hr)) return hr;
  Decompressor d;
  if (!GuardedReadHeader(&d, file.Get())) return ResultOf(d.failure.code);
  const JDIMENSION w = d.info.output_width, h = d.info.output_height;
  if (w == 0 || h == 0 || !PixelImage::SizeAllowed(w, h)) return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
  // libjpeg's own buffers (whole-picture coefficients for progressive files) stay within a few times the
  // picture's size, whatever the file claims beyond it.
  d.info.mem->max_memory_to_use = long(std::min<uint64_t>(uint64_t(w) * h * 8 + (64u << 20), LONG_MAX));
  PixelImage out;
  out.Allocate(int(w), int(h), false);  // the row padding zeroed, the rest written by the decoder
  // Before the rows: finishing the decode frees the saved markers.
  ReadResolution(d.info, out);
  {
    PlaneWarmer warmer(out.Bits(), out.Stride(), int(h));
    if (!GuardedReadRows(&d, out.Bits(), out.Stride(), &warmer, &progress)) return ResultOf(d.failure.code);
  }
  image = std::move(out);
  return S_OK;
}

HRESULT JpegCodec::Encode(const std::wstring& path, int bits, int quality, const PixelImage& image,
                          const ProgressFn& progress) {
  if ((bits != 8 && bits != 24) || image.Empty()) return E_INVALIDARG;
  if (image.Width() > JPEG_MAX_DIMENSION || image.Height() > JPEG_MAX_DIMENSION)
    return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
  std::vector<uint8_t> grey;
  if (bits == 8) grey = PaletteQuantizer::Grey(image);
  EncodeJob job{nullptr,
                bits == 8 ? grey.data() : image.Bits(),
                bits == 8 ? size_t(image.Width()) : image.Stride(),
                image.Width(),
                image.Height(),
                bits == 8,
                std::clamp(quality, 1, 100),
                image.dpiX,
                image.dpiY,
                &progress};
  StdioFile file;
  HRESULT hr = file.Open(path, true);
  if (FAILED(hr)) return hr;
  job.file = file.Get();
  Compressor c;
  if (!GuardedWrite(&c, &job)) return ResultOf(c.failure.code);
  return file.Close();
}

}  // namespace zvkImage
