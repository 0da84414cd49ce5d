// Little-endian, the length counting the whole record.
#include "LutCtlRecord.h"

#include <cstring>

#include "comserver/StreamIo.h"

namespace lut {

namespace {

uint32_t Get32(const unsigned char* bytes) {
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

void Put32(unsigned char* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

HRESULT ReadLutCtlRecord(IStream* stream, LutCtlRecord& record) {
  if (!stream) return E_POINTER;
  unsigned char bytes[kLengthControlV2] = {};
  HRESULT hr = comserver::ReadExact(stream, bytes, 8);
  if (FAILED(hr)) return hr;
  uint32_t tag = Get32(bytes);
  uint32_t length = Get32(bytes + 4);
  uint32_t expected = tag == kTagControlV2 ? kLengthControlV2 : tag == kTagControlV1 ? kLengthControlV1 : 0;
  if (expected == 0 || length != expected) return E_FAIL;
  hr = comserver::ReadExact(stream, bytes + 8, length - 8);
  if (FAILED(hr)) return hr;
  if (bytes[24] > 1 || bytes[25] > 1) return E_FAIL;
  LutCtlRecord read;
  read.extentWidth = static_cast<int32_t>(Get32(bytes + 8));
  read.extentHeight = static_cast<int32_t>(Get32(bytes + 12));
  read.foreColor = Get32(bytes + 16);
  read.backColor = Get32(bytes + 20);
  read.borderStyle = bytes[24];
  read.appearance = bytes[25];
  read.enabled = bytes[26] != 0;
  read.fontFollows = bytes[27] != 0;
  read.toolbarRaised = tag == kTagControlV2 && bytes[28] != 0;
  record = read;
  return S_OK;
}

HRESULT WriteLutCtlRecord(IStream* stream, const LutCtlRecord& record) {
  if (!stream) return E_POINTER;
  unsigned char bytes[kLengthControlV2] = {};
  Put32(bytes, kTagControlV2);
  Put32(bytes + 4, kLengthControlV2);
  Put32(bytes + 8, static_cast<uint32_t>(record.extentWidth));
  Put32(bytes + 12, static_cast<uint32_t>(record.extentHeight));
  Put32(bytes + 16, record.foreColor);
  Put32(bytes + 20, record.backColor);
  bytes[24] = record.borderStyle ? 1 : 0;
  bytes[25] = record.appearance ? 1 : 0;
  bytes[26] = record.enabled ? 1 : 0;
  bytes[27] = record.fontFollows ? 1 : 0;
  bytes[28] = record.toolbarRaised ? 1 : 0;
  return comserver::WriteAll(stream, bytes, sizeof(bytes));
}

}  // namespace lut
