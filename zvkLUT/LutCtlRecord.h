// The editing control's own stream record (its appearance; never the LUT it shows). Version 2 is
// written; version 1, without the toolbar style, is still read.
#pragma once

#include <objidl.h>
#include <windows.h>

#include <cstdint>

namespace lut {

constexpr uint32_t kTagControlV1 = 0x0025678C;
constexpr uint32_t kTagControlV2 = 0x002567A0;
constexpr uint32_t kLengthControlV1 = 28;
constexpr uint32_t kLengthControlV2 = 29;

struct LutCtlRecord {
  int32_t extentWidth = 7620;  // HIMETRIC
  int32_t extentHeight = 8890;
  uint32_t foreColor = 0xFF000000;  // OLE_COLOR; 0xFF000000 is the container's ambient colour
  uint32_t backColor = 0xFF000000;
  uint8_t borderStyle = 1;
  uint8_t appearance = 0;
  bool enabled = true;
  bool fontFollows = false;  // the control's own font comes right after the record
  bool toolbarRaised = false;
};

// E_FAIL for an unknown tag, a wrong length or a style byte other than 0 or 1; STG_E_READFAULT
// for a short read. `record` is changed only on success.
HRESULT ReadLutCtlRecord(IStream* stream, LutCtlRecord& record);
HRESULT WriteLutCtlRecord(IStream* stream, const LutCtlRecord& record);

}  // namespace lut
