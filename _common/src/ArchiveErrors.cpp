#include "ArchiveErrors.h"

#include <cstdio>
#include <new>
#include <stdexcept>

namespace zvk {

void ThrowArchiveUninitialized() { throw std::invalid_argument("Archive Uninitialized"); }

void ThrowArchiveOrigin() { throw std::invalid_argument("Archive Origin"); }

void ThrowArchiveOffset() { throw std::runtime_error("Archive Offset"); }

void ThrowArchiveUserBuffer() { throw std::runtime_error("Archive User Buffer"); }

namespace {
class BadAllocation : public std::bad_alloc {
 public:
  const char* what() const noexcept override { return "bad allocation"; }
};
}  // namespace

void ThrowBadAllocation() { throw BadAllocation(); }

std::string SystemMessageText(HRESULT hr) {
  char text[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(hr), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), text,
                           sizeof(text), nullptr);
  if (n == 0 || n >= sizeof(text)) return std::string();
  return std::string(text, n);
}

void ThrowArchiveStreamComError(HRESULT hr) {
  char code[16];
  std::snprintf(code, sizeof(code), "%lx", static_cast<unsigned long>(hr));
  throw std::runtime_error(std::string("ArchiveStream COM Error 0x") + code + "\n" + SystemMessageText(hr));
}

}  // namespace zvk
