// No C++ exception may unwind into a COM caller: every method body runs inside GuardedCall.
#pragma once

#include <windows.h>
#include <new>

namespace comserver {

template <class Body>
HRESULT GuardedCall(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace comserver
