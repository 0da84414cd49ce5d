// The job's picture libraries: masks and backgrounds stored once by content and handed out at draft and
// full size, graphics kept as read, the entries a save drops, and the lookup of a graphic's file.
#include "DocumentTestSupport.h"
#include "ImagesJobFixture.h"

#include "../support/BitmapPixels.h"

#include "BitmapContentKey.h"
#include "CreateRuntimeBitmap.h"
#include "DetailField.h"
#include "MyException.h"
#include "StoragePointers.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <set>
#include <thread>

using namespace doctest;

namespace {

// Colours that differ from pixel to pixel, shifted by seed, so that two pictures never match by chance.
IBitmapPtr TestPicture(long width, long height, int seed) {
  IBitmapPtr bitmap = CreateImageBitmap("test", 1);
  EXPECT_EQ(S_OK, bitmap->Allocate(width, height, 24, 0));
  HDC dc = nullptr;
  EXPECT_EQ(S_OK, bitmap->GetDC(&dc));
  for (long y = 0; y < height; ++y)
    for (long x = 0; x < width; ++x)
      SetPixel(dc, x, y, RGB((17 * x + seed) % 256, (29 * y + 3 * seed) % 256, (x * y + 7 * seed) % 256));
  EXPECT_EQ(S_OK, bitmap->ReleaseDC(dc));
  return bitmap;
}

struct Pixels {
  long width = 0;
  long height = 0;
  std::vector<COLORREF> colours;
  bool operator==(const Pixels& other) const {
    return width == other.width && height == other.height && colours == other.colours;
  }
};

Pixels PixelsOf(zvkImage::IBitmap* bitmap) {
  Pixels out;
  if (bitmap == nullptr) return out;
  bitmap->GetWidth(&out.width);
  bitmap->GetHeight(&out.height);
  for (long y = 0; y < out.height; ++y)
    for (long x = 0; x < out.width; ++x) out.colours.push_back(PixelOf(bitmap, x, y));
  return out;
}

HRESULT CodeOf(const std::function<void()>& call) {
  try {
    call();
    return S_OK;
  } catch (const _com_error& e) {
    return e.Error();
  } catch (const CMyException& e) {
    return e.code;
  }
}

// The streams of a library storage in the open job, by name.
std::map<std::string, std::vector<unsigned char>> LibraryStreams(CTheDocument& document,
                                                                 const char* library) {
  std::map<std::string, std::vector<unsigned char>> streams;
  if (!StorageHasStorage(document.GetStorage(), library)) return streams;
  IStoragePtr section(document.OpenChildStorage(document.GetStorage(), library, false), false);
  IEnumSTATSTG* list = nullptr;
  if (FAILED(section->EnumElements(0, nullptr, 0, &list))) return streams;
  STATSTG stat;
  while (list->Next(1, &stat, nullptr) == S_OK) {
    char name[256] = {};
    WideCharToMultiByte(CP_ACP, 0, stat.pwcsName, -1, name, sizeof(name), nullptr, nullptr);
    CoTaskMemFree(stat.pwcsName);
    IStreamPtr stream(document.OpenChildStream(section, name, false), false);
    std::vector<unsigned char> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    ULONG read = 0;
    if (!bytes.empty()) stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    streams[name] = bytes;
  }
  list->Release();
  return streams;
}

void WriteLibraryStream(CTheDocument& document, const char* library, const CString& name,
                        const std::vector<unsigned char>& bytes) {
  IStoragePtr section(document.OpenChildStorage(document.GetStorage(), library, true), false);
  IStreamPtr stream(document.OpenChildStream(section, name, true), false);
  ULONG written = 0;
  ASSERT_EQ(S_OK, stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written));
}

uint32_t U32At(const std::vector<unsigned char>& bytes, size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

class JobLibrariesTest : public ImagesJobFixture {
 protected:
  JobLibrariesTest() : ImagesJobFixture("libraries") {}

  // The new image's id.
  CString Import(const char* name) {
    const SharedStringList before = document.GetImageIds();
    EXPECT_TRUE(document.ImportImage(0, TestPicture(8, 6, document.GetImageCount()), name, false, nullptr));
    const SharedStringList after = document.GetImageIds();
    for (int i = 0; i < after.GetCount(); ++i) {
      bool known = false;
      for (int j = 0; j < before.GetCount() && !known; ++j) known = before[j] == after[i];
      if (!known) return after[i];
    }
    ADD_FAILURE() << "no image was added";
    return CString();
  }
  void SaveAndReopen(const std::string& path) {
    if (document.GetJobPath().IsEmpty()) {
      DialogAnswers answers;
      answers.Answer(path);
      ASSERT_TRUE(document.SaveAs());
    } else {
      ASSERT_TRUE(document.Save());
    }
    ASSERT_TRUE(document.CloseJob());
    ASSERT_TRUE(document.OpenJob(path.c_str(), false));
  }
  CString AddGraphicField() {
    const CString id = CObjectID::CreateNew();
    DetailsFields fields = document.GetImageFields();
    fields.Add(DetailField(id, "Logo", DetailTypeGraphic, DetailRoleNone));
    document.GetImageFields() = fields;
    return id;
  }
};

}  // namespace

TEST_F(JobLibrariesTest, MasksAndBackgroundsStayWithTheJobAtBothSizes) {
  // A draft size below the pictures' size, so that the draft is a reduced copy.
  document.SetDraftSize(1200);
  const IBitmapPtr maskPicture = TestPicture(40, 30, 1);
  const IBitmapPtr backgroundPicture = TestPicture(36, 24, 2);
  const CString withBoth = Import("both.jpg");
  const CString plain = Import("plain.jpg");
  const CString maskKey = document.AddMask(maskPicture, "mask.png");
  const CString backgroundKey = document.AddBackground(backgroundPicture, "background.png");
  document.SetImageMask(withBoth, maskKey);
  document.SetImageMaskOn(withBoth, true);
  document.SetImageBackground(withBoth, backgroundKey);
  document.SetImageBackgroundOn(withBoth, true);

  const std::string path = folder.File("libraries.plj");
  SaveAndReopen(path);
  EXPECT_EQ(maskKey, document.GetImageMaskKey(withBoth));
  EXPECT_EQ(backgroundKey, document.GetImageBackgroundKey(withBoth));
  EXPECT_EQ(CString("mask.png"), document.GetMasks().GetEntries().at(maskKey).name);
  EXPECT_EQ(PixelsOf(maskPicture), PixelsOf(document.GetImageMaskBitmap(withBoth, true)));
  EXPECT_EQ(PixelsOf(backgroundPicture), PixelsOf(document.GetImageBackgroundBitmap(withBoth, true)));
  const Pixels maskDraft = PixelsOf(CreateRuntimeBitmap(maskPicture, 1200, true));
  EXPECT_LT(maskDraft.width, 40);
  EXPECT_EQ(maskDraft, PixelsOf(document.GetImageMaskBitmap(withBoth, false)));
  EXPECT_EQ(PixelsOf(CreateRuntimeBitmap(backgroundPicture, 1200, true)),
            PixelsOf(document.GetImageBackgroundBitmap(withBoth, false)));

  // Switched off, or never linked: no picture.
  EXPECT_FALSE(document.GetImageMaskBitmap(plain, true));
  EXPECT_FALSE(document.GetImageBackgroundBitmap(plain, false));
  document.SetImageMaskOn(withBoth, false);
  EXPECT_FALSE(document.GetImageMaskBitmap(withBoth, true));
  document.SetImageMaskOn(withBoth, true);
  EXPECT_EQ(E_INVALIDARG, CodeOf([&] { document.GetImageMaskBitmap("no such image", false); }));

  const CString copy = document.DuplicateImage(withBoth, false);
  EXPECT_EQ(maskKey, document.GetImageMaskKey(copy));
  EXPECT_EQ(backgroundKey, document.GetImageBackgroundKey(copy));
  EXPECT_EQ(PixelsOf(maskPicture), PixelsOf(document.GetImageMaskBitmap(copy, true)));

  // The independent reader finds the three storages with their lists, link tables and items.
  const std::string olePath = OleCheckPath(".libraries.plj");
  if (!olePath.empty()) {
    ASSERT_TRUE(document.Save());
    EXPECT_TRUE(CopyFileA(path.c_str(), olePath.c_str(), FALSE));
    const std::string keys =
        "@Masks " + std::string(maskKey) + "\n@Backgrounds " + std::string(backgroundKey) + "\n";
    WriteWholeFile(olePath + ".keys", std::vector<unsigned char>(keys.begin(), keys.end()));
  }
}

TEST_F(JobLibrariesTest, ThePicturesAreStoredOncePerContent) {
  const IBitmapPtr picture = TestPicture(20, 10, 3);
  document.SetDirty(false);
  const CString key = document.AddBackground(picture, "first.png");
  EXPECT_EQ(25, key.GetLength());
  EXPECT_TRUE(document.IsDirty());
  document.SetDirty(false);
  // A second bitmap of the same pixels is the same picture.
  EXPECT_EQ(key, document.AddBackground(TestPicture(20, 10, 3), "second.png"));
  EXPECT_FALSE(document.IsDirty());
  EXPECT_EQ(1, document.GetBackgrounds().GetCount());
  EXPECT_EQ(CString("first.png"), document.GetBackgrounds().GetEntries().at(key).name);
  // A mask of that picture gets the same key, in its own library.
  EXPECT_EQ(key, document.AddMask(picture, "mask.png"));
  EXPECT_EQ(1, document.GetMasks().GetCount());
  EXPECT_NE(key, document.AddBackground(TestPicture(20, 10, 4), "other.png"));

  const auto streams = LibraryStreams(document, "@Backgrounds");
  EXPECT_EQ(2u, streams.size());
  EXPECT_EQ(1u, LibraryStreams(document, "@Masks").count("-" + std::string(key)));
}

TEST_F(JobLibrariesTest, AnItemHoldsTheDraftThenThePictureAndEndsThere) {
  const IBitmapPtr picture = TestPicture(30, 20, 5);
  const CString key = MakeBitmapContentKey(picture);
  // An older, longer stream of that name loses its tail.
  WriteLibraryStream(document, "@Backgrounds", MakeLibraryItemName(key),
                     std::vector<unsigned char>(200000, 0xAB));
  document.SetDraftSize(600);
  ASSERT_EQ(key, document.AddBackground(picture, "p.png"));
  const std::vector<unsigned char> item = LibraryStreams(document, "@Backgrounds").at("-" + std::string(key));
  ASSERT_GE(item.size(), 10u);
  EXPECT_EQ(0x00, item[0]);
  EXPECT_EQ(0x01, item[1]);
  const uint32_t draftLength = U32At(item, 2);
  ASSERT_LE(10u + draftLength, item.size());
  const uint32_t fullLength = U32At(item, 6 + draftLength);
  EXPECT_EQ(item.size(), 10u + draftLength + fullLength);
  // The full picture is the picture as it saves itself.
  std::vector<uint8_t> saved;
  MakeBitmapContentKey(picture, &saved);
  EXPECT_EQ(saved, std::vector<uint8_t>(item.begin() + 10 + draftLength, item.end()));
}

TEST_F(JobLibrariesTest, GettersGiveNullForWhatIsNotAPictureOfTheLibrary) {
  const IBitmapPtr picture = TestPicture(12, 9, 6);
  const CString key = document.AddMask(picture, "m.png");
  ASSERT_EQ(key, document.AddBackground(picture, "b.png"));
  const CString stray = MakeBitmapContentKey(TestPicture(12, 9, 7));

  // An item stream without an entry is not a picture of the library.
  WriteLibraryStream(document, "@Masks", MakeLibraryItemName(stray),
                     LibraryStreams(document, "@Masks").at("-" + std::string(key)));
  EXPECT_FALSE(document.GetMaskBitmap(stray, false));
  EXPECT_FALSE(document.GetMaskBitmap(stray, true));
  EXPECT_FALSE(document.GetBackgroundBitmap(stray));
  EXPECT_FALSE(document.GetBackgroundBitmapFull(stray));

  // An item of a newer layout reads as no picture, without an error.
  std::vector<unsigned char> newer = LibraryStreams(document, "@Backgrounds").at("-" + std::string(key));
  newer[1] = 0x02;
  WriteLibraryStream(document, "@Backgrounds", MakeLibraryItemName(key), newer);
  EXPECT_FALSE(document.GetBackgroundBitmap(key));
  EXPECT_FALSE(document.GetBackgroundBitmapFull(key));

  // A mask comes back as stored, and is read from the job once while it is cached.
  const IBitmapPtr first = document.GetMaskBitmap(key, true);
  EXPECT_EQ(PixelsOf(picture), PixelsOf(first));
  document.DeleteMaskItem(key);
  EXPECT_EQ(first.GetInterfacePtr(), document.GetMaskBitmap(key, true).GetInterfacePtr());
  document.RemoveMask(key);
  EXPECT_FALSE(document.GetMaskBitmap(key, true));
  EXPECT_FALSE(document.GetMaskBitmap(key, false));
}

TEST_F(JobLibrariesTest, ADamagedItemReadsAsNoPicture) {
  const CString key = document.AddMask(TestPicture(14, 11, 12), "m.png");
  const std::vector<unsigned char> item = LibraryStreams(document, "@Masks").at("-" + std::string(key));
  const uint32_t draftLength = U32At(item, 2);
  auto withLength = [&](size_t at, uint32_t value) {
    std::vector<unsigned char> bytes = item;
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
    return bytes;
  };
  struct Case {
    const char* what;
    std::vector<unsigned char> bytes;
    bool draftReads;
  };
  const Case cases[] = {
      {"cut in its first length", std::vector<unsigned char>(item.begin(), item.begin() + 4), false},
      {"cut inside the full picture", std::vector<unsigned char>(item.begin(), item.end() - 7), true},
      {"first length beyond the stream", withLength(2, 0x7FFFFFF0u), false},
      {"second length beyond the stream", withLength(6 + draftLength, 0x7FFFFFF0u), true},
      {"second length shorter than its picture", withLength(6 + draftLength, 20), true},
  };
  int n = 0;
  for (const Case& c : cases) {
    // Each case under a key of its own, so that no cache answers.
    CString damagedKey;
    damagedKey.Format("DAMAGED%02d", ++n);
    LibraryEntry entry;
    entry.name = "damaged.png";
    document.GetMasks().Set(damagedKey, entry);
    WriteLibraryStream(document, "@Masks", MakeLibraryItemName(damagedKey), c.bytes);
    EXPECT_FALSE(document.GetMaskBitmap(damagedKey, true)) << c.what;
    EXPECT_EQ(c.draftReads, static_cast<bool>(document.GetMaskBitmap(damagedKey, false))) << c.what;
  }
}

TEST_F(JobLibrariesTest, ABackgroundIsReadOnceWhileCached) {
  const IBitmapPtr picture = TestPicture(16, 16, 8);
  const CString key = document.AddBackground(picture, "b.png");
  const Pixels full = PixelsOf(document.GetBackgroundBitmapFull(key));
  const Pixels draft = PixelsOf(document.GetBackgroundBitmap(key));
  EXPECT_EQ(PixelsOf(picture), full);
  document.DeleteBackgroundItem(key);
  EXPECT_EQ(full, PixelsOf(document.GetBackgroundBitmapFull(key)));
  EXPECT_EQ(draft, PixelsOf(document.GetBackgroundBitmap(key)));
  document.RemoveBackground(key);
  EXPECT_FALSE(document.GetBackgroundBitmapFull(key));
}

TEST_F(JobLibrariesTest, AJobWithoutPicturesSavesEmptyLibraries) {
  const std::string path = folder.File("empty.plj");
  SaveAndReopen(path);
  ASSERT_TRUE(document.CloseJob());
  const auto streams = ReadAllStreams(path);
  for (const char* library : {"@Graphics", "@Masks", "@Backgrounds"}) {
    const std::string list = std::string(library) + "\\@List";
    const std::string links = std::string(library) + "\\@Links";
    ASSERT_EQ(1u, streams.count(list)) << library;
    ASSERT_EQ(1u, streams.count(links)) << library;
    // The section word, the list block's own word and a count of 0; an empty link table.
    EXPECT_EQ(std::vector<unsigned char>({0, 1, 0, 1, 0, 0, 0, 0}), streams.at(list)) << library;
    EXPECT_EQ(0x0100, streams.at(links)[0] | streams.at(links)[1] << 8) << library;
  }
}

TEST_F(JobLibrariesTest, AnAddThatCannotBeStoredRaisesAndLeavesNoEntry) {
  const std::string path = folder.File("readonly.plj");
  DialogAnswers answers;
  answers.Answer(path);
  ASSERT_TRUE(document.SaveAs());
  ASSERT_TRUE(document.CloseJob());
  ASSERT_TRUE(document.OpenJob(path.c_str(), true));
  const IBitmapPtr picture = TestPicture(10, 10, 9);
  EXPECT_NE(S_OK, CodeOf([&] { document.AddBackground(picture, "b.png"); }));
  EXPECT_NE(S_OK, CodeOf([&] { document.AddMask(picture, "m.png"); }));
  EXPECT_EQ(0, document.GetBackgrounds().GetCount());
  EXPECT_EQ(0, document.GetMasks().GetCount());
  EXPECT_FALSE(document.IsDirty());
  EXPECT_EQ(E_POINTER, CodeOf([&] { document.AddMask(nullptr, "none"); }));
}

// Another thread that holds the storage lock keeps every library call away from the job's streams until
// it lets go; the call then does its whole work.
TEST_F(JobLibrariesTest, LibraryCallsWaitForTheStorageLock) {
  const IBitmapPtr stored = TestPicture(12, 8, 20);
  const CString key = document.AddBackground(stored, "b.png");
  ASSERT_EQ(key, document.AddMask(stored, "m.png"));
  const IBitmapPtr added = TestPicture(12, 8, 21);
  struct Case {
    const char* what;
    std::function<bool()> call;
  };
  const Case cases[] = {
      {"add a background", [&] { return !document.AddBackground(added, "new.png").IsEmpty(); }},
      {"add a mask", [&] { return !document.AddMask(added, "new.png").IsEmpty(); }},
      {"read a background",
       [&] {
         document.GetBackgroundCache(true).Clear();
         return PixelsOf(stored) == PixelsOf(document.GetBackgroundBitmapFull(key));
       }},
      {"read a mask",
       [&] {
         document.GetMaskCache(false).Clear();
         return static_cast<bool>(document.GetMaskBitmap(key, false));
       }},
      {"remove a mask",
       [&] {
         document.RemoveMask(key);
         return LibraryStreams(document, "@Masks").count("-" + std::string(key)) == 0;
       }},
  };
  for (const Case& c : cases) {
    std::atomic<bool> done{false};
    bool succeeded = false;
    document.GetImageStorageLock().Lock();
    std::thread caller([&] {
      CoInitialize(nullptr);
      try {
        succeeded = c.call();
      } catch (...) {
        succeeded = false;
      }
      done = true;
      CoUninitialize();
    });
    Sleep(100);
    EXPECT_FALSE(done.load()) << c.what;
    document.GetImageStorageLock().Unlock();
    caller.join();
    EXPECT_TRUE(succeeded) << c.what;
  }
}

TEST_F(JobLibrariesTest, RemovingAnImageRemovesItsLinks) {
  const CString id = Import("a.jpg");
  const CString key = document.AddBackground(TestPicture(6, 6, 10), "b.png");
  document.SetImageBackground(id, key);
  document.SetImageMask(id, document.AddMask(TestPicture(6, 6, 11), "m.png"));
  document.RemoveImage(id);
  EXPECT_TRUE(document.GetBackgroundLinks().IsEmpty());
  EXPECT_TRUE(document.GetMaskLinks().IsEmpty());
}

// An entry goes at a save only when its key was a graphic-field text at the last load or save, is none
// now and no image links to it; the other items stay byte for byte.
TEST_F(JobLibrariesTest, ASaveDropsTheEntriesThatTheImagesNoLongerName) {
  struct Row {
    const char* what;
    bool namedAtLoad;
    bool namedAtSave;
    bool linked;
    bool kept;
  };
  const Row rows[] = {
      {"named at load, named no more", true, false, false, false},
      {"named at load and at the save", true, true, false, true},
      {"never named", false, false, false, true},
      {"named no more but linked", true, false, true, true},
  };
  const CString field = AddGraphicField();
  struct Entry {
    const char* library;
    CString key;
    CString image;
    const Row* row;
  };
  std::vector<Entry> entries;
  int seed = 20;
  for (const char* library : {"@Graphics", "@Masks", "@Backgrounds"}) {
    for (const Row& row : rows) {
      Entry entry{library, CString(), Import("image.jpg"), &row};
      const IBitmapPtr picture = TestPicture(6, 5, ++seed);
      if (std::string(library) == "@Masks") {
        entry.key = document.AddMask(picture, "m.png");
        if (row.linked) document.SetImageMask(entry.image, entry.key);
      } else if (std::string(library) == "@Backgrounds") {
        entry.key = document.AddBackground(picture, "b.png");
        if (row.linked) document.SetImageBackground(entry.image, entry.key);
      } else {
        // Graphic items come from elsewhere: any bytes.
        entry.key = CObjectID::CreateNew();
        LibraryEntry graphic;
        graphic.name = "logo.png";
        document.GetGraphics().Set(entry.key, graphic);
        WriteLibraryStream(document, "@Graphics", MakeLibraryItemName(entry.key),
                           std::vector<unsigned char>(50, static_cast<unsigned char>(seed)));
        if (row.linked) document.GetGraphicLinks().SetParent(entry.image, entry.key);
      }
      if (row.namedAtLoad) document.SetImageValue(entry.image, field, COleVariant(entry.key));
      entries.push_back(entry);
    }
  }
  const std::string path = folder.File("purge.plj");
  SaveAndReopen(path);
  ASSERT_TRUE(document.CloseJob());
  const auto before = ReadAllStreams(path);
  ASSERT_TRUE(document.OpenJob(path.c_str(), false));
  for (const Entry& entry : entries)
    if (!entry.row->namedAtSave) document.SetImageValue(entry.image, field, _variant_t());
  ASSERT_TRUE(document.Save());
  std::map<std::string, bool> contained;
  for (const Entry& entry : entries) {
    const std::string name = entry.library;
    const LibraryCollection& library = name == "@Masks" ? static_cast<LibraryCollection&>(document.GetMasks())
                                       : name == "@Backgrounds"
                                           ? static_cast<LibraryCollection&>(document.GetBackgrounds())
                                           : static_cast<LibraryCollection&>(document.GetGraphics());
    contained[name + std::string(entry.key)] = library.Contains(entry.key);
  }
  ASSERT_TRUE(document.CloseJob());
  const auto after = ReadAllStreams(path);

  for (const Entry& entry : entries) {
    const std::string item = std::string(entry.library) + "\\-" + std::string(entry.key);
    EXPECT_EQ(entry.row->kept, contained[entry.library + std::string(entry.key)])
        << entry.library << ": " << entry.row->what;
    ASSERT_EQ(1u, before.count(item)) << item;
    if (entry.row->kept) {
      ASSERT_EQ(1u, after.count(item)) << entry.library << ": " << entry.row->what;
      EXPECT_EQ(before.at(item), after.at(item)) << entry.library << ": " << entry.row->what;
    } else {
      EXPECT_EQ(0u, after.count(item)) << entry.library << ": " << entry.row->what;
    }
  }
}

TEST_F(JobLibrariesTest, AGraphicValueThatIsNoTextIsSkipped) {
  const CString field = AddGraphicField();
  const CString a = Import("a.jpg");
  const CString b = Import("b.jpg");
  VARIANT null;
  VariantInit(&null);
  null.vt = VT_NULL;
  document.SetImageValue(a, field, null);
  document.SetImageValue(b, field, COleVariant(12L));
  EXPECT_EQ(CTheDocument::FieldTexts({"12"}), document.CollectGraphicFieldTexts());
  DialogAnswers answers;
  answers.Answer(folder.File("values.plj"));
  EXPECT_TRUE(document.SaveAs());
}

TEST(BitmapContentKey, EqualSavedBytesShareAKey) {
  MainWindow();
  const IBitmapPtr one = TestPicture(9, 7, 1);
  EXPECT_EQ(MakeBitmapContentKey(one), MakeBitmapContentKey(TestPicture(9, 7, 1)));
  EXPECT_NE(MakeBitmapContentKey(one), MakeBitmapContentKey(TestPicture(9, 7, 2)));
  EXPECT_NE(MakeBitmapContentKey(one), MakeBitmapContentKey(TestPicture(7, 9, 1)));
  EXPECT_TRUE(MakeBitmapContentKey(nullptr).IsEmpty());
  // The caller's reference is left as it was.
  one->AddRef();
  const ULONG references = one->Release();
  MakeBitmapContentKey(one);
  one->AddRef();
  EXPECT_EQ(references, one->Release());
}

namespace {

// A bitmap that cannot save itself; counts its references.
class UnsavableBitmap : public zvkImage::IBitmap {
 public:
  ULONG references = 1;
  STDMETHOD(QueryInterface)(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid != IID_IUnknown && iid != __uuidof(zvkImage::IBitmap)) return E_NOINTERFACE;
    *out = this;
    AddRef();
    return S_OK;
  }
  STDMETHOD_(ULONG, AddRef)() override { return ++references; }
  STDMETHOD_(ULONG, Release)() override { return --references; }
#define UNSAVABLE_RESERVED(n) \
  STDMETHOD(Reserved##n)() override { return E_NOTIMPL; }
  UNSAVABLE_RESERVED(3)
  UNSAVABLE_RESERVED(6)
  UNSAVABLE_RESERVED(7)
  UNSAVABLE_RESERVED(8)
  UNSAVABLE_RESERVED(9)
  UNSAVABLE_RESERVED(11)
  UNSAVABLE_RESERVED(12)
  UNSAVABLE_RESERVED(13)
  UNSAVABLE_RESERVED(16)
  UNSAVABLE_RESERVED(17)
  UNSAVABLE_RESERVED(18)
  UNSAVABLE_RESERVED(19)
  UNSAVABLE_RESERVED(20)
  UNSAVABLE_RESERVED(22)
  UNSAVABLE_RESERVED(25)
  UNSAVABLE_RESERVED(26)
  UNSAVABLE_RESERVED(33)
  UNSAVABLE_RESERVED(35)
  UNSAVABLE_RESERVED(37)
  UNSAVABLE_RESERVED(38)
  UNSAVABLE_RESERVED(39)
  UNSAVABLE_RESERVED(40)
  UNSAVABLE_RESERVED(41)
  UNSAVABLE_RESERVED(44)
  UNSAVABLE_RESERVED(45)
  UNSAVABLE_RESERVED(48)
  UNSAVABLE_RESERVED(52)
#undef UNSAVABLE_RESERVED
  STDMETHOD(GetWidth)(long*) override { return E_NOTIMPL; }
  STDMETHOD(GetHeight)(long*) override { return E_NOTIMPL; }
  STDMETHOD(Initialize)(long) override { return E_NOTIMPL; }
  STDMETHOD(Allocate)(long, long, long, long) override { return E_NOTIMPL; }
  STDMETHOD(AttachHandle)(HANDLE) override { return E_NOTIMPL; }
  STDMETHOD(CopyFrom)(zvkImage::IBitmap*) override { return E_NOTIMPL; }
  STDMETHOD(Load)(BSTR, long) override { return E_NOTIMPL; }
  STDMETHOD(LoadAtSize)(BSTR, const SIZE*, long) override { return E_NOTIMPL; }
  STDMETHOD(Save)(BSTR, long, long, long) override { return E_NOTIMPL; }
  STDMETHOD(Draw)(HDC, const RECT*, const POINT*, DWORD) override { return E_NOTIMPL; }
  STDMETHOD(DrawRect)(HDC, const RECT*, const RECT*, DWORD) override { return E_NOTIMPL; }
  STDMETHOD(ResampleFast)(long, long, long) override { return E_NOTIMPL; }
  STDMETHOD(DrawManaged)(HDC, const RECT*, const POINT*, DWORD, zvkImage::IRenderIcmCallback*) override {
    return E_NOTIMPL;
  }
  STDMETHOD(Resample)(long, long, long) override { return E_NOTIMPL; }
  STDMETHOD(CopyRect)(zvkImage::IBitmap*, long, long, long, long) override { return E_NOTIMPL; }
  STDMETHOD(Rotate)(float) override { return E_NOTIMPL; }
  STDMETHOD(GetDC)(HDC*) override { return E_NOTIMPL; }
  STDMETHOD(ReleaseDC)(HDC) override { return E_NOTIMPL; }
  STDMETHOD(RemoveMask)() override { return E_NOTIMPL; }
  STDMETHOD(HueKey)(const float*) override { return E_NOTIMPL; }
  STDMETHOD(SetMask)(zvkImage::IBitmap*) override { return E_NOTIMPL; }
  STDMETHOD(RunProcess)(zvkImage::IBitmapProcess*, long) override { return E_NOTIMPL; }
  STDMETHOD(SetProgress)(long, LONG_PTR) override { return E_NOTIMPL; }
  STDMETHOD(SetOptions)(long, long) override { return S_OK; }
  STDMETHOD(SaveToStream)(IStream*, long) override { return STG_E_MEDIUMFULL; }
  STDMETHOD(LoadFromStream)(IStream*, long) override { return E_NOTIMPL; }
};

}  // namespace

TEST(BitmapContentKey, AFailingSaveRaisesItsError) {
  UnsavableBitmap bitmap;
  EXPECT_EQ(STG_E_MEDIUMFULL, CodeOf([&] { MakeBitmapContentKey(&bitmap); }));
  EXPECT_EQ(1u, bitmap.references);
}

TEST_F(JobLibrariesTest, APictureThatCannotBeStoredLeavesNoStreamBehind) {
  document.AddMask(TestPicture(8, 8, 13), "m.png");
  const auto before = LibraryStreams(document, "@Masks");
  document.SetDirty(false);
  UnsavableBitmap bitmap;
  EXPECT_NE(S_OK, CodeOf([&] { document.AddMask(&bitmap, "broken.png"); }));
  EXPECT_EQ(before, LibraryStreams(document, "@Masks"));
  EXPECT_EQ(1, document.GetMasks().GetCount());
  EXPECT_FALSE(document.IsDirty());
  EXPECT_EQ(1u, bitmap.references);
}

TEST_F(JobLibrariesTest, AGraphicIsFoundByItsNameInTheSearchFolders) {
  // The job C:\Jobs\Job1.plj of the lookup's own description, in a scratch folder.
  const std::string root = folder.Path();
  for (const char* sub : {"Jobs", "Jobs\\Job1#graphics", "Jobs\\Job1#images", "Jobs\\pics", "Art",
                          "Art\\Job1", "Both", "Both\\Job1#graphics", "Both\\Job1#images"})
    CreateDirectoryA((root + sub).c_str(), nullptr);
  auto touch = [&](const std::string& name) { WriteWholeFile(root + name, {1}); };
  touch("Jobs\\beside.png");
  touch("Jobs\\Job1#graphics\\ingraphics.png");
  touch("Jobs\\Job1#images\\inimages.png");
  touch("Jobs\\Job1#graphics\\twice.png");
  touch("Jobs\\Job1#images\\twice.png");
  touch("Art\\Job1\\art.png");
  touch("Jobs\\pics\\pic.png");
  touch("Jobs\\logo.PNG");
  touch("Jobs\\mark.JPEG");
  touch("Elsewhere.png");
  DialogAnswers answers;
  answers.Answer(root + "Jobs\\Job1.plj");
  ASSERT_TRUE(document.SaveAs());

  SharedStringList searchFolders;
  searchFolders.Append("\\\\server");
  searchFolders.Append("D:pics");
  searchFolders.Append(CString(root.c_str()) + "Art\\@+");
  searchFolders.Append(".\\pics");
  document.SetGraphicSearchFolders(&searchFolders);

  const std::string longName(300, 'x');
  struct Case {
    std::string name;
    std::string found;  // under the scratch folder; empty: nothing
  };
  const Case cases[] = {
      {"beside.png", "Jobs\\beside.png"},
      {"ingraphics.png", "Jobs\\Job1#graphics\\ingraphics.png"},
      {"inimages.png", "Jobs\\Job1#images\\inimages.png"},
      {"twice.png", "Jobs\\Job1#graphics\\twice.png"},
      {"art.png", "Art\\Job1\\art.png"},
      {"pic.png", "Jobs\\pics\\pic.png"},
      // A folder that does not exist: looked for by the file name alone.
      {"Q:\\nowhere\\beside.png", "Jobs\\beside.png"},
      {"..\\beside.png", "Jobs\\beside.png"},
      {"\\\\nohost\\share\\beside.png", "Jobs\\beside.png"},
      // Extensions as appended.
      {"logo", "Jobs\\logo.PNG"},
      {"mark", "Jobs\\mark.JPEG"},
      {root + "Elsewhere.png", "Elsewhere.png"},
      {"missing.png", ""},
      {"", ""},
      {longName, ""},
      {"C:\\" + longName + "\\" + longName, ""},
  };
  for (const Case& c : cases) {
    CString found;
    ASSERT_NO_THROW(found = document.FindGraphicFile(c.name.c_str())) << c.name;
    if (c.found.empty())
      EXPECT_TRUE(found.IsEmpty()) << c.name << " -> " << found;
    else
      EXPECT_EQ(0, found.CompareNoCase((root + c.found).c_str())) << c.name << " -> " << found;
  }
  // The appended extension keeps its spelling.
  EXPECT_EQ(".PNG", std::string(document.FindGraphicFile("logo").Right(4)));
  EXPECT_TRUE(document.ResolveGraphicPath("logo").IsEmpty());
}

TEST_F(JobLibrariesTest, ALibraryOfANewerVersionRefusesTheOpen) {
  const std::string path = folder.File("newer.plj");
  SaveAndReopen(path);
  ASSERT_TRUE(document.CloseJob());
  const std::vector<unsigned char> saved = ReadWholeFile(path);
  for (const char* library : {"@Graphics", "@Masks", "@Backgrounds"})
    for (const char* stream : {"\\@List", "\\@Links"}) {
      const std::string name = std::string(library) + stream;
      WriteWholeFile(path, saved);
      AddToCompoundFile(path, {{name, {0x00, 0x02, 0, 0, 0, 0}}});
      try {
        document.OpenJob(path.c_str(), false);
        ADD_FAILURE() << name << " opened";
      } catch (const CMyException& e) {
        EXPECT_STREQ(Text(IDS_FILE_NEWER_VERSION), e.what()) << name;
      }
      EXPECT_FALSE(document.IsOpen()) << name;
    }
}
