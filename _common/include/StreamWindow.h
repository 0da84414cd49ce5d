// A read-only stream over one stretch of another stream: reads stop at the stretch's end, positions count
// from its start and Stat gives its length, so that a reader handed it can take nothing beyond the stretch
// and can see at once whether what it needs is there.
#pragma once

#include <objidl.h>

#include <cstdint>

class StreamWindow : public IStream {
 public:
  // Over the `length` bytes of source that follow its current position; made with one reference, and
  // holds one on source. Only the window may move source while it lives.
  static StreamWindow* Create(IStream* source, uint64_t length);

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
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override;

  // Bytes read so far, counted from the stretch's start.
  uint64_t GetPosition() const { return position; }

 private:
  StreamWindow(IStream* source, uint64_t start, uint64_t length);
  virtual ~StreamWindow();

  IStream* source;
  uint64_t start;
  uint64_t length;
  uint64_t position = 0;
  LONG refcount = 1;
};
