// Curves applied to bitmaps of the image library, on the user-interface thread and on worker threads,
// and the import processing that carries a curve.
#include "LUTRecordTestSupport.h"

#include "ImageRecord.h"
#include "ImageTestSupport.h"
#include "LutTestSupport.h"

#include <process.h>

#include <atomic>

using namespace luttest;
using imagetest::MakeBitmap;
using imagetest::MakeFlat;
using imagetest::Read;

namespace {

ULONG References(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

// Answers the table interface (or not) and fails to apply, with error information for that interface.
// ApplyToBitmap reaches a bitmap only through QueryInterface, so this stands in for one.
class TablesStandIn : public zvkImage::ITables, public ISupportErrorInfo {
 public:
  explicit TablesStandIn(bool answersTables) : answersTables(answersTables) {}

  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || (answersTables && IsEqualIID(riid, __uuidof(zvkImage::ITables))))
      *ppv = static_cast<zvkImage::ITables*>(this);
    else if (IsEqualIID(riid, IID_ISupportErrorInfo))
      *ppv = static_cast<ISupportErrorInfo*>(this);
    if (!*ppv) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHOD_(ULONG, AddRef)() override { return InterlockedIncrement(&refs); }
  STDMETHOD_(ULONG, Release)() override { return InterlockedDecrement(&refs); }
  STDMETHOD(Apply)(VARIANT tables) override {
    appliedType = tables.vt;
    ICreateErrorInfo* create = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
      create->SetGUID(__uuidof(zvkImage::ITables));
      create->SetDescription(const_cast<LPOLESTR>(L"The tables do not fit."));
      IErrorInfo* info = nullptr;
      create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
      SetErrorInfo(0, info);
      info->Release();
      create->Release();
    }
    return E_INVALIDARG;
  }
  STDMETHOD(InterfaceSupportsErrorInfo)(REFIID riid) override {
    askedAbout = riid;
    return IsEqualIID(riid, __uuidof(zvkImage::ITables)) ? S_OK : S_FALSE;
  }

  IBitmapPtr AsBitmap() {
    return IBitmapPtr(reinterpret_cast<zvkImage::IBitmap*>(static_cast<zvkImage::ITables*>(this)), true);
  }

  LONG refs = 1;
  bool answersTables;
  VARTYPE appliedType = VT_EMPTY;
  IID askedAbout = GUID_NULL;
};

}  // namespace

TEST(LUTRecordApply, CurvesChangeRealBitmaps) {
  LUTRecord input;
  ASSERT_EQ(input.GetObject()->put_GammaStyle(gsOver), S_OK);
  PutAll(input, L"Gamma", _variant_t(2.2f));
  auto grey = MakeFlat(3, 2, RGB(128, 128, 128));
  const ULONG held = References(grey.p);
  input.ApplyToBitmap(IBitmapPtr(grey.p));
  EXPECT_EQ(References(grey.p), held);  // the call's reference is gone
  for (COLORREF pixel : Read(grey.p).values) EXPECT_EQ(pixel, RGB(186, 186, 186));

  LUTRecord output;
  output.SetOutput();
  PutAll(output, L"dMax", _variant_t(50L));
  PutAll(output, L"dMin", _variant_t(200L));
  auto blackWhite = MakeBitmap(2, 1, [](int x, int) { return x == 0 ? RGB(0, 0, 0) : RGB(255, 255, 255); });
  output.ApplyToBitmap(IBitmapPtr(blackWhite.p));
  EXPECT_EQ(Read(blackWhite.p).At(0, 0), RGB(50, 50, 50));
  EXPECT_EQ(Read(blackWhite.p).At(1, 0), RGB(200, 200, 200));

  LUTRecord empty;
  auto colours = MakeFlat(2, 2, RGB(10, 128, 250));
  empty.ApplyToBitmap(IBitmapPtr(colours.p));
  empty.ApplyToBitmap(IBitmapPtr());
  for (COLORREF pixel : Read(colours.p).values) EXPECT_EQ(pixel, RGB(10, 128, 250));
}

TEST(LUTRecordApply, BitmapsWithoutTablesAreLeftAndAFailingApplyIsRaised) {
  LUTRecord curve;
  curve.GetObject();

  TablesStandIn noTables(false);
  EXPECT_NO_THROW(curve.ApplyToBitmap(noTables.AsBitmap()));
  EXPECT_EQ(noTables.refs, 1);

  TablesStandIn failing(true);
  HRESULT raised = S_OK;
  GUID source = GUID_NULL;
  try {
    curve.ApplyToBitmap(failing.AsBitmap());
  } catch (const _com_error& e) {
    raised = e.Error();
    source = e.GUID_();
  }
  EXPECT_EQ(raised, E_INVALIDARG);
  EXPECT_TRUE(IsEqualGUID(source, __uuidof(zvkImage::ITables)));
  EXPECT_TRUE(IsEqualIID(failing.askedAbout, __uuidof(zvkImage::ITables)));
  EXPECT_EQ(failing.appliedType, VT_ARRAY | VT_UI1);
  EXPECT_EQ(failing.refs, 1);
}

namespace {

struct WorkerJob {
  LUTRecord record;  // a copy of its own, sharing the object
  ILut* used = nullptr;
  std::atomic<int> applied{0};
  std::atomic<int> wrong{0};
};

unsigned __stdcall ApplyOnWorker(void* argument) {
  auto* job = static_cast<WorkerJob*>(argument);
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  for (int round = 0; round < 40; ++round) {
    try {
      auto grey = MakeFlat(8, 8, RGB(128, 128, 128));
      job->record.ApplyToBitmap(IBitmapPtr(grey.p));
      for (COLORREF pixel : Read(grey.p).values) {
        if (pixel != RGB(186, 186, 186)) ++job->wrong;
      }
      ++job->applied;
    } catch (...) {
      ++job->wrong;
    }
  }
  job->used = job->record.PeekObject();
  CoUninitialize();
  return 0;
}

}  // namespace

TEST(LUTRecordApply, WorkersApplyCopiesWhileTheInterfaceThreadReadsTheObject) {
  LUTRecord curve;
  PutAll(curve, L"Gamma", _variant_t(2.2f));
  WorkerJob jobs[3];
  HANDLE threads[3];
  for (int i = 0; i < 3; ++i) {
    jobs[i].record = curve;
    threads[i] = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ApplyOnWorker, &jobs[i], 0, nullptr));
    ASSERT_NE(threads[i], nullptr);
  }
  int reads = 0, wrongReads = 0;
  while (WaitForMultipleObjects(3, threads, TRUE, 0) == WAIT_TIMEOUT) {
    wrongReads += Plane(curve, 0)[128] == 186 ? 0 : 1;
    ++reads;
  }
  for (HANDLE thread : threads) CloseHandle(thread);
  EXPECT_GT(reads, 0);
  EXPECT_EQ(wrongReads, 0);
  for (WorkerJob& job : jobs) {
    EXPECT_EQ(job.applied.load(), 40);
    EXPECT_EQ(job.wrong.load(), 0);
    EXPECT_EQ(job.used, curve.PeekObject());  // the object itself, no proxy
  }
}

TEST(LUTRecordApply, AnImportProcessingWithACurveIsActiveAndStoredUnchanged) {
  ImageProcessing processing;
  processing.lut.name = "L";
  EXPECT_FALSE(processing.IsActive());
  PutAll(processing.lut, L"Gamma", _variant_t(2.2f));
  EXPECT_TRUE(processing.IsActive());

  const std::vector<uint8_t> golden = RecordBytes("L", "", DefaultObject(2.2f)).bytes;
  ImageRecord record;
  record.SetImportProcessing(processing);
  const zvk::ArchiveMemory& stored = record.importProcessing.lutBytes;
  EXPECT_EQ(std::vector<uint8_t>(stored.GetData(), stored.GetData() + stored.GetSize()), golden);

  ImageProcessing back = record.GetImportProcessing();
  EXPECT_TRUE(back.IsActive());
  EXPECT_EQ(Plane(back.lut, 0)[128], 186);
  ImageRecord again;
  again.SetImportProcessing(back);
  const zvk::ArchiveMemory& restored = again.importProcessing.lutBytes;
  EXPECT_EQ(std::vector<uint8_t>(restored.GetData(), restored.GetData() + restored.GetSize()), golden);
}
