#include "ErrorReport.h"

#include "classlib/ClassLib.h"

#include <cstdio>
#include <new>
#include <string>

namespace {

void ShowErrorBox(const char* text, const char* caption) {
  try {
    const char* title = (caption && *caption) ? caption : AfxGetAppName();
    AfxPrompt(nullptr, text, title ? title : "", ErrorBoxFlags);
  } catch (...) {
    // A reporter must never throw: there is no one left to report to.
  }
}

std::string SystemText(HRESULT hr, WORD subLanguage) {
  char text[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(hr), MAKELANGID(LANG_NEUTRAL, subLanguage), text, sizeof(text),
                           nullptr);
  if (n == 0 || n >= sizeof(text)) return std::string();
  return std::string(text, n);
}

std::string Narrow(BSTR text) {
  if (!text) return std::string();
  char buffer[512] = {};
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, 511, nullptr, nullptr);
  if (n <= 0) {
    // Too long for the buffer: keep what fits.
    n = WideCharToMultiByte(CP_ACP, 0, text,
                            static_cast<int>(SysStringLen(text) > 511 ? 511 : SysStringLen(text)), buffer,
                            511, nullptr, nullptr);
    if (n < 0) n = 0;
    buffer[n] = '\0';
  }
  return buffer;
}

// The default value of a key under HKEY_CLASSES_ROOT, when the key opens and has one.
bool ClassesRootDefault(const std::string& path, std::string& value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  char data[513] = {};
  DWORD type = 0, size = 512;
  LONG error = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (error != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || data[0] == '\0') return false;
  value = data;
  return true;
}

std::string StandardComMessage(HRESULT hr) {
  std::string text = SystemText(hr, SUBLANG_DEFAULT);
  if (!text.empty()) {
    if (text.back() == '\n') text.pop_back();
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return text;
  }
  return ComErrorFallbackText(hr);
}

}  // namespace

std::string ComErrorFallbackText(HRESULT hr) {
  char buffer[64];
  unsigned long code = static_cast<unsigned long>(hr);
  if (code >= 0x80040201ul && code <= 0x8004FFFFul)
    std::snprintf(buffer, sizeof(buffer), "IDispatch error #%d", static_cast<int>(code - 0x80040200ul));
  else
    std::snprintf(buffer, sizeof(buffer), "Unknown error 0x%0lX", code);
  return buffer;
}

void ReportCurrentException() {
  // The order matters: CMyException and the archive exceptions derive from std::exception.
  try {
    throw;
  } catch (CException* e) {
    try {
      e->ReportError(MB_OK, 0);
    } catch (...) {
    }
    e->Delete();
  } catch (const CMyException& e) {
    ReportMyException(e);
  } catch (const std::exception& e) {
    ReportStdException(e);
  } catch (const _com_error& e) {
    ReportComError(e);
  } catch (...) {
    ReportUnknownException();
  }
}

void DiscardCurrentException() {
  try {
    throw;
  } catch (CException* e) {
    e->Delete();
  } catch (...) {
  }
}

void ReportException(std::exception_ptr failure) {
  if (!failure) return;
  try {
    std::rethrow_exception(failure);
  } catch (...) {
    ReportCurrentException();
  }
}

void ReportMyException(const CMyException& e) { ReportStdException(e); }

void ReportStdException(const std::exception& e) {
  const char* text = nullptr;
  try {
    // Out of memory reads the same whichever runtime raised it.
    text = dynamic_cast<const std::bad_alloc*>(&e) != nullptr ? "bad allocation" : e.what();
  } catch (...) {
  }
  if (!text || !*text) {
    ReportUnknownException();
    return;
  }
  ShowErrorBox(text, nullptr);
}

void ReportComError(const _com_error& e) {
  try {
    std::string caption, text;
    GUID guid{};
    IErrorInfo* info = e.ErrorInfo();  // a reference of our own, or null
    if (info) {
      BSTR source = nullptr;
      if (SUCCEEDED(info->GetSource(&source))) {
        std::string name = Narrow(source);
        // An empty source names no key (it would open the root itself): the caption falls back
        // to the application's name.
        if (!name.empty() && !ClassesRootDefault(name, caption) &&
            !ClassesRootDefault("CLSID\\" + name, caption))
          caption = name;
      }
      SysFreeString(source);
      BSTR description = nullptr;
      if (SUCCEEDED(info->GetDescription(&description))) text = Narrow(description);
      SysFreeString(description);
      info->GetGUID(&guid);
      info->Release();
    }
    if (text.empty()) {
      HRESULT hr = e.Error();
      unsigned long code = static_cast<unsigned long>(hr);
      // Interface-specific codes name their interface; the low ones and the dispatch errors
      // (up to 0x800402FF) read as the standard message.
      bool interfaceCode =
          ((code >> 16) & 0x1FFF) == FACILITY_ITF && (code < 0x80040000ul || code > 0x800402FFul);
      if (interfaceCode) {
        char buffer[96];
        std::snprintf(buffer, sizeof(buffer), "#{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}#%08lX#",
                      static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                      guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                      guid.Data4[6], guid.Data4[7], code);
        text = buffer;
      } else {
        text = StandardComMessage(hr);
      }
    }
    ShowErrorBox(text.c_str(), caption.c_str());
  } catch (...) {
  }
}

void ReportUnknownException() {
  try {
    std::string text = SystemText(STG_E_UNKNOWN, SUBLANG_NEUTRAL);
    if (text.empty()) {
      CString table;
      if (table.LoadString(IDS_UNEXPECTED_ERROR) && !table.IsEmpty())
        text = static_cast<const char*>(table);
      else
        text = "An unexpected error occurred";
    }
    ShowErrorBox(text.c_str(), nullptr);
  } catch (...) {
  }
}
