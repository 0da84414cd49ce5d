// The details section of the job: the storage "@Details" with the detail layout, the job's own
// values, the folders, the items and the link tables that tie them to each other and to the images.
// Everything the section holds is read whenever it is present, so that a save writes back exactly
// what was read, also where the folder list happens to be empty. Every stream is cut where its new
// content ends: a table that lost pairs (the clean-up at load) leaves none of them behind.
#include "TheDocument.h"

#include "ArchiveException.h"
#include "ArchivePrimitives.h"
#include "ArchiveStream.h"
#include "MyException.h"
#include "StoragePointers.h"

namespace {

constexpr const char* DetailsPlace = "DocumentDetails";
constexpr const char* LinksPlace = "Document";
constexpr uint16_t SectionSchema = 0x0100;
constexpr uint16_t AttributesWithImageTags = 0x0200;

// Every stream of the section opens with a schema word; only major version 1 is known, except for
// "@Attributes", which also knows 2.
void ReadSchemaOne(zvk::Archive& archive, const char* place, int line) {
  uint16_t schema = 0;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != 1) throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, place, line);
}

void ReadTable(zvk::Archive& archive, ObjectLinksOneMany& table) { ObjectLinksOneMany::Read(archive, table); }
void ReadTable(zvk::Archive& archive, ObjectLinksOneOne& table) { ObjectLinksOneOne::Read(archive, table); }
void ReadTable(zvk::Archive& archive, ObjectLinksManyMany& table) {
  ObjectLinksManyMany::Read(archive, table);
}
void ReadTable(zvk::Archive& archive, ItemRelationships& table) { ItemRelationships::Read(archive, table); }
void WriteTable(zvk::Archive& archive, const ObjectLinksOneMany& table) {
  ObjectLinksOneMany::Write(archive, table);
}
void WriteTable(zvk::Archive& archive, const ObjectLinksOneOne& table) {
  ObjectLinksOneOne::Write(archive, table);
}
void WriteTable(zvk::Archive& archive, const ObjectLinksManyMany& table) {
  ObjectLinksManyMany::Write(archive, table);
}
void WriteTable(zvk::Archive& archive, const ItemRelationships& table) {
  ItemRelationships::Write(archive, table);
}

}  // namespace

template <class Table>
void CTheDocument::LoadLinks(IStorage* parent, const char* name, Table& table) {
  if (!StorageHasStream(parent, name)) return;
  IStreamPtr stream(OpenChildStream(parent, name, false), false);
  zvk::ArchiveStream archive(stream);
  ReadSchemaOne(archive, LinksPlace, 1490);
  ReadTable(archive, table);
}

template <class Table>
void CTheDocument::SaveLinks(IStorage* parent, const char* name, const Table& table) {
  if (table.IsEmpty() && !StorageHasStream(parent, name)) return;
  IStreamPtr stream(OpenChildStream(parent, name, true), false);
  zvk::ArchiveStream archive(stream);
  archive.Seek(0, 0);
  zvk::WriteArchiveWord(archive, SectionSchema);
  WriteTable(archive, table);
  archive.Truncate();
}

void CTheDocument::ForEachLinkTable(IStorage* folders, bool save) {
  auto step = [&](const char* name, auto& table) {
    if (save)
      SaveLinks(folders, name, table);
    else
      LoadLinks(folders, name, table);
  };
  step("@Links", links);
  step("@Links#ImagesFolder", linksImagesFolder);
  step("@Links#FolderImage", linksFolderImage);
  step("@Links#Subjects", linksSubjects);
  step("@Links#SubjectsHome", linksSubjectsHome);
  step("@Links#SubjectsRelationships", linksSubjectsRelationships);
  step("@Links#Groups", linksGroups);
  step("@Links#Composites", linksComposites);
}

void CTheDocument::LoadDetails() {
  if (!StorageHasStorage(storage, "@Details")) return;
  IStoragePtr section(OpenChildStorage(storage, "@Details", false), false);

  {
    IStreamPtr stream(OpenChildStream(section, "@Attributes", false), false);
    zvk::ArchiveStream archive(stream);
    uint16_t schema = 0;
    zvk::ReadArchiveWord(archive, schema);
    const uint16_t major = schema & 0xFF00;
    if (major != 0x0100 && major != AttributesWithImageTags)
      throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, DetailsPlace, 93);
    fileFields.Read(archive);
    folderFields.Read(archive);
    itemFields.Read(archive);
    imageFields.Read(archive);
    folderTags.Read(archive);
    itemTags.Read(archive);
    if (major == AttributesWithImageTags) imageTags.Read(archive);
  }

  // The job's own values are read wherever they are, with or without folders.
  if (StorageHasStream(section, "@File")) {
    IStreamPtr stream(OpenChildStream(section, "@File", false), false);
    zvk::ArchiveStream archive(stream);
    ReadSchemaOne(archive, DetailsPlace, 117);
    jobValues.Read(archive);
    jobDetails.Read(archive);
  }

  if (StorageHasStorage(section, "@Folders")) {
    IStoragePtr folderStorage(OpenChildStorage(section, "@Folders", false), false);
    if (StorageHasStream(folderStorage, "@List")) {
      IStreamPtr stream(OpenChildStream(folderStorage, "@List", false), false);
      zvk::ArchiveStream archive(stream);
      ReadSchemaOne(archive, DetailsPlace, 132);
      FoldersList::Read(archive, folders);
    }
    // Also under an empty folder list: what the streams hold goes back at the next save.
    ForEachLinkTable(folderStorage, false);
    CleanImageFolderLinks();
  }

  if (StorageHasStorage(section, "@Subjects")) {
    IStoragePtr subjects(OpenChildStorage(section, "@Subjects", false), false);
    if (StorageHasStream(subjects, "@List")) {
      IStreamPtr stream(OpenChildStream(subjects, "@List", false), false);
      zvk::ArchiveStream archive(stream);
      ReadSchemaOne(archive, DetailsPlace, 193);
      ItemsList::Read(archive, items);
    }
  }
}

// Removing an image does not touch the image-folder table: pairs of images or folders that are gone
// are dropped here, and the next save writes the cleaned table.
void CTheDocument::CleanImageFolderLinks() {
  const SharedStringList parents = linksImagesFolder.GetParents();
  for (int i = 0; i < parents.GetCount(); ++i) {
    const CString folder = parents.GetAt(i);
    if (!HasFolder(folder)) {
      linksImagesFolder.RemoveParent(folder);
      continue;
    }
    const SharedStringList children = linksImagesFolder.GetChildren(folder);
    for (int j = 0; j < children.GetCount(); ++j) {
      const CString image = children.GetAt(j);
      // An id that happens to begin with "@" is still an id here, never an image number.
      if (!images.Contains(image)) linksImagesFolder.RemoveChild(image);
    }
  }
}

void CTheDocument::SaveDetails() {
  IStoragePtr section(OpenChildStorage(storage, "@Details", true), false);
  {
    IStreamPtr stream(OpenChildStream(section, "@Attributes", true), false);
    zvk::ArchiveStream archive(stream);
    archive.Seek(0, 0);
    const bool withImageTags = !imageTags.IsEqual(DetailsTags());
    zvk::WriteArchiveWord(archive, withImageTags ? AttributesWithImageTags : SectionSchema);
    fileFields.Write(archive);
    folderFields.Write(archive);
    itemFields.Write(archive);
    imageFields.Write(archive);
    folderTags.Write(archive);
    itemTags.Write(archive);
    if (withImageTags) imageTags.Write(archive);
    archive.Truncate();
  }
  IStoragePtr folderStorage(OpenChildStorage(section, "@Folders", true), false);
  {
    IStreamPtr stream(OpenChildStream(section, "@File", true), false);
    zvk::ArchiveStream archive(stream);
    archive.Seek(0, 0);
    zvk::WriteArchiveWord(archive, SectionSchema);
    jobValues.Write(archive);
    jobDetails.Write(archive);
    archive.Truncate();
  }
  {
    IStreamPtr stream(OpenChildStream(folderStorage, "@List", true), false);
    zvk::ArchiveStream archive(stream);
    archive.Seek(0, 0);
    zvk::WriteArchiveWord(archive, SectionSchema);
    FoldersList::Write(archive, folders);
    archive.Truncate();
  }
  ForEachLinkTable(folderStorage, true);
  {
    IStoragePtr subjects(OpenChildStorage(section, "@Subjects", true), false);
    IStreamPtr stream(OpenChildStream(subjects, "@List", true), false);
    zvk::ArchiveStream archive(stream);
    archive.Seek(0, 0);
    zvk::WriteArchiveWord(archive, SectionSchema);
    ItemsList::Write(archive, items);
    archive.Truncate();
  }
}

void CTheDocument::ClearDetails() {
  fileFields = DetailsFields();
  folderFields = DetailsFields();
  itemFields = DetailsFields();
  imageFields = DetailsFields();
  folderTags = DetailsTags();
  itemTags = DetailsTags();
  imageTags = DetailsTags();
  jobValues.Clear();
  jobDetails = Details();
  folders.Clear();
  items.Clear();
  links.Clear();
  linksImagesFolder.Clear();
  linksFolderImage.Clear();
  linksSubjects.Clear();
  linksSubjectsHome.Clear();
  linksSubjectsRelationships.Clear();
  linksGroups.Clear();
  linksComposites.Clear();
}

DetailsSchema CTheDocument::GetDetailSettings() const {
  DetailsSchema schema;
  schema.file = fileFields;
  schema.folders = folderFields;
  schema.items = itemFields;
  schema.images = imageFields;
  schema.folderTags = folderTags;
  schema.itemTags = itemTags;
  schema.imageTags = imageTags;
  return schema;
}

CString CTheDocument::GetFolderName(const CString& id) const { return folders.Get(id).name; }

DetailsValues CTheDocument::GetFolderValues(const CString& id) const { return folders.Get(id).values; }

CString CTheDocument::GetImageFolder(const char* id) const { return linksImagesFolder.GetParent(id); }

bool CTheDocument::HasFolderImage(const char* id) const {
  const CString key(id);
  return linksFolderImage.GetForward().count(key) != 0 || linksFolderImage.GetBackward().count(key) != 0;
}

COleVariant CTheDocument::GetImageValue(const char* id, const char* fieldId) const {
  return COleVariant(images.Get(id).values.Get(fieldId));
}
