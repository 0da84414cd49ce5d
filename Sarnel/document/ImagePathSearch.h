// Finds a linked image's outside file, or a graphic named in a detail field, after the job or the
// pictures moved.
#pragma once

#include "SharedStringList.h"

#include "classlib/ClassLib.h"

// At least three characters, and two leading slashes or a drive letter, a colon and a slash.
bool IsFullImagePath(const CString& path);

// The stored name when it is a full path that exists; else its file name in each search folder in order
// ("@+" standing for the job's title, "." and other relative entries taken from the job's folder,
// drive-relative entries and malformed network paths skipped), then next to the job, then in
// "<job folder>\<title>#images\". Empty when no candidate exists.
CString SearchImageFile(const CString& name, const CString& jobPath, const SharedStringList& folders);

// The same search for a graphic: after the file next to the job, "<job folder>\<title>#graphics\" and
// then "<job folder>\<title>#images\".
CString SearchGraphicFile(const CString& name, const CString& jobPath, const SharedStringList& folders);
