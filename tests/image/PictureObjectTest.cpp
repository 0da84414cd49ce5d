// The picture object, called the way outside callers call it: by interface identifier and slot number.
#include "ImageTestSupport.h"

using namespace imagetest;
using namespace zvkImage;

namespace {

// Calls slot `slot` of the interface pointer with the arguments, as a caller holding only the layout would.
template <class... Args>
HRESULT CallSlot(void* iface, int slot, Args... args) {
  using Fn = HRESULT(STDMETHODCALLTYPE*)(void*, Args...);
  void** table = *static_cast<void***>(iface);
  return reinterpret_cast<Fn>(table[slot])(iface, args...);
}

Ref<IUnknown> NewPicture() {
  IUnknown* unknown = nullptr;
  EXPECT_EQ(S_OK, CreateObject(CLSID_Picture, CLSCTX_ALL, &unknown));
  return Ref<IUnknown>(unknown);
}

template <class T>
void* Interface(IUnknown* object) {
  void* p = nullptr;
  EXPECT_EQ(S_OK, object->QueryInterface(__uuidof(T), &p));
  if (p) static_cast<IUnknown*>(p)->Release();  // the object holds the reference for the test
  return p;
}

// Draws the picture's whole frame into a new w x h bitmap filled with `under`, the frame landing on target;
// with a callback through the managed draw (slot 18 of icmIface), expecting `expected`.
Pixels DrawInto(void* frameIface, int w, int h, COLORREF under, const RECT& target, void* icmIface = nullptr,
                IRenderIcmCallback* callback = nullptr, HRESULT expected = S_OK) {
  auto canvas = MakeFlat(w, h, under);
  HDC dc = nullptr;
  EXPECT_EQ(S_OK, canvas->GetDC(&dc));
  PictureSize size;
  EXPECT_EQ(S_OK, CallSlot(frameIface, 4, &size));
  Frame frame;
  frame.units = size.units;
  frame.centreX = size.width / 2;
  frame.centreY = size.height / 2;
  frame.width = size.width;
  frame.height = size.height;
  const RECT all{0, 0, w, h};
  Mapping mapping(all, all);
  // What Mapping::Set gives for an upright frame: picture units per pixel and the two centres.
  mapping.scale.units = frame.units;
  mapping.scale.x = frame.width / double(target.right - target.left);
  mapping.scale.y = frame.height / double(target.bottom - target.top);
  mapping.source.units = frame.units;
  mapping.source.x = frame.centreX;
  mapping.source.y = frame.centreY;
  mapping.destination.x = (target.left + target.right) * 0.5;
  mapping.destination.y = (target.top + target.bottom) * 0.5;
  struct {
    uint32_t count = 1;
    Frame frame;
  } block;
  block.frame = frame;
  if (callback)
    EXPECT_EQ(expected,
              CallSlot(icmIface, 18, dc, static_cast<const Mapping*>(&mapping),
                       static_cast<const Frame*>(&frame), static_cast<const void*>(&block), callback));
  else
    EXPECT_EQ(S_OK, CallSlot(frameIface, 11, dc, &mapping, &frame, static_cast<const void*>(&block)));
  canvas->ReleaseDC(dc);
  return Read(canvas.p);
}

}  // namespace

TEST(ImagePictureObject, CropAspectAndSizeThroughTheSlots) {
  auto picture = NewPicture();
  ASSERT_TRUE(picture);
  void* pic = Interface<IRenderPicture>(picture.p);
  void* frame = Interface<IPictureFrame>(picture.p);
  void* crop = Interface<IRenderCrop>(picture.p);
  void* aspect = Interface<IRenderAspect>(picture.p);
  PictureSize size;
  EXPECT_EQ(E_UNEXPECTED, CallSlot(frame, 4, &size)) << "no source, no frame";
  auto source = MakeBitmap(100, 80, [](int x, int) { return x < 50 ? RGB(255, 0, 0) : RGB(0, 0, 255); });
  ASSERT_EQ(S_OK, CallSlot(pic, 4, source.p));
  ASSERT_EQ(S_OK, CallSlot(frame, 4, &size));
  EXPECT_EQ(0, size.units);
  EXPECT_EQ(100.0, size.width);
  EXPECT_EQ(80.0, size.height);
  // Zoom 1.25 shows the middle 81 x 64 at the source's scale.
  ASSERT_EQ(S_OK, CallSlot(crop, 8, 1.25));
  ASSERT_EQ(S_OK, CallSlot(frame, 4, &size));
  EXPECT_EQ(81.0, size.width);
  EXPECT_EQ(64.0, size.height);
  // A fixed ratio 1:1 cuts a centred square out of that.
  ASSERT_EQ(S_OK, CallSlot(aspect, 12, ULONG(1)));
  ASSERT_EQ(S_OK, CallSlot(aspect, 14, ULONG(1)));
  ASSERT_EQ(S_OK, CallSlot(aspect, 10, 1L));
  ASSERT_EQ(S_OK, CallSlot(frame, 4, &size));
  EXPECT_EQ(64.0, size.width);
  EXPECT_EQ(64.0, size.height);
  // The offsets move the picture right and down: with x 0.5 the left half of the frame is beyond it.
  ASSERT_EQ(S_OK, CallSlot(aspect, 10, 0L));
  ASSERT_EQ(S_OK, CallSlot(crop, 8, 1.0));
  ASSERT_EQ(S_OK, CallSlot(crop, 4, 0.5));
  ASSERT_EQ(S_OK, CallSlot(crop, 6, 0.0));
  const Pixels p = DrawInto(frame, 100, 80, RGB(0, 0, 0), RECT{0, 0, 100, 80});
  EXPECT_EQ(RGB(255, 255, 255), p.At(20, 40));
  EXPECT_EQ(RGB(255, 0, 0), p.At(60, 40));
  EXPECT_EQ(RGB(255, 0, 0), p.At(99, 0));
  EXPECT_EQ(E_INVALIDARG, CallSlot(crop, 8, 0.0)) << "a zoom of 0 shows nothing";
}

TEST(ImagePictureObject, TheManagedDrawConvertsThePaintedPixelsBeforeTheyMeetTheCanvas) {
  auto picture = NewPicture();
  void* pic = Interface<IRenderPicture>(picture.p);
  void* frame = Interface<IPictureFrame>(picture.p);
  void* icm = Interface<IIcmDraw>(picture.p);
  // Red whose left half its mask cuts away: the black canvas shows there, and is not converted.
  auto source = MakeFlat(40, 20, RGB(255, 0, 0));
  auto mask = MakeBitmap(40, 20, [](int x, int) { return x < 20 ? RGB(0, 0, 0) : RGB(255, 255, 255); });
  ASSERT_EQ(S_OK, source->SetMask(mask.p));
  ASSERT_EQ(S_OK, CallSlot(pic, 4, source.p));
  InvertingCallback invert;
  const Pixels p = DrawInto(frame, 120, 60, RGB(0, 0, 0), RECT{20, 10, 100, 50}, icm, &invert);
  EXPECT_EQ(1, invert.setups);
  EXPECT_EQ(80 * 40, invert.pixels) << "converted once, at the painted size";
  EXPECT_EQ(RGB(0, 0, 0), p.At(10, 30));
  EXPECT_EQ(RGB(0, 0, 0), p.At(30, 30));
  EXPECT_EQ(RGB(0, 255, 255), p.At(70, 30));
  EXPECT_EQ(RGB(0, 0, 0), p.At(110, 30));
  // A device context the callback cannot prepare is left as it was; no callback is no managed draw.
  InvertingCallback refusing;
  refusing.setup = E_FAIL;
  const Pixels untouched =
      DrawInto(frame, 40, 20, RGB(0, 0, 255), RECT{0, 0, 40, 20}, icm, &refusing, E_FAIL);
  EXPECT_EQ(0, refusing.pixels);
  EXPECT_EQ(RGB(0, 0, 255), untouched.At(30, 10));
  EXPECT_EQ(E_POINTER, CallSlot(icm, 18, HDC(nullptr), static_cast<const Mapping*>(nullptr),
                                static_cast<const Frame*>(nullptr), static_cast<const void*>(nullptr),
                                static_cast<IRenderIcmCallback*>(nullptr)));
}

TEST(ImagePictureObject, LaysTheSourceOverACoveringBackgroundAndScalesIntoTheMapping) {
  auto picture = NewPicture();
  void* pic = Interface<IRenderPicture>(picture.p);
  void* frame = Interface<IPictureFrame>(picture.p);
  // A red subject whose left half is cut away by its mask; a background of another shape (20 x 40) whose
  // top and bottom quarters are grey and middle green, so covering the 40 x 20 frame shows only green.
  auto source = MakeFlat(40, 20, RGB(255, 0, 0));
  auto mask = MakeBitmap(40, 20, [](int x, int) { return x < 20 ? RGB(0, 0, 0) : RGB(255, 255, 255); });
  ASSERT_EQ(S_OK, source->SetMask(mask.p));
  auto background =
      MakeBitmap(20, 40, [](int, int y) { return y < 10 || y >= 30 ? RGB(128, 128, 128) : RGB(0, 255, 0); });
  ASSERT_EQ(S_OK, CallSlot(pic, 4, source.p));
  ASSERT_EQ(S_OK, CallSlot(Interface<IRenderBackground>(picture.p), 4, background.p));
  // Drawn at twice its size into the middle of a black canvas, clipped nowhere.
  const Pixels p = DrawInto(frame, 120, 60, RGB(0, 0, 0), RECT{20, 10, 100, 50});
  EXPECT_EQ(RGB(0, 0, 0), p.At(10, 30));
  EXPECT_EQ(RGB(0, 255, 0), p.At(30, 12));
  EXPECT_EQ(RGB(0, 255, 0), p.At(50, 48));
  EXPECT_EQ(RGB(255, 0, 0), p.At(70, 30));
  EXPECT_EQ(RGB(0, 0, 0), p.At(110, 30));
  // An overlay is stretched over the frame.
  auto overlay = MakeFlat(4, 4, RGB(0, 0, 255));
  ASSERT_EQ(S_OK, CallSlot(Interface<IRenderOverlay>(picture.p), 4, overlay.p));
  EXPECT_EQ(RGB(0, 0, 255), DrawInto(frame, 40, 20, RGB(0, 0, 0), RECT{0, 0, 40, 20}).At(5, 5));
}

TEST(ImagePictureObject, KeepsNamedProperties) {
  auto picture = NewPicture();
  void* frame = Interface<IPictureFrame>(picture.p);
  Bstr name("_Sarnel_IcmTransform");
  VARIANT value;
  VariantInit(&value);
  EXPECT_EQ(S_FALSE, CallSlot(frame, 14, BSTR(name), &value));
  EXPECT_EQ(VT_EMPTY, value.vt);
  VARIANT given;
  given.vt = VT_I4;
  given.lVal = 3;
  ASSERT_EQ(S_OK, CallSlot(frame, 15, BSTR(name), given));
  ASSERT_EQ(S_OK, CallSlot(frame, 14, BSTR(name), &value));
  EXPECT_EQ(VT_I4, value.vt);
  EXPECT_EQ(3, value.lVal);
  // Only this library's bitmaps can be laid into a picture.
  EXPECT_EQ(E_INVALIDARG,
            CallSlot(Interface<IRenderPicture>(picture.p), 4, reinterpret_cast<IBitmap*>(picture.p)));
}
