// Per-channel tables that turn a display of the measured gammas into one of the target gamma.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <array>
#include <cstdint>

#include "CalibrationSettings.h"

namespace monwz {

// Tables over 256 MiB are refused before anything is allocated, as the LUT object refuses them.
constexpr ULONGLONG kMaxTableBytes = ULONGLONG{256} << 20;

// Entry i of a table of `entries` levels for the exponent target / device: the quotient in single
// precision, the power in double.
uint32_t CorrectionEntry(uint64_t i, uint64_t entries, float exponent);
float CorrectionExponent(float target, float device);

// `val` receives a [2^bitDepth][3] array (red, green, blue planes) whose element type follows the
// depth: up to 8 VT_UI1, 9 to 15 VT_I2, 16 VT_UI2, 17 to 31 VT_I4, 32 VT_UI4. Depths below 1 or
// above 32 give E_INVALIDARG, a table over the size limit E_OUTOFMEMORY; `val` is empty then.
HRESULT MakeCorrectionTables(const Gammas& gammas, short bitDepth, VARIANT* val);

// The three 256-entry tables the previews use.
using PreviewTables = std::array<std::array<uint8_t, 256>, 3>;
PreviewTables MakePreviewTables(const Gammas& gammas);

}  // namespace monwz
