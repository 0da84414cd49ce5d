// A read-only stream over one stretch of another stream: reads stop at the stretch's end, positions count
// from its start and Stat gives its length, so that a reader handed it can take nothing beyond the stretch
// and can see at once whether what it needs is there.
#pragma once

#include "StreamBase.h"

#include <cstdint>

class StreamWindow : public StreamBase {
 public:
  // Over the `length` bytes of source that follow its current position; made with one reference, and
  // holds one on source. Only the window may move source while it lives.
  static StreamWindow* Create(IStream* source, uint64_t length);

  // ISequentialStream
  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override;
  HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override;

  // IStream
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override;
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;

  // Bytes read so far, counted from the stretch's start.
  uint64_t GetPosition() const { return position; }

 private:
  StreamWindow(IStream* source, uint64_t start, uint64_t length);
  ~StreamWindow() override;

  IStream* source;
  uint64_t start;
  uint64_t length;
  uint64_t position = 0;
};
