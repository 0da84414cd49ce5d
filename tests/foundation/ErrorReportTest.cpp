// CMyException's messages, the four reporters and the handler frame's catch order.
#include "Archive.h"
#include "HandlerFrame.h"
#include "MyException.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

namespace {

std::string SystemText(HRESULT hr, WORD subLanguage = SUBLANG_NEUTRAL) {
  char text[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(hr), MAKELANGID(LANG_NEUTRAL, subLanguage), text, sizeof(text),
                           nullptr);
  return std::string(text, n);
}

std::string UnknownErrorText() {
  std::string text = SystemText(STG_E_UNKNOWN);
  return text.empty() ? "An unexpected error occurred" : text;
}

struct Boxes {
  CScriptedPrompt script;
  Boxes() { script.FailWhenEmpty(true); }
  std::vector<CScriptedPrompt::Shown> Shown() const { return script.GetShown(); }
  // The single error box shown: text, caption and the reporters' flags.
  std::string Only(const char* expectedCaption = nullptr) const {
    auto shown = script.GetShown();
    if (shown.size() != 1) return std::to_string(shown.size()) + " boxes";
    EXPECT_EQ(shown[0].flags, ErrorBoxFlags);
    EXPECT_EQ(shown[0].owner, nullptr);
    EXPECT_STREQ(shown[0].caption, expectedCaption ? expectedCaption : AfxGetAppName());
    return static_cast<const char*>(shown[0].text);
  }
};

IErrorInfo* MakeErrorInfo(const wchar_t* source, const wchar_t* description, const GUID& iid) {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create))) return nullptr;
  create->SetSource(const_cast<LPOLESTR>(source));
  create->SetDescription(const_cast<LPOLESTR>(description));
  create->SetGUID(iid);
  IErrorInfo* info = nullptr;
  create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
  create->Release();
  return info;
}

}  // namespace

TEST(MyExceptionText, SystemTextOrExpressionThenThePlace) {
  std::string invalid = SystemText(E_INVALIDARG);
  ASSERT_FALSE(invalid.empty());
  if (invalid.back() == '\n') invalid.pop_back();  // a carriage return before it stays
  EXPECT_EQ(std::string(CMyException(E_INVALIDARG, "E_INVALIDARG", "C:\\src\\Model\\Images.cpp", 120).what()),
            invalid + " Images.cpp(120)");

  CMyException bitmap(E_CANNOT_CREATE_BITMAP, "E_CANNOT_CREATE_BITMAP", "DocumentImages.cpp", 88);
  EXPECT_STREQ(bitmap.what(), "E_CANNOT_CREATE_BITMAP DocumentImages.cpp(88)");
  EXPECT_EQ(bitmap.code, E_CANNOT_CREATE_BITMAP);

  CMyException ready(E_CANNOT_OPEN_FILE, "The job could not be opened.");
  EXPECT_STREQ(ready.what(), "The job could not be opened.");

  try {
    THROW_MY_EXCEPTION(E_CANNOT_FIND_IMAGE_FILE);
  } catch (const CMyException& e) {
    std::string text = e.what();
    EXPECT_EQ(text.rfind("E_CANNOT_FIND_IMAGE_FILE ErrorReportTest.cpp(", 0), 0u) << text;
  }
}

TEST(ErrorReporters, StandardAndMyExceptionsShowTheirText) {
  {
    Boxes boxes;
    ReportMyException(CMyException(E_CANNOT_OPEN_IMAGE_FILE, "E_CANNOT_OPEN_IMAGE_FILE", "X.cpp", 5));
    EXPECT_EQ(boxes.Only(), "E_CANNOT_OPEN_IMAGE_FILE X.cpp(5)");
  }
  {
    Boxes boxes;
    ReportStdException(zvk::ArchiveException(zvk::ArchiveException::EndOfFile));
    EXPECT_EQ(boxes.Only(), "Archive Exception EndOfFile");
  }
  {
    Boxes boxes;
    ReportStdException(std::runtime_error(""));
    EXPECT_EQ(boxes.Only(), UnknownErrorText());
  }
  {
    Boxes boxes;
    ReportUnknownException();
    EXPECT_EQ(boxes.Only(), UnknownErrorText());
  }
}

TEST(ErrorReporters, ComErrorsWithoutErrorInformation) {
  struct Case {
    HRESULT code;
    std::string expected;
  } cases[] = {
      {static_cast<HRESULT>(0x80040201), "IDispatch error #1"},
      {static_cast<HRESULT>(0x80040200), "Unknown error 0x80040200"},
      {static_cast<HRESULT>(0x80040300), "#{00000000-0000-0000-0000-000000000000}#80040300#"},
      {static_cast<HRESULT>(0x8004FFFF), "#{00000000-0000-0000-0000-000000000000}#8004FFFF#"},
  };
  for (const Case& c : cases) {
    Boxes boxes;
    ReportComError(_com_error(c.code));
    std::string system = SystemText(c.code, SUBLANG_DEFAULT);
    bool itf = c.code == static_cast<HRESULT>(0x80040300) || c.code == static_cast<HRESULT>(0x8004FFFF);
    if (!itf && !system.empty()) continue;  // this system has a text of its own for the code
    EXPECT_EQ(boxes.Only(), c.expected);
  }
  // A code with a system text shows that text without its line ending.
  Boxes boxes;
  ReportComError(_com_error(E_INVALIDARG));
  std::string expected = SystemText(E_INVALIDARG, SUBLANG_DEFAULT);
  while (!expected.empty() && (expected.back() == '\n' || expected.back() == '\r')) expected.pop_back();
  EXPECT_EQ(boxes.Only(), expected);
}

TEST(ErrorReporters, TheFallbackTextOfACodeWithoutSystemText) {
  // Whether or not this system has texts of its own for these codes, the builder's texts are exact.
  struct Case {
    unsigned long code;
    const char* expected;
  } cases[] = {
      {0x80040200ul, "Unknown error 0x80040200"}, {0x80040201ul, "IDispatch error #1"},
      {0x800402FFul, "IDispatch error #255"},     {0x8004FFFFul, "IDispatch error #65023"},
      {0x80050000ul, "Unknown error 0x80050000"}, {0x8007000Eul, "Unknown error 0x8007000E"},
      {0x00000001ul, "Unknown error 0x1"},
  };
  for (const Case& c : cases) EXPECT_EQ(ComErrorFallbackText(static_cast<HRESULT>(c.code)), c.expected);
}

TEST(ErrorReporters, OutOfMemoryReadsTheSameFromEveryRuntime) {
  Boxes boxes;
  ReportException(std::make_exception_ptr(std::bad_alloc()));
  EXPECT_EQ(boxes.Only(), "bad allocation");
}

TEST(ErrorReporters, ComErrorCaptionComesFromTheSource) {
  const std::string progId = "Pellorin.FoundationTestSource" + std::to_string(GetCurrentProcessId());
  const std::string clsid = "{0E7A1B2C-3D4E-4F50-8162-738495A6B7C8}";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, progId.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("Friendly Source"), 16);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, ("CLSID\\" + clsid).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("Friendly Class"), 15);
  RegCloseKey(key);

  std::wstring wideProgId(progId.begin(), progId.end());
  std::wstring wideClsid(clsid.begin(), clsid.end());
  struct Case {
    std::wstring source;
    std::wstring description;
    std::string caption;
    std::string text;
  } cases[] = {
      {wideProgId, L"It broke", "Friendly Source", "It broke"},
      {wideClsid, L"It broke", "Friendly Class", "It broke"},
      {L"No.Such.Source", L"It broke", "No.Such.Source", "It broke"},
      {L"", L"It broke", AfxGetAppName(), "It broke"},
      {L"No.Such.Source", L"", "No.Such.Source", "#{00000000-0000-0000-0000-000000000000}#80040300#"},
  };
  for (const Case& c : cases) {
    IErrorInfo* info = MakeErrorInfo(c.source.c_str(), c.description.c_str(), GUID_NULL);
    ASSERT_NE(info, nullptr);
    Boxes boxes;
    ReportComError(_com_error(static_cast<HRESULT>(0x80040300), info, false));
    EXPECT_EQ(boxes.Only(c.caption.c_str()), c.text);
  }
  RegDeleteKeyA(HKEY_CLASSES_ROOT, progId.c_str());
  RegDeleteKeyA(HKEY_CLASSES_ROOT, ("CLSID\\" + clsid).c_str());
}

namespace {

bool deletedTestException = false;

class TestLayerException : public CException {
 public:
  ~TestLayerException() override { deletedTestException = true; }
  BOOL GetErrorMessage(LPTSTR error, UINT maxChars, PUINT helpContext) const override {
    return CopyMessage("layer failure", error, maxChars, helpContext);
  }
};

}  // namespace

TEST(HandlerFrame, EachKindOfFailureReachesItsReporter) {
  EXPECT_TRUE(RunInHandlerFrame([] {}));
  struct Case {
    std::function<void()> body;
    std::string text;
    bool errorBox;
  } cases[] = {
      {[] { throw new TestLayerException(); }, "layer failure", false},
      {[] { throw CMyException(E_CANNOT_CREATE_FILE, "E_CANNOT_CREATE_FILE", "Doc.cpp", 7); },
       "E_CANNOT_CREATE_FILE Doc.cpp(7)", true},
      {[] { throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, "ObjectID.h", 74); },
       "Archive Exception [BadSchema]\nObjectID.h(74)", true},
      {[] { zvk::ThrowBadAllocation(); }, "bad allocation", true},
      {[] { throw _com_error(static_cast<HRESULT>(0x80040300)); },
       "#{00000000-0000-0000-0000-000000000000}#80040300#", true},
      {[] { throw 42; }, UnknownErrorText(), true},
  };
  for (const Case& c : cases) {
    deletedTestException = false;
    Boxes boxes;
    bool doneWholly = true;
    doneWholly = RunInHandlerFrame(c.body);
    EXPECT_FALSE(doneWholly);
    auto shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 1u) << c.text;
    EXPECT_STREQ(shown[0].text, c.text.c_str());
    EXPECT_EQ(shown[0].flags == ErrorBoxFlags, c.errorBox) << c.text;
    if (!c.errorBox) {
      EXPECT_TRUE(deletedTestException);
    }
  }
}
