// Where shared components live and which of two builds of a library is newer.
#pragma once

#include <windows.h>

#include <string>

namespace comserver {

// The common files folder without a trailing separator. Falls back to ProgramFilesDir plus
// "\Common Files" and writes that back as CommonFilesDir. ERROR_FILE_NOT_FOUND when neither helps.
LONG GetCommonFilesDir(std::string& folder);

// Creates every missing folder of `folder` in turn; levels that exist already are fine.
LONG CreateDirectoryPath(const std::string& folder);

// Whether `ours` should replace `installed`: a higher file version, or the same version with a later
// file date (the version block's date, or the files' write times when neither block carries one) or
// other file flags. Win32 error when either version block cannot be read.
LONG IsNewerBuild(const std::string& ours, const std::string& installed, bool* newer);

// The system's text for an error without trailing blanks and line ends, or "WIN32 error %u.".
std::string SystemErrorText(DWORD error);

}  // namespace comserver
