// Test seam beside SetCreationFailure (zvkImage.h): a failure that starts after some creations succeeded,
// so that a test can fail the second of two objects a caller makes.
#pragma once

#include <windows.h>

namespace zvkImage {
// The next `creations` creations succeed; every later one answers failure (S_OK ends the failure).
void SetCreationFailureAfter(long creations, HRESULT failure);
}  // namespace zvkImage
