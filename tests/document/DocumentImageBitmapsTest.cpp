// The image bitmaps that views and output get from the document: the cache of drafts, the full render
// and the search for a linked image's moved file.
#include "DocumentTestSupport.h"
#include "ImagesJobFixture.h"

#include "AdjustBitmap.h"
#include "ImagePathSearch.h"
#include "ImagesImportSettings.h"
#include "LutServerRegistered.h"
#include "MyException.h"
#include "StoragePointers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>

using namespace doctest;

namespace {

zvkImage::IBitmap* P(const IBitmapPtr& bitmap) { return bitmap.GetInterfacePtr(); }

IBitmapPtr Flat(long width, long height, COLORREF colour) {
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

// Colours that differ along both axes and from pixel to pixel, so that turns, mirrors, curves and
// sharpening each show.
IBitmapPtr Textured(long width, long height) {
  IBitmapPtr bitmap = Flat(width, height, RGB(0, 0, 0));
  HDC dc = nullptr;
  EXPECT_EQ(S_OK, bitmap->GetDC(&dc));
  for (long y = 0; y < height; ++y)
    for (long x = 0; x < width; ++x)
      SetPixel(dc, x, y, RGB(20 * x + 10, 30 * y + 5, (x * y * 37 + (x + y) % 2 * 90) % 256));
  EXPECT_EQ(S_OK, bitmap->ReleaseDC(dc));
  return bitmap;
}

// Every pixel of a small bitmap, row by row.
std::vector<COLORREF> Colours(zvkImage::IBitmap* bitmap) {
  std::vector<COLORREF> out;
  _com_ptr_t<_com_IIID<zvkImage::IBitmapEx, &__uuidof(zvkImage::IBitmapEx)>> ex;
  if (bitmap == nullptr ||
      FAILED(bitmap->QueryInterface(__uuidof(zvkImage::IBitmapEx), reinterpret_cast<void**>(&ex))))
    return out;
  long width = 0, height = 0;
  ex->GetWidth(&width);
  ex->GetHeight(&height);
  for (long y = 0; y < height; ++y)
    for (long x = 0; x < width; ++x) {
      RECT one = {x, y, x + 1, y + 1};
      VARIANT v;
      VariantInit(&v);
      EXPECT_EQ(S_OK, ex->Sample(&one, &v));
      out.push_back(static_cast<COLORREF>(v.lVal));
    }
  return out;
}

SIZE SizeOf(zvkImage::IBitmap* bitmap) {
  long width = 0, height = 0;
  bitmap->GetWidth(&width);
  bitmap->GetHeight(&height);
  return SIZE{width, height};
}

HRESULT CodeOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const CMyException& e) {
    return e.code;
  }
  return S_OK;
}

// The code of any error the call raises: the program's own or the platform's COM error.
HRESULT AnyCodeOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const CMyException& e) {
    return e.code;
  } catch (const _com_error& e) {
    return e.Error();
  }
  return S_OK;
}

void Touch(const std::string& path, const char* text = "x") { std::ofstream(path) << text; }

class DocumentImageBitmapsTest : public ImagesJobFixture {
 protected:
  DocumentImageBitmapsTest() : ImagesJobFixture("bitmaps") {}
  // The id of the image the import added.
  CString Import(const char* name, bool linked = false, IBitmapPtr bitmap = IBitmapPtr(),
                 const ImageProcessing* processing = nullptr) {
    return ImportBitmap(bitmap ? bitmap : Flat(8, 6, RGB(200, 10, 10)), name, linked, processing);
  }
  std::string Key(const CString& id) { return static_cast<LPCTSTR>(id); }
};

}  // namespace

TEST_F(DocumentImageBitmapsTest, KindsComeFromTheCacheAndTheDraftIsReadOnce) {
  const CString id = Import("a");
  ImageBitmapCache& cache = document.GetImageBitmapCache();
  IBitmapPtr original = document.GetImageBitmap(id, 0);
  ASSERT_TRUE(original);
  for (int kind = 1; kind <= 4; ++kind) EXPECT_EQ(P(original), P(document.GetImageBitmap(id, kind))) << kind;
  try {
    document.GetImageBitmap(id, 5);
    ADD_FAILURE() << "kind 5 answered";
  } catch (const CMyException& e) {
    EXPECT_EQ(E_UNEXPECTED, e.code);
    const std::string text = e.what();
    EXPECT_NE(std::string::npos, text.find("DocumentImages")) << text;
    EXPECT_NE(std::string::npos, text.find("1264")) << text;
  }
  EXPECT_EQ(E_UNEXPECTED, CodeOf([&] { document.FindCachedBitmap(id, -1); }));

  // Once cached, the job is not read again.
  document.DestroyImageStorage(id);
  EXPECT_EQ(P(original), P(document.GetImageBitmap(id, 2)));

  // The setters change the cached entry in place.
  ColorCorrectValues values;
  values.intensity = 30;
  document.SetImageColorCorrection(id, values);
  IBitmapPtr corrected = document.GetImageBitmap(id, 1);
  ASSERT_TRUE(corrected);
  EXPECT_NE(P(original), P(corrected));
  ChromaKey key;
  key.on = 1;
  key.keyColour = ChromaKey::KeyColourGreen;
  document.SetImageChromaKey(id, key);
  IBitmapPtr keyed = document.GetImageBitmap(id, 4);
  ASSERT_TRUE(keyed);
  EXPECT_NE(P(document.GetImageBitmap(id, 3)), P(keyed));
  document.RotateImage(id, 90);  // 9 degrees: the canvas grows
  EXPECT_GT(SizeOf(document.GetImageBitmap(id, 1)).cx, 8);
  EXPECT_EQ(P(original), P(document.GetImageBitmap(id, 0)));
  EXPECT_TRUE(cache.Contains(Key(id)));
}

TEST_F(DocumentImageBitmapsTest, AnEmptySlotLeavesTheCacheAlone) {
  document.InsertImageAt(-1, CString(), "empty", false, nullptr);
  ASSERT_EQ(1, document.GetImageCount());
  const CString empty = document.GetImages().GetAt(0).id;
  EXPECT_FALSE(document.GetImageBitmap(empty, 2));
  EXPECT_FALSE(document.FindCachedBitmap(empty, 9));
  EXPECT_EQ(0u, document.GetImageBitmapCache().GetCount());
}

TEST_F(DocumentImageBitmapsTest, TurnsReplacementsAndRemovalsKeepTheCacheTrue) {
  const CString a = Import("a");
  const CString b = Import("b");
  const CString c = Import("c");
  ImageBitmapCache& cache = document.GetImageBitmapCache();
  for (const CString& id : {a, b, c}) ASSERT_TRUE(document.GetImageBitmap(id, 0));

  document.RotateImageLeft90(a);
  EXPECT_EQ(6, SizeOf(document.GetImageBitmap(a, 0)).cx);  // the new draft, turned
  document.ReplaceImageBitmap(b, Flat(4, 4, RGB(0, 0, 200)));
  EXPECT_EQ(SizeOf(document.ReadImageBitmap(b, false)).cx, SizeOf(document.GetImageBitmap(b, 0)).cx);
  EXPECT_NE(8, SizeOf(document.GetImageBitmap(b, 0)).cx);

  document.RemoveImage(c);
  EXPECT_FALSE(cache.Contains(Key(c)));
  document.ClearImages();
  EXPECT_EQ(0u, cache.GetCount());
}

TEST(ImagePathSearch, FindsAMovedFileWhereTheSearchSaysInOrder) {
  ScratchFolder tree("search");
  const std::string root = tree.Path();
  for (const char* sub : {"job", "job\\anna", "job\\anna#images", "first", "second", "job\\rel"})
    CreateDirectoryA((root + sub).c_str(), nullptr);
  const std::string job = root + "job\\anna.plj";
  Touch(job);
  Touch(root + "second\\s.jpg");
  Touch(root + "first\\s.jpg");
  Touch(root + "job\\anna\\t.jpg");
  Touch(root + "job\\rel\\r.jpg");
  Touch(root + "job\\n.jpg");
  Touch(root + "job\\anna#images\\h.jpg");
  Touch(root + "full.jpg");

  auto list = [](std::initializer_list<const char*> entries) {
    SharedStringList l;
    for (const char* e : entries) l.Append(e);
    return l;
  };
  struct Case {
    const char* what;
    std::string name;
    SharedStringList folders;
    std::string expected;  // relative to the tree; empty: not found
  };
  const std::string gone = "Z:\\gone\\";
  const Case cases[] = {
      {"an existing full path", root + "full.jpg", list({}), "full.jpg"},
      {"search paths in order", gone + "s.jpg", list({(root + "second").c_str(), (root + "first").c_str()}),
       "second\\s.jpg"},
      {"@+ for the job title", gone + "t.jpg", list({(root + "job\\@+").c_str()}), "job\\anna\\t.jpg"},
      {"a relative entry from the job folder", gone + "r.jpg", list({".\\rel"}), "job\\rel\\r.jpg"},
      {"a dot alone", gone + "n.jpg", list({"."}), "job\\n.jpg"},
      {"skipped entries, then next to the job", gone + "n.jpg",
       list({"C:first", "\\\\", "\\\\\\x", "\\\\server", "\\\\server\\\\share"}), "job\\n.jpg"},
      {"the #images folder", gone + "h.jpg", list({}), "job\\anna#images\\h.jpg"},
      {"nowhere", gone + "none.jpg", list({(root + "first").c_str()}), ""},
      {"an empty name", "", list({(root + "first").c_str()}), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CString found = SearchImageFile(c.name.c_str(), job.c_str(), c.folders);
    EXPECT_STREQ(c.expected.empty() ? "" : (root + c.expected).c_str(), static_cast<LPCTSTR>(found));
  }
  EXPECT_TRUE(IsFullImagePath("\\\\server\\share\\x.jpg"));
  EXPECT_TRUE(IsFullImagePath("C:/x"));
  EXPECT_FALSE(IsFullImagePath("C:x.jpg"));
}

TEST_F(DocumentImageBitmapsTest, ALinkedFileThatCannotBeHadRaisesItsOwnCode) {
  const CString missing = Import("Z:\\gone\\missing.jpg", true);
  EXPECT_EQ(E_CANNOT_FIND_IMAGE_FILE, CodeOf([&] { document.LoadLinkedImageBitmap(missing); }));
  const std::string junk = folder.File("junk.jpg");
  Touch(junk, "not a picture");
  const CString unreadable = Import(junk.c_str(), true);
  EXPECT_EQ(E_CANNOT_OPEN_IMAGE_FILE, CodeOf([&] { document.LoadLinkedImageBitmap(unreadable); }));
  zvkImage::SetCreationFailure(E_NOINTERFACE);
  EXPECT_EQ(E_NOINTERFACE, CodeOf([&] { document.LoadLinkedImageBitmap(unreadable); }));
}

TEST_F(DocumentImageBitmapsTest, RenderingAppliesRotationKeyAndCorrectionToStoredAndLinked) {
  const std::string file = folder.File("linked.bmp");
  IBitmapPtr picture = Flat(8, 6, RGB(230, 230, 0));
  ASSERT_EQ(S_OK, picture->Save(_bstr_t(file.c_str()), zvkImage::ftBMP, 24, 0));
  const CString stored = Import("stored");
  document.ReplaceImageBitmap(stored, picture);
  const CString linked = Import(file.c_str(), true);
  for (const CString& id : {stored, linked}) {
    SCOPED_TRACE(static_cast<LPCTSTR>(id));
    document.RotateImage(id, 90);
    ChromaKey key;
    key.on = 1;
    key.keyColour = ChromaKey::KeyColourGreen;
    key.hueOffset = 300;  // the yellow
    document.SetImageChromaKey(id, key);
    IBitmapPtr rendered = document.RenderImage(id);
    ASSERT_TRUE(rendered);
    EXPECT_GT(SizeOf(rendered).cx, 8);
    _com_ptr_t<_com_IIID<zvkImage::IBitmapEx, &__uuidof(zvkImage::IBitmapEx)>> ex;
    rendered->QueryInterface(__uuidof(zvkImage::IBitmapEx), reinterpret_cast<void**>(&ex));
    IBitmapPtr matte;
    ASSERT_EQ(S_OK, ex->Matte(&matte));
    _com_ptr_t<_com_IIID<zvkImage::IBitmapEx, &__uuidof(zvkImage::IBitmapEx)>> matteEx;
    matte->QueryInterface(__uuidof(zvkImage::IBitmapEx), reinterpret_cast<void**>(&matteEx));
    const SIZE size = SizeOf(matte);
    RECT centre = {size.cx / 2, size.cy / 2, size.cx / 2 + 1, size.cy / 2 + 1};
    VARIANT v;
    VariantInit(&v);
    ASSERT_EQ(S_OK, matteEx->Sample(&centre, &v));
    EXPECT_LT(GetRValue(static_cast<COLORREF>(v.lVal)), 64);  // keyed out
  }
  document.InsertImageAt(-1, CString(), "empty", false, nullptr);
  for (int i = 0; i < document.GetImageCount(); ++i) {
    if (document.GetImages().GetAt(i).HasFlag(ImageStatus::EmptySlot)) {
      EXPECT_FALSE(document.RenderImage(document.GetImages().GetAt(i).id));
    }
  }
}

// An image imported with a quarter turn, a mirror, a tone curve and sharpening: its draft carries all but the
// sharpening and its render all four, each exactly once, whether the job stores the picture or links its
// file.
TEST_F(DocumentImageBitmapsTest, ImportProcessingReachesDraftAndRenderOnce) {
  testsupport::LutServerRegistered lutServer;
  ASSERT_EQ(S_OK, lutServer.Registered());
  ImageProcessing processing;
  processing.quarterTurns = 1;
  processing.flipB = 1;
  ILut* curve = processing.lut.GetObject();
  ASSERT_TRUE(curve);
  ASSERT_EQ(S_OK, curve->put_GammaStyle(gsOver));
  ASSERT_EQ(S_OK, curve->put_Value(chAll, _bstr_t(L"Gamma"), _variant_t(2.2f)));
  processing.sharpen.on = 1;
  processing.sharpen.kernel = 3;
  processing.sharpen.strength = 100;

  IBitmapPtr source = Textured(12, 8);
  const std::string file = folder.File("linked.bmp");
  ASSERT_EQ(S_OK, source->Save(_bstr_t(file.c_str()), zvkImage::ftBMP, 24, 0));
  auto processedOnce = [&](bool sharpened) {
    IBitmapPtr copy = CreateImageBitmap("test", 2);
    EXPECT_EQ(S_OK, copy->CopyFrom(source));
    SharpenValues sharpen = processing.sharpen;
    sharpen.on = sharpened;
    EXPECT_TRUE(AdjustBitmap(copy, 1, false, true, processing.lut, sharpen));
    return Colours(copy);
  };
  const std::vector<COLORREF> draftExpected = processedOnce(false);
  const std::vector<COLORREF> renderExpected = processedOnce(true);
  ASSERT_NE(draftExpected, renderExpected);
  ASSERT_NE(draftExpected, Colours(source));

  const CString stored = Import("stored", false, source, &processing);
  const CString linked = Import(file.c_str(), true, source, &processing);
  for (const CString& id : {stored, linked}) {
    SCOPED_TRACE(id == stored ? "stored" : "linked");
    IBitmapPtr draft = document.GetImageBitmap(id, 0);
    ASSERT_TRUE(draft);
    EXPECT_EQ(8, SizeOf(draft).cx);
    EXPECT_EQ(draftExpected, Colours(draft));
    IBitmapPtr rendered = document.RenderImage(id);
    ASSERT_TRUE(rendered);
    EXPECT_EQ(renderExpected, Colours(rendered));
    // Rendering again starts from the job or the file again, not from the last render.
    EXPECT_EQ(renderExpected, Colours(document.RenderImage(id)));
  }
}

// A key the library refuses (more areas than it takes) gives no render and no keyed draft, while the stored
// draft stays available to the tools and the other images go on.
TEST_F(DocumentImageBitmapsTest, AKeyThatFailsGivesNullAndStopsNoOtherImage) {
  const CString bad = Import("bad");
  const CString good = Import("good");
  ChromaKey key;
  key.on = 1;
  key.mode = ChromaKey::ModeKeyerState;
  key.protectAreas.assign(5000, ChromaKeyArea{0, 0, 0, 500, 500});
  document.SetImageChromaKey(bad, key);
  document.RotateImage(bad, 50);
  EXPECT_FALSE(document.RenderImage(bad));
  EXPECT_FALSE(document.GetImageBitmap(bad, 4));
  EXPECT_FALSE(document.GetImageBitmap(bad, 1));
  EXPECT_TRUE(document.GetImageBitmap(bad, 0));
  EXPECT_TRUE(document.RenderImage(good));
  EXPECT_TRUE(document.GetImageBitmap(good, 4));
}

// A draft stream that is missing or damaged is reported as an error of reading the job, and is not cached;
// the other images are served as before.
TEST_F(DocumentImageBitmapsTest, AMissingOrDamagedDraftRaisesAndStopsNoOtherImage) {
  const CString missing = Import("missing");
  const CString damaged = Import("damaged");
  const CString good = Import("good");
  document.DestroyImageStorage(missing);
  {
    IStoragePtr section(document.OpenImagesStorage(), false);
    IStoragePtr image(document.OpenChildStorage(section, "-" + damaged, false), false);
    IStreamPtr stream(document.OpenChildStream(image, "@Bitmap-Draft", false), false);
    ULARGE_INTEGER cut = {};
    cut.QuadPart = 24;  // the head and a little of the picture
    ASSERT_EQ(S_OK, stream->SetSize(cut));
  }
  for (const CString& id : {missing, damaged}) {
    SCOPED_TRACE(static_cast<LPCTSTR>(id));
    EXPECT_TRUE(FAILED(AnyCodeOf([&] { document.GetImageBitmap(id, 2); })));
    EXPECT_FALSE(document.GetImageBitmapCache().Contains(Key(id)));
  }
  EXPECT_TRUE(document.GetImageBitmap(good, 2));
}
