// An in-memory IStream: the bytes an outside object saves, to be digested into a content identifier.
#pragma once

#include "MD5.h"

#include <objidl.h>

#include <cstdint>
#include <vector>

class MemoryStream : public IStream {
 public:
  // Made with one reference; Release frees it.
  static MemoryStream* Create();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // ISequentialStream
  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override;
  HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override;

  // IStream
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override;
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override;
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override;
  HRESULT STDMETHODCALLTYPE Revert() override;
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override;
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override;
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override;
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override;

  // The MD5 digest of the whole content, whatever the position.
  MD5Digest GetDigest() const;
  const std::vector<uint8_t>& GetBytes() const { return bytes; }
  // The content, handed over without a copy; the stream is empty afterwards.
  std::vector<uint8_t> TakeBytes();
  uint32_t GetPosition() const { return position; }

 private:
  MemoryStream() = default;
  virtual ~MemoryStream() = default;

  std::vector<uint8_t> bytes;
  uint32_t position = 0;
  LONG refcount = 1;
};
