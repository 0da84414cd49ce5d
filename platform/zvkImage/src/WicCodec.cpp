#include "WicCodec.h"

#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include <zvkImage/zvkImage.h>

#include "ComRef.h"
#include "PaletteQuantizer.h"

namespace zvkImage {
namespace {

HRESULT Factory(ComRef<IWICImagingFactory>& factory) {
  return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                          reinterpret_cast<void**>(&factory));
}

constexpr int kProgressBands = 16;

// Rows [0, h) in `bands` parts: part i covers [h*i/bands, h*(i+1)/bands).
inline int BandEdge(int h, int i, int bands) { return int(int64_t(h) * i / bands); }

}  // namespace

HRESULT WicCodec::Inspect(const std::wstring& path, std::vector<FrameInfo>& frames) {
  frames.clear();
  ComScope com;
  ComRef<IWICImagingFactory> factory;
  HRESULT hr = Factory(factory);
  if (FAILED(hr)) return hr;
  ComRef<IWICBitmapDecoder> decoder;
  hr = factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                          &decoder);
  if (FAILED(hr)) return hr;
  UINT count = 0;
  hr = decoder->GetFrameCount(&count);
  if (FAILED(hr)) return hr;
  for (UINT i = 0; i < count && i < 4096; ++i) {
    ComRef<IWICBitmapFrameDecode> frame;
    FrameInfo info;
    UINT w = 0, h = 0;
    if (SUCCEEDED(decoder->GetFrame(i, &frame)) && SUCCEEDED(frame->GetSize(&w, &h))) info = {int(w), int(h)};
    frames.push_back(info);
  }
  return frames.empty() ? WINCODEC_ERR_FRAMEMISSING : S_OK;
}

HRESULT WicCodec::Decode(const std::wstring& path, int frameIndex, PixelImage& image,
                         const ProgressFn& progress) {
  ComScope com;
  ComRef<IWICImagingFactory> factory;
  HRESULT hr = Factory(factory);
  if (FAILED(hr)) return hr;
  ComRef<IWICBitmapDecoder> decoder;
  hr = factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                          &decoder);
  if (FAILED(hr)) return hr;
  ComRef<IWICBitmapFrameDecode> frame;
  hr = decoder->GetFrame(UINT(frameIndex), &frame);
  if (FAILED(hr)) return hr;
  UINT w = 0, h = 0;
  hr = frame->GetSize(&w, &h);
  if (FAILED(hr)) return hr;
  if (!PixelImage::SizeAllowed(w, h) || w == 0 || h == 0) return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
  WICPixelFormatGUID format{};
  frame->GetPixelFormat(&format);
  const bool alpha = format == GUID_WICPixelFormat32bppBGRA || format == GUID_WICPixelFormat32bppRGBA ||
                     format == GUID_WICPixelFormat64bppRGBA || format == GUID_WICPixelFormat32bppPBGRA;
  // Straight to 24-bit BGR where the platform converts so; otherwise through 32-bit BGRA, which every
  // converter offers (Wine's, for example, has no grey or palette to 24-bit path).
  bool wide32 = alpha;
  ComRef<IWICBitmapSource> source;
  hr = WICConvertBitmapSource(alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR, frame.Get(),
                              &source);
  if (SUCCEEDED(hr) && !alpha) {
    uint8_t probe[4];
    const WICRect first{0, 0, 1, 1};
    if (FAILED(source->CopyPixels(&first, 4, 4, probe))) hr = E_FAIL;
  }
  if (FAILED(hr) && !alpha) {
    wide32 = true;
    hr = WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.Get(), &source);
  }
  if (FAILED(hr)) return hr;
  PixelImage out;
  out.Allocate(int(w), int(h), false);
  double dx = 96, dy = 96;
  if (SUCCEEDED(frame->GetResolution(&dx, &dy)) && dx > 0 && dy > 0) {
    out.dpiX = dx;
    out.dpiY = dy;
  }
  std::vector<uint8_t> wide;
  if (alpha) out.AddAlpha(255);
  if (wide32) wide.resize(size_t(w) * 4 * 64);
  const int bands = progress ? kProgressBands : 1;
  for (int b = 0; b < bands; ++b) {
    const int y0 = BandEdge(int(h), b, bands), y1 = BandEdge(int(h), b + 1, bands);
    if (!wide32) {
      const WICRect rect{0, y0, int(w), y1 - y0};
      if (y1 > y0)
        hr = source->CopyPixels(&rect, UINT(out.Stride()), UINT(out.Stride() * (y1 - y0)), out.Row(y0));
    } else {
      for (int y = y0; y < y1 && SUCCEEDED(hr); y += 64) {
        const int n = std::min(64, y1 - y);
        const WICRect rect{0, y, int(w), n};
        hr = source->CopyPixels(&rect, w * 4, UINT(size_t(w) * 4 * n), wide.data());
        for (int r = 0; r < n && SUCCEEDED(hr); ++r) {
          const uint8_t* s = &wide[size_t(r) * w * 4];
          uint8_t* d = out.Row(y + r);
          uint8_t* a = alpha ? out.AlphaRow(y + r) : nullptr;
          for (UINT x = 0; x < w; ++x, s += 4, d += 3) {
            d[0] = s[0], d[1] = s[1], d[2] = s[2];
            if (a) a[x] = s[3];
          }
        }
      }
    }
    if (FAILED(hr)) return hr;
    if (progress) progress(b + 1, bands);
  }
  image = std::move(out);
  return S_OK;
}

HRESULT WicCodec::Encode(const std::wstring& path, long fileType, int bits, const PixelImage& image,
                         const ProgressFn& progress) {
  GUID container;
  switch (fileType) {
    case ftTIFF:
      container = GUID_ContainerFormatTiff;
      break;
    case ftBMP:
      container = GUID_ContainerFormatBmp;
      break;
    default:
      return E_INVALIDARG;
  }
  if (image.Empty()) return E_INVALIDARG;
  const int w = image.Width(), h = image.Height();
  // Eight bits: a palette.
  IndexedImage indexed;
  const bool eight = bits == 8;
  if (eight) indexed = PaletteQuantizer::Quantize(image);

  ComScope com;
  ComRef<IWICImagingFactory> factory;
  HRESULT hr = Factory(factory);
  if (FAILED(hr)) return hr;
  ComRef<IWICStream> stream;
  hr = factory->CreateStream(&stream);
  if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
  if (FAILED(hr)) return hr;
  ComRef<IWICBitmapEncoder> encoder;
  hr = factory->CreateEncoder(container, nullptr, &encoder);
  if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
  ComRef<IWICBitmapFrameEncode> frame;
  ComRef<IPropertyBag2> props;
  if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, &props);
  if (SUCCEEDED(hr)) hr = frame->Initialize(props.Get());
  if (SUCCEEDED(hr)) hr = frame->SetSize(UINT(w), UINT(h));
  if (SUCCEEDED(hr))
    hr = frame->SetResolution(image.dpiX > 0 ? image.dpiX : 96.0, image.dpiY > 0 ? image.dpiY : 96.0);
  WICPixelFormatGUID format = eight ? GUID_WICPixelFormat8bppIndexed : GUID_WICPixelFormat24bppBGR;
  const WICPixelFormatGUID asked = format;
  if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
  if (SUCCEEDED(hr) && format != asked) hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
  if (SUCCEEDED(hr) && eight) {
    ComRef<IWICPalette> palette;
    hr = factory->CreatePalette(&palette);
    std::vector<WICColor> colours;
    for (const RGBQUAD& q : indexed.palette)
      colours.push_back(0xFF000000u | uint32_t(q.rgbRed) << 16 | uint32_t(q.rgbGreen) << 8 | q.rgbBlue);
    if (SUCCEEDED(hr)) hr = palette->InitializeCustom(colours.data(), UINT(colours.size()));
    if (SUCCEEDED(hr)) hr = frame->SetPalette(palette.Get());
  }
  const int bands = progress ? 16 : 1;
  std::vector<uint8_t> rows;
  for (int b = 0; b < bands && SUCCEEDED(hr); ++b) {
    const int y0 = BandEdge(h, b, bands), y1 = BandEdge(h, b + 1, bands);
    if (y1 <= y0) continue;
    if (!eight) {
      // Padding bytes are zero, so the rows go as they are.
      hr = frame->WritePixels(UINT(y1 - y0), UINT(image.Stride()), UINT(image.Stride() * (y1 - y0)),
                              const_cast<BYTE*>(image.Row(y0)));
    } else {
      const uint8_t* plane = indexed.indices.data();
      const UINT stride = UINT((w + 3) & ~3);
      rows.assign(size_t(stride) * (y1 - y0), 0);
      for (int y = y0; y < y1; ++y)
        std::memcpy(&rows[size_t(y - y0) * stride], plane + size_t(y) * w, size_t(w));
      hr = frame->WritePixels(UINT(y1 - y0), stride, UINT(rows.size()), rows.data());
    }
    if (SUCCEEDED(hr) && progress) progress(b + 1, bands);
  }
  if (SUCCEEDED(hr)) hr = frame->Commit();
  if (SUCCEEDED(hr)) hr = encoder->Commit();
  return hr;
}

}  // namespace zvkImage
