// Keyed bitmaps: a keyer state and protect and garbage areas applied to the library's bitmaps, checked
// against the keyer engine's own pass over the same pixels.
#include <cmath>
#include <cstring>
#include <thread>

#include "Fixtures.h"
#include "ImageTestSupport.h"
#include "KeyerTestSupport.h"
#include "keyer/KeyerCreation.h"
#include "keyer/KeyerState.h"
#include "keyer/KeyingPass.h"

using namespace imagetest;
using namespace zvkImage;
using keyertest::Scene;

namespace {

constexpr double kPi = 3.14159265358979323846;

// Colour rows (3 bytes a pixel, packed) and alpha of a bitmap, read whole through its pixel rows and matte.
struct Planes {
  int width = 0, height = 0;
  std::vector<uint8_t> bgr, alpha;
  int Alpha(int x, int y) const { return alpha[size_t(y) * width + x]; }
  COLORREF Colour(int x, int y) const {
    const uint8_t* p = &bgr[(size_t(y) * width + x) * 3];
    return RGB(p[2], p[1], p[0]);
  }
};

std::vector<uint8_t> Rows(IUnknown* bitmap, int& width, int& height) {
  auto source = Query<IKeyerPixelSource>(bitmap);
  EXPECT_TRUE(source);
  LONG w = 0, h = 0;
  EXPECT_EQ(S_OK, source->GetPixelSize(&w, &h));
  width = int(w);
  height = int(h);
  std::vector<uint8_t> rows(size_t(w) * h * 3);
  if (!rows.empty()) {
    EXPECT_EQ(S_OK, source->CopyPixelRows(0, h, rows.data(), w * 3));
  }
  return rows;
}

Planes ReadPlanes(IBitmap* bitmap) {
  Planes p;
  p.bgr = Rows(bitmap, p.width, p.height);
  Ref<IBitmap> matte;
  EXPECT_EQ(S_OK, Query<IBitmapEx>(bitmap)->Matte(matte.Out()));
  int w = 0, h = 0;
  const std::vector<uint8_t> grey = Rows(matte.p, w, h);
  for (size_t i = 0; i < grey.size(); i += 3) p.alpha.push_back(grey[i]);
  return p;
}

Ref<IBitmap> BitmapOf(const Scene& s) {
  return MakeBitmap(s.width, s.height, [&s](int x, int y) {
    const uint8_t* p = &s.bgr[(size_t(y) * s.width + x) * 3];
    return RGB(p[2], p[1], p[0]);
  });
}

// What the engine gives for these pixels in one pass.
Planes EnginePass(const keyer::KeyerState* state, const std::vector<uint8_t>& bgr, int w, int h,
                  const keyer::KeyerAreas* areas = nullptr, keyer::AreaPlacement placement = {}) {
  Planes p{w, h, std::vector<uint8_t>(bgr.size()), std::vector<uint8_t>(size_t(w) * h)};
  keyer::ApplyState(state, bgr.data(), w * 3, w, h, p.bgr.data(), w * 3, p.alpha.data(), w, areas, placement);
  return p;
}

HRESULT KeyState(IBitmap* bitmap, const std::string& path) {
  auto keying = Query<IKeyerState>(bitmap);
  EXPECT_TRUE(keying);
  return keying->ApplyState(Bstr(path));
}

HRESULT KeyAreas(IBitmap* bitmap, const std::string& protect, const std::string& garbage, float angle = 0) {
  auto keying = Query<IKeyerAreas>(bitmap);
  EXPECT_TRUE(keying);
  return keying->ApplyAreas(Bstr(protect), Bstr(garbage), angle);
}

// The angle the program passes with the areas for a rotation in tenths of a degree.
float AngleFor(int tenths) { return tenths == 0 ? 0.0f : float(tenths / 3600.0 - 1); }
float TurnFor(int tenths) { return float(tenths) * 0.00027777778f; }

VARIANT HalvingTables() {
  SAFEARRAYBOUND bound{256, 0};
  SAFEARRAY* array = SafeArrayCreate(VT_UI1, 1, &bound);
  uint8_t* data = nullptr;
  SafeArrayAccessData(array, reinterpret_cast<void**>(&data));
  for (int i = 0; i < 256; ++i) data[i] = uint8_t(i / 2);
  SafeArrayUnaccessData(array);
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | VT_UI1;
  v.parray = array;
  return v;
}

class KeyedBitmap : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new std::string(testsupport::ScratchFolder("keyed"));
    SetKeyerStateFolder(folder_->c_str());
    scene_ = new Scene(keyertest::MakeComposite(false));
    // The keyer models the screen from a bitmap of this library, reading it through its pixel rows.
    auto bitmap = BitmapOf(*scene_);
    IChromaKeyer* keyer = keyertest::NewKeyer();
    EXPECT_EQ(S_OK, keyer->AutoCompute(bitmap.p, 0, 0));
    path_ = new std::string(keyertest::Save(keyer));
    keyer->Release();
    const std::vector<uint8_t> bytes = keyertest::FileBytes(*path_);
    state_ =
        new std::shared_ptr<const keyer::KeyerState>(keyer::KeyerState::Parse(bytes.data(), bytes.size()));
  }
  static void TearDownTestSuite() {
    SetKeyerStateFolder(nullptr);
    delete state_;
    delete path_;
    delete scene_;
    delete folder_;
  }
  static const Scene& S() { return *scene_; }
  static const std::string& StatePath() { return *path_; }
  static const keyer::KeyerState* State() { return state_->get(); }
  static std::string Folder() { return *folder_; }

 private:
  static inline std::string* folder_ = nullptr;
  static inline Scene* scene_ = nullptr;
  static inline std::string* path_ = nullptr;
  static inline std::shared_ptr<const keyer::KeyerState>* state_ = nullptr;
};

}  // namespace

TEST_F(KeyedBitmap, StateGivesAnAlphaPlaneAndTheSpillCorrectedColour) {
  // Large enough that the rows are split over the cores.
  const Scene big = keyertest::MakeComposite(false, 640, 480);
  auto bitmap = BitmapOf(big);
  ASSERT_EQ(S_OK, KeyState(bitmap.p, StatePath()));
  const Planes keyed = ReadPlanes(bitmap.p);
  const Planes expected = EnginePass(State(), big.bgr, big.width, big.height);
  EXPECT_EQ(expected.bgr, keyed.bgr);
  EXPECT_EQ(expected.alpha, keyed.alpha);  // through slot 80: the alpha as grey
  // And it really keys: the screen goes, the subject stays.
  size_t screenGone = 0, screens = 0, subjectKept = 0, subjects = 0;
  for (size_t i = 0; i < big.truth.size(); ++i) {
    if (big.truth[i] == keyertest::kScreen) screens++, screenGone += keyed.alpha[i] < 16;
    if (big.truth[i] == keyertest::kSubject) subjects++, subjectKept += keyed.alpha[i] == 255;
  }
  EXPECT_GT(screenGone, screens * 95 / 100);
  EXPECT_GT(subjectKept, subjects * 95 / 100);
}

TEST_F(KeyedBitmap, AnEmptyPathKeysNothingButGivesAreasAnAlphaPlane) {
  auto bitmap = BitmapOf(S());
  ASSERT_EQ(S_OK, KeyState(bitmap.p, ""));
  Planes p = ReadPlanes(bitmap.p);
  EXPECT_EQ(S().bgr, p.bgr);
  EXPECT_EQ(std::vector<uint8_t>(p.alpha.size(), 255), p.alpha);
  ASSERT_EQ(S_OK, KeyAreas(bitmap.p, "", " 0 0 0 500 1000"));
  p = ReadPlanes(bitmap.p);
  EXPECT_EQ(0, p.Alpha(10, 60));
  EXPECT_EQ(255, p.Alpha(150, 60));
}

TEST_F(KeyedBitmap, AnUnreadableStateLeavesThePictureUnkeyedAndAnswersSFalse) {
  const std::vector<uint8_t> good = keyertest::FileBytes(StatePath());
  auto write = [](const std::string& path, const std::vector<uint8_t>& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    WriteFile(f, bytes.data(), DWORD(bytes.size()), &done, nullptr);
    CloseHandle(f);
  };
  const std::string garbage = Folder() + "\\garbage.state", truncated = Folder() + "\\truncated.state";
  write(garbage, std::vector<uint8_t>(good.size(), 0x5A));
  write(truncated, std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2));
  const std::string paths[] = {
      Folder() + "\\missing.state", garbage,     truncated, "\\\\server\\share\\a.state",
      "\\\\?\\C:\\a.state",         "\\\\.\\NUL"};
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    auto bitmap = BitmapOf(S());
    EXPECT_EQ(S_FALSE, KeyState(bitmap.p, path));
    // Areas after it leave the picture as it is too.
    EXPECT_EQ(S_FALSE, KeyAreas(bitmap.p, " 0 0 0 1000 1000", " 0 0 0 500 500"));
    const Planes p = ReadPlanes(bitmap.p);
    EXPECT_EQ(S().bgr, p.bgr);
    EXPECT_EQ(std::vector<uint8_t>(p.alpha.size(), 255), p.alpha);
  }
  // A picture keyed before becomes unkeyed again, and a readable state then keys it from its own colours.
  auto bitmap = BitmapOf(S());
  ASSERT_EQ(S_OK, KeyState(bitmap.p, StatePath()));
  EXPECT_EQ(S_FALSE, KeyState(bitmap.p, garbage));
  EXPECT_EQ(S().bgr, ReadPlanes(bitmap.p).bgr);
  ASSERT_EQ(S_OK, KeyState(bitmap.p, StatePath()));
  EXPECT_EQ(EnginePass(State(), S().bgr, S().width, S().height).bgr, ReadPlanes(bitmap.p).bgr);
}

TEST_F(KeyedBitmap, AreasAfterTheStateEqualOnePassWithBoth) {
  const int w = S().width, h = S().height;
  // Protect (top-left screen corner; a square on the shirt) and garbage (an ellipse over the lower right,
  // holding the square): garbage clears, protect restores the original colour and wins where both lie.
  const std::string protect = " 0 0 0 200 250 0 650 800 720 900", garbage = " 1 600 600 1000 1000";
  const keyer::KeyerAreas areas = keyer::KeyerAreas::Parse(protect, garbage);
  const Planes expected = EnginePass(State(), S().bgr, w, h, &areas);

  auto bitmap = BitmapOf(S());
  ASSERT_EQ(S_OK, KeyState(bitmap.p, StatePath()));
  auto copy = NewBitmap();  // a copy made between the two calls keys alike
  ASSERT_EQ(S_OK, copy->CopyFrom(bitmap.p));
  ASSERT_EQ(S_OK, KeyAreas(bitmap.p, protect, garbage));
  ASSERT_EQ(S_OK, KeyAreas(copy.p, protect, garbage));
  for (IBitmap* b : {bitmap.p, copy.p}) {
    const Planes p = ReadPlanes(b);
    EXPECT_EQ(expected.bgr, p.bgr);
    ASSERT_EQ(expected.alpha, p.alpha);
    EXPECT_EQ(255, p.Alpha(10, 10));                                          // protected screen
    EXPECT_EQ(S().bgr[(10 * w + 10) * 3 + 1], p.bgr[(10 * w + 10) * 3 + 1]);  // with its own green
    EXPECT_EQ(0, p.Alpha(112, 114));                                          // garbage on the shirt
    EXPECT_EQ(255, p.Alpha(110, 100));                                        // protect inside garbage
    EXPECT_EQ(0, std::memcmp(&S().bgr[(100 * w + 110) * 3], &p.bgr[(100 * w + 110) * 3], 3));
  }
  // Edges are anti-aliased over one pixel: the garbage rectangle's edge at x = 80.3 leaves a shirt pixel
  // partly covered.
  auto edge = BitmapOf(S());
  ASSERT_EQ(S_OK, KeyState(edge.p, StatePath()));
  ASSERT_EQ(S_OK, KeyAreas(edge.p, "", " 0 0 700 502 1000"));
  const Planes e = ReadPlanes(edge.p);
  EXPECT_EQ(0, e.Alpha(79, 100));
  EXPECT_GT(e.Alpha(80, 100), 60);
  EXPECT_LT(e.Alpha(80, 100), 200);
  EXPECT_EQ(255, e.Alpha(81, 100));
}

TEST_F(KeyedBitmap, AreasOverTheEdgeKeepTheirShapeAndUnknownRecordsAreSkipped) {
  const int w = S().width, h = S().height;
  // A garbage ellipse centred on the top left corner, half of it outside the picture.
  const keyer::KeyerAreas drawn({}, {{1, -500, -500, 500, 500}});
  const Planes expected = EnginePass(State(), S().bgr, w, h, &drawn);
  // Cut to the picture, it would be a smaller ellipse in the middle of the quarter, over other pixels.
  const keyer::KeyerAreas cut({}, {{1, 0, 0, 500, 500}});
  ASSERT_NE(expected.alpha, EnginePass(State(), S().bgr, w, h, &cut).alpha);

  // A record of a shape the library does not know (type 3, over everything) is left out; the rest
  // applies, and the answer says so.
  auto bitmap = BitmapOf(S());
  ASSERT_EQ(S_OK, KeyState(bitmap.p, StatePath()));
  EXPECT_EQ(S_FALSE, KeyAreas(bitmap.p, "", " 1 -500 -500 500 500 3 0 0 1000 1000"));
  const Planes p = ReadPlanes(bitmap.p);
  EXPECT_EQ(expected.bgr, p.bgr);
  EXPECT_EQ(expected.alpha, p.alpha);
  // Only unknown records: the picture keeps the state's keying.
  auto other = BitmapOf(S());
  ASSERT_EQ(S_OK, KeyState(other.p, StatePath()));
  EXPECT_EQ(S_FALSE, KeyAreas(other.p, " 9 0 0 1000 1000", ""));
  EXPECT_EQ(EnginePass(State(), S().bgr, w, h).alpha, ReadPlanes(other.p).alpha);
}

TEST_F(KeyedBitmap, AMalformedAreaTextChangesNothing) {
  auto bitmap = BitmapOf(S());
  ASSERT_EQ(S_OK, KeyState(bitmap.p, StatePath()));
  const Planes keyed = ReadPlanes(bitmap.p);
  const std::string bad[] = {" 0 1 2 3", " 0 a 0 10 10", " 0 1,2 3 4 5", " 0 0 0 10 10x",
                             " 0 0 0 99999999999 10"};
  for (const std::string& text : bad) {
    SCOPED_TRACE(text);
    EXPECT_EQ(E_INVALIDARG, KeyAreas(bitmap.p, text, ""));
    EXPECT_EQ(E_INVALIDARG, KeyAreas(bitmap.p, "", text));
  }
  BSTR wide = SysAllocString(L" 0 0 0 10 \x00e910");
  EXPECT_EQ(E_INVALIDARG, Query<IKeyerAreas>(bitmap.p)->ApplyAreas(wide, nullptr, 0));
  SysFreeString(wide);
  EXPECT_EQ(E_INVALIDARG, KeyAreas(bitmap.p, " 0 0 0 10 10", "", std::nanf("")));
  const Planes after = ReadPlanes(bitmap.p);
  EXPECT_EQ(keyed.bgr, after.bgr);
  EXPECT_EQ(keyed.alpha, after.alpha);
  // The state's own pixels are still there for good areas.
  ASSERT_EQ(S_OK, KeyAreas(bitmap.p, " 0 0 0 1000 1000", ""));
  EXPECT_EQ(S().bgr, ReadPlanes(bitmap.p).bgr);
}

TEST_F(KeyedBitmap, AreasFollowTheTurnOntoTheTurnedPixels) {
  // A protect area over the original's top-left screen corner, centred on pixel (16, 15).
  const std::string protect = " 0 0 0 200 250";
  const double pcx = 16.5 - S().width / 2.0, pcy = 15.5 - S().height / 2.0;
  for (int tenths : {900, 1800, 2700, 300}) {
    SCOPED_TRACE(tenths);
    auto bitmap = BitmapOf(S());
    ASSERT_EQ(S_OK, bitmap->Rotate(TurnFor(tenths)));
    ASSERT_EQ(S_OK, KeyState(bitmap.p, StatePath()));
    ASSERT_EQ(S_OK, KeyAreas(bitmap.p, protect, "", AngleFor(tenths)));
    const Planes p = ReadPlanes(bitmap.p);
    // The picture turns counter-clockwise about its centre (y runs down).
    auto place = [&](double turn) {
      const double a = 2 * kPi * turn, c = std::cos(a), s = std::sin(a);
      return POINT{LONG(std::floor(p.width / 2.0 + c * pcx + s * pcy)),
                   LONG(std::floor(p.height / 2.0 - s * pcx + c * pcy))};
    };
    const POINT right = place(tenths / 3600.0);
    EXPECT_EQ(255, p.Alpha(right.x, right.y));
    if (tenths % 900 == 0) {
      const uint8_t* q = &S().bgr[(15 * S().width + 16) * 3];
      EXPECT_EQ(RGB(q[2], q[1], q[0]), p.Colour(right.x, right.y));  // a quarter turn moves pixels exactly
    }
    // Turned the other way round, it would have landed on screen that stays keyed (for a fine turn, the
    // other way round reaches into the white corners the turn adds, which no key takes).
    if (tenths % 900 == 0 && tenths != 1800) {
      const POINT wrong = place(-tenths / 3600.0);
      ASSERT_TRUE(wrong.x >= 0 && wrong.y >= 0 && wrong.x < p.width && wrong.y < p.height);
      EXPECT_LT(p.Alpha(wrong.x, wrong.y), 40);
    }
  }
  // A picture that came here already turned (no turn of its own) is placed by the caller's angle.
  const int w = S().width, h = S().height;
  auto turned = MakeBitmap(h, w, [&](int x, int y) {
    const uint8_t* q = &S().bgr[(size_t(x) * w + (w - 1 - y)) * 3];  // a quarter turn counter-clockwise
    return RGB(q[2], q[1], q[0]);
  });
  ASSERT_EQ(S_OK, KeyState(turned.p, StatePath()));
  ASSERT_EQ(S_OK, KeyAreas(turned.p, protect, "", AngleFor(900)));
  const Planes t = ReadPlanes(turned.p);
  EXPECT_EQ(255, t.Alpha(15, w - 1 - 16));
  EXPECT_LT(t.Alpha(h - 1 - 15, 16), 40);
}

TEST_F(KeyedBitmap, DerivedLikeTheBitmapCacheDoes) {
  // Copy, turn by 900 tenths, state, areas, tables: keyed on turned but uncorrected pixels, then corrected
  // with the same tables as the unkeyed picture.
  const int w = S().width, h = S().height;
  const std::string protect = " 0 0 0 200 250", garbage = " 1 600 600 1000 1000";
  auto original = BitmapOf(S());
  auto corrected = NewBitmap();
  ASSERT_EQ(S_OK, corrected->CopyFrom(original.p));
  ASSERT_EQ(S_OK, corrected->Rotate(TurnFor(900)));
  auto keyed = NewBitmap();
  ASSERT_EQ(S_OK, keyed->CopyFrom(corrected.p));
  ASSERT_EQ(S_OK, KeyState(keyed.p, StatePath()));
  ASSERT_EQ(S_OK, KeyAreas(keyed.p, protect, garbage, AngleFor(900)));
  VARIANT tables = HalvingTables();
  ASSERT_EQ(S_OK, Query<ITables>(corrected.p)->Apply(tables));
  ASSERT_EQ(S_OK, Query<ITables>(keyed.p)->Apply(tables));
  VariantClear(&tables);

  // Expected: the engine's one pass over the turned pixels, areas placed through the turn, then halved.
  std::vector<uint8_t> turned(S().bgr.size());
  for (int y = 0; y < w; ++y)
    for (int x = 0; x < h; ++x)
      std::memcpy(&turned[(size_t(y) * h + x) * 3], &S().bgr[(size_t(x) * w + (w - 1 - y)) * 3], 3);
  const keyer::KeyerAreas areas = keyer::KeyerAreas::Parse(protect, garbage);
  Planes expected = EnginePass(State(), turned, h, w, &areas, keyer::AreaPlacement{w, h, 0.25});
  for (uint8_t& v : expected.bgr) v /= 2;
  for (uint8_t& v : turned) v /= 2;

  const Planes k = ReadPlanes(keyed.p), c = ReadPlanes(corrected.p);
  ASSERT_EQ(h, k.width);
  ASSERT_EQ(w, k.height);
  EXPECT_EQ(expected.bgr, k.bgr);
  EXPECT_EQ(expected.alpha, k.alpha);
  EXPECT_EQ(turned, c.bgr);
  EXPECT_EQ(std::vector<uint8_t>(c.alpha.size(), 255), c.alpha);
  // Original (16, 15) lies under protect, (112, 114) under garbage; a quarter turn takes (x, y) to (y,
  // w-1-x).
  EXPECT_EQ(255, k.Alpha(15, w - 1 - 16));
  EXPECT_EQ(c.Colour(15, w - 1 - 16), k.Colour(15, w - 1 - 16));
  EXPECT_EQ(0, k.Alpha(114, w - 1 - 112));
}

TEST_F(KeyedBitmap, CopiesAndTurnsKeepAlphaAndTablesAndSaturationChangeColourOnly) {
  auto bitmap = BitmapOf(S());
  ASSERT_EQ(S_OK, KeyState(bitmap.p, StatePath()));
  const Planes keyed = ReadPlanes(bitmap.p);
  auto copy = NewBitmap();
  ASSERT_EQ(S_OK, copy->CopyFrom(bitmap.p));
  EXPECT_EQ(keyed.alpha, ReadPlanes(copy.p).alpha);
  ASSERT_EQ(S_OK, copy->Rotate(0.25f));
  const Planes turned = ReadPlanes(copy.p);
  for (int y = 0; y < keyed.height; y += 7)
    for (int x = 0; x < keyed.width; x += 5)
      ASSERT_EQ(keyed.Alpha(x, y), turned.Alpha(y, keyed.width - 1 - x));
  VARIANT tables = HalvingTables();
  ASSERT_EQ(S_OK, Query<ITables>(bitmap.p)->Apply(tables));
  VariantClear(&tables);
  ASSERT_EQ(S_OK, Query<IAdjust>(bitmap.p)->Saturation(0.5f));
  const Planes changed = ReadPlanes(bitmap.p);
  EXPECT_EQ(keyed.alpha, changed.alpha);
  EXPECT_NE(keyed.bgr, changed.bgr);
  // Areas given after the colours changed work on the pixels as they are now: protect keeps the corrected
  // colour rather than bringing back the uncorrected one, and cannot undo keying it was not given with.
  ASSERT_EQ(S_OK, KeyAreas(bitmap.p, " 0 0 0 1000 1000", ""));
  const Planes protectedNow = ReadPlanes(bitmap.p);
  EXPECT_EQ(changed.bgr, protectedNow.bgr);
  EXPECT_EQ(changed.alpha, protectedNow.alpha);
}

TEST_F(KeyedBitmap, DrawnOverRedItCompositesWithStraightAlpha) {
  auto bitmap = BitmapOf(S());
  ASSERT_EQ(S_OK, KeyState(bitmap.p, StatePath()));
  // Anti-aliased garbage edges give many partial alphas besides the keyed hair.
  ASSERT_EQ(S_OK, KeyAreas(bitmap.p, "", " 1 303 120 705 777"));
  const Planes p = ReadPlanes(bitmap.p);
  const int w = p.width, h = p.height;
  BITMAPINFOHEADER bi{sizeof(bi), w, -h, 1, 24};
  void* bits = nullptr;
  HBITMAP canvas =
      CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, canvas);
  RECT all{0, 0, w, h};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &all, red);
  DeleteObject(red);
  POINT origin{0, 0};
  ASSERT_EQ(S_OK, bitmap->Draw(dc, &all, &origin, SRCCOPY));
  GdiFlush();
  const size_t stride = (size_t(w) * 3 + 3) & ~size_t(3);
  int partial = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int a = p.Alpha(x, y);
      partial += a > 0 && a < 255;
      const uint8_t* d = static_cast<uint8_t*>(bits) + y * stride + x * 3;
      const uint8_t* s = &p.bgr[(size_t(y) * w + x) * 3];
      const uint8_t behind[3] = {0, 0, 255};
      for (int ch = 0; ch < 3; ++ch)
        ASSERT_NEAR(d[ch], (s[ch] * a + behind[ch] * (255 - a)) / 255.0, 1.0)
            << x << "," << y << " alpha " << a;
    }
  EXPECT_GT(partial, 20);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(canvas);
}

TEST_F(KeyedBitmap, ThreadsShareParsedStates) {
  // Two states, keyed with at once by several threads.
  IChromaKeyer* keyer = keyertest::NewKeyer();
  ASSERT_EQ(S_OK, keyer->AutoCompute(BitmapOf(S()).p, 0.3f, -0.2f));
  const std::string other = keyertest::Save(keyer);
  keyer->Release();
  ASSERT_NE(other, StatePath());
  Planes reference[2];
  for (int i = 0; i < 2; ++i) {
    auto b = BitmapOf(S());
    ASSERT_EQ(S_OK, KeyState(b.p, i ? other : StatePath()));
    ASSERT_EQ(S_OK, KeyAreas(b.p, " 1 100 100 300 300", " 0 900 0 1000 1000"));
    reference[i] = ReadPlanes(b.p);
  }
  std::vector<Ref<IBitmap>> bitmaps;
  for (int i = 0; i < 8; ++i) bitmaps.push_back(BitmapOf(S()));
  std::vector<HRESULT> results(bitmaps.size(), E_FAIL);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < bitmaps.size(); ++i)
    threads.emplace_back([&, i] {
      CoInitializeEx(nullptr, COINIT_MULTITHREADED);
      HRESULT hr = Query<IKeyerState>(bitmaps[i].p)->ApplyState(Bstr(i % 2 ? other : StatePath()));
      if (hr == S_OK)
        hr = Query<IKeyerAreas>(bitmaps[i].p)
                 ->ApplyAreas(Bstr(" 1 100 100 300 300"), Bstr(" 0 900 0 1000 1000"), 0);
      results[i] = hr;
      CoUninitialize();
    });
  for (auto& t : threads) t.join();
  for (size_t i = 0; i < bitmaps.size(); ++i) {
    ASSERT_EQ(S_OK, results[i]);
    const Planes p = ReadPlanes(bitmaps[i].p);
    EXPECT_EQ(reference[i % 2].bgr, p.bgr);
    EXPECT_EQ(reference[i % 2].alpha, p.alpha);
  }
}

TEST_F(KeyedBitmap, PixelRowsRefuseWhatLiesOutsideThePicture) {
  auto bitmap = MakeFlat(5, 4, RGB(1, 2, 3));
  auto source = Query<IKeyerPixelSource>(bitmap.p);
  ASSERT_TRUE(source);
  std::vector<uint8_t> buffer(64 * 8, 0xEE);
  EXPECT_EQ(E_INVALIDARG, source->CopyPixelRows(-1, 1, buffer.data(), 64));
  EXPECT_EQ(E_INVALIDARG, source->CopyPixelRows(2, 3, buffer.data(), 64));
  EXPECT_EQ(E_INVALIDARG, source->CopyPixelRows(0, 1, buffer.data(), 14));  // shorter than a row
  EXPECT_EQ(E_POINTER, source->CopyPixelRows(0, 1, nullptr, 64));
  ASSERT_EQ(S_OK, source->CopyPixelRows(1, 3, buffer.data(), 64));
  EXPECT_EQ(3, buffer[0]);
  EXPECT_EQ(1, buffer[2 * 64 + 14]);
  EXPECT_EQ(0xEE, buffer[15]);  // nothing past the row
}
