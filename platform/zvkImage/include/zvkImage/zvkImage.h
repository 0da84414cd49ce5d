// zvkImage: the image library's COM interfaces, in slot order, with their identifiers.
//
// Slots 0..2 of every interface are IUnknown's; the first own method is slot 3. Slots that no caller
// uses are kept as ReservedNN() so that the numbered slots stay where callers expect them; they answer
// E_NOTIMPL. Objects are free-threaded and made by zvkImage::CreateObject (ImageLibrary.h).
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oaidl.h>
#include <ocidl.h>
#include <olectl.h>

#include <zvkImage/RenderFrame.h>

#define ZVK_RESERVED(n) virtual HRESULT STDMETHODCALLTYPE Reserved##n() = 0;

namespace zvkImage {

struct IBitmapProcess;
struct IBitmapProcessRaster;

// Implemented by the program: colour management of a draw (IBitmap::DrawManaged, IIcmDraw::DrawManaged).
// Not a COM interface: no reference counting, it lives on the caller's stack for the draw.
struct IRenderIcmCallback {
  // Prepares the device context for drawing the object; a failure ends the draw with nothing painted.
  virtual HRESULT STDMETHODCALLTYPE SetupDC(HDC dc, IUnknown* object) = 0;  // 0
  // Converts a block of 24-bit rows (blue, green, red) in place, after the pixels were scaled to the
  // destination and before alpha and mask are composited over what the device context holds. A draw hands
  // its rows over in several blocks, from several threads at once (never the same rows twice).
  virtual HRESULT STDMETHODCALLTYPE ConvertRows(BYTE* bits, long width, long height, long stride) = 0;  // 1
};

// File type codes of IBitmap::Save (slot 27).
enum FileType : long {
  ftPCX = 1,
  ftTIFF = 3,
  ftTARGA = 4,
  ftBMP = 6,
  ftJPEG = 10,
  ftPICT = 56,
  ftPNG = 75,
};

// The bitmap: 24-bit BGR pixels, an optional 8-bit alpha plane, an optional mask bitmap, a resolution.
// class {A572BAD2-E936-11D0-B5D8-A0332E90214F}
struct IBitmap : public IUnknown {
  ZVK_RESERVED(3)
  virtual HRESULT STDMETHODCALLTYPE GetWidth(long* width) = 0;    // 4
  virtual HRESULT STDMETHODCALLTYPE GetHeight(long* height) = 0;  // 5
  ZVK_RESERVED(6)
  ZVK_RESERVED(7)
  ZVK_RESERVED(8)
  ZVK_RESERVED(9)
  // Set-up of a new object: 0 gives an empty bitmap with default options.
  virtual HRESULT STDMETHODCALLTYPE Initialize(long flags) = 0;  // 10
  ZVK_RESERVED(11)
  ZVK_RESERVED(12)
  ZVK_RESERVED(13)
  // New pixels, black, no alpha, no mask; bits must be 24.
  virtual HRESULT STDMETHODCALLTYPE Allocate(long width, long height, long bits, long flags) = 0;  // 14
  // Takes over an HBITMAP or an HGLOBAL holding a packed DIB; on S_OK the handle belongs to the bitmap.
  virtual HRESULT STDMETHODCALLTYPE AttachHandle(HANDLE handle) = 0;  // 15
  ZVK_RESERVED(16)
  ZVK_RESERVED(17)
  ZVK_RESERVED(18)
  ZVK_RESERVED(19)
  ZVK_RESERVED(20)
  // Pixels, alpha, mask and resolution of another bitmap.
  virtual HRESULT STDMETHODCALLTYPE CopyFrom(IBitmap* source) = 0;  // 21
  ZVK_RESERVED(22)
  // Decodes a file (any format the library reads); bits 0 or 24.
  virtual HRESULT STDMETHODCALLTYPE Load(BSTR path, long bits) = 0;  // 23
  // As Load; for a file of several images, the image whose size is *size (width, height).
  virtual HRESULT STDMETHODCALLTYPE LoadAtSize(BSTR path, const SIZE* size, long bits) = 0;  // 24
  ZVK_RESERVED(25)
  ZVK_RESERVED(26)
  // Encodes a file of a FileType at 8 or 24 bits (0 gives 24); option: the JPEG quality level
  // (SaveOptions.h).
  virtual HRESULT STDMETHODCALLTYPE Save(BSTR path, long fileType, long bits, long option) = 0;  // 27
  // Draws the whole bitmap, scaled into target, from srcOrigin on; composites alpha and mask over the DC.
  virtual HRESULT STDMETHODCALLTYPE Draw(HDC dc, const RECT* target, const POINT* srcOrigin,
                                         DWORD rop) = 0;  // 28
  // Draws the source rectangle into the target rectangle, honouring alpha and mask.
  virtual HRESULT STDMETHODCALLTYPE DrawRect(HDC dc, const RECT* target, const RECT* source,
                                             DWORD rop) = 0;  // 29
  // Resampling to a new size: 30 the fast one (for drafts), 32 the good one.
  virtual HRESULT STDMETHODCALLTYPE ResampleFast(long width, long height, long bits) = 0;  // 30
  // The managed form of Draw (slot 28), in a slot of its own: the callback prepares the device context,
  // then converts the pixels once they are scaled to the target and clipped to what the device context
  // shows; alpha and mask are composited after that.
  virtual HRESULT STDMETHODCALLTYPE DrawManaged(HDC dc, const RECT* target, const POINT* srcOrigin, DWORD rop,
                                                IRenderIcmCallback* callback) = 0;     // 31
  virtual HRESULT STDMETHODCALLTYPE Resample(long width, long height, long bits) = 0;  // 32
  ZVK_RESERVED(33)
  // This bitmap becomes the rectangle [left, right) x [top, bottom) of source (clipped to it).
  virtual HRESULT STDMETHODCALLTYPE CopyRect(IBitmap* source, long left, long top, long right,
                                             long bottom) = 0;  // 34
  ZVK_RESERVED(35)
  // Turns counter-clockwise by a fraction of a full turn (0.25 takes a point right of the centre to above
  // it); quarter turns are exact, others grow the canvas (white, alpha 0).
  virtual HRESULT STDMETHODCALLTYPE Rotate(float turns) = 0;  // 36
  ZVK_RESERVED(37)
  ZVK_RESERVED(38)
  ZVK_RESERVED(39)
  ZVK_RESERVED(40)
  ZVK_RESERVED(41)
  // A device context drawing onto the pixels; ReleaseDC puts what was drawn back into the bitmap. While
  // it is out, calls that would give the bitmap new pixels (allocate, attach, copy, load, resample, cut,
  // turn) answer E_ACCESSDENIED.
  virtual HRESULT STDMETHODCALLTYPE GetDC(HDC* dc) = 0;     // 42
  virtual HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) = 0;  // 43
  ZVK_RESERVED(44)
  ZVK_RESERVED(45)
  virtual HRESULT STDMETHODCALLTYPE RemoveMask() = 0;  // 46
  // Five floats: key hue, hue range, third hue angle (fractions of a turn), edge threshold, edge smoothing.
  // A key hue of -1/360 (no known key colour) keys nothing; any other hue, negative too, wraps round.
  virtual HRESULT STDMETHODCALLTYPE HueKey(const float* params) = 0;  // 47
  ZVK_RESERVED(48)
  // A mask bitmap (its grey value, 255 opaque) that Draw honours; a copy is kept.
  virtual HRESULT STDMETHODCALLTYPE SetMask(IBitmap* mask) = 0;  // 49
  // Runs a process over the rows (IBitmapProcessRaster); mode 1.
  virtual HRESULT STDMETHODCALLTYPE RunProcess(IBitmapProcess* process, long mode) = 0;  // 50
  // Progress events of the next load or save: steps, and a value handed back to the sinks.
  virtual HRESULT STDMETHODCALLTYPE SetProgress(long steps, LONG_PTR callerValue) = 0;  // 51
  ZVK_RESERVED(52)
  // Two option values kept by the bitmap; they never change the persisted bytes.
  virtual HRESULT STDMETHODCALLTYPE SetOptions(long option1, long option2) = 0;  // 53
  // The persisted form: self-delimiting, lossless, the same bytes for the same picture.
  virtual HRESULT STDMETHODCALLTYPE SaveToStream(IStream* stream, long flags) = 0;    // 54
  virtual HRESULT STDMETHODCALLTYPE LoadFromStream(IStream* stream, long flags) = 0;  // 55
};

struct IBitmapEx : public IUnknown {
  ZVK_RESERVED(3)
  virtual HRESULT STDMETHODCALLTYPE GetWidth(long* width) = 0;    // 4
  virtual HRESULT STDMETHODCALLTYPE GetHeight(long* height) = 0;  // 5
  ZVK_RESERVED(6)
  ZVK_RESERVED(7)
  ZVK_RESERVED(8)
  ZVK_RESERVED(9)
  ZVK_RESERVED(10)
  ZVK_RESERVED(11)
  ZVK_RESERVED(12)
  ZVK_RESERVED(13)
  ZVK_RESERVED(14)
  ZVK_RESERVED(15)
  ZVK_RESERVED(16)
  ZVK_RESERVED(17)
  ZVK_RESERVED(18)
  ZVK_RESERVED(19)
  ZVK_RESERVED(20)
  ZVK_RESERVED(21)
  ZVK_RESERVED(22)
  ZVK_RESERVED(23)
  ZVK_RESERVED(24)
  ZVK_RESERVED(25)
  ZVK_RESERVED(26)
  ZVK_RESERVED(27)
  ZVK_RESERVED(28)
  ZVK_RESERVED(29)
  ZVK_RESERVED(30)
  ZVK_RESERVED(31)
  ZVK_RESERVED(32)
  ZVK_RESERVED(33)
  ZVK_RESERVED(34)
  ZVK_RESERVED(35)
  ZVK_RESERVED(36)
  ZVK_RESERVED(37)
  ZVK_RESERVED(38)
  ZVK_RESERVED(39)
  ZVK_RESERVED(40)
  ZVK_RESERVED(41)
  ZVK_RESERVED(42)
  ZVK_RESERVED(43)
  ZVK_RESERVED(44)
  ZVK_RESERVED(45)
  ZVK_RESERVED(46)
  ZVK_RESERVED(47)
  ZVK_RESERVED(48)
  ZVK_RESERVED(49)
  ZVK_RESERVED(50)
  ZVK_RESERVED(51)
  ZVK_RESERVED(52)
  ZVK_RESERVED(53)
  ZVK_RESERVED(54)
  ZVK_RESERVED(55)
  ZVK_RESERVED(56)
  ZVK_RESERVED(57)
  ZVK_RESERVED(58)
  ZVK_RESERVED(59)
  ZVK_RESERVED(60)
  ZVK_RESERVED(61)
  ZVK_RESERVED(62)
  ZVK_RESERVED(63)
  ZVK_RESERVED(64)
  ZVK_RESERVED(65)
  ZVK_RESERVED(66)
  ZVK_RESERVED(67)
  ZVK_RESERVED(68)
  ZVK_RESERVED(69)
  ZVK_RESERVED(70)
  ZVK_RESERVED(71)
  ZVK_RESERVED(72)
  ZVK_RESERVED(73)
  ZVK_RESERVED(74)
  ZVK_RESERVED(75)
  ZVK_RESERVED(76)
  ZVK_RESERVED(77)
  ZVK_RESERVED(78)
  // Colours of a rectangle (left, top inclusive; right, bottom exclusive), clamped to the bitmap:
  // one pixel gives VT_I4 (a COLORREF), more a two-dimensional SAFEARRAY of VT_I4 [x][y], subsampled to
  // at most 65536 colours.
  virtual HRESULT STDMETHODCALLTYPE Sample(const RECT* rect, VARIANT* sample) = 0;  // 79
  // A new grey bitmap of the alpha (white opaque; all white without an alpha plane).
  virtual HRESULT STDMETHODCALLTYPE Matte(IBitmap** matte) = 0;  // 80
};

// Tables: a VARIANT holding a SAFEARRAY of 8- to 32-bit integers, [N] (one table for every channel) or
// [N][3] (red, green, blue) or [N][4] (master, red, green, blue); N = 2^bits entries of 0..N-1.
// VT_EMPTY applies nothing.
struct ITables : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Apply(VARIANT tables) = 0;  // 3
};

// The second table interface: its mode operation (a linked file's bitmap is given mode 1).
struct ITablesMode : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetMode(long mode) = 0;  // 3
};

struct ITransform : public IUnknown {
  ZVK_RESERVED(3)
  ZVK_RESERVED(4)
  ZVK_RESERVED(5)
  ZVK_RESERVED(6)
  ZVK_RESERVED(7)
  ZVK_RESERVED(8)
  ZVK_RESERVED(9)
  ZVK_RESERVED(10)
  ZVK_RESERVED(11)
  ZVK_RESERVED(12)
  ZVK_RESERVED(13)
  ZVK_RESERVED(14)
  ZVK_RESERVED(15)
  ZVK_RESERVED(16)
  ZVK_RESERVED(17)
  ZVK_RESERVED(18)
  ZVK_RESERVED(19)
  ZVK_RESERVED(20)
  ZVK_RESERVED(21)
  ZVK_RESERVED(22)
  ZVK_RESERVED(23)
  ZVK_RESERVED(24)
  ZVK_RESERVED(25)
  ZVK_RESERVED(26)
  ZVK_RESERVED(27)
  ZVK_RESERVED(28)
  ZVK_RESERVED(29)
  ZVK_RESERVED(30)
  ZVK_RESERVED(31)
  ZVK_RESERVED(32)
  ZVK_RESERVED(33)
  ZVK_RESERVED(34)
  ZVK_RESERVED(35)
  ZVK_RESERVED(36)
  ZVK_RESERVED(37)
  ZVK_RESERVED(38)
  ZVK_RESERVED(39)
  ZVK_RESERVED(40)
  ZVK_RESERVED(41)
  ZVK_RESERVED(42)
  ZVK_RESERVED(43)
  ZVK_RESERVED(44)
  ZVK_RESERVED(45)
  ZVK_RESERVED(46)
  ZVK_RESERVED(47)
  ZVK_RESERVED(48)
  ZVK_RESERVED(49)
  ZVK_RESERVED(50)
  ZVK_RESERVED(51)
  ZVK_RESERVED(52)
  ZVK_RESERVED(53)
  ZVK_RESERVED(54)
  ZVK_RESERVED(55)
  ZVK_RESERVED(56)
  ZVK_RESERVED(57)
  ZVK_RESERVED(58)
  ZVK_RESERVED(59)
  ZVK_RESERVED(60)
  ZVK_RESERVED(61)
  // A new bitmap cut out of this one: the rectangle, in this bitmap's pixels, at this bitmap's scale (what
  // lies outside the picture filled with the colour, a COLORREF), shrunk uniformly when the rectangle
  // holds more pixels than the picture.
  virtual HRESULT STDMETHODCALLTYPE Extract(long left, long top, long right, long bottom, COLORREF fill,
                                            IBitmap** result) = 0;  // 62
  virtual HRESULT STDMETHODCALLTYPE MirrorVertical() = 0;           // 63 top to bottom
  virtual HRESULT STDMETHODCALLTYPE MirrorHorizontal() = 0;         // 64 left to right
  ZVK_RESERVED(65)
  // Unsharp masking: kernel 3, 5 or 7; strength in percent.
  virtual HRESULT STDMETHODCALLTYPE Sharpen(short kernel, short strength) = 0;  // 66
};

struct IAdjust : public IUnknown {
  ZVK_RESERVED(3)
  ZVK_RESERVED(4)
  ZVK_RESERVED(5)
  ZVK_RESERVED(6)
  ZVK_RESERVED(7)
  ZVK_RESERVED(8)
  ZVK_RESERVED(9)
  ZVK_RESERVED(10)
  ZVK_RESERVED(11)
  ZVK_RESERVED(12)
  ZVK_RESERVED(13)
  ZVK_RESERVED(14)
  ZVK_RESERVED(15)
  ZVK_RESERVED(16)
  ZVK_RESERVED(17)
  ZVK_RESERVED(18)
  ZVK_RESERVED(19)
  ZVK_RESERVED(20)
  ZVK_RESERVED(21)
  ZVK_RESERVED(22)
  ZVK_RESERVED(23)
  ZVK_RESERVED(24)
  ZVK_RESERVED(25)
  ZVK_RESERVED(26)
  ZVK_RESERVED(27)
  ZVK_RESERVED(28)
  ZVK_RESERVED(29)
  ZVK_RESERVED(30)
  ZVK_RESERVED(31)
  ZVK_RESERVED(32)
  ZVK_RESERVED(33)
  ZVK_RESERVED(34)
  ZVK_RESERVED(35)
  ZVK_RESERVED(36)
  ZVK_RESERVED(37)
  ZVK_RESERVED(38)
  ZVK_RESERVED(39)
  ZVK_RESERVED(40)
  ZVK_RESERVED(41)
  ZVK_RESERVED(42)
  ZVK_RESERVED(43)
  ZVK_RESERVED(44)
  ZVK_RESERVED(45)
  ZVK_RESERVED(46)
  ZVK_RESERVED(47)
  ZVK_RESERVED(48)
  ZVK_RESERVED(49)
  ZVK_RESERVED(50)
  ZVK_RESERVED(51)
  ZVK_RESERVED(52)
  ZVK_RESERVED(53)
  ZVK_RESERVED(54)
  ZVK_RESERVED(55)
  ZVK_RESERVED(56)
  ZVK_RESERVED(57)
  ZVK_RESERVED(58)
  ZVK_RESERVED(59)
  ZVK_RESERVED(60)
  ZVK_RESERVED(61)
  ZVK_RESERVED(62)
  ZVK_RESERVED(63)
  ZVK_RESERVED(64)
  ZVK_RESERVED(65)
  ZVK_RESERVED(66)
  ZVK_RESERVED(67)
  ZVK_RESERVED(68)
  ZVK_RESERVED(69)
  ZVK_RESERVED(70)
  ZVK_RESERVED(71)
  ZVK_RESERVED(72)
  // Scales each pixel's distance from its grey by 1 + factor (-1 greys the picture).
  virtual HRESULT STDMETHODCALLTYPE Saturation(float factor) = 0;  // 73
};

// Applies a keyer state file to the bitmap (alpha plane and spill-corrected colour).
struct IKeyerState : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE ApplyState(BSTR statePath) = 0;  // 3
};

// Protect and garbage areas (area-list texts) after a keyer state; angle: the turn the picture was given
// (counter-clockwise, as Rotate). S_FALSE when a record of an unknown shape was left out.
struct IKeyerAreas : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE ApplyAreas(BSTR protectAreas, BSTR garbageAreas, float angle) = 0;  // 3
};

// Resolution in dots per inch; it travels with copies, files and the persisted form.
struct IResolution : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetResolution(long horizontal, long vertical) = 0;    // 3
  virtual HRESULT STDMETHODCALLTYPE GetResolution(long* horizontal, long* vertical) = 0;  // 4
};

// A rectangle of a bitmap brought to another size in one pass, without a copy of the rectangle first: this
// bitmap becomes it (colour and alpha, the source's resolution, no mask). The rectangle is clipped to the
// source.
struct IResampleRect : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE ResampleRect(IBitmap* source, long left, long top, long right,
                                                 long bottom, long width, long height) = 0;  // 3
};

// A bitmap laid over a fill colour: this bitmap becomes the source's pixels, converted by the callback when
// one is given (before they meet the fill), with the source's alpha and a mask (the given one, else the
// source's own) composited over the fill; opaque, no mask, the source's resolution. The source may be this
// bitmap: it is then flattened in place, without a second picture. The callback's SetupDC is not called:
// there is no device context.
struct IFlatten : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE FlattenFrom(IBitmap* source, IBitmap* mask, COLORREF fill,
                                                IRenderIcmCallback* callback) = 0;  // 3
};

// Progress sink of a bitmap (connection point of IConnectionPointContainer). done runs up to total.
struct IBitmapEvents : public IUnknown {
  ZVK_RESERVED(3)
  virtual HRESULT STDMETHODCALLTYPE LoadProgress(LONG_PTR callerValue, long done, long total) = 0;  // 4
  virtual HRESULT STDMETHODCALLTYPE SaveProgress(LONG_PTR callerValue, long done, long total) = 0;  // 5
};

// The file reader: what a file holds, without decoding its pixels.
// class {A572BAC2-E936-11D0-B5D8-A0332E90214F}
struct IFileReader : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Open(BSTR path) = 0;  // 3: S_OK when readable
  ZVK_RESERVED(4)
  virtual HRESULT STDMETHODCALLTYPE GetBits(long* bits) = 0;      // 5: 24 to load, 0 unreadable
  virtual HRESULT STDMETHODCALLTYPE GetWidth(long* width) = 0;    // 6
  virtual HRESULT STDMETHODCALLTYPE GetHeight(long* height) = 0;  // 7
  virtual HRESULT STDMETHODCALLTYPE GetSize(long* bytes) = 0;     // 8: file size, capped
  ZVK_RESERVED(9)
  ZVK_RESERVED(10)
  ZVK_RESERVED(11)
  ZVK_RESERVED(12)
  ZVK_RESERVED(13)
  virtual HRESULT STDMETHODCALLTYPE GetImageCount(long* count) = 0;                           // 14
  virtual HRESULT STDMETHODCALLTYPE GetImageSize(long index, long* width, long* height) = 0;  // 15
};

// Tags of the opened file: 37510 (EXIF UserComment) and 270 (TIFF ImageDescription) as VT_BSTR.
struct IFileTags : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetTag(long tag, VARIANT* value) = 0;  // 3
};

// The picture: a source bitmap laid, cropped, over a background that covers its frame, with an overlay on
// top. Its frame is the cropped source's size in pixels (units 0).
// class {305D0C86-B6B2-11D0-B5D8-A0332E90214F}
struct IRenderPicture : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetSource(IBitmap** source) = 0;  // 3
  virtual HRESULT STDMETHODCALLTYPE SetSource(IBitmap* source) = 0;   // 4
};

struct IPictureFrame : public IUnknown {
  ZVK_RESERVED(3)
  virtual HRESULT STDMETHODCALLTYPE GetSize(PictureSize* size) = 0;  // 4
  ZVK_RESERVED(5)
  ZVK_RESERVED(6)
  ZVK_RESERVED(7)
  ZVK_RESERVED(8)
  ZVK_RESERVED(9)
  ZVK_RESERVED(10)
  // Draws the picture where the mapping places its frame (the frame given in the picture's units),
  // clipped to the mapping's clip rectangle; transparent parts let the device context show through.
  // block: a u32 count (1) followed by a frame, the part of the picture drawn (the whole frame).
  virtual HRESULT STDMETHODCALLTYPE Draw(HDC dc, const Mapping* mapping, const Frame* frame,
                                         const void* block) = 0;  // 11
  ZVK_RESERVED(12)
  ZVK_RESERVED(13)
  // Named properties the picture carries for its users; S_FALSE and VT_EMPTY for a name never set.
  virtual HRESULT STDMETHODCALLTYPE GetProperty(BSTR name, VARIANT* value) = 0;  // 14
  virtual HRESULT STDMETHODCALLTYPE SetProperty(BSTR name, VARIANT value) = 0;   // 15
};

// The colour-managed draw: as IPictureFrame::Draw, with a callback that converts the pixels.
struct IIcmDraw : public IUnknown {
  ZVK_RESERVED(3)
  ZVK_RESERVED(4)
  ZVK_RESERVED(5)
  ZVK_RESERVED(6)
  ZVK_RESERVED(7)
  ZVK_RESERVED(8)
  ZVK_RESERVED(9)
  ZVK_RESERVED(10)
  ZVK_RESERVED(11)
  ZVK_RESERVED(12)
  ZVK_RESERVED(13)
  ZVK_RESERVED(14)
  ZVK_RESERVED(15)
  ZVK_RESERVED(16)
  ZVK_RESERVED(17)
  virtual HRESULT STDMETHODCALLTYPE DrawManaged(HDC dc, const Mapping* mapping, const Frame* frame,
                                                const void* block, IRenderIcmCallback* callback) = 0;  // 18
};

// The crop of the picture: offsets in fractions of the source's size, and the zoom (as CropGeometry).
struct IRenderCrop : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetOffsetX(double* x) = 0;  // 3
  virtual HRESULT STDMETHODCALLTYPE SetOffsetX(double x) = 0;   // 4
  virtual HRESULT STDMETHODCALLTYPE GetOffsetY(double* y) = 0;  // 5
  virtual HRESULT STDMETHODCALLTYPE SetOffsetY(double y) = 0;   // 6
  virtual HRESULT STDMETHODCALLTYPE GetZoom(double* zoom) = 0;  // 7
  virtual HRESULT STDMETHODCALLTYPE SetZoom(double zoom) = 0;   // 8
};

// A fixed ratio of width to height cut centred out of the cropped picture, while switched on.
struct IRenderAspect : public IUnknown {
  ZVK_RESERVED(3)
  ZVK_RESERVED(4)
  ZVK_RESERVED(5)
  ZVK_RESERVED(6)
  ZVK_RESERVED(7)
  ZVK_RESERVED(8)
  virtual HRESULT STDMETHODCALLTYPE GetAspectOn(long* on) = 0;           // 9
  virtual HRESULT STDMETHODCALLTYPE SetAspectOn(long on) = 0;            // 10
  virtual HRESULT STDMETHODCALLTYPE GetAspectWidth(ULONG* width) = 0;    // 11
  virtual HRESULT STDMETHODCALLTYPE SetAspectWidth(ULONG width) = 0;     // 12
  virtual HRESULT STDMETHODCALLTYPE GetAspectHeight(ULONG* height) = 0;  // 13
  virtual HRESULT STDMETHODCALLTYPE SetAspectHeight(ULONG height) = 0;   // 14
};

// A second bitmap drawn over the cropped picture, stretched to its frame.
struct IRenderOverlay : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetOverlay(IBitmap** overlay) = 0;  // 3
  virtual HRESULT STDMETHODCALLTYPE SetOverlay(IBitmap* overlay) = 0;   // 4
};

// The replacement background: scaled to cover the frame, centred, under the picture.
struct IRenderBackground : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetBackground(IBitmap** background) = 0;  // 3
  virtual HRESULT STDMETHODCALLTYPE SetBackground(IBitmap* background) = 0;   // 4
};

// Implemented by the program: a process the bitmap runs over its rows (IBitmap::RunProcess).
struct IBitmapProcess : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetName(BSTR* name) = 0;                       // 3
  virtual HRESULT STDMETHODCALLTYPE GetParameter(long index, VARIANT* value) = 0;  // 4
  virtual HRESULT STDMETHODCALLTYPE Begin(long width, long height) = 0;            // 5
  virtual HRESULT STDMETHODCALLTYPE End(HRESULT status) = 0;                       // 6
};

// Implemented by the program: row-wise access. A row is a u16 byte count followed by the pixels, in the
// byte order that GetFormat gives (the offsets of red, green and blue within a 3-byte pixel).
struct IBitmapProcessRaster : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetFlags(long* flags) = 0;                          // 3: 0
  virtual HRESULT STDMETHODCALLTYPE GetFormat(long* red, long* green, long* blue) = 0;  // 4
  virtual HRESULT STDMETHODCALLTYPE GetContextRows(long* rows) = 0;                     // 5: 0
  virtual HRESULT STDMETHODCALLTYPE ProcessRow(long row, BYTE* data) = 0;               // 6
};

}  // namespace zvkImage

#undef ZVK_RESERVED

namespace zvkImage {
// Class identifiers of the objects that CreateObject makes.
inline constexpr CLSID CLSID_Bitmap = {
    0xA572BAD2, 0xE936, 0x11D0, {0xB5, 0xD8, 0xA0, 0x33, 0x2E, 0x90, 0x21, 0x4F}};
inline constexpr CLSID CLSID_FileReader = {
    0xA572BAC2, 0xE936, 0x11D0, {0xB5, 0xD8, 0xA0, 0x33, 0x2E, 0x90, 0x21, 0x4F}};
inline constexpr CLSID CLSID_Picture = {
    0x305D0C86, 0xB6B2, 0x11D0, {0xB5, 0xD8, 0xA0, 0x33, 0x2E, 0x90, 0x21, 0x4F}};

// The library's one creation helper: an object of a class as IUnknown (context flags are those of
// CoCreateInstance and are accepted as given). REGDB_E_CLASSNOTREG for a class it does not make.
HRESULT CreateObject(REFCLSID clsid, DWORD context, IUnknown** object);
// The class factory behind CreateObject (IClassFactory), for callers that want one.
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** factory);
// Test seam: while not S_OK, every creation answers this code and makes nothing.
void SetCreationFailure(HRESULT failure);
}  // namespace zvkImage

__CRT_UUID_DECL(zvkImage::IBitmap, 0xA572BAD3, 0xE936, 0x11D0, 0xB5, 0xD8, 0xA0, 0x33, 0x2E, 0x90, 0x21, 0x4F)
__CRT_UUID_DECL(zvkImage::IBitmapEx, 0x6643C860, 0x5C77, 0x49EF, 0xA0, 0xBA, 0x63, 0xB5, 0x0C, 0xE3, 0x38,
                0x52)
__CRT_UUID_DECL(zvkImage::ITables, 0x916CFD00, 0x2A0A, 0x11D3, 0xBD, 0x11, 0x00, 0x60, 0x8C, 0x84, 0xC0, 0x60)
__CRT_UUID_DECL(zvkImage::ITablesMode, 0x916CFD04, 0x2A0A, 0x11D3, 0xBD, 0x11, 0x00, 0x60, 0x8C, 0x84, 0xC0,
                0x60)
__CRT_UUID_DECL(zvkImage::ITransform, 0x916CFD01, 0x2A0A, 0x11D3, 0xBD, 0x11, 0x00, 0x60, 0x8C, 0x84, 0xC0,
                0x60)
__CRT_UUID_DECL(zvkImage::IAdjust, 0x51965FFE, 0x61C7, 0x42D7, 0xBC, 0xFB, 0xA4, 0x40, 0xB6, 0xFF, 0xE6, 0x25)
__CRT_UUID_DECL(zvkImage::IKeyerState, 0xFB5B9AA8, 0x0A58, 0x4E32, 0x98, 0x0E, 0xC4, 0x75, 0x75, 0x39, 0x5D,
                0x83)
__CRT_UUID_DECL(zvkImage::IKeyerAreas, 0x24C868C0, 0xB568, 0x4837, 0xBF, 0x5B, 0x9E, 0x19, 0x91, 0xDA, 0xE8,
                0x87)
__CRT_UUID_DECL(zvkImage::IResolution, 0xE947D97C, 0xDC72, 0x4597, 0xB7, 0x9C, 0x3B, 0x97, 0x40, 0xF7, 0xF4,
                0x70)
__CRT_UUID_DECL(zvkImage::IResampleRect, 0x99413524, 0xAEE1, 0x4560, 0xB6, 0x25, 0x51, 0xA2, 0x12, 0x5E, 0x14,
                0xA7)
__CRT_UUID_DECL(zvkImage::IFlatten, 0x6B0F2C8E, 0x41D3, 0x4E7A, 0x9C, 0x55, 0x0E, 0x8B, 0x27, 0xD1, 0x6A,
                0x93)
__CRT_UUID_DECL(zvkImage::IBitmapEvents, 0xA572BACF, 0xE936, 0x11D0, 0xB5, 0xD8, 0xA0, 0x33, 0x2E, 0x90, 0x21,
                0x4F)
__CRT_UUID_DECL(zvkImage::IFileReader, 0xA572BAC3, 0xE936, 0x11D0, 0xB5, 0xD8, 0xA0, 0x33, 0x2E, 0x90, 0x21,
                0x4F)
__CRT_UUID_DECL(zvkImage::IFileTags, 0x4AD1E454, 0x15EC, 0x492A, 0xB4, 0xC5, 0xCB, 0x32, 0xC8, 0x8F, 0x6B,
                0xDE)
__CRT_UUID_DECL(zvkImage::IBitmapProcess, 0xB9221BD0, 0xE936, 0x11D0, 0xB5, 0xD8, 0xA0, 0x33, 0x2E, 0x90,
                0x21, 0x4F)
__CRT_UUID_DECL(zvkImage::IBitmapProcessRaster, 0xB9221BD2, 0xE936, 0x11D0, 0xB5, 0xD8, 0xA0, 0x33, 0x2E,
                0x90, 0x21, 0x4F)
__CRT_UUID_DECL(zvkImage::IRenderPicture, 0x305D0C87, 0xB6B2, 0x11D0, 0xB5, 0xD8, 0xA0, 0x33, 0x2E, 0x90,
                0x21, 0x4F)
__CRT_UUID_DECL(zvkImage::IPictureFrame, 0x305D0C51, 0xB6B2, 0x11D0, 0xB5, 0xD8, 0xA0, 0x33, 0x2E, 0x90, 0x21,
                0x4F)
__CRT_UUID_DECL(zvkImage::IIcmDraw, 0xB76EA64E, 0x9725, 0x4FBB, 0xBD, 0xD9, 0x09, 0x5B, 0x4C, 0x0E, 0x9B,
                0xD6)
__CRT_UUID_DECL(zvkImage::IRenderCrop, 0xAD59AB60, 0xCE62, 0x11D4, 0x92, 0x56, 0x00, 0x80, 0xC8, 0xD8, 0x12,
                0xCE)
__CRT_UUID_DECL(zvkImage::IRenderAspect, 0xBEA1600C, 0xA4A9, 0x4D3D, 0xA1, 0xC7, 0x6A, 0x91, 0x96, 0x0E, 0x40,
                0xA1)
__CRT_UUID_DECL(zvkImage::IRenderOverlay, 0x9442E4A0, 0x35E9, 0x11D4, 0x92, 0x1C, 0x00, 0x80, 0xC8, 0xD8,
                0x12, 0xCE)
__CRT_UUID_DECL(zvkImage::IRenderBackground, 0xF66312DD, 0x5EFB, 0x4F45, 0x86, 0x47, 0x2A, 0x1A, 0xFF, 0x8F,
                0x74, 0x1C)
