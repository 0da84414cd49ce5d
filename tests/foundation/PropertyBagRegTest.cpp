// The registry property bag: what each VARIANT type is stored as and read back as.
#include "FailingAllocation.h"
#include "PropertyBagReg.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <cstring>
#include <string>

namespace {

class PropertyBag : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    zvk::PropertyBagReg::UseAnsiRegistryCalls(GetParam());
    root =
        "Software\\PellorinFoundationTest-" + std::to_string(GetCurrentProcessId()) + "\\Settings\\Camera\\X";
    ASSERT_EQ(writer.Open(HKEY_CURRENT_USER, root.c_str(), KEY_SET_VALUE), S_OK);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, root.c_str(), 0, KEY_ALL_ACCESS, &raw), ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(raw);
    zvk::PropertyBagReg::UseAnsiRegistryCalls(false);
    SHDeleteKeyA(HKEY_CURRENT_USER,
                 ("Software\\PellorinFoundationTest-" + std::to_string(GetCurrentProcessId())).c_str());
  }
  void Reader(zvk::PropertyBagReg& bag) {
    ASSERT_EQ(bag.Open(HKEY_CURRENT_USER, root.c_str(), KEY_QUERY_VALUE), S_OK);
  }
  DWORD RawType(const char* name, std::string* text = nullptr, DWORD* number = nullptr) {
    char data[256] = {};
    DWORD type = 0, size = sizeof(data);
    if (RegQueryValueExA(raw, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
      return 0;
    if (text) *text = data;
    if (number) *number = *reinterpret_cast<DWORD*>(data);
    return type;
  }

  std::string root;
  zvk::PropertyBagReg writer;
  HKEY raw = nullptr;
};

VARIANT Var(VARTYPE type) {
  VARIANT v;
  VariantInit(&v);
  v.vt = type;
  return v;
}

}  // namespace

TEST_P(PropertyBag, NumbersAndTextsAreStoredAsTheirRegistryForms) {
  VARIANT minusFive = Var(VT_I4);
  minusFive.lVal = -5;
  VARIANT byte200 = Var(VT_UI1);
  byte200.bVal = 200;
  VARIANT minusOne = Var(VT_I1);
  minusOne.cVal = -1;
  VARIANT yes = Var(VT_BOOL);
  yes.boolVal = VARIANT_TRUE;
  VARIANT text = Var(VT_BSTR);
  text.bstrVal = SysAllocString(L"Studio 2");
  VARIANT nothing = Var(VT_BSTR);  // a missing string is stored as an empty text

  for (auto [name, value] : {std::pair{L"A", &minusFive},
                             {L"B", &byte200},
                             {L"C", &minusOne},
                             {L"D", &yes},
                             {L"E", &text},
                             {L"F", &nothing}}) {
    VARTYPE before = value->vt;
    EXPECT_EQ(writer.Write(name, value), S_OK);
    EXPECT_EQ(value->vt, before);  // the caller's input stays as it was
  }
  std::string s;
  DWORD n = 0;
  EXPECT_EQ(RawType("A", &s), static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(s, "-5");
  EXPECT_EQ(RawType("B", nullptr, &n), static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(n, 200u);
  EXPECT_EQ(RawType("C", &s), static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(s, "-1");
  EXPECT_EQ(RawType("D", nullptr, &n), static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(n, 1u);
  EXPECT_EQ(RawType("E", &s), static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(s, "Studio 2");
  EXPECT_EQ(RawType("F", &s), static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(s, "");

  zvk::PropertyBagReg reader;
  Reader(reader);
  VARIANT back = Var(VT_I4);
  EXPECT_EQ(reader.Read(L"A", &back, nullptr), S_OK);
  EXPECT_EQ(back.vt, VT_I4);
  EXPECT_EQ(back.lVal, -5);
  VARIANT any = Var(VT_EMPTY);
  EXPECT_EQ(reader.Read(L"B", &any, nullptr), S_OK);
  EXPECT_EQ(any.vt, VT_UI4);
  EXPECT_EQ(any.ulVal, 200u);
  VARIANT str = Var(VT_EMPTY);
  EXPECT_EQ(reader.Read(L"E", &str, nullptr), S_OK);
  ASSERT_EQ(str.vt, VT_BSTR);
  EXPECT_STREQ(str.bstrVal, L"Studio 2");
  VariantClear(&str);
  VariantClear(&text);
}

TEST_P(PropertyBag, MissingUnsupportedAndDeletedValues) {
  zvk::PropertyBagReg reader;
  Reader(reader);
  VARIANT v = Var(VT_I4);
  v.lVal = 9;
  EXPECT_EQ(reader.Read(L"Missing", &v, nullptr), E_INVALIDARG);
  EXPECT_EQ(v.vt, VT_EMPTY);

  const BYTE blob[3] = {1, 2, 3};
  ASSERT_EQ(RegSetValueExA(raw, "Blob", 0, REG_BINARY, blob, 3), ERROR_SUCCESS);
  VARIANT kept = Var(VT_I4);
  kept.lVal = 9;
  EXPECT_EQ(reader.Read(L"Blob", &kept, nullptr), E_FAIL);
  EXPECT_EQ(kept.vt, VT_I4);
  EXPECT_EQ(kept.lVal, 9);

  VARIANT empty = Var(VT_EMPTY);
  EXPECT_EQ(writer.Write(L"NeverWritten", &empty), S_OK);
  VARIANT one = Var(VT_UI4);
  one.ulVal = 1;
  ASSERT_EQ(writer.Write(L"Gone", &one), S_OK);
  EXPECT_EQ(writer.Write(L"Gone", &empty), S_OK);
  EXPECT_EQ(RawType("Gone"), 0u);

  VARIANT dbl = Var(VT_R8);
  dbl.dblVal = 2.5;
  EXPECT_EQ(writer.Write(L"Double", &dbl), E_FAIL);
  EXPECT_EQ(dbl.vt, VT_R8);
  VARIANT byRef = Var(VT_I4 | VT_BYREF);
  EXPECT_EQ(writer.Write(L"ByRef", &byRef), E_FAIL);
  EXPECT_EQ(byRef.vt, VT_I4 | VT_BYREF);  // not cleared
}

TEST_P(PropertyBag, MalformedStoredTextsAndNumbersReadSafely) {
  struct Raw {
    const char* name;
    DWORD type;
    std::string bytes;
  } cases[] = {
      {"Zero", REG_SZ, std::string()},
      {"Odd", REG_SZ, std::string("A\0B", 3)},
      {"Unterminated", REG_SZ, std::string("O\0K\0", 4)},
      {"ShortDword", REG_DWORD, std::string("\x01\x02", 2)},
      {"LongDword", REG_DWORD, std::string("\x01\x02\x03\x04\x05\x06", 6)},
  };
  for (const Raw& r : cases) {
    // Written with the wide call, so that the bytes are exactly these.
    std::wstring name(r.name, r.name + std::strlen(r.name));
    ASSERT_EQ(RegSetValueExW(raw, name.c_str(), 0, r.type, reinterpret_cast<const BYTE*>(r.bytes.data()),
                             static_cast<DWORD>(r.bytes.size())),
              ERROR_SUCCESS);
  }
  zvk::PropertyBagReg reader;
  Reader(reader);
  if (!GetParam()) {  // the wide path sees the bytes exactly as stored
    struct Expect {
      const wchar_t* name;
      const wchar_t* text;
    } texts[] = {{L"Zero", L""}, {L"Odd", L"A"}, {L"Unterminated", L"OK"}};
    for (const Expect& e : texts) {
      VARIANT v = Var(VT_EMPTY);
      EXPECT_EQ(reader.Read(e.name, &v, nullptr), S_OK) << e.name;
      ASSERT_EQ(v.vt, VT_BSTR);
      EXPECT_STREQ(v.bstrVal, e.text);
      VariantClear(&v);
    }
  }
  for (const wchar_t* name : {L"ShortDword", L"LongDword"}) {
    VARIANT v = Var(VT_EMPTY);
    EXPECT_EQ(reader.Read(name, &v, nullptr), E_FAIL);
    EXPECT_EQ(v.vt, VT_EMPTY);
  }
}

TEST_P(PropertyBag, OpeningRules) {
  EXPECT_EQ(writer.Open(HKEY_CURRENT_USER, root.c_str(), KEY_SET_VALUE), E_UNEXPECTED);
  zvk::PropertyBagReg missing;
  EXPECT_EQ(missing.Open(HKEY_CURRENT_USER, (root + "\\Nope").c_str(), KEY_QUERY_VALUE),
            HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  zvk::PropertyBagReg unopened;
  VARIANT v = Var(VT_UI4);
  EXPECT_EQ(unopened.Read(L"A", &v, nullptr), E_INVALIDARG);
  VARIANT w = Var(VT_UI4);
  EXPECT_EQ(unopened.Write(L"A", &w), E_FAIL);
  IPropertyBag* bag = nullptr;
  ASSERT_EQ(writer.QueryInterface(IID_IPropertyBag, reinterpret_cast<void**>(&bag)), S_OK);
  EXPECT_EQ(bag->Release(), 1u);
}

TEST_P(PropertyBag, OutOfMemoryIsAnHResultNeverAnException) {
  // Long enough that reading it grows the buffer, in both registry forms.
  std::wstring text(300, L'x');
  VARIANT value = Var(VT_BSTR);
  value.bstrVal = SysAllocString(text.c_str());
  ASSERT_EQ(writer.Write(L"Long", &value), S_OK);
  VariantClear(&value);
  zvk::PropertyBagReg reader;
  Reader(reader);

  HRESULT hr = S_OK;
  int failures = testsupport::ForEachFailingAllocation(
      [&] {
        VARIANT read = Var(VT_EMPTY);
        EXPECT_NO_THROW(hr = reader.Read(L"Long", &read, nullptr));
        if (hr == S_OK) {
          EXPECT_EQ(read.vt, VT_BSTR);
          EXPECT_EQ(SysStringLen(read.bstrVal), 300u);
        } else {
          EXPECT_EQ(read.vt, VT_EMPTY);
        }
        VariantClear(&read);
      },
      [&](bool failed) { EXPECT_EQ(hr, failed ? E_OUTOFMEMORY : S_OK); });
  EXPECT_GT(failures, 0);

  failures = testsupport::ForEachFailingAllocation(
      [&] {
        VARIANT number = Var(VT_I4);
        number.lVal = -5;  // stored as text
        EXPECT_NO_THROW(hr = writer.Write(L"Negative", &number));
      },
      [&](bool failed) { EXPECT_EQ(hr, failed ? E_OUTOFMEMORY : S_OK); });
  EXPECT_GT(failures, 0);
}

INSTANTIATE_TEST_SUITE_P(WideAndAnsiRegistryCalls, PropertyBag, ::testing::Values(false, true));
