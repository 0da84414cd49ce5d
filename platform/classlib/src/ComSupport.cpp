#include "classlib/ComSupport.h"

#include <new>

void WINAPI _com_issue_errorex(HRESULT hr, IUnknown* object, REFIID iid) {
  IErrorInfo* info = nullptr;
  if (object != nullptr) {
    ISupportErrorInfo* support = nullptr;
    if (SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support))) &&
        support != nullptr) {
      if (support->InterfaceSupportsErrorInfo(iid) == S_OK && GetErrorInfo(0, &info) != S_OK) info = nullptr;
      support->Release();
    }
  }
  // The error object's reference passes to the exception.
  throw _com_error(hr, info, false);
}

namespace _com_util {

BSTR WINAPI ConvertStringToBSTR(const char* source) {
  if (source == nullptr) return nullptr;
  int chars = MultiByteToWideChar(CP_ACP, 0, source, -1, nullptr, 0);
  if (chars <= 0) _com_issue_error(HRESULT_FROM_WIN32(GetLastError()));
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(chars - 1));
  if (result == nullptr) _com_issue_error(E_OUTOFMEMORY);
  MultiByteToWideChar(CP_ACP, 0, source, -1, result, chars);
  return result;
}

char* WINAPI ConvertBSTRToString(BSTR source) {
  if (source == nullptr) return nullptr;
  const int length = static_cast<int>(SysStringLen(source));
  int bytes = length == 0 ? 0 : WideCharToMultiByte(CP_ACP, 0, source, length, nullptr, 0, nullptr, nullptr);
  if (length != 0 && bytes <= 0) _com_issue_error(HRESULT_FROM_WIN32(GetLastError()));
  char* result = new (std::nothrow) char[static_cast<size_t>(bytes) + 1];
  if (result == nullptr) _com_issue_error(E_OUTOFMEMORY);
  if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, source, length, result, bytes, nullptr, nullptr);
  result[bytes] = '\0';
  return result;
}

}  // namespace _com_util

// Keeps <comdef.h>'s inline _com_issue_error in this object, for translation units that see
// only its declaration in <comutil.h>.
extern void(WINAPI* const g_keepComIssueError)(HRESULT);
void(WINAPI* const g_keepComIssueError)(HRESULT) = &_com_issue_error;
