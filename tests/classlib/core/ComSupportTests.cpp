#include "classlib/ComSupport.h"

#include <gtest/gtest.h>

namespace {

// An object that says it supports error information for IID_IStream only.
class ErrorInfoObject : public ISupportErrorInfo {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_ISupportErrorInfo) {
      *out = static_cast<ISupportErrorInfo*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == IID_IStream ? S_OK : S_FALSE;
  }
  ULONG m_refs = 1;
};

void SetDescription(const wchar_t* text) {
  ICreateErrorInfo* create = nullptr;
  ASSERT_EQ(CreateErrorInfo(&create), S_OK);
  create->SetDescription(const_cast<LPOLESTR>(text));
  IErrorInfo* info = nullptr;
  create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
  SetErrorInfo(0, info);
  info->Release();
  create->Release();
}

}  // namespace

TEST(ComSupportTest, StringConversionsUseTheCodePage) {
  BSTR wide = _com_util::ConvertStringToBSTR("caf\xE9\xB6");
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(SysStringLen(wide), 5u);
  EXPECT_EQ(wide[3], L'\u00E9');
  char* back = _com_util::ConvertBSTRToString(wide);
  EXPECT_STREQ(back, "caf\xE9\xB6");
  delete[] back;
  SysFreeString(wide);
  EXPECT_EQ(_com_util::ConvertStringToBSTR(nullptr), nullptr);
  EXPECT_EQ(_com_util::ConvertBSTRToString(nullptr), nullptr);

  _bstr_t text("Gr\xFC\xDF");
  EXPECT_STREQ(static_cast<const char*>(text), "Gr\xFC\xDF");
  EXPECT_EQ(text.length(), 4u);
  _variant_t variant(text);
  EXPECT_EQ(variant.vt, VT_BSTR);
}

TEST(ComSupportTest, IssueErrorThrowsComError) {
  try {
    _com_issue_error(E_POINTER);
    FAIL() << "no throw";
  } catch (const _com_error& e) {
    EXPECT_EQ(e.Error(), E_POINTER);
    EXPECT_EQ(e.ErrorInfo(), nullptr);
  }
}

TEST(ComSupportTest, IssueErrorExTakesTheObjectsErrorInfo) {
  ErrorInfoObject object;
  SetDescription(L"The stream broke.");
  try {
    _com_issue_errorex(E_FAIL, &object, IID_IStream);
    FAIL() << "no throw";
  } catch (const _com_error& e) {
    EXPECT_EQ(e.Error(), E_FAIL);
    ASSERT_NE(e.ErrorInfo(), nullptr);
    EXPECT_STREQ(static_cast<const char*>(e.Description()), "The stream broke.");
  }
  // An interface the object gives no error information for: the pending info is not taken.
  SetDescription(L"Unrelated.");
  try {
    _com_issue_errorex(E_FAIL, &object, IID_IStorage);
    FAIL() << "no throw";
  } catch (const _com_error& e) {
    EXPECT_EQ(e.ErrorInfo(), nullptr);
  }
  SetErrorInfo(0, nullptr);
  EXPECT_EQ(object.m_refs, 1u);
}
