// Text across the COM boundary: an owned BSTR, and conversions between it and the program's code page.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace keybench {

class ComText {
 public:
  explicit ComText(const std::string& text);
  ComText() = default;
  ComText(const ComText&) = delete;
  ComText& operator=(const ComText&) = delete;
  ~ComText() { SysFreeString(text_); }

  BSTR Get() const { return text_; }
  // Takes a BSTR the callee allocated (an out parameter): frees what is held and gives the slot.
  BSTR* Out();
  std::string Narrow() const { return Narrow(text_); }

  static std::string Narrow(BSTR text);

 private:
  BSTR text_ = nullptr;
};

// Formats an HRESULT as 0x-hexadecimal for messages.
std::string HresultText(HRESULT hr);

}  // namespace keybench
