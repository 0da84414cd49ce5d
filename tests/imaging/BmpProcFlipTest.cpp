// The mirror process, through the image library's process operation and on its own.
#include "BmpProcFlip.h"

#include "ImageTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace imagetest;

namespace {

COLORREF Asymmetric(int x, int y) { return RGB(17 * x + 3, 29 * y + 5, (x * 7 + y * 11) % 256); }

zvkImage::IBitmapProcess* NewFlip() {
  auto* flip = new CBmpProcFlip;
  zvkImage::IBitmapProcess* process = nullptr;
  EXPECT_EQ(S_OK, flip->ExternalQueryInterface(&__uuidof(zvkImage::IBitmapProcess),
                                               reinterpret_cast<void**>(&process)));
  flip->ExternalRelease();  // the interface's reference keeps it alive
  return process;
}

TEST(BmpProcFlip, MirrorsAsTheTransformDoes) {
  const int sizes[][2] = {{7, 5}, {1, 3}, {2, 1}, {1, 1}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(size[0]);
    auto byProcess = MakeBitmap(size[0], size[1], Asymmetric);
    auto byTransform = MakeBitmap(size[0], size[1], Asymmetric);
    Ref<zvkImage::IBitmapProcess> process(NewFlip());
    ASSERT_EQ(S_OK, byProcess->RunProcess(process.p, 1));
    auto transform = Query<zvkImage::ITransform>(byTransform.p);
    ASSERT_TRUE(transform);
    ASSERT_EQ(S_OK, transform->MirrorHorizontal());
    const Pixels a = Read(byProcess.p), b = Read(byTransform.p);
    EXPECT_EQ(b.values, a.values);
    EXPECT_EQ(Asymmetric(size[0] - 1, 0), a.At(0, 0));
  }
}

TEST(BmpProcFlip, AnswersAsTheLibraryExpects) {
  Ref<zvkImage::IBitmapProcess> process(NewFlip());
  VARIANT v;
  ASSERT_EQ(S_OK, process->GetParameter(0, &v));
  EXPECT_EQ(VT_I2, v.vt);
  EXPECT_EQ(1, v.iVal);
  ASSERT_EQ(S_OK, process->GetParameter(1, &v));
  EXPECT_EQ(VT_I2, v.vt);
  EXPECT_EQ(5, v.iVal);
  ASSERT_EQ(S_OK, process->GetParameter(2, &v));
  EXPECT_EQ(VT_EMPTY, v.vt);
  BSTR name = nullptr;
  ASSERT_EQ(S_OK, process->GetName(&name));
  EXPECT_EQ(0u, SysStringLen(name));
  SysFreeString(name);

  auto raster = Query<zvkImage::IBitmapProcessRaster>(process.p);
  ASSERT_TRUE(raster);
  long r = -1, g = -1, b = -1, flags = -1, rows = -1;
  ASSERT_EQ(S_OK, raster->GetFormat(&r, &g, &b));
  EXPECT_EQ(2, r);
  EXPECT_EQ(1, g);
  EXPECT_EQ(0, b);
  ASSERT_EQ(S_OK, raster->GetFlags(&flags));
  ASSERT_EQ(S_OK, raster->GetContextRows(&rows));
  EXPECT_EQ(0, flags);
  EXPECT_EQ(0, rows);

  EXPECT_EQ(E_POINTER, process->GetParameter(0, nullptr));
  EXPECT_EQ(E_POINTER, process->GetName(nullptr));
  EXPECT_EQ(E_POINTER, raster->GetFormat(nullptr, &g, &b));
  EXPECT_EQ(E_POINTER, raster->GetFlags(nullptr));
  EXPECT_EQ(E_POINTER, raster->GetContextRows(nullptr));
  EXPECT_EQ(E_POINTER, raster->ProcessRow(0, nullptr));
  EXPECT_EQ(E_POINTER, process->QueryInterface(IID_IUnknown, nullptr));
}

TEST(BmpProcFlip, RowsKeepBytesPastTheLastWholePixel) {
  Ref<zvkImage::IBitmapProcess> process(NewFlip());
  auto raster = Query<zvkImage::IBitmapProcessRaster>(process.p);
  std::vector<BYTE> row = {7, 0, 1, 2, 3, 4, 5, 6, 9};
  ASSERT_EQ(S_OK, raster->ProcessRow(0, row.data()));
  EXPECT_EQ((std::vector<BYTE>{7, 0, 4, 5, 6, 1, 2, 3, 9}), row);
  std::vector<BYTE> single = {3, 0, 1, 2, 3};
  ASSERT_EQ(S_OK, raster->ProcessRow(0, single.data()));
  EXPECT_EQ((std::vector<BYTE>{3, 0, 1, 2, 3}), single);
}

// Counts its deletions, to see that the last release of any interface deletes the object.
class CountedFlip : public CBmpProcFlip {
 public:
  explicit CountedFlip(int& deleted) : m_deleted(deleted) {}
  ~CountedFlip() override { ++m_deleted; }
  int& m_deleted;
};

TEST(BmpProcFlip, TheLastReleaseDeletesIt) {
  int deleted = 0;
  auto* flip = new CountedFlip(deleted);
  IUnknown* unknown = flip->GetControllingUnknown();
  zvkImage::IBitmapProcessRaster* raster = nullptr;
  ASSERT_EQ(S_OK, unknown->QueryInterface(__uuidof(zvkImage::IBitmapProcessRaster),
                                          reinterpret_cast<void**>(&raster)));
  IUnknown* again = nullptr;
  ASSERT_EQ(S_OK, raster->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again)));
  EXPECT_EQ(unknown, again);
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_NOINTERFACE, raster->QueryInterface(IID_IStream, &none));
  EXPECT_EQ(nullptr, none);
  again->Release();
  flip->ExternalRelease();  // the creator's reference
  EXPECT_EQ(0, deleted);
  EXPECT_EQ(0u, raster->Release());
  EXPECT_EQ(1, deleted);
}

}  // namespace
