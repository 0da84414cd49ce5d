#include "LutStream.h"

#include <oleauto.h>

#include <cstring>

#include "comserver/StreamIo.h"

namespace lut {

namespace {

using comserver::ReadExact;

uint32_t U32(const unsigned char* bytes) {
  uint32_t value;
  std::memcpy(&value, bytes, 4);
  return value;
}
uint16_t U16(const unsigned char* bytes) {
  uint16_t value;
  std::memcpy(&value, bytes, 2);
  return value;
}
void PutU32(std::vector<unsigned char>& out, uint32_t value) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
  out.insert(out.end(), bytes, bytes + 4);
}
void PutU16(std::vector<unsigned char>& out, uint16_t value) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
  out.insert(out.end(), bytes, bytes + 2);
}
template <class T>
void PutArray(std::vector<unsigned char>& out, const T (&values)[LutParameters::kSlots]) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(values);
  out.insert(out.end(), bytes, bytes + sizeof(values));
}
template <class T>
void GetArray(const unsigned char* bytes, T (&values)[LutParameters::kSlots]) {
  std::memcpy(values, bytes, sizeof(values));
}

constexpr size_t kSlotArrayBytes = 4 * LutParameters::kSlots;

// One manual table's descriptor: element type, element size, count; empty when any is 0.
struct TableDescriptor {
  uint16_t elementType = 0;
  uint16_t elementSize = 0;
  uint32_t count = 0;
  bool Empty() const { return elementType == 0 || elementSize == 0 || count == 0; }
};

bool DescribeTable(const VARIANT& table, TableDescriptor& descriptor, const void** data) {
  descriptor = TableDescriptor();
  *data = nullptr;
  if ((table.vt & VT_ARRAY) == 0 || (table.vt & VT_BYREF) || !table.parray) return true;
  LONG lower = 0, upper = 0;
  if (FAILED(SafeArrayGetLBound(table.parray, 1, &lower)) ||
      FAILED(SafeArrayGetUBound(table.parray, 1, &upper)))
    return false;
  LONGLONG count = static_cast<LONGLONG>(upper) - lower + 1;
  if (count < 0) return false;
  descriptor.elementType = static_cast<uint16_t>(table.vt & 0xFF);
  descriptor.elementSize = static_cast<uint16_t>(SafeArrayGetElemsize(table.parray));
  descriptor.count = static_cast<uint32_t>(count);
  *data = table.parray->pvData;
  return true;
}

}  // namespace

void LutStream::Read(IStream* stream, LutRecord& record) {
  unsigned char head[4];
  record.readResult = ReadExact(stream, head, 4);
  if (FAILED(record.readResult)) return;
  record.tag = U32(head);
  if (record.tag != kTagParametersV1 && record.tag != kTagParametersV2 && record.tag != kTagManual) {
    record.readResult = E_FAIL;
    return;
  }
  record.readResult = ReadExact(stream, head, 4);
  if (FAILED(record.readResult)) return;
  uint32_t length = U32(head);
  uint32_t expected = record.tag == kTagParametersV1   ? kLengthParametersV1
                      : record.tag == kTagParametersV2 ? kLengthParametersV2
                                                       : kLengthManualHeader;
  if (length != expected) {
    record.readResult = E_FAIL;
    return;
  }
  record.body.resize(length - 8);
  record.readResult = ReadExact(stream, record.body.data(), static_cast<ULONG>(record.body.size()));
  if (FAILED(record.readResult) || record.tag != kTagManual) return;
  ReadManualTables(stream, record);
}

void LutStream::ReadManualTables(IStream* stream, LutRecord& record) {
  ULONGLONG remaining = 0;
  bool knowsRemaining = SUCCEEDED(comserver::BytesRemaining(stream, &remaining));
  for (int channel = 0; channel < 4; ++channel) {
    const unsigned char* bytes = record.body.data() + 8 * channel;
    TableDescriptor descriptor{U16(bytes), U16(bytes + 2), U32(bytes + 4)};
    if (descriptor.Empty()) continue;
    // Only plain integers at their own size: anything else would put file bytes where the array
    // keeps pointers.
    if (ManualElementSize(descriptor.elementType) != descriptor.elementSize) {
      record.readResult = E_FAIL;
      return;
    }
    ULONGLONG bytesWanted = ULONGLONG{descriptor.count} * descriptor.elementSize;
    if (knowsRemaining && bytesWanted > remaining) {
      record.readResult = STG_E_READFAULT;
      return;
    }
    if (bytesWanted > kMaxManualTableBytes) {
      record.readResult = E_FAIL;
      return;
    }
    SAFEARRAY* array = SafeArrayCreateVector(descriptor.elementType, 0, descriptor.count);
    if (!array) {
      record.readResult = E_OUTOFMEMORY;
      return;
    }
    if (array->cbElements != descriptor.elementSize) {
      SafeArrayDestroy(array);
      record.readResult = E_FAIL;
      return;
    }
    HRESULT hr = ReadExact(stream, array->pvData, static_cast<ULONG>(bytesWanted));
    if (FAILED(hr)) {
      SafeArrayDestroy(array);
      record.readResult = hr;
      return;
    }
    remaining -= bytesWanted;
    record.tables[channel].Clear();
    record.tables[channel].vt = static_cast<VARTYPE>(VT_ARRAY | descriptor.elementType);
    record.tables[channel].parray = array;
  }
}

HRESULT LutStream::Apply(const LutRecord& record, LutParameters& p) {
  if (record.tag == kTagManual) {
    if (record.body.size() != kLengthManualHeader - 8)
      return FAILED(record.readResult) ? record.readResult : E_FAIL;
    for (auto& table : p.manual) table.Clear();
    for (int channel = 0; channel < 4; ++channel) {
      HRESULT hr = p.manual[channel].Copy(&record.tables[channel]);
      if (FAILED(hr)) return hr;
    }
    if (FAILED(record.readResult)) return record.readResult;
    const unsigned char* bytes = record.body.data() + 32;
    if (bytes[0] != 1 && bytes[0] != 2) return E_FAIL;
    p.output = bytes[0] == 2;
    p.channelSet = kChannelSetRGB;
    if (bytes[1] < 1 || bytes[1] > 31) return E_FAIL;
    p.bitDepth = bytes[1];
    p.type = kTypeManual;
    return S_OK;
  }

  if (FAILED(record.readResult)) return record.readResult;
  const unsigned char* bytes = record.body.data();
  const bool v1 = record.tag == kTagParametersV1;
  GetArray(bytes, p.gamma);
  GetArray(bytes + kSlotArrayBytes, p.gammaLo);
  bytes += 2 * kSlotArrayBytes;
  if (v1) bytes += kSlotArrayBytes;  // reserved
  GetArray(bytes, p.gammaHi);
  GetArray(bytes + kSlotArrayBytes, p.dMax);
  GetArray(bytes + 2 * kSlotArrayBytes, p.dMin);
  bytes += 3 * kSlotArrayBytes;
  // Checked and stored in order: the first byte out of range ends the load.
  if (bytes[0] != 1 && bytes[0] != 2) return E_FAIL;
  p.output = bytes[0] == 2;
  if (bytes[1] > 1) return E_FAIL;
  p.channelSet = bytes[1];
  if (bytes[2] < 1 || bytes[2] > 31) return E_FAIL;
  p.bitDepth = bytes[2];
  if (bytes[3] != 1 && bytes[3] != 2) return E_FAIL;
  p.gammaStyle = bytes[3];
  if (bytes[4] > 1) return E_FAIL;
  p.type = bytes[4];
  return S_OK;
}

HRESULT LutStream::Compose(const LutParameters& p, LutRecordImage& image) {
  image.pieces.clear();
  if (p.type != kTypeManual) {
    if (p.channelSet != kChannelSetGreyscale && p.channelSet != kChannelSetRGB) return E_FAIL;
    if (p.gammaStyle != kGammaStyleOver && p.gammaStyle != kGammaStyleUnder) return E_FAIL;
    if (p.type != kTypeBasic && p.type != kTypeAdvanced) return E_FAIL;
    std::vector<unsigned char> out;
    out.reserve(kLengthParametersV2);
    PutU32(out, kTagParametersV2);
    PutU32(out, kLengthParametersV2);
    PutArray(out, p.gamma);
    PutArray(out, p.gammaLo);
    PutArray(out, p.gammaHi);
    PutArray(out, p.dMax);
    PutArray(out, p.dMin);
    out.push_back(p.output ? 2 : 1);
    out.push_back(static_cast<unsigned char>(p.channelSet));
    out.push_back(static_cast<unsigned char>(p.bitDepth));
    out.push_back(static_cast<unsigned char>(p.gammaStyle));
    out.push_back(static_cast<unsigned char>(p.type));
    image.pieces.push_back(std::move(out));
    return S_OK;
  }

  if (p.channelSet != kChannelSetRGB) return E_FAIL;
  std::vector<unsigned char> header;
  header.reserve(kLengthManualHeader);
  PutU32(header, kTagManual);
  PutU32(header, kLengthManualHeader);
  std::vector<std::vector<unsigned char>> tables;
  for (int channel = 0; channel < 4; ++channel) {
    TableDescriptor descriptor;
    const void* data = nullptr;
    if (!DescribeTable(p.manual[channel], descriptor, &data)) return E_FAIL;
    PutU16(header, descriptor.elementType);
    PutU16(header, descriptor.elementSize);
    PutU32(header, descriptor.count);
    if (data) {
      const auto* bytes = static_cast<const unsigned char*>(data);
      tables.emplace_back(bytes, bytes + ULONGLONG{descriptor.count} * descriptor.elementSize);
    }
  }
  header.push_back(p.output ? 2 : 1);
  header.push_back(static_cast<unsigned char>(p.bitDepth));
  image.pieces.push_back(std::move(header));
  for (auto& table : tables) image.pieces.push_back(std::move(table));
  return S_OK;
}

HRESULT LutStream::Write(IStream* stream, const LutRecordImage& image) {
  HRESULT hr = S_OK;
  for (const auto& piece : image.pieces) {
    if (piece.empty()) continue;
    hr = comserver::WriteAll(stream, piece.data(), static_cast<ULONG>(piece.size()));
    if (FAILED(hr)) return hr;
  }
  return hr;
}

ULONGLONG LutStream::SizeMax(const LutParameters& p) {
  if (p.type != kTypeManual) return kLengthParametersV1;
  ULONGLONG size = kLengthManualHeader;
  for (int channel = 0; channel < 4; ++channel) {
    TableDescriptor descriptor;
    const void* data = nullptr;
    if (DescribeTable(p.manual[channel], descriptor, &data) && data)
      size += ULONGLONG{descriptor.count} * descriptor.elementSize;
  }
  return size;
}

}  // namespace lut
