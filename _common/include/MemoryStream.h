// An in-memory IStream: the bytes an outside object saves, to be digested into a content identifier.
#pragma once

#include "MD5.h"
#include "StreamBase.h"

#include <objidl.h>

#include <cstdint>
#include <vector>

class MemoryStream : public StreamBase {
 public:
  // Made with one reference; Release frees it.
  static MemoryStream* Create();

  // ISequentialStream
  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override;
  HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override;

  // IStream
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override;
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;

  // The MD5 digest of the whole content, whatever the position.
  MD5Digest GetDigest() const;
  const std::vector<uint8_t>& GetBytes() const { return bytes; }
  // The content, handed over without a copy; the stream is empty afterwards.
  std::vector<uint8_t> TakeBytes();
  uint32_t GetPosition() const { return position; }

 private:
  MemoryStream() = default;
  ~MemoryStream() override = default;

  std::vector<uint8_t> bytes;
  uint32_t position = 0;
};
