#include "ArchiveStream.h"

#include "ArchiveErrors.h"

#include <comdef.h>

namespace zvk {

template <class T>
TArchiveStream<T>::TArchiveStream(IStream* stream) : stream(stream) {
  if (stream) stream->AddRef();
}

template <class T>
TArchiveStream<T>::~TArchiveStream() {
  if (stream) stream->Release();
}

template <class T>
unsigned TArchiveStream<T>::Read(void* buffer, unsigned count) {
  if (!stream) ThrowArchiveUninitialized();
  ULONG done = 0;
  HRESULT hr = stream->Read(buffer, count, &done);
  if (FAILED(hr)) ThrowArchiveStreamComError(hr);
  return done;
}

template <class T>
unsigned TArchiveStream<T>::Write(const void* buffer, unsigned count) {
  if (!stream) ThrowArchiveUninitialized();
  ULONG done = 0;
  HRESULT hr = stream->Write(buffer, count, &done);
  if (FAILED(hr)) ThrowArchiveStreamComError(hr);
  return done;
}

template <class T>
long TArchiveStream<T>::Seek(long offset, int origin) {
  if (!stream) _com_issue_error(E_POINTER);
  LARGE_INTEGER move;
  move.QuadPart = offset;
  ULARGE_INTEGER now{};
  HRESULT hr = stream->Seek(move, static_cast<DWORD>(origin), &now);
  if (FAILED(hr)) ThrowArchiveStreamComError(hr);
  return static_cast<long>(now.LowPart);
}

template <class T>
unsigned TArchiveStream<T>::SetSize(unsigned size) {
  if (!stream) _com_issue_error(E_POINTER);
  ULARGE_INTEGER newSize;
  newSize.QuadPart = size;
  HRESULT hr = stream->SetSize(newSize);
  if (FAILED(hr)) ThrowArchiveStreamComError(hr);
  return size;
}

template <class T>
unsigned TArchiveStream<T>::Truncate() {
  if (!stream) _com_issue_error(E_POINTER);
  LARGE_INTEGER zero{};
  ULARGE_INTEGER now{};
  HRESULT hr = stream->Seek(zero, STREAM_SEEK_CUR, &now);
  if (FAILED(hr)) ThrowArchiveStreamComError(hr);
  hr = stream->SetSize(now);
  if (FAILED(hr)) ThrowArchiveStreamComError(hr);
  return now.LowPart;
}

template <class T>
Archive* TArchiveStream<T>::Clone() {
  if (!stream) _com_issue_error(E_POINTER);
  IStream* copy = nullptr;
  HRESULT hr = stream->Clone(&copy);
  if (FAILED(hr)) ThrowArchiveStreamComError(hr);
  TArchiveStream* archive = nullptr;
  try {
    archive = new TArchiveStream(copy);
  } catch (...) {
    copy->Release();
    throw;
  }
  copy->Release();  // the archive holds its own reference
  return archive;
}

template <class T>
void TArchiveStream<T>::DestroyClone() {
  delete this;
}

template <class T>
bool TArchiveStream<T>::GetRemaining(uint64_t& bytes) {
  if (!stream) return false;
  LARGE_INTEGER zero{};
  ULARGE_INTEGER now{};
  if (FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &now))) return false;
  STATSTG stat{};
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return false;
  bytes = stat.cbSize.QuadPart > now.QuadPart ? stat.cbSize.QuadPart - now.QuadPart : 0;
  return true;
}

template class TArchiveStream<void>;

}  // namespace zvk
