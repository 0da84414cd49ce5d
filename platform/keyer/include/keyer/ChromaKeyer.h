// The chroma keyer's COM interface, in slot order, and the pixel accessor through which
// AutoCompute reads a bitmap. Hand-declared; __CRT_UUID_DECL lets _com_ptr_t and __uuidof see them.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <unknwn.h>

// {F72E8A50-0066-44AA-A6C4-59F1E0DB8889}
extern "C" const CLSID CLSID_ChromaKeyer;
// {F72E8A52-0066-44AA-A6C4-59F1E0DB8889}
extern "C" const IID IID_IChromaKeyer;
// {814E73FD-B8FE-42C4-A85F-55C927EF7B4A}
extern "C" const IID IID_IKeyerPixelSource;

// Whole rows of a picture for the keyer. A bitmap that AutoCompute is given answers
// QueryInterface for this interface; the keyer reads the full picture through it, never a
// capped sample. Rows come top row first, 3 bytes per pixel in the order B, G, R.
MIDL_INTERFACE("814E73FD-B8FE-42C4-A85F-55C927EF7B4A")
IKeyerPixelSource : public IUnknown {
  // Width and height in pixels.
  virtual HRESULT STDMETHODCALLTYPE GetPixelSize(LONG * width, LONG * height) = 0;
  // Copies rowCount rows starting at firstRow into buffer, rows stride bytes apart
  // (stride >= 3 x width). E_INVALIDARG for rows outside the picture.
  virtual HRESULT STDMETHODCALLTYPE CopyPixelRows(LONG firstRow, LONG rowCount, BYTE * buffer,
                                                  LONG_PTR stride) = 0;
};
__CRT_UUID_DECL(IKeyerPixelSource, 0x814e73fd, 0xb8fe, 0x42c4, 0xa8, 0x5f, 0x55, 0xc9, 0x27, 0xef, 0x7b, 0x4a)

// Samples are VT_I4 (or VT_UI4) COLORREFs, or a one- or two-dimensional SAFEARRAY of them;
// anything else is E_INVALIDARG and changes nothing. Every method answers an HRESULT and lets no
// exception out; a failed call leaves the state as it was, except LoadState (below).
MIDL_INTERFACE("F72E8A52-0066-44AA-A6C4-59F1E0DB8889")
IChromaKeyer : public IUnknown {
  // 3: replaces the whole state by the file's; an empty or null path gives the fresh state.
  // Refused paths and files not in the keyer's format leave the object fresh and answer E_FAIL.
  virtual HRESULT STDMETHODCALLTYPE LoadState(BSTR path) = 0;
  // 4: writes the state to the file named by the digest of its content and returns that path
  // (the caller frees it); on failure E_FAIL and a null path.
  virtual HRESULT STDMETHODCALLTYPE SaveState(BSTR * path) = 0;
  // 5: a model from the bitmap alone; the bitmap must offer IKeyerPixelSource. S_FALSE when the
  // picture shows no screen. Factors -0.5..0.5 (clamped).
  virtual HRESULT STDMETHODCALLTYPE AutoCompute(IUnknown * bitmap, float backgroundFactor,
                                                float foregroundFactor) = 0;
  // 6-12
  virtual HRESULT STDMETHODCALLTYPE SelectBackgroundColor(VARIANT sample) = 0;
  virtual HRESULT STDMETHODCALLTYPE CleanBackground(VARIANT sample) = 0;
  virtual HRESULT STDMETHODCALLTYPE CleanForeground(VARIANT sample) = 0;
  virtual HRESULT STDMETHODCALLTYPE MatteSponge(VARIANT sample) = 0;
  virtual HRESULT STDMETHODCALLTYPE SpillSponge(VARIANT sample) = 0;
  virtual HRESULT STDMETHODCALLTYPE MakeForegroundTransparent(VARIANT sample) = 0;
  virtual HRESULT STDMETHODCALLTYPE RestoreDetail(VARIANT sample) = 0;
  // 13-15: flag 1 more, 0 less; one small bounded step per call.
  virtual HRESULT STDMETHODCALLTYPE AdjustMatte(VARIANT sample, LONG flag) = 0;
  virtual HRESULT STDMETHODCALLTYPE AdjustSpill(VARIANT sample, LONG flag) = 0;
  virtual HRESULT STDMETHODCALLTYPE AdjustDetail(VARIANT sample, LONG flag) = 0;
  // 16: scales the spill, transparency and detail surfaces around the colour by 2^delta (deltas
  // clamped to -1..1) and returns the colour and opacity a pixel of that colour then keys to.
  virtual HRESULT STDMETHODCALLTYPE FineTune(VARIANT colour, float spillDelta, float transparencyDelta,
                                             float detailDelta, COLORREF* resultColour,
                                             float* resultOpacity) = 0;
  // 17: 0 linear edge, 1 smooth edge, 2 steep edge.
  virtual HRESULT STDMETHODCALLTYPE SetAlgorithm(LONG algorithm) = 0;
  // 18: solid replacement by the colour, or by the stored colour for -1 (0x7F7F7F at first).
  virtual HRESULT STDMETHODCALLTYPE SetSpillReplaceColor(LONG colour) = 0;
  // 19, 20
  virtual HRESULT STDMETHODCALLTYPE SetSpillReplaceComplement() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSpillReplaceDefocus() = 0;
  // 21: 0 complement, 1 solid colour, 2 defocus.
  virtual HRESULT STDMETHODCALLTYPE GetSpillReplaceMode(LONG * mode) = 0;
};
__CRT_UUID_DECL(IChromaKeyer, 0xf72e8a52, 0x0066, 0x44aa, 0xa6, 0xc4, 0x59, 0xf1, 0xe0, 0xdb, 0x88, 0x89)
