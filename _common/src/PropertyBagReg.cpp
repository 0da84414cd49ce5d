#include "PropertyBagReg.h"

#include "comserver/GuardedCall.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace zvk {

namespace {

using SetValueW = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);
using QueryValueW = LONG(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using DeleteValueW = LONG(WINAPI*)(HKEY, LPCWSTR);

bool forceAnsi = false;

// The wide registry calls, looked up once; a missing one falls back to its ANSI form.
struct WideRegistry {
  SetValueW set = nullptr;
  QueryValueW query = nullptr;
  DeleteValueW remove = nullptr;
  WideRegistry() {
    if (HMODULE advapi = GetModuleHandleA("ADVAPI32")) {
      set = reinterpret_cast<SetValueW>(reinterpret_cast<void*>(GetProcAddress(advapi, "RegSetValueExW")));
      query =
          reinterpret_cast<QueryValueW>(reinterpret_cast<void*>(GetProcAddress(advapi, "RegQueryValueExW")));
      remove =
          reinterpret_cast<DeleteValueW>(reinterpret_cast<void*>(GetProcAddress(advapi, "RegDeleteValueW")));
    }
  }
};

const WideRegistry& Wide() {
  static const WideRegistry wide;
  return wide;
}

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

bool ToAnsi(const wchar_t* text, int length, std::string& out) {
  out.clear();
  if (length == 0) return true;
  int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return false;
  out.resize(n);
  return WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), n, nullptr, nullptr) == n;
}

LONG SetValue(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD bytes) {
  if (!forceAnsi && Wide().set) return Wide().set(key, name, 0, type, data, bytes);
  if (type > REG_QWORD) return ERROR_INVALID_DATATYPE;
  std::string ansiName;
  if (!ToAnsi(name, static_cast<int>(wcslen(name)), ansiName)) return static_cast<LONG>(GetLastError());
  if (!IsStringType(type)) return RegSetValueExA(key, ansiName.c_str(), 0, type, data, bytes);
  std::string text;
  if (!ToAnsi(reinterpret_cast<const wchar_t*>(data), static_cast<int>(bytes / 2), text))
    return static_cast<LONG>(GetLastError());
  return RegSetValueExA(key, ansiName.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.data()),
                        static_cast<DWORD>(text.size()));
}

LONG QueryValue(HKEY key, LPCWSTR name, DWORD* type, BYTE* data, DWORD* bytes) {
  if (!forceAnsi && Wide().query) return Wide().query(key, name, nullptr, type, data, bytes);
  std::string ansiName;
  if (!ToAnsi(name, static_cast<int>(wcslen(name)), ansiName)) return static_cast<LONG>(GetLastError());
  std::vector<BYTE> raw;
  DWORD rawType = 0;
  LONG error;
  for (;;) {
    DWORD size = 0;
    error = RegQueryValueExA(key, ansiName.c_str(), nullptr, &rawType, nullptr, &size);
    if (error != ERROR_SUCCESS) return error;
    raw.resize(size);
    DWORD got = size;
    error = RegQueryValueExA(key, ansiName.c_str(), nullptr, &rawType, raw.data(), &got);
    if (error == ERROR_MORE_DATA) continue;  // it grew between the two calls
    if (error != ERROR_SUCCESS) return error;
    raw.resize(got);
    break;
  }
  if (rawType > REG_QWORD) return ERROR_INVALID_DATATYPE;
  std::vector<BYTE> out;
  if (IsStringType(rawType)) {
    int n = raw.empty() ? 0
                        : MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(raw.data()),
                                              static_cast<int>(raw.size()), nullptr, 0);
    out.resize(static_cast<size_t>(n) * 2);
    if (n)
      MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(raw.data()), static_cast<int>(raw.size()),
                          reinterpret_cast<wchar_t*>(out.data()), n);
  } else {
    out = raw;
  }
  if (type) *type = rawType;
  DWORD room = *bytes;
  *bytes = static_cast<DWORD>(out.size());
  if (!data || room < out.size()) return data ? ERROR_MORE_DATA : ERROR_SUCCESS;
  if (!out.empty()) std::memcpy(data, out.data(), out.size());
  return ERROR_SUCCESS;
}

LONG DeleteValue(HKEY key, LPCWSTR name) {
  if (!forceAnsi && Wide().remove) return Wide().remove(key, name);
  std::string ansiName;
  if (!ToAnsi(name, static_cast<int>(wcslen(name)), ansiName)) return static_cast<LONG>(GetLastError());
  return RegDeleteValueA(key, ansiName.c_str());
}

HRESULT FromWin32(LONG error) {
  return static_cast<HRESULT>(0x80070000u | (static_cast<DWORD>(error) & 0xFFFF));
}

LONG SetDword(HKEY key, LPCWSTR name, DWORD value) {
  return SetValue(key, name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

LONG SetText(HKEY key, LPCWSTR name, const wchar_t* text, size_t length) {
  std::vector<wchar_t> block(text, text + length);
  block.push_back(L'\0');
  return SetValue(key, name, REG_SZ, reinterpret_cast<const BYTE*>(block.data()),
                  static_cast<DWORD>(block.size() * sizeof(wchar_t)));
}

LONG SetSigned(HKEY key, LPCWSTR name, LONG value) {
  if (value >= 0) return SetDword(key, name, static_cast<DWORD>(value));
  wchar_t text[16];
  int n = swprintf(text, 16, L"%ld", value);
  return SetText(key, name, text, static_cast<size_t>(n));
}

}  // namespace

void PropertyBagReg::UseAnsiRegistryCalls(bool ansi) { forceAnsi = ansi; }

PropertyBagReg::~PropertyBagReg() {
  if (key) RegCloseKey(key);
}

HRESULT PropertyBagReg::Open(HKEY parent, const char* subKey, REGSAM access) {
  if (key) return E_UNEXPECTED;
  LONG error;
  if (access & 0x20006)
    error = RegCreateKeyExA(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access & 0x2001F, nullptr,
                            &key, nullptr);
  else
    error = RegOpenKeyExA(parent, subKey, 0, access & 0x2001F, &key);
  if (error != ERROR_SUCCESS) {
    key = nullptr;
    return FromWin32(error);
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PropertyBagReg::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyBag)) {
    *object = static_cast<IPropertyBag*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE PropertyBagReg::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&refcount));
}

ULONG STDMETHODCALLTYPE PropertyBagReg::Release() {
  LONG left = InterlockedDecrement(&refcount);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE PropertyBagReg::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  if (!value) return E_POINTER;
  // No C++ exception may reach the caller: out of memory answers E_OUTOFMEMORY, the value cleared.
  bool threw = true;
  HRESULT hr = comserver::GuardedCall([&] {
    HRESULT result = ReadValue(name, value);
    threw = false;
    return result;
  });
  if (threw) VariantClear(value);
  return hr;
}

HRESULT PropertyBagReg::ReadValue(LPCOLESTR name, VARIANT* value) {
  if (!key || !name) {
    VariantClear(value);
    return E_INVALIDARG;
  }
  std::vector<BYTE> buffer(64);
  DWORD type = 0;
  LONG error;
  for (;;) {
    DWORD bytes = static_cast<DWORD>(buffer.size());
    error = QueryValue(key, name, &type, buffer.data(), &bytes);
    if (error == ERROR_MORE_DATA) {
      try {
        buffer.resize(bytes > buffer.size() ? bytes : buffer.size() * 2);
      } catch (const std::bad_alloc&) {
        VariantClear(value);
        return E_OUTOFMEMORY;
      }
      continue;
    }
    if (error == ERROR_SUCCESS) buffer.resize(bytes);
    break;
  }
  if (error != ERROR_SUCCESS) {
    VariantClear(value);
    return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? E_INVALIDARG : FromWin32(error);
  }
  if (type > REG_QWORD) {
    VariantClear(value);
    return static_cast<HRESULT>(0x8007070C);
  }
  VARTYPE preset = value->vt;
  switch (type) {
    case REG_NONE:
      VariantClear(value);
      return E_INVALIDARG;
    case REG_SZ: {
      // Stored data may be empty, of odd length or without its terminator: take the whole characters
      // and drop a terminator only when there is one.
      size_t length = buffer.size() / 2;
      const wchar_t* text = reinterpret_cast<const wchar_t*>(buffer.data());
      if (length > 0 && text[length - 1] == L'\0') --length;
      BSTR bstr = SysAllocStringLen(length ? text : L"", static_cast<UINT>(length));
      if (!bstr) return E_OUTOFMEMORY;
      VARIANT read;
      VariantInit(&read);
      read.vt = VT_BSTR;
      read.bstrVal = bstr;
      HRESULT hr = S_OK;
      if (preset != VT_EMPTY) {
        VariantClear(value);
        hr = VariantChangeType(value, &read, 0, preset);
        VariantClear(&read);
      } else {
        *value = read;
      }
      return hr;
    }
    case REG_DWORD: {
      if (buffer.size() != sizeof(DWORD)) return E_FAIL;  // not a value we can read; left untouched
      DWORD number;
      std::memcpy(&number, buffer.data(), sizeof(number));
      VARIANT read;
      VariantInit(&read);
      if (preset == VT_I2 || preset == VT_I4 || preset == VT_I1 || preset == VT_I8 || preset == VT_INT) {
        read.vt = VT_I4;
        read.lVal = static_cast<LONG>(number);
      } else {
        read.vt = VT_UI4;
        read.ulVal = number;
      }
      VariantClear(value);
      if (preset != VT_EMPTY) return VariantChangeType(value, &read, 0, preset);
      return VariantCopy(value, &read);
    }
    default:
      return E_FAIL;
  }
}

HRESULT STDMETHODCALLTYPE PropertyBagReg::Write(LPCOLESTR name, VARIANT* value) {
  return comserver::GuardedCall([&] { return WriteValue(name, value); });
}

HRESULT PropertyBagReg::WriteValue(LPCOLESTR name, VARIANT* value) {
  // The caller's VARIANT is input only: it is never cleared or changed here.
  if (!key || !name || !value || value->vt >= 42) return E_FAIL;
  LONG error;
  switch (value->vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_VOID:
      error = DeleteValue(key, name);
      if (error == ERROR_FILE_NOT_FOUND) error = ERROR_SUCCESS;
      break;
    case VT_I1:
      error = SetSigned(key, name, value->cVal);
      break;
    case VT_I2:
      error = SetSigned(key, name, value->iVal);
      break;
    case VT_I4:
      error = SetSigned(key, name, value->lVal);
      break;
    case VT_INT:
      error = SetSigned(key, name, value->intVal);
      break;
    case VT_UI1:
      error = SetDword(key, name, value->bVal);
      break;
    case VT_UI2:
      error = SetDword(key, name, value->uiVal);
      break;
    case VT_UI4:
      error = SetDword(key, name, value->ulVal);
      break;
    case VT_UINT:
      error = SetDword(key, name, value->uintVal);
      break;
    case VT_BOOL:
      error = SetDword(key, name, value->boolVal ? 1 : 0);
      break;
    case VT_BSTR: {
      BSTR text = value->bstrVal;
      error = SetText(key, name, text ? text : L"", text ? SysStringLen(text) : 0);
      break;
    }
    default:
      return E_FAIL;
  }
  return error == ERROR_SUCCESS ? S_OK : FromWin32(error);
}

}  // namespace zvk
