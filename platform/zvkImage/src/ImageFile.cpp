#include "ImageFile.h"

#include <cwctype>
#include <vector>

#include <zvkImage/zvkImage.h>

#include "FileBytes.h"
#include "PcxCodec.h"
#include "PictWriter.h"
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
  return WicCodec::Decode(path, frame, image, progress);
}

HRESULT ImageFile::Save(const std::wstring& path, long fileType, int bits, long option,
                        const PixelImage& image, const ProgressFn& progress) {
  if (bits == 0) bits = 24;  // no depth asked for: the pixels' own
  if (bits != 8 && bits != 24) return E_INVALIDARG;
  if (image.Empty()) return E_INVALIDARG;
  std::vector<uint8_t> bytes;
  switch (fileType) {
    case ftJPEG:
    case ftPNG:
    case ftTIFF:
    case ftBMP: {
      HRESULT hr = WicCodec::Encode(path, fileType, bits, JpegQualityForOption(option), image, progress);
      if (FAILED(hr)) DeleteFileW(path.c_str());
      return hr;
    }
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
  HRESULT hr = FileBytes::Write(path, bytes);
  if (SUCCEEDED(hr) && progress) progress(1, 1);
  return hr;
}

}  // namespace zvkImage
