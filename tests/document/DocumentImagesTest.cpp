// The images of a job: their bitmaps in the job file, the import worker and the placement of new
// images, and the image operations with their events.
#include "BitmapPixels.h"
#include "DocumentTestSupport.h"
#include "ImagesJobFixture.h"

#include "BitmapWriteFault.h"
#include "CreateRuntimeBitmap.h"
#include "DetailField.h"
#include "ImageEvents.h"
#include "ImagesImportSettings.h"
#include "JobFileOptions.h"
#include "MyException.h"
#include "RotatePointByTurns.h"
#include "StoragePointers.h"

#include "classlib/ScriptedPrompt.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

using namespace doctest;

namespace {

using Names = std::vector<std::string>;

// A bitmap of one colour.
IBitmapPtr MakeBitmap(long width, long height, COLORREF colour) {
  IBitmapPtr bitmap = CreateImageBitmap("test", 1);
  EXPECT_EQ(S_OK, bitmap->Allocate(width, height, 24, 0));
  HDC dc = nullptr;
  EXPECT_EQ(S_OK, bitmap->GetDC(&dc));
  RECT all = {0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  EXPECT_EQ(S_OK, bitmap->ReleaseDC(dc));
  return bitmap;
}

SIZE SizeOf(zvkImage::IBitmap* bitmap) {
  long width = 0, height = 0;
  bitmap->GetWidth(&width);
  bitmap->GetHeight(&height);
  return SIZE{width, height};
}

// The names of the image storages of the job ("-" and the id).
std::vector<std::string> ImageStorages(CTheDocument& document) {
  std::vector<std::string> names;
  IStorage* root = document.GetStorage();
  IStorage* images = nullptr;
  if (FAILED(root->OpenStorage(L"@Images-Individual", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                               &images)))
    return names;
  IEnumSTATSTG* elements = nullptr;
  images->EnumElements(0, nullptr, 0, &elements);
  STATSTG stat;
  while (elements != nullptr && elements->Next(1, &stat, nullptr) == S_OK) {
    if (stat.type == STGTY_STORAGE) {
      char name[128] = {};
      WideCharToMultiByte(CP_ACP, 0, stat.pwcsName, -1, name, sizeof(name), nullptr, nullptr);
      names.push_back(name);
    }
    CoTaskMemFree(stat.pwcsName);
  }
  if (elements != nullptr) elements->Release();
  images->Release();
  return names;
}

std::vector<int> Numbers(CTheDocument& document) {
  std::vector<int> numbers;
  for (int i = 0; i < document.GetImages().GetCount(); ++i)
    numbers.push_back(document.GetImages().GetAt(i).number);
  return numbers;
}

std::vector<std::string> FileNames(CTheDocument& document) {
  std::vector<std::string> names;
  for (int i = 0; i < document.GetImages().GetCount(); ++i)
    names.push_back(static_cast<const char*>(document.GetImages().GetAt(i).fileName));
  return names;
}

class DocumentImagesTest : public ImagesJobFixture {
 protected:
  DocumentImagesTest() : ImagesJobFixture("images") {}
  void Import(const char* name, COLORREF colour = RGB(200, 10, 10), int32_t position = 0, bool linked = false,
              const ImageProcessing* processing = nullptr) {
    document.ImportImage(position, MakeBitmap(8, 6, colour), name, linked, processing);
  }
  void ImportMany(int count) {
    for (int i = 1; i <= count; ++i) {
      CString name;
      name.Format("old%d", i);
      Import(name);
    }
  }
};

}  // namespace

TEST_F(DocumentImagesTest, ImportedImagesSurviveSaveAndReopenWithTheirBitmaps) {
  ImageProcessing turn;
  turn.quarterTurns = 1;
  Import("red.jpg", RGB(200, 10, 10), 0, false, &turn);
  Import("C:\\shots\\blue.jpg", RGB(10, 10, 200), 0, true, &turn);
  ASSERT_EQ(2, document.GetImageCount());
  EXPECT_TRUE(document.IsDirty());
  EXPECT_FALSE(document.IsBusy());
  const CString stored = document.GetImages().GetAt(0).id;
  const CString linked = document.GetImages().GetAt(1).id;
  // Both records keep the processing: the stored image has it in its bitmaps already, the linked one
  // needs it for its file.
  EXPECT_EQ(ImageStatus::Inserted | ImageStatus::HasImportProcessing, document.GetImages().GetAt(0).flags);
  EXPECT_EQ(ImageStatus::Inserted | ImageStatus::Linked | ImageStatus::HasImportProcessing,
            document.GetImages().GetAt(1).flags);
  EXPECT_EQ(1, document.GetImages().GetAt(0).GetImportProcessing().quarterTurns);
  EXPECT_EQ(1, document.GetImages().GetAt(1).GetImportProcessing().quarterTurns);

  const std::string path = folder.File("two.plj");
  DialogAnswers answers;
  answers.Answer(path);
  ASSERT_TRUE(document.SaveAs());
  ASSERT_TRUE(document.CloseJob());
  ASSERT_TRUE(document.OpenJob(path.c_str(), true));
  ASSERT_EQ(2, document.GetImageCount());
  EXPECT_EQ(1, document.GetImages().Get(stored).GetImportProcessing().quarterTurns);
  EXPECT_EQ(Names({"red.jpg", "C:\\shots\\blue.jpg"}), FileNames(document));
  EXPECT_EQ(CString("blue"), document.GetImageFileNamePart(linked, false));
  EXPECT_EQ(CString("blue.jpg"), document.GetImageFileNamePart(linked, true));
  EXPECT_EQ(CString("red.jpg"), document.GetImageFileNamePart(stored, false));

  // The turn was applied once, to both stored bitmaps.
  IBitmapPtr full = document.ReadImageBitmap(stored, true);
  IBitmapPtr draft = document.ReadImageBitmap(stored, false);
  EXPECT_EQ(6, SizeOf(full).cx);
  EXPECT_EQ(8, SizeOf(full).cy);
  EXPECT_EQ(6, SizeOf(draft).cx);
  EXPECT_EQ(RGB(200, 10, 10), PixelOf(full, 2, 2));
  EXPECT_EQ(RGB(10, 10, 200), PixelOf(document.ReadImageBitmap(linked, false), 1, 1));
  // A linked image has no full bitmap in the job.
  try {
    document.ReadImageBitmap(linked, true);
    ADD_FAILURE() << "a linked image gave a full bitmap";
  } catch (const CMyException& e) {
    EXPECT_NE(nullptr, strstr(e.what(), "1026")) << e.what();
  }
}

TEST_F(DocumentImagesTest, PlacementFollowsTheImportSettings) {
  ImagesImportSettings& settings = GetImagesImportSettings();
  // Insert at position 2, three imports into 1..5: the new ones become 3, 4, 5.
  ImportMany(5);
  settings.Mode = ImagesImportSettings::Insert;
  settings.Position = 2;
  Import("a");
  Import("b");
  Import("c");
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}), Numbers(document));
  EXPECT_EQ(Names({"old1", "old2", "a", "b", "c", "old3", "old4", "old5"}), FileNames(document));
  EXPECT_EQ(5, settings.Position);

  // Replace from position 6: the images 7 and 8 take the new bitmaps and keep their ids, then the
  // imports go to the end.
  const CString seventh = document.GetImageIdByNumber(7);
  settings.Mode = ImagesImportSettings::Replace;
  settings.Position = 6;
  EventRecorder events(document);
  Import("r1");
  Import("r2");
  EXPECT_EQ(ImagesImportSettings::ToEnd, settings.Mode);
  EXPECT_EQ(-1, settings.Position);
  Import("end");
  EXPECT_EQ(Names({"old1", "old2", "a", "b", "c", "old3", "r1", "r2", "end"}), FileNames(document));
  EXPECT_EQ(seventh, document.GetImageIdByNumber(7));
  EXPECT_EQ(Names({Name<ImageReplacedEvent>(), Name<ImageReplacedEvent>(), Name<ImageAddedEvent>()}),
            events.names);
  EXPECT_EQ(9u, ImageStorages(document).size());
  EXPECT_EQ(RGB(200, 10, 10), PixelOf(document.ReadImageBitmap(seventh, false), 0, 0));

  // To the end in reverse: each new image becomes number 1.
  settings.Reverse = true;
  Import("first");
  EXPECT_EQ("first", FileNames(document)[0]);
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), Numbers(document));

  // Replace in reverse from position 0 replaces number 1, then imports go to the end.
  settings.Mode = ImagesImportSettings::Replace;
  settings.Position = 0;
  Import("again");
  EXPECT_EQ("again", FileNames(document)[0]);
  EXPECT_EQ(ImagesImportSettings::ToEnd, settings.Mode);
}

TEST_F(DocumentImagesTest, IndexedJobsPlaceByTheSourceNumber) {
  document.SetIndexed(true);
  Import("six", RGB(1, 2, 3), 6);
  Import("eight", RGB(1, 2, 3), 8);
  Import("none", RGB(1, 2, 3), 0);  // no number: not imported
  Import("seven", RGB(1, 2, 3), 7);
  EXPECT_EQ((std::vector<int>{6, 7, 8}), Numbers(document));
  const CString seven = document.GetImageIdByNumber(7);
  ColorCorrectValues correction;
  correction.red = 5;
  document.SetImageColorCorrection(seven, correction);
  EventRecorder events(document);
  Import("seven again", RGB(9, 9, 9), 7);
  EXPECT_EQ(Names({Name<ImageReplacedEvent>()}), events.names);
  EXPECT_EQ(seven, document.GetImageIdByNumber(7));
  EXPECT_EQ(0, document.GetImageColorCorrection(seven).red);
  EXPECT_EQ(RGB(9, 9, 9), PixelOf(document.ReadImageBitmap(seven, true), 0, 0));
  EXPECT_EQ(3u, ImageStorages(document).size());
}

TEST_F(DocumentImagesTest, AFailedImportLeavesNothingBehind) {
  Import("kept");
  CScriptedPrompt prompts;
  prompts.FailWhenEmpty(true);
  // The worker cannot make the draft: reported, nothing placed, no storage left.
  zvkImage::SetCreationFailure(E_OUTOFMEMORY);
  IBitmapPtr bitmap;
  {
    zvkImage::SetCreationFailure(S_OK);
    bitmap = MakeBitmap(4, 4, RGB(0, 0, 0));
    zvkImage::SetCreationFailure(E_OUTOFMEMORY);
  }
  EventRecorder events(document);
  document.ImportImage(0, bitmap, "lost", false, nullptr);
  zvkImage::SetCreationFailure(S_OK);
  EXPECT_EQ(1u, prompts.GetShown().size());
  EXPECT_EQ(1, document.GetImageCount());
  EXPECT_EQ(1u, ImageStorages(document).size());
  EXPECT_TRUE(events.names.empty());
  EXPECT_FALSE(document.IsBusy());

  // A replace beyond the last image: reported, and the stored bitmaps are removed again.
  GetImagesImportSettings().Mode = ImagesImportSettings::Replace;
  GetImagesImportSettings().Position = 4;
  Import("nowhere");
  EXPECT_EQ(2u, prompts.GetShown().size());
  EXPECT_EQ(1, document.GetImageCount());
  EXPECT_EQ(1u, ImageStorages(document).size());
  EXPECT_FALSE(document.IsBusy());
}

TEST_F(DocumentImagesTest, TheUserInterfaceThreadPumpsWhileTheWorkerWaitsForTheStorageLock) {
  Import("first", RGB(0, 200, 0));
  static CTheDocument* target;
  static CString firstId;
  static COLORREF seen;
  target = &document;
  firstId = document.GetImages().GetAt(0).id;
  seen = CLR_INVALID;
  // While this thread holds the lock the worker cannot write; only a message dispatched during the
  // import's wait can read a draft (under the same lock) and let the worker go on.
  document.GetImageStorageLock().Lock();
  SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    seen = PixelOf(target->ReadImageBitmap(firstId, false), 0, 0);
    target->GetImageStorageLock().Unlock();
  });
  Import("second");
  EXPECT_EQ(RGB(0, 200, 0), seen);
  EXPECT_EQ(2, document.GetImageCount());

  // A worker writing images while this thread reads another one's draft.
  std::atomic<int> failures{0};
  std::thread writer([&] {
    CoInitialize(nullptr);
    IBitmapPtr bitmap = MakeBitmap(32, 32, RGB(1, 1, 1));
    for (int i = 0; i < 20; ++i) {
      try {
        document.WriteImageBitmaps("w", false, ImageProcessing(), bitmap);
        document.DestroyImageStorage("w");
      } catch (...) {
        ++failures;
      }
    }
    bitmap = nullptr;
    CoUninitialize();
  });
  for (int i = 0; i < 20; ++i)
    EXPECT_EQ(RGB(0, 200, 0), PixelOf(document.ReadImageBitmap(firstId, false), 0, 0));
  writer.join();
  EXPECT_EQ(0, failures.load());
}

TEST_F(DocumentImagesTest, OperationsChangeTheRecordAndFireTheirEvents) {
  ImportMany(6);
  const CString id = document.GetImageIdByNumber(1);
  document.SetDirty(false);
  EventRecorder events(document);

  document.SetImageCropScale(id, document.GetImageCropScale(id));  // the same crop still fires
  ChromaKey key = document.GetImageChromaKey(id);
  document.SetImageChromaKey(id, key);  // equal: nothing
  key.on = 1;
  document.SetImageChromaKey(id, key);
  document.RotateImage(id, -5);
  EXPECT_EQ(-5, document.GetImageRotation(id));
  document.RotateImage(id, 362);
  EXPECT_EQ(357, document.GetImageRotation(id));
  document.RotateImage(id, 5);
  EXPECT_EQ(2, document.GetImageRotation(id));
  document.SetImageFlag04(id, true);
  document.SetImageFlag04(id, true);  // no change: no event
  EXPECT_TRUE(document.GetImageFlag04(id));
  EXPECT_TRUE(document.IsDirty());
  EXPECT_EQ(Names({Name<ImageCropScaleChangeEvent>(), Name<ImageChromaKeyChangeEvent>(),
                   Name<ImageRotationChangeEvent>(), Name<ImageRotationChangeEvent>(),
                   Name<ImageRotationChangeEvent>(), Name<ImageStatusEvent>()}),
            events.names);
  EXPECT_TRUE(document.HasImage("@3"));
  EXPECT_FALSE(document.HasImage("@7"));
  EXPECT_EQ(0, document.GetImageNumber("unknown"));
  EXPECT_THROW(document.RotateImage("unknown", 1), CMyException);

  // Removing 2 and 3 of six with Position 5 renumbers 4..6 and moves Position to 2.
  events.names.clear();
  GetImagesImportSettings().Position = 5;
  SharedStringList gone;
  gone.Append(document.GetImageIdByNumber(2));
  gone.Append(document.GetImageIdByNumber(3));
  document.RemoveImages(gone);
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), Numbers(document));
  EXPECT_EQ(2, GetImagesImportSettings().Position);
  EXPECT_EQ(Names({Name<ImageRemovingEvent>(), Name<ImageRemovedEvent>(), Name<ImageRemovingEvent>(),
                   Name<ImageRemovedEvent>(), Name<ImageChangedEvent>(), Name<ImageChangedEvent>(),
                   Name<ImageChangedEvent>()}),
            events.names);
  EXPECT_EQ(4u, ImageStorages(document).size());

  // A duplicate of image 2 comes right after it, with its own bitmaps and the source's corrections.
  const CString source = document.GetImageIdByNumber(2);
  document.RotateImage(source, 30);
  events.names.clear();
  const CString copy = document.DuplicateImage(source, false);
  EXPECT_EQ(3, document.GetImageNumber(copy));
  EXPECT_EQ(5, document.GetImageCount());
  EXPECT_TRUE(document.GetImageFlag08(copy));
  EXPECT_EQ(30, document.GetImageRotation(copy));
  EXPECT_EQ(Name<ImageImportStartEvent>(), events.names.front());
  EXPECT_EQ(Name<ImageImportStopEvent>(), events.names.back());
  EXPECT_EQ(RGB(200, 10, 10), PixelOf(document.ReadImageBitmap(copy, true), 0, 0));
  EXPECT_EQ(5u, ImageStorages(document).size());
}

TEST_F(DocumentImagesTest, AQuarterTurnTurnsTheStoredBitmapsOnce) {
  Import("stored");
  Import("C:\\linked.jpg", RGB(200, 10, 10), 0, true);
  const CString stored = document.GetImageIdByNumber(1);
  const CString linked = document.GetImageIdByNumber(2);
  document.RotateImageRight90(stored);
  document.RotateImageRight90(linked);
  EXPECT_EQ(6, SizeOf(document.ReadImageBitmap(stored, true)).cx);
  EXPECT_EQ(6, SizeOf(document.ReadImageBitmap(stored, false)).cx);
  EXPECT_FALSE(document.GetImages().Get(stored).HasFlag(ImageStatus::HasImportProcessing));
  EXPECT_EQ(6, SizeOf(document.ReadImageBitmap(linked, false)).cx);
  EXPECT_EQ(3, document.GetImages().Get(linked).GetImportProcessing().quarterTurns);
}

// Where the one pixel of a colour lies (-1, -1 when it is not there once).
POINT FindPixel(zvkImage::IBitmap* bitmap, COLORREF colour) {
  const SIZE size = SizeOf(bitmap);
  POINT found{-1, -1};
  int count = 0;
  for (long y = 0; y < size.cy; ++y)
    for (long x = 0; x < size.cx; ++x)
      if (PixelOf(bitmap, x, y) == colour) found = POINT{x, y}, ++count;
  return count == 1 ? found : POINT{-1, -1};
}

TEST_F(DocumentImagesTest, TheDocumentTheLibraryAndThePointRuleTurnTheSameWay) {
  // An 8 x 6 picture marked in its top right corner.
  const COLORREF mark = RGB(10, 10, 200);
  auto marked = [&] {
    IBitmapPtr bitmap = MakeBitmap(8, 6, RGB(200, 10, 10));
    HDC dc = nullptr;
    EXPECT_EQ(S_OK, bitmap->GetDC(&dc));
    SetPixel(dc, 7, 0, mark);
    EXPECT_EQ(S_OK, bitmap->ReleaseDC(dc));
    return bitmap;
  };
  document.ImportImage(0, marked(), "marked", false, nullptr);
  const CString id = document.GetImageIdByNumber(1);
  document.RotateImageLeft90(id);
  const POINT byDocument = FindPixel(document.ReadImageBitmap(id, true), mark);

  IBitmapPtr library = marked();
  ASSERT_EQ(S_OK, library->Rotate(0.25f));
  const POINT byLibrary = FindPixel(library, mark);

  // The mark's centre turned about the picture's centre; the turned canvas is centred on the same point.
  const TurnedPoint turned = RotatePointByTurns(7.5, 0.5, 4.0, 3.0, 0.25);
  const POINT byRule{LONG(std::floor(turned.x - 4.0 + 3.0)), LONG(std::floor(turned.y - 3.0 + 4.0))};

  EXPECT_EQ(0, byRule.x);  // the top right corner comes to the top left
  EXPECT_EQ(0, byRule.y);
  EXPECT_EQ(byRule.x, byDocument.x);
  EXPECT_EQ(byRule.y, byDocument.y);
  EXPECT_EQ(byRule.x, byLibrary.x);
  EXPECT_EQ(byRule.y, byLibrary.y);

  // A fine turn of +50 tenths (5 degrees) takes a point right of the centre upwards, where the rule puts it.
  IBitmapPtr fine = MakeBitmap(61, 41, RGB(200, 200, 200));
  HDC dc = nullptr;
  ASSERT_EQ(S_OK, fine->GetDC(&dc));
  RECT spot = {50, 19, 53, 22};  // centred on (51.5, 20.5), 21 pixels right of the centre
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0));
  FillRect(dc, &spot, brush);
  DeleteObject(brush);
  ASSERT_EQ(S_OK, fine->ReleaseDC(dc));
  ASSERT_EQ(S_OK, fine->Rotate(50 * 0.00027777778f));
  const SIZE size = SizeOf(fine);
  double sumX = 0, sumY = 0, weight = 0;
  for (long y = 0; y < size.cy; ++y)
    for (long x = 0; x < size.cx; ++x) {
      const COLORREF c = PixelOf(fine, x, y);
      if (GetRValue(c) >= 128) continue;
      const double w = 255.0 - GetRValue(c);
      sumX += w * (x + 0.5), sumY += w * (y + 0.5), weight += w;
    }
  ASSERT_GT(weight, 0.0);
  const TurnedPoint expected = RotatePointByTurns(51.5, 20.5, 30.5, 20.5, 50.0 / 3600.0);
  EXPECT_LT(expected.y, 20.5 - 1.0);  // upwards
  EXPECT_NEAR(expected.x - 30.5 + size.cx / 2.0, sumX / weight, 0.25);
  EXPECT_NEAR(expected.y - 20.5 + size.cy / 2.0, sumY / weight, 0.25);
}

TEST_F(DocumentImagesTest, ValuesFromTextNameTheFieldByNameOrNumber) {
  Import("one");
  const CString id = document.GetImageIdByNumber(1);
  const char* names[] = {"Name", "Class", "Pose"};
  for (int i = 0; i < 3; ++i) {
    CString fieldId;
    fieldId.Format("F%d", i + 1);
    document.GetImageFields().Add(DetailField(fieldId, names[i], 0, 0));
  }
  auto text = [&](const char* fieldId) {
    const VARIANT& value = document.GetImageValues(id).Get(fieldId);
    return value.vt == VT_BSTR ? CString(value.bstrVal) : CString("<none>");
  };
  EventRecorder events(document);
  document.SetImageValueFromText(id, "Name%Ann");
  document.SetImageValueFromText(id, "2%B");
  document.SetImageValueFromText(id, "9%nothing");
  document.SetImageValueFromText(id, "%nothing");
  document.SetImageValueFromText(id, "Name%Ann");  // equal: no event
  document.SetImageValueFromText(id, "Pose");
  EXPECT_EQ(CString("Ann"), text("F1"));
  EXPECT_EQ(CString("B"), text("F2"));
  EXPECT_EQ(CString(""), text("F3"));
  EXPECT_EQ(3u, events.names.size());
}

TEST(RuntimeBitmap, ReducesToTheBudgetKeepingTheAspect) {
  struct Case {
    long width, height;
    uint32_t budget;
    long expectWidth, expectHeight;
  } cases[] = {
      {400, 300, 90000, 200, 150}, {101, 100, 7575, 51, 50}, {100, 101, 7575, 50, 51},
      {100, 100, 7500, 50, 50},    {40, 30, 3600, 40, 30},   {40, 30, 0, 40, 30},
  };
  for (const Case& c : cases) {
    IBitmapPtr source = MakeBitmap(c.width, c.height, RGB(5, 6, 7));
    IBitmapPtr result = CreateRuntimeBitmap(source, c.budget, false);
    EXPECT_EQ(c.expectWidth, SizeOf(result).cx) << c.width << "x" << c.height << " " << c.budget;
    EXPECT_EQ(c.expectHeight, SizeOf(result).cy) << c.width << "x" << c.height << " " << c.budget;
    // A source that fits is shared unless a copy is asked for; the source never changes.
    if (c.expectWidth == c.width) {
      EXPECT_EQ(source.GetInterfacePtr(), result.GetInterfacePtr());
      EXPECT_NE(source.GetInterfacePtr(), CreateRuntimeBitmap(source, c.budget, true).GetInterfacePtr());
    }
    EXPECT_EQ(c.width, SizeOf(source).cx);
  }
}

TEST(RuntimeBitmap, AReducedCopyHasThePixelsOfTheSourceReducedInPlace) {
  // Read from the source in one pass (or copied first for the fast resampling), with either resampling.
  IBitmapPtr source = PaintedBitmap(
      90, 70, [](long x, long y) { return RGB((x * 37 + y * 11) % 256, (x * y) % 256, (x ^ y) * 5 % 256); });
  JobFileOptions& options = GetJobFileOptions();
  const bool kept = options.ResizeDraftOnly;
  for (bool fast : {false, true}) {
    options.ResizeDraftOnly = fast;
    IBitmapPtr inPlace = CreateImageBitmap("test", 1);
    inPlace->Initialize(0);
    ASSERT_EQ(S_OK, inPlace->CopyFrom(source));
    ASSERT_TRUE(ReduceRuntimeBitmap(inPlace, 3000));
    const std::vector<COLORREF> expected = AllPixels(inPlace);
    EXPECT_EQ(expected, AllPixels(CreateRuntimeBitmap(source, 3000, false))) << "fast " << fast;
    IBitmapPtr target = CreateImageBitmap("test", 2);
    target->Initialize(0);
    CopyReduced(target, source, SizeOf(inPlace).cx, SizeOf(inPlace).cy);
    EXPECT_EQ(expected, AllPixels(target)) << "fast " << fast;
  }
  options.ResizeDraftOnly = kept;
  EXPECT_EQ(90, SizeOf(source).cx);
}

TEST_F(DocumentImagesTest, ABitmapStreamWithAWrongHeadIsRefusedBeforeReading) {
  Import("one");
  const CString id = document.GetImageIdByNumber(1);
  struct Case {
    int offset;
    unsigned char byte;
    const char* line;
  } cases[] = {{0, 'x', "1035"}, {7, 2, "1037"}};
  for (const Case& c : cases) {
    {
      IStoragePtr images, image;
      IStreamPtr stream;
      ASSERT_EQ(S_OK, document.GetStorage()->OpenStorage(L"@Images-Individual", nullptr,
                                                         STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                                         &images));
      std::wstring name = L"-";
      for (int i = 0; i < id.GetLength(); ++i) name += static_cast<wchar_t>(id[i]);
      ASSERT_EQ(S_OK, images->OpenStorage(name.c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                          nullptr, 0, &image));
      ASSERT_EQ(S_OK, image->OpenStream(L"@Bitmap-Draft", nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                        &stream));
      LARGE_INTEGER at;
      at.QuadPart = c.offset;
      stream->Seek(at, STREAM_SEEK_SET, nullptr);
      stream->Write(&c.byte, 1, nullptr);
    }
    try {
      document.ReadImageBitmap(id, false);
      ADD_FAILURE() << "a damaged head was read";
    } catch (const CMyException& e) {
      EXPECT_EQ(E_FAIL, e.code);
      EXPECT_NE(nullptr, strstr(e.what(), c.line)) << e.what();
    }
    document.ReplaceImageBitmap(id, MakeBitmap(4, 4, RGB(3, 3, 3)));  // a fresh head for the next case
  }
}

namespace {

// Two colours side by side: sharpening changes the pixels along the edge.
IBitmapPtr MakeEdgeBitmap(long width, long height) {
  IBitmapPtr bitmap = MakeBitmap(width, height, RGB(40, 40, 40));
  HDC dc = nullptr;
  EXPECT_EQ(S_OK, bitmap->GetDC(&dc));
  RECT right = {width / 2, 0, width, height};
  HBRUSH brush = CreateSolidBrush(RGB(220, 220, 220));
  FillRect(dc, &right, brush);
  DeleteObject(brush);
  EXPECT_EQ(S_OK, bitmap->ReleaseDC(dc));
  return bitmap;
}

// The elements of an image's storage.
std::vector<std::string> ImageElements(CTheDocument& document, const CString& id) {
  std::vector<std::string> names;
  IStoragePtr images, image;
  if (FAILED(document.GetStorage()->OpenStorage(L"@Images-Individual", nullptr,
                                                STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &images)))
    return names;
  if (FAILED(images->OpenStorage(ToWideName("-" + id).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE,
                                 nullptr, 0, &image)))
    return names;
  IEnumSTATSTG* elements = nullptr;
  image->EnumElements(0, nullptr, 0, &elements);
  STATSTG stat;
  while (elements != nullptr && elements->Next(1, &stat, nullptr) == S_OK) {
    char name[64] = {};
    WideCharToMultiByte(CP_ACP, 0, stat.pwcsName, -1, name, sizeof(name), nullptr, nullptr);
    names.push_back(name);
    CoTaskMemFree(stat.pwcsName);
  }
  if (elements != nullptr) elements->Release();
  std::sort(names.begin(), names.end());
  return names;
}

struct FaultOff {
  ~FaultOff() { FailBitmapWriteAfter(0); }
};

}  // namespace

TEST_F(DocumentImagesTest, OutputSharpensAStoredBitmapOnlyOnceAndALinkedFileGetsAllItsProcessing) {
  ImageProcessing processing;
  processing.quarterTurns = 2;
  processing.sharpen.on = 1;
  processing.sharpen.kernel = 3;
  processing.sharpen.strength = 100;
  IBitmapPtr original = MakeEdgeBitmap(8, 6);
  document.ImportImage(0, original, "edge.jpg", false, &processing);
  document.ImportImage(0, MakeEdgeBitmap(8, 6), "C:\\edge.jpg", true, &processing);
  const CString stored = document.GetImageIdByNumber(1);
  const CString linked = document.GetImageIdByNumber(2);

  // The stored full bitmap is turned but not sharpened: the pixels along the edge are the original's.
  IBitmapPtr full = document.ReadImageBitmap(stored, true);
  for (long x = 0; x < 8; ++x) EXPECT_EQ(PixelOf(original, 7 - x, 2), PixelOf(full, x, 3)) << x;

  const ImageProcessing storedOutput = document.GetImageOutputProcessing(stored);
  EXPECT_EQ(0, storedOutput.quarterTurns);
  EXPECT_EQ(1, storedOutput.sharpen.on);
  EXPECT_EQ(3, storedOutput.sharpen.kernel);
  const ImageProcessing linkedOutput = document.GetImageOutputProcessing(linked);
  EXPECT_EQ(2, linkedOutput.quarterTurns);
  EXPECT_EQ(1, linkedOutput.sharpen.on);
  // The record keeps what the import asked for.
  EXPECT_EQ(2, document.GetImages().Get(stored).GetImportProcessing().quarterTurns);
}

TEST_F(DocumentImagesTest, AReplacedImageKeepsItsOldBitmapsUntilTheNewOnesHaveItsName) {
  ImportMany(2);
  const CString first = document.GetImageIdByNumber(1);
  EventRecorder events(document);
  // The new storage is missing: the replace fails and the old image stays whole.
  EXPECT_THROW(document.ReplaceImageAt(0, "NOSUCHSTORAGE", "new.jpg", false, nullptr), CMyException);
  EXPECT_EQ(Names({"old1", "old2"}), FileNames(document));
  EXPECT_EQ(RGB(200, 10, 10), PixelOf(document.ReadImageBitmap(first, true), 0, 0));
  EXPECT_EQ(2u, ImageStorages(document).size());
  EXPECT_TRUE(events.names.empty());

  // A replace that works leaves only the image storages behind, the old bitmaps gone.
  GetImagesImportSettings().Mode = ImagesImportSettings::Replace;
  GetImagesImportSettings().Position = 0;
  Import("new.jpg", RGB(0, 0, 250));
  EXPECT_EQ(RGB(0, 0, 250), PixelOf(document.ReadImageBitmap(first, true), 0, 0));
  const std::vector<std::string> storages = ImageStorages(document);
  EXPECT_EQ(2u, storages.size());
  for (const std::string& name : storages) EXPECT_EQ('-', name[0]) << name;
}

TEST_F(DocumentImagesTest, ATurnOrReplaceThatFailsHalfWayLeavesTheImageAsItWas) {
  FaultOff off;
  Import("stored");
  Import("C:\\linked.jpg", RGB(200, 10, 10), 0, true);
  const CString stored = document.GetImageIdByNumber(1);
  const CString linked = document.GetImageIdByNumber(2);
  const std::vector<std::string> storedElements = {"@Bitmap-Draft", "@Bitmap-Final"};
  document.SetDirty(false);
  EventRecorder events(document);

  // The full bitmap is written, the draft fails: neither changes, nor the record.
  FailBitmapWriteAfter(2);
  EXPECT_THROW(document.RotateImageRight90(stored), CMyException);
  EXPECT_EQ(8, SizeOf(document.ReadImageBitmap(stored, true)).cx);
  EXPECT_EQ(8, SizeOf(document.ReadImageBitmap(stored, false)).cx);
  EXPECT_EQ(storedElements, ImageElements(document, stored));

  // A linked image's turn is in its record: that changes only with the draft.
  FailBitmapWriteAfter(1);
  EXPECT_THROW(document.RotateImageRight90(linked), CMyException);
  EXPECT_EQ(0, document.GetImages().Get(linked).GetImportProcessing().quarterTurns);
  EXPECT_EQ(8, SizeOf(document.ReadImageBitmap(linked, false)).cx);

  // A bitmap from outside whose draft cannot be written.
  FailBitmapWriteAfter(2);
  EXPECT_THROW(document.ReplaceImageBitmap(stored, MakeBitmap(4, 4, RGB(1, 2, 3))), CMyException);
  EXPECT_EQ(RGB(200, 10, 10), PixelOf(document.ReadImageBitmap(stored, true), 0, 0));
  EXPECT_EQ(storedElements, ImageElements(document, stored));
  EXPECT_FALSE(document.IsDirty());
  EXPECT_TRUE(events.names.empty());

  // Without the fault both work, and leave nothing else behind.
  FailBitmapWriteAfter(0);
  document.RotateImageRight90(stored);
  EXPECT_EQ(6, SizeOf(document.ReadImageBitmap(stored, true)).cx);
  EXPECT_EQ(storedElements, ImageElements(document, stored));
  EXPECT_TRUE(document.IsDirty());
}

TEST_F(DocumentImagesTest, AnImportThatCannotBeTurnedFailsWithAMessage) {
  CScriptedPrompt prompts;
  prompts.FailWhenEmpty(true);
  ImageProcessing turn;
  turn.quarterTurns = 1;
  // A bitmap without pixels cannot be turned.
  IBitmapPtr empty = CreateImageBitmap("test", 2);
  document.ImportImage(0, empty, "empty.jpg", false, &turn);
  ASSERT_EQ(1u, prompts.GetShown().size());
  EXPECT_NE(-1, prompts.GetShown()[0].text.Find(Text(IDS_IMAGE_NOT_TURNED))) << prompts.GetShown()[0].text;
  EXPECT_EQ(0, document.GetImageCount());
  EXPECT_TRUE(ImageStorages(document).empty());
}

TEST_F(DocumentImagesTest, AGivenUpPictureBecomesTheSameStoredBitmapsAsACopyWould) {
  // A picture given up is turned and reduced in place instead of copied first: the bitmaps must be the
  // same, and a picture that is not given up must stay as it was.
  auto picture = [] { return PaintedBitmap(40, 24, [](long x, long y) { return RGB(6 * x, 10 * y, 90); }); };
  ImageProcessing turnAndMirror;
  turnAndMirror.quarterTurns = 1;
  turnAndMirror.flipB = 1;
  turnAndMirror.sharpen.on = 1;  // not for stored bitmaps
  document.SetDraftSize(300);
  for (int32_t sizeLimit : {0, 1200})
    for (const ImageProcessing& processing : {ImageProcessing(), turnAndMirror}) {
      SCOPED_TRACE(testing::Message() << "size limit " << sizeLimit << ", turns " << processing.quarterTurns);
      document.SetStoredBitmapSizeLimit(sizeLimit);
      IBitmapPtr kept = picture();
      const ImportBitmaps copied = document.MakeImportBitmaps(kept, false, processing);
      EXPECT_EQ(AllPixels(picture()), AllPixels(kept));
      IBitmapPtr givenUp = picture();
      const ImportBitmaps inPlace = document.MakeImportBitmaps(givenUp, false, processing, true);
      EXPECT_EQ(AllPixels(copied.draft), AllPixels(inPlace.draft));
      EXPECT_EQ(AllPixels(copied.finalBitmap), AllPixels(inPlace.finalBitmap));
      const SIZE size = SizeOf(inPlace.finalBitmap);
      if (sizeLimit == 0)
        EXPECT_EQ(processing.quarterTurns == 1 ? 24 : 40, size.cx);
      else
        EXPECT_LT(size.cx * size.cy, 40 * 24);
      // A linked image stores no full bitmap, given up or not.
      EXPECT_FALSE(document.MakeImportBitmaps(picture(), true, processing, true).finalBitmap);
    }
}
