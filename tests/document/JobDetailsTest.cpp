// The details and notes sections of the job file, the folder queries, and the marks that make the next
// save write the notes and the colour space again when a save failed.
#include "DocumentTestSupport.h"

#include "ArchiveMemory.h"
#include "ArchivePrimitives.h"
#include "DocumentClock.h"
#include "LocaleFormat.h"
#include "MyException.h"
#include "ObjectID.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <functional>

using namespace doctest;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Archived(const std::function<void(zvk::Archive&)>& write) {
  zvk::ArchiveMemory archive;
  write(archive);
  return Bytes(archive.GetData(), archive.GetData() + archive.GetSize());
}

Bytes WithSchema(uint16_t schema, const std::function<void(zvk::Archive&)>& write) {
  return Archived([&](zvk::Archive& archive) {
    zvk::WriteArchiveWord(archive, schema);
    write(archive);
  });
}

COleVariant Text(const char* text) { return COleVariant(CString(text)); }

// A job with three images, folders two deep, job values and details, items and all eight link
// tables, including image-folder pairs of an image and a folder that no longer exist.
struct DetailsFixture {
  CString images[3] = {CObjectID::CreateNew(), CObjectID::CreateNew(), CObjectID::CreateNew()};
  CString top = CObjectID::CreateNew();
  CString sub = CObjectID::CreateNew();
  CString goneImage = CObjectID::CreateNew();
  CString goneFolder = CObjectID::CreateNew();
  CString itemA = CObjectID::CreateNew();
  CString itemB = CObjectID::CreateNew();
  CString group = CObjectID::CreateNew();
  CString composite = CObjectID::CreateNew();

  DetailsFields fileFields, folderFields, itemFields, imageFields;
  DetailsTags folderTags, itemTags, imageTags;
  DetailsValues jobValues;
  Details jobDetails;
  CString location, klass, school, first, last, nick;

  DetailsFixture() {
    location = CObjectID::CreateNew();
    klass = CObjectID::CreateNew();
    school = CObjectID::CreateNew();
    first = CObjectID::CreateNew();
    last = CObjectID::CreateNew();
    nick = CObjectID::CreateNew();
    fileFields.Add(DetailField(school, "School", DetailTypeText, DetailRoleNone));
    folderFields.Add(DetailField(location, "Location", DetailTypeText, DetailRoleNone));
    folderFields.Add(DetailField(klass, "Class", DetailTypeText, DetailRoleNone));
    itemFields.Add(DetailField(CObjectID::CreateNew(), "Lastname", DetailTypeText, DetailRoleLastName));
    imageFields.Add(DetailField(first, "First", DetailTypeText, DetailRoleFirstName));
    imageFields.Add(DetailField(last, "Last", DetailTypeText, DetailRoleLastName));
    imageFields.Add(DetailField(nick, "Location", DetailTypeText, DetailRoleNone));
    folderTags.SetTagText("@Class");
    itemTags.SetTagText("@Lastname");
    imageTags.SetTagText("@no @Name");
    jobValues.Set(school, Text("Northfield"));
    const CString season = CObjectID::CreateNew();
    jobDetails.fields.Add(DetailField(season, "Season", DetailTypeText, DetailRoleNone));
    jobDetails.values.Set(season, Text("Spring"));
  }

  Bytes Attributes(uint16_t schema) const {
    return WithSchema(schema, [&](zvk::Archive& a) {
      fileFields.Write(a);
      folderFields.Write(a);
      itemFields.Write(a);
      imageFields.Write(a);
      folderTags.Write(a);
      itemTags.Write(a);
      if ((schema & 0xFF00) == 0x0200) imageTags.Write(a);
    });
  }
  Bytes File() const {
    return WithSchema(0x0100, [&](zvk::Archive& a) {
      jobValues.Write(a);
      jobDetails.Write(a);
    });
  }
  Bytes Folders(bool withFolders) const {
    return WithSchema(0x0100, [&](zvk::Archive& a) {
      FoldersList list;
      if (withFolders) {
        FolderRecord topRecord;
        topRecord.id = top;
        topRecord.name = "Top";
        topRecord.values.Set(location, Text("Hall A"));
        topRecord.values.Set(klass, Text("Upper"));
        list.Add(topRecord);
        FolderRecord subRecord;
        subRecord.id = sub;
        subRecord.name = "Class 7B";
        subRecord.values.Set(klass, Text("7B"));
        list.Add(subRecord);
      }
      FoldersList::Write(a, list);
    });
  }
  Bytes Items() const {
    return WithSchema(0x0100, [&](zvk::Archive& a) {
      ItemsList list;
      ItemRecord ann;
      ann.id = itemA;
      ann.name = "Ann";
      list.Add(ann);
      ItemRecord ben;
      ben.id = itemB;
      ben.name = "Ben";
      list.Add(ben);
      ItemsList::Write(a, list);
    });
  }
  template <class Table>
  static Bytes Links(const Table& table) {
    return WithSchema(0x0100, [&](zvk::Archive& a) { Table::Write(a, table); });
  }
  // The image-folder table as stored (with the stale pairs) or as it must be after a load.
  Bytes ImagesFolder(bool stale) const {
    ObjectLinksOneMany table;
    table.SetParent(images[0], sub);
    table.SetParent(images[1], top);
    if (stale) {
      table.SetParent(goneImage, sub);
      table.SetParent(images[2], goneFolder);
    }
    return Links(table);
  }

  std::vector<Element> Elements(bool withFolders = true) const {
    ObjectLinksOneMany parents;
    parents.SetParent(sub, top);
    ObjectLinksOneOne folderImage;
    folderImage.Set(top, images[1]);
    ObjectLinksManyMany subjects;
    subjects.Add(itemA, top);
    subjects.Add(itemA, sub);  // a repeated key
    ObjectLinksOneMany home;
    home.SetParent(itemA, sub);
    ItemRelationships relations;
    relations.Set(itemB, itemA, "sibling");
    ObjectLinksOneMany groups;
    groups.SetParent(itemA, group);
    ObjectLinksOneMany composites;
    composites.SetParent(itemB, composite);
    return {
        {"@Details\\@Attributes", Attributes(0x0200)},
        {"@Details\\@File", File()},
        {"@Details\\@Folders\\@List", Folders(withFolders)},
        {"@Details\\@Folders\\@Links", Links(parents)},
        {"@Details\\@Folders\\@Links#ImagesFolder", ImagesFolder(true)},
        {"@Details\\@Folders\\@Links#FolderImage", Links(folderImage)},
        {"@Details\\@Folders\\@Links#Subjects", Links(subjects)},
        {"@Details\\@Folders\\@Links#SubjectsHome", Links(home)},
        {"@Details\\@Folders\\@Links#SubjectsRelationships", Links(relations)},
        {"@Details\\@Folders\\@Links#Groups", Links(groups)},
        {"@Details\\@Folders\\@Links#Composites", Links(composites)},
        {"@Details\\@Subjects\\@List", Items()},
    };
  }
};

class JobDetailsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainWindow();
    ResetOptions(folder.Path());
  }
  void TearDown() override { ResetOptions(""); }

  // A saved job holding the fixture's three images and nothing of "@Details" yet.
  std::string SavedJob(const char* name) {
    const std::string path = folder.File(name);
    {
      CTheDocument document;
      EXPECT_TRUE(document.NewJob());
      for (int i = 0; i < 3; ++i) {
        ImageRecord record;
        record.id = fixture.images[i];
        record.number = i + 1;
        record.fileName.Format("IMG_%d.JPG", i + 1);
        document.GetImages().Add(record);
      }
      DialogAnswers answers;
      answers.Answer(path);
      EXPECT_TRUE(document.SaveAs());
    }
    // New jobs carry the application's default layout; these jobs start without one.
    IStorage* root = nullptr;
    if (SUCCEEDED(StgOpenStorage(ToWideName(path.c_str()).c_str(), nullptr,
                                 STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &root))) {
      root->DestroyElement(L"@Details");
      root->Commit(STGC_DEFAULT);
      root->Release();
    }
    return path;
  }

  // Opens the job, saves it under another name and returns that name.
  std::string OpenAndSaveAs(const std::string& path, const char* name) {
    const std::string copy = folder.File(name);
    CTheDocument document;
    EXPECT_TRUE(document.OpenJob(path.c_str(), false));
    DialogAnswers answers;
    answers.Answer(copy);
    EXPECT_TRUE(document.SaveAs());
    EXPECT_TRUE(document.CloseJob());
    return copy;
  }

  ScratchFolder folder{"details"};
  DetailsFixture fixture;
};

Bytes Stream(const std::string& path, const char* name) {
  Bytes bytes;
  EXPECT_TRUE(ReadCompoundStream(path, name, bytes)) << name;
  return bytes;
}

}  // namespace

TEST_F(JobDetailsTest, TheSectionOpensAndSavesBackElementForElement) {
  const std::string path = SavedJob("fixture.plj");
  const std::vector<Element> elements = fixture.Elements();
  AddToCompoundFile(path, elements);

  const std::string saved = OpenAndSaveAs(path, "saved.plj");
  for (const Element& element : elements) {
    if (element.name == "@Details\\@Folders\\@Links#ImagesFolder") {
      EXPECT_EQ(fixture.ImagesFolder(false), Stream(saved, element.name.c_str())) << "stale pairs dropped";
      continue;
    }
    EXPECT_EQ(element.bytes, Stream(saved, element.name.c_str())) << element.name;
  }

  // A second save without changes leaves every stream as it was.
  const auto before = ReadAllStreams(saved);
  {
    CTheDocument document;
    ASSERT_TRUE(document.OpenJob(saved.c_str(), false));
    document.SetDirty();
    ASSERT_TRUE(document.Save());
  }
  auto after = ReadAllStreams(saved);
  ASSERT_EQ(before.size(), after.size());
  for (const auto& [name, bytes] : before) {
    if (name == "@Usage" || name == "@Header") continue;  // the save's time; the open counter
    EXPECT_EQ(bytes, after[name]) << name;
  }
  // The independent reader checks the section's schema words in this copy.
  const std::string olePath = OleCheckPath(".details.plj");
  if (!olePath.empty()) EXPECT_TRUE(CopyFileA(saved.c_str(), olePath.c_str(), FALSE));
}

TEST_F(JobDetailsTest, QueriesAnswerFromTheOpenedSection) {
  const std::string path = SavedJob("queries.plj");
  AddToCompoundFile(path, fixture.Elements());
  CTheDocument document;
  ASSERT_TRUE(document.OpenJob(path.c_str(), false));

  EXPECT_EQ(fixture.sub, document.GetImageFolder(fixture.images[0]));
  EXPECT_EQ(fixture.top, document.GetImageFolder(fixture.images[1]));
  EXPECT_TRUE(document.GetImageFolder(fixture.images[2]).IsEmpty()) << "its folder is gone";
  EXPECT_TRUE(document.HasFolderImage(fixture.images[1]));
  EXPECT_FALSE(document.HasFolderImage(fixture.images[0]));
  EXPECT_EQ(fixture.top, document.GetFolderLink(fixture.sub));
  EXPECT_TRUE(document.GetFolderLink(fixture.top).IsEmpty());
  EXPECT_STREQ("Class 7B", document.GetFolderName(fixture.sub));
  try {
    document.GetFolderName(fixture.images[0]);
    ADD_FAILURE() << "an image is no folder";
  } catch (const CMyException& e) {
    EXPECT_EQ(E_INVALIDARG, e.code);
  }
  EXPECT_EQ(1, document.GetFileFields().GetCount());
  EXPECT_STREQ("@no @Name", document.GetImageTags().GetTagText());

  document.SetImageValue(fixture.images[0], fixture.first, Text("Ann"));
  EXPECT_EQ(CString("Ann"), CString(document.GetImageValue(fixture.images[0], fixture.first).bstrVal));
  EXPECT_EQ(VT_EMPTY, document.GetImageValue(fixture.images[0], fixture.last).vt);
}

TEST_F(JobDetailsTest, EdgeCasesOfTheSection) {
  const Bytes emptyTags = DetailsFixture().Attributes(0x0100);
  struct Case {
    const char* name;
    std::vector<Element> elements;  // added to the saved job
    // Called with the opened document (and an empty path), then with the file it was saved to once it
    // is closed; null: the open must fail with 573.
    std::function<void(CTheDocument&, const std::string&)> check;
  };
  const DetailsFixture& f = fixture;
  std::vector<Case> cases = {
      {"0x0101 reads as version 1 without image tags",
       {{"@Details\\@Attributes",
         [&] {
           Bytes bytes = f.Attributes(0x0200);
           bytes[0] = 0x01;
           bytes[1] = 0x01;
           return bytes;
         }()}},
       [&](CTheDocument& d, const std::string& saved) {
         if (!saved.empty()) return;
         EXPECT_EQ(3, d.GetImageFields().GetCount());
         EXPECT_TRUE(d.GetImageTags().GetTagText().IsEmpty());
       }},
      {"0x0300 is refused", {{"@Details\\@Attributes", f.Attributes(0x0300)}}, nullptr},
      {"a newer notes stream is refused",
       {{"@Notes", WithSchema(0x0200, [](zvk::Archive& a) { zvk::WriteArchiveCString(a, "n"); })}},
       nullptr},
      {"default image tags are written as 0x0100",
       {{"@Details\\@Attributes", emptyTags}},
       [&](CTheDocument&, const std::string& saved) {
         if (!saved.empty()) EXPECT_EQ(emptyTags, Stream(saved, "@Details\\@Attributes"));
       }},
      {"image tags are written as 0x0200",
       {{"@Details\\@Attributes", f.Attributes(0x0200)}},
       [&](CTheDocument&, const std::string& saved) {
         if (!saved.empty()) EXPECT_EQ(f.Attributes(0x0200), Stream(saved, "@Details\\@Attributes"));
       }},
      {"no link stream is made for an empty table",
       {{"@Details\\@Attributes", emptyTags}, {"@Details\\@Folders\\@List", f.Folders(true)}},
       [&](CTheDocument&, const std::string& saved) {
         if (saved.empty()) return;
         Bytes bytes;
         EXPECT_FALSE(ReadCompoundStream(saved, "@Details\\@Folders\\@Links#Groups", bytes));
         EXPECT_FALSE(ReadCompoundStream(saved, "@Details\\@Folders\\@Links", bytes));
         EXPECT_TRUE(ReadCompoundStream(saved, "@Details\\@Folders\\@List", bytes));
       }},
      {"job values without folders are read and written back",
       {{"@Details\\@Attributes", f.Attributes(0x0200)}, {"@Details\\@File", f.File()}},
       [&](CTheDocument& d, const std::string& saved) {
         if (saved.empty())
           EXPECT_EQ(1, d.GetFileValues().GetCount());
         else
           EXPECT_EQ(f.File(), Stream(saved, "@Details\\@File"));
       }},
      {"link streams under an empty folder list are kept",
       [&] {
         std::vector<Element> elements = f.Elements(false);
         return elements;
       }(),
       [&](CTheDocument& d, const std::string& saved) {
         if (saved.empty()) {
           EXPECT_FALSE(d.HasFolder(f.top));
           return;
         }
         for (const Element& element : f.Elements(false)) {
           if (element.name.find("ImagesFolder") != std::string::npos) continue;  // its folders are gone
           EXPECT_EQ(element.bytes, Stream(saved, element.name.c_str())) << element.name;
         }
       }},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = SavedJob(("edge" + std::to_string(++n) + ".plj").c_str());
    AddToCompoundFile(path, c.elements);
    CTheDocument document;
    if (!c.check) {
      try {
        document.OpenJob(path.c_str(), false);
        ADD_FAILURE() << "opened";
      } catch (const CMyException& e) {
        EXPECT_STREQ(doctest::Text(IDS_FILE_NEWER_VERSION), e.what());
      }
      EXPECT_EQ(0, document.GetImageFields().GetCount());
      continue;
    }
    ASSERT_TRUE(document.OpenJob(path.c_str(), false));
    const std::string saved = folder.File(("edge-saved" + std::to_string(n) + ".plj").c_str());
    DialogAnswers answers;
    answers.Answer(saved);
    ASSERT_TRUE(document.SaveAs());
    // The document's own answers first; the saved file is read once it is closed.
    c.check(document, std::string());
    ASSERT_TRUE(document.CloseJob());
    c.check(document, saved);
  }
}

TEST_F(JobDetailsTest, AJobWithoutDetailsKeepsNothingOfNewOrOfThePreviousJob) {
  const std::string withDetails = SavedJob("with.plj");
  AddToCompoundFile(withDetails, fixture.Elements());
  const std::string without = SavedJob("without.plj");

  CTheDocument document;
  ASSERT_TRUE(document.NewJob());
  ASSERT_TRUE(document.CloseJob());
  ASSERT_TRUE(document.OpenJob(withDetails.c_str(), false));
  EXPECT_EQ(3, document.GetImageFields().GetCount());
  ASSERT_TRUE(document.CloseJob());
  ASSERT_TRUE(document.OpenJob(without.c_str(), false));
  EXPECT_EQ(0, document.GetFileFields().GetCount());
  EXPECT_EQ(0, document.GetFolderFields().GetCount());
  EXPECT_EQ(0, document.GetItemFields().GetCount());
  EXPECT_EQ(0, document.GetImageFields().GetCount());
  EXPECT_TRUE(document.GetImageTags().IsEqual(DetailsTags()));
  EXPECT_TRUE(document.GetFolderTags().IsEqual(DetailsTags()));
  EXPECT_TRUE(document.GetFileValues().IsEmpty());
  EXPECT_FALSE(document.HasFolder(fixture.top));
  // Only the job's own fields answer: "First" was a field of the previous job.
  document.SetImageValueFromText(fixture.images[0], "First%Ann");
  EXPECT_TRUE(document.GetImageValues(fixture.images[0]).IsEmpty());
}

TEST_F(JobDetailsTest, NotesAreKeptOnlyWhenWritten) {
  const std::string path = SavedJob("notes.plj");
  Bytes bytes;
  {
    CTheDocument document;
    ASSERT_TRUE(document.OpenJob(path.c_str(), false));
    EXPECT_TRUE(document.GetNotes().IsEmpty());
    document.SetDirty();
    ASSERT_TRUE(document.Save());
  }
  EXPECT_FALSE(ReadCompoundStream(path, "@Notes", bytes)) << "untouched notes are not written";

  const CString longNotes = "Bring the blue backdrop.\r\nClass 7B at nine; retakes after lunch.";
  for (const CString& text : {longNotes, CString("Short.")}) {
    {
      CTheDocument document;
      ASSERT_TRUE(document.OpenJob(path.c_str(), false));
      document.SetNotes(text);
      EXPECT_TRUE(document.IsDirty());
      ASSERT_TRUE(document.Save());
    }
    CTheDocument reopened;
    ASSERT_TRUE(reopened.OpenJob(path.c_str(), true));
    EXPECT_EQ(text, reopened.GetNotes());
  }
}

TEST_F(JobDetailsTest, AFailedSaveLeavesNotesAndColourSpaceToBeWrittenNextTime) {
  const std::string path = SavedJob("marks.plj");
  const std::string target = folder.File("target.plj");
  CTheDocument document;
  ASSERT_TRUE(document.OpenJob(path.c_str(), false));
  document.SetNotes("kept for the next save");
  ASSERT_TRUE(document.SetColorSpace(3, true, 0));

  // The target is held open without sharing: the finished copy cannot be swapped in.
  WriteWholeFile(target, {1, 2, 3});
  HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  {
    DialogAnswers answers;
    answers.Answer(target);
    EXPECT_THROW(document.SaveAs(), CMyException);
  }
  CloseHandle(held);
  // A save into a folder that does not exist fails before anything is written.
  {
    DialogAnswers answers;
    answers.Answer(folder.File("missing\\job.plj"));
    EXPECT_THROW(document.SaveAs(), CMyException);
  }
  EXPECT_TRUE(document.IsDirty());
  ASSERT_TRUE(document.Save());
  ASSERT_TRUE(document.CloseJob());

  CTheDocument reopened;
  ASSERT_TRUE(reopened.OpenJob(path.c_str(), true));
  EXPECT_STREQ("kept for the next save", reopened.GetNotes());
  EXPECT_EQ(3, reopened.GetColorProfileState(-2));
}

namespace {

COleDateTime FixedClock() { return COleDateTime(2026, 3, 14, 9, 30, 0); }

struct ClockScope {
  ClockScope() { SetDocumentClock(&FixedClock); }
  ~ClockScope() { SetDocumentClock(nullptr); }
};

}  // namespace

TEST_F(JobDetailsTest, CaptionsFillTemplatesFromTheImageItsFoldersTheJobAndTheClock) {
  ClockScope clock;
  const std::string path = SavedJob("captions.plj");
  AddToCompoundFile(path, fixture.Elements());
  CTheDocument document;
  ASSERT_TRUE(document.OpenJob(path.c_str(), false));
  const CString& inSub = fixture.images[0];
  const CString& inTop = fixture.images[1];
  const CString& noFolder = fixture.images[2];
  document.SetImageValue(inSub, fixture.first, Text("Ann"));
  document.SetImageValue(inSub, fixture.last, Text("Lee"));
  document.SetImageValue(noFolder, fixture.last, Text("Lee"));
  document.SetImageValue(inTop, fixture.nick, Text(""));  // a stored empty text stops the search
  ColorCorrectValues corrections;
  corrections.intensity = 2;
  corrections.red = -1;
  corrections.blue = 3;
  document.SetImageColorCorrection(noFolder, corrections);

  const COleDateTime now = FixedClock();
  struct Case {
    const char* image;
    const char* caption;
    CString expected;
  } cases[] = {
      {inSub, "@no @Name", "1 Ann Lee"},
      {noFolder, "@name", "Lee"},
      {inSub, "@Location", "Hall A"},  // unset for the image, absent in its folder, found in the parent
      {inTop, "@Location", ""},
      {inSub, "@folder:Class / @folder", "7B / Class 7B"},
      {inSub, "@file:School@file:pathfilename", ""},
      {inSub, "@School, @jobname", "Northfield, captions"},
      {inSub, "@pathfilename", CString(path.c_str())},
      {inSub, "@date|@<date(1)>|@date(1)",
       FormatDate(now) + "|" + FormatDate(COleDateTime(DATE(now) + 1)) + "|" + FormatDate(now) + "(1)"},
      {inSub, "@<time(90)>", FormatTime(COleDateTime(DATE(now) + 90.0 / 86400.0))},
      {inSub, "@imagecorrections", "I0/C0/R0/G0/B0"},
      {noFolder, "@corrections", "I+2/C0/R-1/G0/B+3"},
      {inTop, "@xyz.", "."},
  };
  for (const Case& c : cases) {
    document.GetImageTags().SetTagText(c.caption);
    EXPECT_EQ(c.expected, document.GetImageCaption(c.image)) << c.caption;
  }

  document.GetImageTags().SetTagText("");
  // Every image field's value, the empty ones included, when there is no template.
  EXPECT_STREQ("Ann, Lee, ", document.GetImageCaption(inSub));
  EXPECT_STREQ(", , ", document.GetEmptyImageCaption());
  document.GetImageTags().SetTagText("[@no][@School] @jobname");
  EXPECT_STREQ("[][] captions", document.GetEmptyImageCaption());
}

TEST_F(JobDetailsTest, AFolderChainThatLoopsEndsAtTheFirstFolderMetAgain) {
  const std::string path = SavedJob("loop.plj");
  std::vector<Element> elements = fixture.Elements();
  ObjectLinksOneMany loop;
  loop.SetParent(fixture.sub, fixture.top);
  loop.SetParent(fixture.top, fixture.sub);
  for (Element& element : elements)
    if (element.name == "@Details\\@Folders\\@Links") element.bytes = DetailsFixture::Links(loop);
  AddToCompoundFile(path, elements);
  CTheDocument document;
  ASSERT_TRUE(document.OpenJob(path.c_str(), false));
  document.GetImageTags().SetTagText("<@Nothing>@Location");
  EXPECT_STREQ("<>Hall A", document.GetImageCaption(fixture.images[0]));
}
