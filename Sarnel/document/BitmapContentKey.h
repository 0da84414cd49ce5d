// The key of a picture in the job's libraries, made from its content: a picture that saves itself into
// the same bytes always gets the same key, so a library holds it once however often it is added.
#pragma once

#include "ImageBitmap.h"

#include "classlib/ClassLib.h"

#include <cstdint>
#include <vector>

// The 25-character identifier of the MD5 digest of the bytes that the bitmap writes when it saves
// itself into memory; empty for no bitmap. A failing save raises the COM error with the bitmap
// interface's identifier. savedBytes, when given, receives those bytes. The caller's reference on the
// bitmap is left as it was.
CString MakeBitmapContentKey(zvkImage::IBitmap* bitmap, std::vector<uint8_t>* savedBytes = nullptr);

// The same key, made while the bitmap saves itself into target (at target's position), so that the bytes
// are written once and digested on their way; savedLength receives their count. Raises as
// MakeBitmapContentKey, or the target's error when target refuses a write.
CString SaveBitmapWithContentKey(zvkImage::IBitmap* bitmap, IStream* target, uint64_t& savedLength);

// The name of a library entry's item stream: "-" followed by its key.
CString MakeLibraryItemName(const CString& key);
