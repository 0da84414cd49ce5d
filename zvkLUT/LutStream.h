// The curve's stream records: the version-1 and version-2 parameter records and the manual-table
// record. Reading is split from applying so that the object's lock is never held across stream
// calls: Read takes the bytes, Apply stores them in the parameters under the caller's lock.
#pragma once

#include <objidl.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "LutParameters.h"

namespace lut {

constexpr uint32_t kTagParametersV1 = 0x00256792;
constexpr uint32_t kTagParametersV2 = 0x002567A0;
constexpr uint32_t kTagManual = 0x002567F2;
constexpr uint32_t kLengthParametersV1 = 133;
constexpr uint32_t kLengthParametersV2 = 113;
constexpr uint32_t kLengthManualHeader = 42;

// A record as read, possibly cut short by a failed read (readResult).
struct LutRecord {
  uint32_t tag = 0;
  HRESULT readResult = S_OK;
  std::vector<unsigned char> body;   // after tag and length
  comserver::CComVariant tables[4];  // manual record: the tables read, in channel order
};

// What a save writes, taken under the caller's lock and written after it.
struct LutRecordImage {
  std::vector<std::vector<unsigned char>> pieces;  // each written with one IStream::Write
};

class LutStream {
 public:
  static void Read(IStream* stream, LutRecord& record);
  static HRESULT Apply(const LutRecord& record, LutParameters& parameters);
  static HRESULT Compose(const LutParameters& parameters, LutRecordImage& image);
  static HRESULT Write(IStream* stream, const LutRecordImage& image);
  // At least what Compose would write.
  static ULONGLONG SizeMax(const LutParameters& parameters);

  // Manual tables larger than this are refused before anything is allocated.
  static constexpr ULONGLONG kMaxManualTableBytes = ULONGLONG{64} << 20;

 private:
  static void ReadManualTables(IStream* stream, LutRecord& record);
};

}  // namespace lut
