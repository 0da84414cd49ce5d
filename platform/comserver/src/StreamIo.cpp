#include "comserver/StreamIo.h"

namespace comserver {

HRESULT ReadExact(IStream* stream, void* buffer, ULONG size) {
  ULONG read = 0;
  HRESULT hr = stream->Read(buffer, size, &read);
  if (FAILED(hr)) return hr;
  return read == size ? S_OK : STG_E_READFAULT;
}

HRESULT WriteAll(IStream* stream, const void* buffer, ULONG size) {
  ULONG written = 0;
  HRESULT hr = stream->Write(buffer, size, &written);
  if (FAILED(hr)) return hr;
  return written == size ? S_OK : STG_E_WRITEFAULT;
}

HRESULT BytesRemaining(IStream* stream, ULONGLONG* remaining) {
  *remaining = 0;
  STATSTG stat = {};
  HRESULT hr = stream->Stat(&stat, STATFLAG_NONAME);
  if (FAILED(hr)) return hr;
  LARGE_INTEGER zero = {};
  ULARGE_INTEGER position = {};
  hr = stream->Seek(zero, STREAM_SEEK_CUR, &position);
  if (FAILED(hr)) return hr;
  *remaining = stat.cbSize.QuadPart > position.QuadPart ? stat.cbSize.QuadPart - position.QuadPart : 0;
  return S_OK;
}

}  // namespace comserver
