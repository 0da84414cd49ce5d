// Images and their pictures outside the job: a linked image's draft made again from its changed file, and
// the outside editor's run (a stand-in here) over stored and linked images.
#include "BitmapPixels.h"
#include "DocumentTestSupport.h"
#include "ImagesJobFixture.h"

#include "ImageEvents.h"
#include "MyException.h"
#include "ShellServices.h"

#include "classlib/ScriptedPrompt.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <vector>

using namespace doctest;

namespace {

using Names = std::vector<std::string>;

// Pictures whose pixels differ along both axes, so that turns, mirrors, reductions and sharpening show.
IBitmapPtr Texture(long width, long height, int seed) {
  return PaintedBitmap(width, height, [seed](long x, long y) {
    return RGB((23 * x + 7 * seed) % 256, (31 * y + 50 * seed) % 256, (x * y * 37 + (x + y) % 2 * 90) % 256);
  });
}

// A quarter turn, optionally a mirror, and sharpening, which stored pictures and drafts never carry.
ImageProcessing TurnedAndSharpened(bool mirrored) {
  ImageProcessing processing;
  processing.quarterTurns = 1;
  processing.flipB = mirrored ? 1 : 0;
  processing.sharpen.on = 1;
  processing.sharpen.kernel = 3;
  processing.sharpen.strength = 100;
  return processing;
}

IBitmapPtr Flat(COLORREF colour) {
  return PaintedBitmap(6, 4, [colour](long, long) { return colour; });
}

// What the outside editor did in one run, and what it leaves in its files.
struct EditorScript {
  bool succeeds = true;
  std::map<int, IBitmapPtr> changes;  // item -> the picture its file holds afterwards
  int runs = 0;
  std::vector<std::string> files;  // per item: the file, or empty for a bitmap
  std::vector<IBitmapPtr> bitmaps;
  CWnd* parent = nullptr;
};

class StandInEditRun : public ImageEditRun {
 public:
  explicit StandInEditRun(EditorScript& script) : script(script) {}
  void AddFile(const char* path) override {
    script.files.push_back(path);
    script.bitmaps.push_back(nullptr);
  }
  void AddBitmap(zvkImage::IBitmap* bitmap) override {
    script.files.push_back("");
    script.bitmaps.push_back(bitmap);
  }
  bool Edit(CWnd* parent) override {
    script.parent = parent;
    return script.succeeds;
  }
  IBitmapPtr ReloadIfChanged(int item) override {
    const auto found = script.changes.find(item);
    return found != script.changes.end() ? found->second : nullptr;
  }

 private:
  EditorScript& script;
};

class StandInShell : public ShellServices {
 public:
  explicit StandInShell(EditorScript& script) : script(script) {}
  bool EditNotes(CWnd*, CString&, bool) override { return false; }
  bool EditProperties(CWnd*, JobPropertiesValues&) override { return false; }
  CString GetImageEditor() override { return "stand-in.exe"; }
  std::unique_ptr<ImageEditRun> NewImageEditRun() override {
    ++script.runs;
    return std::make_unique<StandInEditRun>(script);
  }

 private:
  EditorScript& script;
};

class ImageRefreshEditTest : public ImagesJobFixture {
 protected:
  ImageRefreshEditTest() : ImagesJobFixture("refresh") {}
  void SetUp() override {
    ImagesJobFixture::SetUp();
    SetShellServices(&shell);
  }
  void TearDown() override {
    SetShellServices(nullptr);
    ImagesJobFixture::TearDown();
  }
  CString Import(zvkImage::IBitmap* picture, const std::string& name, bool linked,
                 const ImageProcessing* processing = nullptr) {
    const int before = document.GetImageCount();
    document.ImportImage(0, picture, name.c_str(), linked, processing);
    EXPECT_EQ(before + 1, document.GetImageCount());
    return document.GetImages().GetAt(static_cast<unsigned>(document.GetImageCount() - 1)).id;
  }
  // A linked image of a picture saved to a file of the scratch folder.
  CString ImportLinked(zvkImage::IBitmap* picture, const std::string& file,
                       const ImageProcessing* processing = nullptr) {
    EXPECT_EQ(S_OK, picture->Save(_bstr_t(file.c_str()), zvkImage::ftBMP, 24, 0));
    return Import(picture, file, true, processing);
  }
  std::vector<COLORREF> Draft(const CString& id) { return AllPixels(document.ReadImageBitmap(id, false)); }
  std::vector<COLORREF> Final(const CString& id) { return AllPixels(document.ReadImageBitmap(id, true)); }

  EditorScript script;
  StandInShell shell{script};
};

}  // namespace

// The new draft is the one an import of the changed file makes: reduced, turned, mirrored, not sharpened.
TEST_F(ImageRefreshEditTest, ALinkedImageTakesTheDraftOfItsChangedFile) {
  document.SetDraftSize(300);  // 100 pixels: the pictures below are reduced
  const ImageProcessing processing = TurnedAndSharpened(true);
  const std::string file = folder.File("portrait.bmp");
  const CString id = ImportLinked(Texture(24, 16, 1), file, &processing);
  const std::vector<COLORREF> oldDraft = Draft(id);
  ASSERT_TRUE(document.GetImageBitmap(id, 0));  // cached

  IBitmapPtr changed = Texture(30, 14, 2);
  ASSERT_EQ(S_OK, changed->Save(_bstr_t(file.c_str()), zvkImage::ftBMP, 24, 0));
  document.SetDirty(false);
  EventRecorder events(document);
  ASSERT_TRUE(document.RefreshImage(id));
  EXPECT_EQ(Names({Name<ImageChangedEvent>()}), events.names);
  EXPECT_TRUE(document.IsDirty());

  const CString imported = Import(changed, file, true, &processing);
  const std::vector<COLORREF> expected = Draft(imported);
  ASSERT_NE(oldDraft, expected);
  EXPECT_EQ(expected, Draft(id));
  EXPECT_EQ(expected, AllPixels(document.GetImageBitmap(id, 0)));
  EXPECT_EQ(processing.quarterTurns, document.GetImages().Get(id).GetImportProcessing().quarterTurns);
}

TEST_F(ImageRefreshEditTest, NothingChangesWhenThereIsNoFileToRefreshFrom) {
  const std::string gone = folder.File("gone.bmp");
  const std::string junk = folder.File("junk.bmp");
  const CString stored = Import(Texture(8, 6, 1), "stored.bmp", false);
  const CString missing = ImportLinked(Texture(8, 6, 2), gone);
  const CString unreadable = ImportLinked(Texture(8, 6, 3), junk);
  ASSERT_TRUE(DeleteFileA(gone.c_str()));
  std::ofstream(junk, std::ios::trunc) << "not a picture";
  const struct {
    const char* what;
    CString id;
  } cases[] = {{"a stored image", stored},
               {"a file that is gone", missing},
               {"a file that cannot be read", unreadable}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(document.GetImageBitmap(c.id, 0));
    const std::vector<COLORREF> draft = Draft(c.id);
    const std::vector<COLORREF> cached = AllPixels(document.GetImageBitmap(c.id, 0));
    document.SetDirty(false);
    EventRecorder events(document);
    EXPECT_FALSE(document.RefreshImage(c.id));
    EXPECT_TRUE(events.names.empty());
    EXPECT_FALSE(document.IsDirty());
    EXPECT_EQ(draft, Draft(c.id));
    EXPECT_EQ(cached, AllPixels(document.GetImageBitmap(c.id, 0)));
  }
  EXPECT_THROW(document.RefreshImage("no such image"), CMyException);
}

// A stored image goes to the editor as its stored full bitmap (processed at import, not sharpened for
// output), a linked one as its file; only the image whose picture the editor changed is replaced.
TEST_F(ImageRefreshEditTest, TheEditorsChangedPictureReplacesOnlyItsImage) {
  const ImageProcessing processing = TurnedAndSharpened(false);
  const CString turned = Import(Texture(12, 8, 1), "turned.bmp", false, &processing);
  const CString plain = Import(Flat(RGB(0, 200, 0)), "plain.bmp", false);
  const std::string file = folder.File("linked.bmp");
  const CString linked = ImportLinked(Texture(8, 6, 2), file);
  const std::vector<COLORREF> turnedFinal = Final(turned);
  const std::vector<COLORREF> plainFinal = Final(plain);
  const std::vector<COLORREF> linkedDraft = Draft(linked);
  script.changes[1] = Flat(RGB(0, 0, 200));
  document.SetDirty(false);
  EventRecorder events(document);

  SharedStringList ids;
  for (const CString& id : {turned, plain, linked}) ids.Append(id);
  document.EditImages(ids);

  EXPECT_EQ(1, script.runs);
  EXPECT_EQ(AfxGetMainWnd(), script.parent);
  ASSERT_EQ(Names({"", "", file}), script.files);
  EXPECT_EQ(turnedFinal, AllPixels(script.bitmaps[0]));
  EXPECT_NE(AllPixels(document.RenderImage(turned)), AllPixels(script.bitmaps[0]));
  EXPECT_EQ(plainFinal, AllPixels(script.bitmaps[1]));

  EXPECT_EQ(Names({Name<ImageReplacedEvent>()}), events.names);
  EXPECT_TRUE(document.IsDirty());
  EXPECT_EQ(AllPixels(Flat(RGB(0, 0, 200))), Final(plain));
  EXPECT_EQ(turnedFinal, Final(turned));
  EXPECT_EQ(linkedDraft, Draft(linked));
}

TEST_F(ImageRefreshEditTest, NothingIsEditedWithoutALinkedFileOrAfterAFailedRun) {
  const CString stored = Import(Texture(8, 6, 1), "stored.bmp", false);
  const char* goneName = "Z:\\gone\\missing.bmp";
  const CString missing = Import(Texture(8, 6, 2), goneName, true);
  CString expectedText = Text(IDS_IMAGE_FILE_NOT_FOUND);
  expectedText.Replace("%1!s!", goneName);
  const struct {
    const char* what;
    bool withMissing;
    bool succeeds;
    int runs;
  } cases[] = {{"a linked image whose file cannot be found", true, true, 0},
               {"an editor run that fails", false, false, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    script = EditorScript();
    script.succeeds = c.succeeds;
    script.changes[0] = Flat(RGB(0, 0, 200));
    script.changes[1] = Flat(RGB(0, 0, 200));
    const std::vector<COLORREF> final = Final(stored);
    document.SetDirty(false);
    EventRecorder events(document);
    CScriptedPrompt prompts;
    prompts.Answer(IDOK);
    SharedStringList ids;
    ids.Append(stored);
    if (c.withMissing) ids.Append(missing);
    document.EditImages(ids);

    EXPECT_EQ(c.runs, script.runs);
    const auto shown = prompts.GetShown();
    if (c.withMissing) {
      ASSERT_EQ(1u, shown.size());
      EXPECT_STREQ(expectedText, shown[0].text);
      EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), shown[0].flags);
    } else {
      EXPECT_TRUE(shown.empty());
    }
    EXPECT_TRUE(events.names.empty());
    EXPECT_FALSE(document.IsDirty());
    EXPECT_EQ(final, Final(stored));
  }
}
