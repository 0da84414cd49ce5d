#include "BitmapContentKey.h"

#include "ContentID.h"
#include "MemoryStream.h"

namespace {

// The stream goes with its bytes whichever way the save ends.
struct StreamReference {
  MemoryStream* stream = MemoryStream::Create();
  ~StreamReference() { stream->Release(); }
};

}  // namespace

CString MakeBitmapContentKey(zvkImage::IBitmap* bitmap, std::vector<uint8_t>* savedBytes) {
  if (bitmap == nullptr) return CString();
  StreamReference memory;
  CheckBitmapCall(bitmap->SaveToStream(memory.stream, 0), bitmap);
  const CString key = ContentIDFromDigest(memory.stream->GetDigest());
  if (savedBytes != nullptr) *savedBytes = memory.stream->GetBytes();
  return key;
}

CString MakeLibraryItemName(const CString& key) { return "-" + key; }
