#include "ImageFile.h"

#include <cstring>
#include <cwctype>
#include <vector>

#include <zvkImage/zvkImage.h>

#include "FileBytes.h"
#include "JpegCodec.h"
#include "PcxCodec.h"
#include "PictWriter.h"
#include "PngCodec.h"
#include "SaveOptions.h"
#include "TargaCodec.h"
#include "WicCodec.h"

namespace zvkImage {

bool ImageFile::IsTargaPath(const std::wstring& path) {
  const size_t dot = path.find_last_of(L'.');
  if (dot == std::wstring::npos) return false;
  std::wstring ext = path.substr(dot + 1);
  for (auto& c : ext) c = wchar_t(std::towlower(c));
  return ext == L"tga" || ext == L"targa" || ext == L"vda" || ext == L"icb" || ext == L"vst";
}

bool ImageFile::IsPcxFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  uint8_t head[4] = {};
  DWORD got = 0;
  const bool ok = ReadFile(file, head, 4, &got, nullptr) && got == 4;
  CloseHandle(file);
  return ok && head[0] == 0x0A && head[1] <= 5 && head[2] == 1 && head[3] == 8;
}

ImageFile::Signature ImageFile::SignatureOf(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Signature::Other;
  uint8_t head[8] = {};
  DWORD got = 0;
  if (!ReadFile(file, head, 8, &got, nullptr)) got = 0;
  CloseHandle(file);
  static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (got >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return Signature::Jpeg;
  if (got == 8 && std::memcmp(head, kPng, 8) == 0) return Signature::Png;
  return Signature::Other;
}

HRESULT ImageFile::Inspect(const std::wstring& path, std::vector<FrameInfo>& frames) {
  frames.clear();
  const Signature signature = IsTargaPath(path) ? Signature::Other : SignatureOf(path);
  if (signature == Signature::Other) return WicCodec::Inspect(path, frames);
  FrameInfo info;
  const HRESULT hr = signature == Signature::Jpeg ? JpegCodec::Inspect(path, info.width, info.height)
                                                  : PngCodec::Inspect(path, info.width, info.height);
  if (SUCCEEDED(hr)) frames.push_back(info);
  return hr;
}

HRESULT ImageFile::Load(const std::wstring& path, int frame, PixelImage& image, const ProgressFn& progress) {
  const bool targa = IsTargaPath(path);
  if (targa || IsPcxFile(path)) {
    std::vector<uint8_t> bytes;
    HRESULT hr = FileBytes::Read(path, bytes, kMaxOwnCoderFile);
    if (FAILED(hr)) return hr;
    if (frame != 0) return E_INVALIDARG;
    const bool ok = targa ? TargaCodec::Read(bytes, image) : PcxCodec::Read(bytes, image);
    if (ok) {
      if (progress) progress(1, 1);
      return S_OK;
    }
    if (!targa) return WINCODEC_ERR_BADIMAGE;
  }
  switch (SignatureOf(path)) {
    case Signature::Jpeg:
      return frame == 0 ? JpegCodec::Decode(path, image, progress) : E_INVALIDARG;
    case Signature::Png:
      return frame == 0 ? PngCodec::Decode(path, image, progress) : E_INVALIDARG;
    default:
      return WicCodec::Decode(path, frame, image, progress);
  }
}

HRESULT ImageFile::Save(const std::wstring& path, long fileType, int bits, long option,
                        const PixelImage& image, const ProgressFn& progress) {
  if (bits == 0) bits = 24;  // no depth asked for: the pixels' own
  if (bits != 8 && bits != 24) return E_INVALIDARG;
  if (image.Empty()) return E_INVALIDARG;
  std::vector<uint8_t> bytes;
  HRESULT hr = S_OK;
  switch (fileType) {
    case ftJPEG:
    case ftPNG:
    case ftTIFF:
    case ftBMP:
      if (fileType == ftJPEG)
        hr = JpegCodec::Encode(path, bits, JpegQualityForOption(option), image, progress);
      else if (fileType == ftPNG)
        hr = PngCodec::Encode(path, bits, image, progress);
      else
        hr = WicCodec::Encode(path, fileType, bits, image, progress);
      if (FAILED(hr)) DeleteFileW(path.c_str());
      return hr;
    case ftTARGA:
      bytes = TargaCodec::Write(image, bits);
      break;
    case ftPCX:
      bytes = PcxCodec::Write(image, bits);
      break;
    case ftPICT:
      bytes = PictWriter::Write(image, bits);
      if (bytes.empty()) return E_INVALIDARG;
      break;
    default:
      return E_INVALIDARG;
  }
  hr = FileBytes::Write(path, bytes);
  if (SUCCEEDED(hr) && progress) progress(1, 1);
  return hr;
}

}  // namespace zvkImage
