// Exact reads and writes on an IStream: a short read is STG_E_READFAULT, a short write STG_E_WRITEFAULT.
#pragma once

#include <windows.h>
#include <objidl.h>

namespace comserver {

HRESULT ReadExact(IStream* stream, void* buffer, ULONG size);
HRESULT WriteAll(IStream* stream, const void* buffer, ULONG size);
// Bytes between the stream's position and its end; fails for streams that cannot tell.
HRESULT BytesRemaining(IStream* stream, ULONGLONG* remaining);

}  // namespace comserver
