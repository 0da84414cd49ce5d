// The bitmap object: one free-threaded COM object behind IBitmap and the interfaces that work on the same
// pixels. Every method takes the object's lock, catches everything and answers an HRESULT.
//
// Keying (BitmapObjectKeying.cpp): IKeyerState keys the pixels with a keyer state and keeps the pixels it
// keyed from, so that IKeyerAreas can key them again in one pass with the protect and garbage areas placed
// through TurnOrigin(); IKeyerPixelSource lets the chroma keyer read the whole picture.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>
#include <vector>

#include <zvkImage/zvkImage.h>

#include "keyer/ChromaKeyer.h"

#include "BitmapEventSource.h"
#include "GreyPlane.h"
#include "PixelImage.h"
#include "Progress.h"

namespace zvkImage {

// Private interface: gives the object behind an IBitmap of this library (AddRef'd).
// {7D1E5A40-3C61-4B0C-9E2A-5B8F0C6D2E11}
inline constexpr IID IID_BitmapObjectAccess = {
    0x7D1E5A40, 0x3C61, 0x4B0C, {0x9E, 0x2A, 0x5B, 0x8F, 0x0C, 0x6D, 0x2E, 0x11}};

// The size a picture had before it was turned, and the turn it was given since (fractions of a full turn,
// counter-clockwise), so that area edges given in thousandths of the original can be placed on turned
// pixels.
struct TurnOrigin {
  int width = 0;
  int height = 0;
  double turns = 0.0;
};

struct KeyingRecord;

#define ZVK_RESERVED_IMPL(n) \
  HRESULT STDMETHODCALLTYPE Reserved##n() override { return E_NOTIMPL; }

class BitmapObject final : public IBitmap,
                           public IBitmapEx,
                           public ITables,
                           public ITablesMode,
                           public ITransform,
                           public IAdjust,
                           public IResolution,
                           public IResampleRect,
                           public IFlatten,
                           public IConnectionPointContainer,
                           public IKeyerState,
                           public IKeyerAreas,
                           public IKeyerPixelSource {
 public:
  BitmapObject();
  BitmapObject(const BitmapObject&) = delete;
  BitmapObject& operator=(const BitmapObject&) = delete;

  // The object behind an IBitmap of this library, or null (for a foreign implementation).
  static BitmapObject* FromInterface(IUnknown* unknown);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IBitmap (and IBitmapEx's width and height)
  HRESULT STDMETHODCALLTYPE GetWidth(long* width) override;
  HRESULT STDMETHODCALLTYPE GetHeight(long* height) override;
  HRESULT STDMETHODCALLTYPE Initialize(long flags) override;
  HRESULT STDMETHODCALLTYPE Allocate(long width, long height, long bits, long flags) override;
  HRESULT STDMETHODCALLTYPE AttachHandle(HANDLE handle) override;
  HRESULT STDMETHODCALLTYPE CopyFrom(IBitmap* source) override;
  HRESULT STDMETHODCALLTYPE Load(BSTR path, long bits) override;
  HRESULT STDMETHODCALLTYPE LoadAtSize(BSTR path, const SIZE* size, long bits) override;
  HRESULT STDMETHODCALLTYPE Save(BSTR path, long fileType, long bits, long option) override;
  HRESULT STDMETHODCALLTYPE Draw(HDC dc, const RECT* target, const POINT* srcOrigin, DWORD rop) override;
  HRESULT STDMETHODCALLTYPE DrawRect(HDC dc, const RECT* target, const RECT* source, DWORD rop) override;
  HRESULT STDMETHODCALLTYPE DrawManaged(HDC dc, const RECT* target, const POINT* srcOrigin, DWORD rop,
                                        IRenderIcmCallback* callback) override;
  HRESULT STDMETHODCALLTYPE ResampleFast(long width, long height, long bits) override;
  HRESULT STDMETHODCALLTYPE Resample(long width, long height, long bits) override;
  HRESULT STDMETHODCALLTYPE CopyRect(IBitmap* source, long left, long top, long right, long bottom) override;
  HRESULT STDMETHODCALLTYPE Rotate(float turns) override;
  HRESULT STDMETHODCALLTYPE GetDC(HDC* dc) override;
  HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) override;
  HRESULT STDMETHODCALLTYPE RemoveMask() override;
  HRESULT STDMETHODCALLTYPE HueKey(const float* params) override;
  HRESULT STDMETHODCALLTYPE SetMask(IBitmap* mask) override;
  HRESULT STDMETHODCALLTYPE RunProcess(IBitmapProcess* process, long mode) override;
  HRESULT STDMETHODCALLTYPE SetProgress(long steps, LONG_PTR callerValue) override;
  HRESULT STDMETHODCALLTYPE SetOptions(long option1, long option2) override;
  HRESULT STDMETHODCALLTYPE SaveToStream(IStream* stream, long flags) override;
  HRESULT STDMETHODCALLTYPE LoadFromStream(IStream* stream, long flags) override;

  // IBitmapEx
  HRESULT STDMETHODCALLTYPE Sample(const RECT* rect, VARIANT* sample) override;
  HRESULT STDMETHODCALLTYPE Matte(IBitmap** matte) override;

  // ITables, ITablesMode
  HRESULT STDMETHODCALLTYPE Apply(VARIANT tables) override;
  HRESULT STDMETHODCALLTYPE SetMode(long mode) override;

  // ITransform
  HRESULT STDMETHODCALLTYPE Extract(long left, long top, long right, long bottom, COLORREF fill,
                                    IBitmap** result) override;
  HRESULT STDMETHODCALLTYPE MirrorVertical() override;
  HRESULT STDMETHODCALLTYPE MirrorHorizontal() override;
  HRESULT STDMETHODCALLTYPE Sharpen(short kernel, short strength) override;

  // IAdjust
  HRESULT STDMETHODCALLTYPE Saturation(float factor) override;

  // IResolution
  HRESULT STDMETHODCALLTYPE SetResolution(long horizontal, long vertical) override;
  HRESULT STDMETHODCALLTYPE GetResolution(long* horizontal, long* vertical) override;

  // IResampleRect
  HRESULT STDMETHODCALLTYPE ResampleRect(IBitmap* source, long left, long top, long right, long bottom,
                                         long width, long height) override;

  // IFlatten
  HRESULT STDMETHODCALLTYPE FlattenFrom(IBitmap* source, IBitmap* mask, COLORREF fill,
                                        IRenderIcmCallback* callback) override;

  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** connections) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // IKeyerState, IKeyerAreas
  HRESULT STDMETHODCALLTYPE ApplyState(BSTR statePath) override;
  HRESULT STDMETHODCALLTYPE ApplyAreas(BSTR protectAreas, BSTR garbageAreas, float angle) override;

  // IKeyerPixelSource
  HRESULT STDMETHODCALLTYPE GetPixelSize(LONG* width, LONG* height) override;
  HRESULT STDMETHODCALLTYPE CopyPixelRows(LONG firstRow, LONG rowCount, BYTE* buffer,
                                          LONG_PTR stride) override;

  ZVK_RESERVED_IMPL(3)
  ZVK_RESERVED_IMPL(4)
  ZVK_RESERVED_IMPL(5)
  ZVK_RESERVED_IMPL(6)
  ZVK_RESERVED_IMPL(7)
  ZVK_RESERVED_IMPL(8)
  ZVK_RESERVED_IMPL(9)
  ZVK_RESERVED_IMPL(10)
  ZVK_RESERVED_IMPL(11)
  ZVK_RESERVED_IMPL(12)
  ZVK_RESERVED_IMPL(13)
  ZVK_RESERVED_IMPL(14)
  ZVK_RESERVED_IMPL(15)
  ZVK_RESERVED_IMPL(16)
  ZVK_RESERVED_IMPL(17)
  ZVK_RESERVED_IMPL(18)
  ZVK_RESERVED_IMPL(19)
  ZVK_RESERVED_IMPL(20)
  ZVK_RESERVED_IMPL(21)
  ZVK_RESERVED_IMPL(22)
  ZVK_RESERVED_IMPL(23)
  ZVK_RESERVED_IMPL(24)
  ZVK_RESERVED_IMPL(25)
  ZVK_RESERVED_IMPL(26)
  ZVK_RESERVED_IMPL(27)
  ZVK_RESERVED_IMPL(28)
  ZVK_RESERVED_IMPL(29)
  ZVK_RESERVED_IMPL(30)
  ZVK_RESERVED_IMPL(31)
  ZVK_RESERVED_IMPL(32)
  ZVK_RESERVED_IMPL(33)
  ZVK_RESERVED_IMPL(34)
  ZVK_RESERVED_IMPL(35)
  ZVK_RESERVED_IMPL(36)
  ZVK_RESERVED_IMPL(37)
  ZVK_RESERVED_IMPL(38)
  ZVK_RESERVED_IMPL(39)
  ZVK_RESERVED_IMPL(40)
  ZVK_RESERVED_IMPL(41)
  ZVK_RESERVED_IMPL(42)
  ZVK_RESERVED_IMPL(43)
  ZVK_RESERVED_IMPL(44)
  ZVK_RESERVED_IMPL(45)
  ZVK_RESERVED_IMPL(46)
  ZVK_RESERVED_IMPL(47)
  ZVK_RESERVED_IMPL(48)
  ZVK_RESERVED_IMPL(49)
  ZVK_RESERVED_IMPL(50)
  ZVK_RESERVED_IMPL(51)
  ZVK_RESERVED_IMPL(52)
  ZVK_RESERVED_IMPL(53)
  ZVK_RESERVED_IMPL(54)
  ZVK_RESERVED_IMPL(55)
  ZVK_RESERVED_IMPL(56)
  ZVK_RESERVED_IMPL(57)
  ZVK_RESERVED_IMPL(58)
  ZVK_RESERVED_IMPL(59)
  ZVK_RESERVED_IMPL(60)
  ZVK_RESERVED_IMPL(61)
  ZVK_RESERVED_IMPL(62)
  ZVK_RESERVED_IMPL(63)
  ZVK_RESERVED_IMPL(64)
  ZVK_RESERVED_IMPL(65)
  ZVK_RESERVED_IMPL(66)
  ZVK_RESERVED_IMPL(67)
  ZVK_RESERVED_IMPL(68)
  ZVK_RESERVED_IMPL(69)
  ZVK_RESERVED_IMPL(70)
  ZVK_RESERVED_IMPL(71)
  ZVK_RESERVED_IMPL(72)
  ZVK_RESERVED_IMPL(73)
  ZVK_RESERVED_IMPL(74)
  ZVK_RESERVED_IMPL(75)
  ZVK_RESERVED_IMPL(76)
  ZVK_RESERVED_IMPL(77)
  ZVK_RESERVED_IMPL(78)

  // For this library's own code (the keyer glue, copies between bitmaps): the lock and what it guards.
  std::recursive_mutex& Lock() { return lock_; }
  PixelImage& Pixels() { return image_; }
  const TurnOrigin& Turn() const { return turn_; }
  // A copy of the pixels, alpha and resolution taken under the lock.
  PixelImage Snapshot();
  // As Snapshot, with the mask folded into the alpha plane (an alpha plane is added when there is a mask).
  PixelImage SnapshotMasked();
  // Replaces the pixels (under the lock); the turn origin starts again from the new size.
  void Adopt(PixelImage&& image);

 private:
  ~BitmapObject();
  // Runs body under the lock, turning exceptions into HRESULTs.
  template <class Body>
  HRESULT Guarded(Body&& body);
  HRESULT ResampleTo(long width, long height, long bits, bool fast);
  // Fires the load or save progress events as the coder reports; called without the lock held.
  ProgressFn ProgressReporter(bool load);
  // While GetDC's device context is out, its copy of the pixels has their size: calls that would change the
  // size answer E_ACCESSDENIED until ReleaseDC.
  bool DcOut() {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    return dc_ != nullptr;
  }
  // The pixels were replaced: no turn since the current size, and nothing keyed to key again.
  void NewPicture();
  // The grey plane of a mask bitmap (its luminance), as SetMask keeps it.
  static GreyPlane MaskPlaneOf(BitmapObject& mask);
  // The pixels changed in place: what they were keyed from no longer matches them.
  void ForgetKeying();

  std::atomic<ULONG> refs_{1};
  std::recursive_mutex lock_;
  PixelImage image_;
  GreyPlane mask_;
  TurnOrigin turn_;
  // After IKeyerState: the state and the pixels before it (shared by copies of this bitmap); null again
  // once IKeyerAreas has keyed with them or the pixels change in any other way.
  std::shared_ptr<const KeyingRecord> keying_;
  long options_[2] = {0, 0};
  long tableMode_ = 0;
  long progressSteps_ = 0;
  LONG_PTR progressCaller_ = 0;
  // The device context of GetDC: a DIB section holding a copy of the pixels until ReleaseDC.
  HDC dc_ = nullptr;
  HBITMAP dcBitmap_ = nullptr;
  HGDIOBJ dcOldBitmap_ = nullptr;
  void* dcBits_ = nullptr;
  int dcWidth_ = 0;
  int dcHeight_ = 0;
  BitmapEventSource events_;
};

#undef ZVK_RESERVED_IMPL

template <class Body>
HRESULT BitmapObject::Guarded(Body&& body) {
  try {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::length_error&) {
    return E_INVALIDARG;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace zvkImage
