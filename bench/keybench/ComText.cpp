#include "ComText.h"

#include <cstdio>
#include <new>

namespace keybench {

ComText::ComText(const std::string& text) {
  const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  text_ = SysAllocStringLen(nullptr, static_cast<UINT>(size > 0 ? size : 0));
  if (!text_) throw std::bad_alloc();
  if (size > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), text_, size);
}

BSTR* ComText::Out() {
  SysFreeString(text_);
  text_ = nullptr;
  return &text_;
}

std::string ComText::Narrow(BSTR text) {
  const int length = text ? static_cast<int>(SysStringLen(text)) : 0;
  if (length == 0) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), size, nullptr, nullptr);
  return out;
}

std::string HresultText(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

}  // namespace keybench
