// A stream over a byte vector that, like the program's own memory stream, offers only Read, Write and Seek
// (positions of 32 bits); everything else is E_NOTIMPL, except Stat when answersStat is set (as a
// compound file's streams answer it).
#pragma once

#include <objidl.h>

#include <cstring>
#include <vector>

namespace imagetest {

class MemoryStream : public IStream {
 public:
  std::vector<uint8_t> bytes;
  ULONG position = 0;
  ULONG refs = 1;
  bool answersStat = false;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IStream || iid == IID_ISequentialStream) {
      *out = this;
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override {
    const ULONG n = position < bytes.size() ? std::min<ULONG>(count, ULONG(bytes.size()) - position) : 0;
    if (n) std::memcpy(buffer, bytes.data() + position, n);
    position += n;
    if (read) *read = n;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override {
    if (size_t(position) + count > bytes.size()) bytes.resize(size_t(position) + count);
    std::memcpy(bytes.data() + position, buffer, count);
    position += count;
    if (written) *written = count;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* result) override {
    int64_t base = origin == STREAM_SEEK_SET   ? 0
                   : origin == STREAM_SEEK_CUR ? position
                                               : int64_t(bytes.size());
    const int64_t target = base + int32_t(move.LowPart);
    if (target < 0 || target > int64_t(bytes.size())) return STG_E_INVALIDPOINTER;
    position = ULONG(target);
    if (result) result->QuadPart = position;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    if (!answersStat) return E_NOTIMPL;
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = bytes.size();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }
};

}  // namespace imagetest
