// Owning pointers for the job file's storages and streams. OpenChildStorage and OpenChildStream hand
// the caller a reference of its own: wrap it with `false` so the pointer takes it over without AddRef.
#pragma once

#include <comdef.h>

_COM_SMARTPTR_TYPEDEF(IStorage, __uuidof(IStorage));
_COM_SMARTPTR_TYPEDEF(IStream, __uuidof(IStream));
