// The detail layout of one job or of the application's defaults: four field sets and three tag sets.
#pragma once

#include "DetailsFields.h"
#include "DetailsTags.h"

// The profile section of the application's default layout.
constexpr const char* DetailsProfileSection = "General\\Details";

class DetailsSchema {
 public:
  // Loads the defaults from the profile section. A value that is missing or cannot be read leaves
  // its member as it was, except "Items", which then gets the four built-in item fields. A damaged
  // value never leaves part of a set behind and never stops the others loading.
  void LoadDefaults();
  // Stores every member in the profile section.
  void SaveDefaults() const;

  // The built-in item fields (Lastname, Firstname, ID, Birthdate), each with a new identifier.
  static DetailsFields MakeDefaultItemFields();

  DetailsFields file;
  DetailsFields folders;
  DetailsFields items;
  DetailsFields images;
  DetailsTags folderTags;
  DetailsTags itemTags;
  DetailsTags imageTags;
};
