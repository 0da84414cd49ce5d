// Sample colours from the VARIANT the image library's sample call gives: one VT_I4 (or VT_UI4)
// COLORREF, or a one- or two-dimensional SAFEARRAY of them.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <vector>

class SampleReader {
 public:
  // At most this many colours are used; a larger block is evenly subsampled.
  static constexpr size_t kMaxColours = 1 << 16;

  // S_OK with at least one colour; E_INVALIDARG for any other type, an empty or malformed array.
  static HRESULT Read(const VARIANT& sample, std::vector<uint32_t>& colours);
  // One colour: VT_I4 or VT_UI4 only.
  static HRESULT ReadOne(const VARIANT& sample, uint32_t& colour);
};
