// Choosing the files of a disk import: their image numbers, their order and the three ways of
// finding them (a folder tree, a numbered file-name mask and a list of chosen names).
#pragma once

#include "classlib/ClassLib.h"

#include <cstdint>
#include <vector>

// A file found for the list: its name and its folder (with a trailing separator, or empty when all
// files share one folder).
struct ImportCandidate {
  CString name;
  CString folder;
  int32_t number = 0;
};

// The number that starts at the first digit of a name; 0 without a digit, and 0 for a digit run too
// large for 32 bits.
int32_t NumberOfFileName(const char* name);
// The number read at the mask's number position (-1: none, giving 0).
int32_t NumberAtPosition(const char* name, int32_t position);

// Sorts by folder (case-insensitive, when compareFolders), then, in numeric order (order 0), by
// number, then by name (case-insensitive).
void SortCandidates(std::vector<ImportCandidate>& candidates, int32_t order, bool compareFolders);

// Every file of a folder tree, each folder's files with their folder. Directory links are not
// followed and the walk stops 64 folders deep; a folder that cannot be listed adds nothing.
std::vector<ImportCandidate> WalkFolderTree(const CString& folder);

// The plain files of folder + prefix + "*" + suffix + "." + extension whose mask number lies within
// the limits (0: no limit); numbered at the prefix's length when width is not 0.
std::vector<ImportCandidate> FindMaskedFiles(const CString& folder, const CString& prefix, int32_t width,
                                             const CString& suffix, const CString& extension,
                                             int32_t firstNumber, int32_t lastNumber);

// The example name of a mask: the number 3 at the given width, or "<xxx>" for width 0.
CString MaskExample(const CString& prefix, int32_t width, const CString& suffix, const CString& extension);
