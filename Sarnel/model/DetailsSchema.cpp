#include "DetailsSchema.h"

#include "DetailsProfile.h"

DetailsFields DetailsSchema::MakeDefaultItemFields() {
  DetailsFields fields;
  fields.Add(DetailField(CObjectID::CreateNew(), "Lastname", DetailTypeText, DetailRoleLastName));
  fields.Add(DetailField(CObjectID::CreateNew(), "Firstname", DetailTypeText, DetailRoleFirstName));
  fields.Add(DetailField(CObjectID::CreateNew(), "ID", DetailTypeText, DetailRoleUnique));
  fields.Add(DetailField(CObjectID::CreateNew(), "Birthdate", DetailTypeDate, DetailRoleBirthdate));
  return fields;
}

void DetailsSchema::LoadDefaults() {
  const char* section = DetailsProfileSection;
  // The loaders read into scratch sets, so a failed "Items" leaves nothing half-read to clash with.
  if (!LoadProfileFieldSet(section, "Items", items)) items = MakeDefaultItemFields();
  LoadProfileFieldSet(section, "File", file);
  LoadProfileFieldSet(section, "Folders", folders);
  LoadProfileTagSet(section, "FolderTags", folderTags);
  LoadProfileTagSet(section, "ItemTags", itemTags);
  LoadProfileFieldSet(section, "Images", images);
  LoadProfileTagSet(section, "ImageTags", imageTags);
}

void DetailsSchema::SaveDefaults() const {
  const char* section = DetailsProfileSection;
  SaveProfileFieldSet(section, "Items", items);
  SaveProfileFieldSet(section, "File", file);
  SaveProfileFieldSet(section, "Folders", folders);
  SaveProfileTagSet(section, "FolderTags", folderTags);
  SaveProfileTagSet(section, "ItemTags", itemTags);
  SaveProfileFieldSet(section, "Images", images);
  SaveProfileTagSet(section, "ImageTags", imageTags);
}
