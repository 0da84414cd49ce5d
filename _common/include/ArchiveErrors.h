// The fixed failures of the archives themselves (misuse, a broken stream), as standard exceptions.
#pragma once

#include <windows.h>

#include <string>

namespace zvk {

[[noreturn]] void ThrowArchiveUninitialized();  // std::invalid_argument "Archive Uninitialized"
[[noreturn]] void ThrowArchiveOrigin();         // std::invalid_argument "Archive Origin"
[[noreturn]] void ThrowArchiveOffset();         // std::runtime_error "Archive Offset"
[[noreturn]] void ThrowArchiveUserBuffer();     // std::runtime_error "Archive User Buffer"
// std::runtime_error "ArchiveStream COM Error 0x<code>\n<system text>".
[[noreturn]] void ThrowArchiveStreamComError(HRESULT hr);
// std::bad_alloc whose text is "bad allocation".
[[noreturn]] void ThrowBadAllocation();
// The system's message for a code, as the system gives it (line ending included); empty when none.
std::string SystemMessageText(HRESULT hr);

}  // namespace zvk
