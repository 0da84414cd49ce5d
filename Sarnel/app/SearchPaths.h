// The folders where the document looks for image and graphic files whose stored path was dropped,
// and two folder texts beside them; kept in the profile section "Paths".
#pragma once

#include "SharedStringList.h"

#include "classlib/ClassLib.h"

struct SearchPaths {
  SharedStringList imageFolders;    // "Paths\Images"
  SharedStringList graphicFolders;  // "Paths\Graphics"
  CString imageMasksFolder;         // "Image Masks": the folder the mask dialog used last
  CString cdText;                   // "CD": kept as read

  void Load();
  // Writes every list entry and its count and deletes the entries past the new count.
  void Save() const;
};

SearchPaths& GetSearchPaths();
// The ordered image and graphic search folders; an entry may hold "@+" for the job's title.
SharedStringList& ImageSearchFolders();
SharedStringList& GraphicSearchFolders();

// A stored count is trusted only up to this many entries.
constexpr int MaxSearchPathCount = 1000;
