#include "comserver/ComBSTR.h"

#include <memory>
#include <new>
#include <utility>

namespace comserver {

namespace {
BSTR AllocateOrThrow(const wchar_t* text, UINT length) {
  BSTR result = SysAllocStringLen(text, length);
  if (!result) throw std::bad_alloc();
  return result;
}
}  // namespace

CComBSTR::CComBSTR(const wchar_t* text) {
  if (text) m_str = AllocateOrThrow(text, static_cast<UINT>(wcslen(text)));
}

CComBSTR::CComBSTR(const char* text) {
  if (!text) return;
  int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 0) throw std::bad_alloc();
  m_str = AllocateOrThrow(nullptr, static_cast<UINT>(length - 1));
  MultiByteToWideChar(CP_ACP, 0, text, -1, m_str, length);
}

CComBSTR::CComBSTR(const CComBSTR& other) {
  if (other.m_str) m_str = AllocateOrThrow(other.m_str, other.Length());
}

CComBSTR::CComBSTR(CComBSTR&& other) noexcept : m_str(std::exchange(other.m_str, nullptr)) {}

CComBSTR& CComBSTR::operator=(const CComBSTR& other) {
  if (this != std::addressof(other)) {
    CComBSTR copy(other);
    std::swap(m_str, copy.m_str);
  }
  return *this;
}

CComBSTR& CComBSTR::operator=(CComBSTR&& other) noexcept {
  if (this != std::addressof(other)) {
    Empty();
    m_str = std::exchange(other.m_str, nullptr);
  }
  return *this;
}

void CComBSTR::Empty() {
  SysFreeString(m_str);
  m_str = nullptr;
}

void CComBSTR::Attach(BSTR text) {
  Empty();
  m_str = text;
}

BSTR CComBSTR::Detach() { return std::exchange(m_str, nullptr); }

HRESULT CComBSTR::CopyTo(BSTR* out) const {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!m_str) return S_OK;
  *out = SysAllocStringLen(m_str, Length());
  return *out ? S_OK : E_OUTOFMEMORY;
}

std::string CComBSTR::ToAnsi() const {
  if (!m_str || Length() == 0) return std::string();
  int wide = static_cast<int>(Length());
  int length = WideCharToMultiByte(CP_ACP, 0, m_str, wide, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, m_str, wide, result.data(), length, nullptr, nullptr);
  return result;
}

}  // namespace comserver
