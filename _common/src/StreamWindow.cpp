#include "StreamWindow.h"

#include <comdef.h>

StreamWindow* StreamWindow::Create(IStream* source, uint64_t length) {
  if (source == nullptr) _com_issue_error(E_POINTER);
  LARGE_INTEGER none{};
  ULARGE_INTEGER here{};
  const HRESULT hr = source->Seek(none, STREAM_SEEK_CUR, &here);
  if (FAILED(hr)) _com_issue_error(hr);
  return new StreamWindow(source, here.QuadPart, length);
}

StreamWindow::StreamWindow(IStream* source, uint64_t start, uint64_t length)
    : source(source), start(start), length(length) {
  source->AddRef();
}

StreamWindow::~StreamWindow() { source->Release(); }

HRESULT STDMETHODCALLTYPE StreamWindow::Read(void* buffer, ULONG count, ULONG* read) {
  if (read) *read = 0;
  const uint64_t left = length - position;
  const ULONG wanted = count < left ? count : static_cast<ULONG>(left);
  ULONG got = 0;
  HRESULT hr = S_OK;
  if (wanted > 0) hr = source->Read(buffer, wanted, &got);
  if (got > wanted) return STG_E_READFAULT;
  position += got;
  if (read) *read = got;
  return hr;
}

HRESULT STDMETHODCALLTYPE StreamWindow::Write(const void*, ULONG, ULONG* written) {
  if (written) *written = 0;
  return STG_E_ACCESSDENIED;
}

HRESULT STDMETHODCALLTYPE StreamWindow::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) {
  int64_t base = 0;
  switch (origin) {
    case STREAM_SEEK_SET:
      break;
    case STREAM_SEEK_CUR:
      base = static_cast<int64_t>(position);
      break;
    case STREAM_SEEK_END:
      base = static_cast<int64_t>(length);
      break;
    default:
      return STG_E_INVALIDFUNCTION;
  }
  // Positions stay inside the stretch, each end included.
  if (move.QuadPart < -base || move.QuadPart > static_cast<int64_t>(length) - base)
    return STG_E_INVALIDPOINTER;
  const uint64_t target = static_cast<uint64_t>(base + move.QuadPart);
  LARGE_INTEGER there;
  there.QuadPart = static_cast<LONGLONG>(start + target);
  const HRESULT hr = source->Seek(there, STREAM_SEEK_SET, nullptr);
  if (FAILED(hr)) return hr;
  position = target;
  if (newPosition) newPosition->QuadPart = position;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamWindow::SetSize(ULARGE_INTEGER) { return STG_E_ACCESSDENIED; }

HRESULT STDMETHODCALLTYPE StreamWindow::Stat(STATSTG* stat, DWORD) {
  if (!stat) return E_POINTER;
  *stat = STATSTG{};
  stat->type = STGTY_STREAM;
  stat->cbSize.QuadPart = length;
  return S_OK;
}
