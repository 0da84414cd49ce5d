// Damaged copies of a valid job (cut short, bytes flipped) never bring the program down: every open
// either works or ends in an exception with a message, and the document is left closed and empty.
#include "DocumentTestSupport.h"

#include "ArchiveMemory.h"
#include "ArchivePrimitives.h"
#include "MyException.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>

using namespace doctest;

namespace {

IBitmapPtr SmallPicture(int seed) {
  IBitmapPtr bitmap = CreateImageBitmap("test", 1);
  EXPECT_EQ(S_OK, bitmap->Allocate(12, 9, 24, 0));
  HDC dc = nullptr;
  EXPECT_EQ(S_OK, bitmap->GetDC(&dc));
  for (long y = 0; y < 9; ++y)
    for (long x = 0; x < 12; ++x) SetPixel(dc, x, y, RGB(20 * x + seed, 25 * y, (x * y * seed) % 256));
  EXPECT_EQ(S_OK, bitmap->ReleaseDC(dc));
  return bitmap;
}

}  // namespace

TEST(DamagedJobTest, TruncatedAndFlippedCopiesOpenOrFailCleanly) {
  MainWindow();
  ScratchFolder folder("damaged");
  ResetOptions(folder.Path());
  const std::string valid = folder.File("valid.plj");
  {
    CTheDocument document;
    ASSERT_TRUE(document.NewJob());
    for (int i = 1; i <= 12; ++i) {
      ImageRecord record;
      record.id = CObjectID::CreateNew();
      record.number = i;
      record.fileName.Format("picture %d.jpg", i);
      document.GetImages().Add(record);
    }
    document.SetAttributeText(0, "attribute text");
    document.SetAttributeText(3, "fourth");
    // Details with an image tag template, notes and an embedded profile go along.
    document.GetImageTags().SetTagText("@no @Name");
    document.SetNotes("Notes of the damaged job, long enough to be cut somewhere inside.");
    const std::string profile = folder.File("profile.icc");
    std::vector<unsigned char> profileBytes(3000);
    for (size_t i = 0; i < profileBytes.size(); ++i) profileBytes[i] = static_cast<unsigned char>(i * 31);
    WriteWholeFile(profile, profileBytes);
    ASSERT_TRUE(document.SetColorProfileFile(profile.c_str()));
    // The three picture libraries with links from the images; a draft smaller than the picture.
    document.SetDraftSize(120);
    const SharedStringList ids = document.GetImageIds();
    for (int i = 0; i < 3; ++i) {
      document.SetImageMask(ids[i], document.AddMask(SmallPicture(i), "mask.png"));
      document.SetImageMaskOn(ids[i], true);
      document.SetImageBackground(ids[i + 3], document.AddBackground(SmallPicture(i + 3), "background.png"));
      document.SetImageBackgroundOn(ids[i + 3], true);
      const CString graphic = CObjectID::CreateNew();
      LibraryEntry entry;
      entry.name = "logo.png";
      document.GetGraphics().Set(graphic, entry);
      document.GetGraphicLinks().SetParent(ids[i + 6], graphic);
    }
    DialogAnswers answers;
    answers.Answer(valid);
    ASSERT_TRUE(document.SaveAs());
  }
  {
    // Folders, their values and the image-folder links.
    FoldersList folders;
    FolderRecord top;
    top.id = CObjectID::CreateNew();
    top.name = "Top folder";
    folders.Add(top);
    FolderRecord sub;
    sub.id = CObjectID::CreateNew();
    sub.name = "Sub folder";
    folders.Add(sub);
    zvk::ArchiveMemory list;
    zvk::WriteArchiveWord(list, 0x0100);
    FoldersList::Write(list, folders);
    ObjectLinksOneMany parents;
    parents.SetParent(sub.id, top.id);
    zvk::ArchiveMemory links;
    zvk::WriteArchiveWord(links, 0x0100);
    ObjectLinksOneMany::Write(links, parents);
    AddToCompoundFile(valid,
                      {{"@Details\\@Folders\\@List", {list.GetData(), list.GetData() + list.GetSize()}},
                       {"@Details\\@Folders\\@Links", {links.GetData(), links.GetData() + links.GetSize()}}});
  }
  const std::vector<unsigned char> original = ReadWholeFile(valid);
  ASSERT_GT(original.size(), 1024u);

  std::mt19937 random(20261210);
  const std::string damaged = folder.File("damaged.plj");
  int opened = 0;
  int refused = 0;
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<unsigned char> bytes = original;
    if (trial % 3 == 0) {
      bytes.resize(std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(random));
    } else {
      const int flips = std::uniform_int_distribution<int>(1, 8)(random);
      for (int i = 0; i < flips; ++i) {
        size_t at = std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(random);
        bytes[at] ^= static_cast<unsigned char>(1u << std::uniform_int_distribution<int>(0, 7)(random));
      }
    }
    WriteWholeFile(damaged, bytes);
    CTheDocument document;
    try {
      if (document.OpenJob(damaged.c_str(), true)) {
        ++opened;
        // The colour profile is read on first use: a damaged one gives a clear error too.
        struct Sink : zvk::ColorProfileStreamOut {
          bool Write(const void*, size_t) override { return true; }
        } sink;
        try {
          document.GetColorProfileState(-2);
          document.ReadColorProfile(sink, -2);
          const SharedStringList ids = document.GetImageIds();
          document.GetImageCaption(ids.GetCount() > 0 ? ids.GetAt(0) : CString());
          // Damaged library items read as no picture.
          for (int i = 0; i < ids.GetCount(); ++i)
            for (bool full : {false, true}) {
              document.GetImageMaskBitmap(ids[i], full);
              document.GetImageBackgroundBitmap(ids[i], full);
            }
        } catch (const CMyException& e) {
          EXPECT_GT(std::strlen(e.what()), 0u) << "trial " << trial;
        }
      }
      document.CloseJob();
    } catch (const std::exception& e) {
      ++refused;
      EXPECT_GT(std::strlen(e.what()), 0u) << "trial " << trial;
      EXPECT_FALSE(document.IsOpen()) << "trial " << trial;
      EXPECT_EQ(0, document.GetImages().GetCount()) << "trial " << trial;
    }
  }
  std::printf("damaged copies: %d opened, %d refused\n", opened, refused);
  EXPECT_EQ(300, opened + refused);
  EXPECT_GT(refused, 0);
}
