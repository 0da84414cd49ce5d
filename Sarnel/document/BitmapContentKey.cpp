#include "BitmapContentKey.h"

#include "ContentID.h"
#include "MD5.h"
#include "MemoryStream.h"
#include "StreamBase.h"

namespace {

// The stream goes with its bytes whichever way the save ends.
struct StreamReference {
  MemoryStream* stream = MemoryStream::Create();
  ~StreamReference() { stream->Release(); }
};

// Passes every write on to its target and digests the bytes as they pass. A picture saving itself only
// writes; anything else is refused. Lives on the caller's stack, holding the reference it was made with.
class DigestingStream : public StreamBase {
 public:
  explicit DigestingStream(IStream* target) : target(target) {}

  MD5Digest Finish() { return hasher.Finish(); }
  uint64_t GetCount() const { return count; }
  HRESULT GetTargetError() const { return targetError; }

  HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG* read) override {
    if (read) *read = 0;
    return STG_E_ACCESSDENIED;
  }
  HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG size, ULONG* written) override {
    ULONG done = 0;
    const HRESULT hr = target->Write(buffer, size, &done);
    if (done > size) done = 0;
    hasher.Add(buffer, done);
    count += done;
    if (written) *written = done;
    if (FAILED(hr) && SUCCEEDED(targetError)) targetError = hr;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override {
    return STG_E_INVALIDFUNCTION;
  }

 private:
  IStream* target;
  MD5Hasher hasher;
  uint64_t count = 0;
  HRESULT targetError = S_OK;
};

}  // namespace

CString SaveBitmapWithContentKey(zvkImage::IBitmap* bitmap, IStream* target, uint64_t& savedLength) {
  DigestingStream digesting(target);
  const HRESULT hr = bitmap->SaveToStream(&digesting, 0);
  // The target's own failure is the one to report, not what the picture made of it.
  if (FAILED(digesting.GetTargetError())) _com_issue_error(digesting.GetTargetError());
  CheckBitmapCall(hr, bitmap);
  savedLength = digesting.GetCount();
  return ContentIDFromDigest(digesting.Finish());
}

CString MakeBitmapContentKey(zvkImage::IBitmap* bitmap, std::vector<uint8_t>* savedBytes) {
  if (bitmap == nullptr) return CString();
  StreamReference memory;
  uint64_t length = 0;
  const CString key = SaveBitmapWithContentKey(bitmap, memory.stream, length);
  if (savedBytes != nullptr) *savedBytes = memory.stream->TakeBytes();
  return key;
}

CString MakeLibraryItemName(const CString& key) { return "-" + key; }
