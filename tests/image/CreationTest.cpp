#include "ImageTestSupport.h"
#include "keyer/ChromaKeyer.h"

using namespace imagetest;
using namespace zvkImage;

TEST(ImageCreation, BitmapAnswersItsInterfaces) {
  IUnknown* unknown = nullptr;
  ASSERT_EQ(S_OK, CreateObject(CLSID_Bitmap, CLSCTX_ALL, &unknown));
  Ref<IUnknown> holder(unknown);
  EXPECT_EQ(S_OK, OleRun(unknown));
  EXPECT_TRUE(Query<IBitmap>(unknown));
  EXPECT_TRUE(Query<IBitmapEx>(unknown));
  EXPECT_TRUE(Query<ITables>(unknown));
  EXPECT_TRUE(Query<ITablesMode>(unknown));
  EXPECT_TRUE(Query<ITransform>(unknown));
  EXPECT_TRUE(Query<IAdjust>(unknown));
  EXPECT_TRUE(Query<IResolution>(unknown));
  EXPECT_TRUE(Query<IConnectionPointContainer>(unknown));
  EXPECT_TRUE(Query<IKeyerState>(unknown));
  EXPECT_TRUE(Query<IKeyerAreas>(unknown));
  EXPECT_TRUE(Query<IKeyerPixelSource>(unknown));
  EXPECT_FALSE(Query<IFileReader>(unknown));
  // Every interface leads back to the same object.
  auto bitmap = Query<IBitmap>(unknown);
  auto ex = Query<IBitmapEx>(unknown);
  auto viaEx = Query<IUnknown>(ex.p);
  EXPECT_EQ(unknown, viaEx.p);
  auto areas = Query<IKeyerAreas>(unknown);
  EXPECT_EQ(unknown, Query<IUnknown>(areas.p).p);
  auto rows = Query<IKeyerPixelSource>(unknown);
  EXPECT_EQ(unknown, Query<IUnknown>(rows.p).p);
}

TEST(ImageCreation, FileReaderAndUnknownClasses) {
  IUnknown* unknown = nullptr;
  ASSERT_EQ(S_OK, CreateObject(CLSID_FileReader, CLSCTX_ALL, &unknown));
  Ref<IUnknown> holder(unknown);
  EXPECT_TRUE(Query<IFileReader>(unknown));
  EXPECT_TRUE(Query<IFileTags>(unknown));
  IUnknown* none = nullptr;
  EXPECT_EQ(REGDB_E_CLASSNOTREG, CreateObject(IID_IUnknown, CLSCTX_ALL, &none));
  EXPECT_EQ(nullptr, none);
  IClassFactory* factory = nullptr;
  ASSERT_EQ(S_OK, GetClassObject(CLSID_Bitmap, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
  IBitmap* bitmap = nullptr;
  EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, __uuidof(IBitmap), reinterpret_cast<void**>(&bitmap)));
  bitmap->Release();
  factory->Release();
}

TEST(ImageCreation, ATestCanMakeCreationFail) {
  SetCreationFailure(E_OUTOFMEMORY);
  IUnknown* unknown = nullptr;
  EXPECT_EQ(E_OUTOFMEMORY, CreateObject(CLSID_Bitmap, CLSCTX_ALL, &unknown));
  EXPECT_EQ(nullptr, unknown);
  SetCreationFailure(S_OK);
  EXPECT_EQ(S_OK, CreateObject(CLSID_Bitmap, CLSCTX_ALL, &unknown));
  unknown->Release();
}

TEST(ImageCreation, NewBitmapIsEmptyAndAllocateGivesBlackPixels) {
  auto bitmap = NewBitmap();
  long w = -1, h = -1;
  EXPECT_EQ(S_OK, bitmap->Initialize(0));
  EXPECT_EQ(S_OK, bitmap->SetOptions(0, 0));
  EXPECT_EQ(S_OK, bitmap->GetWidth(&w));
  EXPECT_EQ(S_OK, bitmap->GetHeight(&h));
  EXPECT_EQ(0, w);
  EXPECT_EQ(0, h);
  EXPECT_EQ(S_OK, bitmap->Allocate(7, 5, 24, 0));
  const Pixels p = Read(bitmap.p);
  EXPECT_EQ(7, p.width);
  EXPECT_EQ(5, p.height);
  for (COLORREF c : p.values) EXPECT_EQ(RGB(0, 0, 0), c);
  EXPECT_EQ(E_INVALIDARG, bitmap->Allocate(7, 5, 8, 0));
  EXPECT_EQ(E_INVALIDARG, bitmap->Allocate(0, 5, 24, 0));
  EXPECT_EQ(E_INVALIDARG, bitmap->Allocate(70000, 5, 24, 0));
  EXPECT_EQ(E_NOTIMPL, bitmap->Reserved3());
}

TEST(ImageCreation, CopyIsIndependentAndKeepsResolution) {
  auto source = MakeBitmap(9, 6, Blocks);
  Query<IResolution>(source.p)->SetResolution(300, 150);
  auto copy = NewBitmap();
  ASSERT_EQ(S_OK, copy->CopyFrom(source.p));
  EXPECT_EQ(Read(source.p).values, Read(copy.p).values);
  long dx = 0, dy = 0;
  Query<IResolution>(copy.p)->GetResolution(&dx, &dy);
  EXPECT_EQ(300, dx);
  EXPECT_EQ(150, dy);
  Query<ITransform>(source.p)->MirrorHorizontal();
  EXPECT_EQ(Blocks(0, 0), Read(copy.p).At(0, 0));
  EXPECT_EQ(E_POINTER, copy->CopyFrom(nullptr));
}

TEST(ImageCreation, AttachTakesOverAnHBITMAP) {
  HDC screen = GetDC(nullptr);
  HBITMAP handle = CreateCompatibleBitmap(screen, 4, 3);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, handle);
  RECT all{0, 0, 4, 3};
  HBRUSH brush = CreateSolidBrush(RGB(10, 200, 30));
  FillRect(memory, &all, brush);
  DeleteObject(brush);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  auto bitmap = NewBitmap();
  ASSERT_EQ(S_OK, bitmap->AttachHandle(handle));
  const Pixels p = Read(bitmap.p);
  ASSERT_EQ(4, p.width);
  ASSERT_EQ(3, p.height);
  for (COLORREF c : p.values) EXPECT_EQ(RGB(10, 200, 30), c);
  EXPECT_EQ(E_INVALIDARG, bitmap->AttachHandle(nullptr));
}

TEST(ImageCreation, AttachRefusesAMalformedDib) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + 4);
  auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
  *bi = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 1000, 1000, 1, 24};  // claims far more rows than it holds
  GlobalUnlock(block);
  auto bitmap = NewBitmap();
  EXPECT_EQ(E_INVALIDARG, bitmap->AttachHandle(block));
  GlobalFree(block);  // refused: still the caller's
}
