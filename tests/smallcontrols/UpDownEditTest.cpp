// The integer edit: typed signs, stepping with and without wrap, validation on Enter and focus loss.
#include "SmallControlsSupport.h"

#include "UpDownEdit.h"

namespace {

class UpDownEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(edit.CWnd::Create("EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                                  CRect(10, 10, 110, 30), &parent, 300));
  }
  CString Text() const {
    CString text;
    edit.GetWindowText(text);
    return text;
  }
  void Type(const char* keys) {
    for (const char* p = keys; *p; ++p) edit.SendMessage(WM_CHAR, static_cast<unsigned char>(*p), 1);
  }

  CRecordingParent parent;
  CUpDownEdit edit;
};

TEST_F(UpDownEditTest, ASignTypedFirstStaysAndTheValueKeepsItsCanonicalForm) {
  edit.SetRange(-50, 50);
  Type("-");
  EXPECT_STREQ(Text(), "-");
  Type("5");
  EXPECT_STREQ(Text(), "-5");
  edit.SendMessage(WM_KILLFOCUS);
  EXPECT_STREQ(Text(), "-5");
  Type("+");
  EXPECT_STREQ(Text(), "+");
  Type("7");
  edit.SendMessage(WM_KILLFOCUS);
  EXPECT_STREQ(Text(), "+7");
  edit.SetWindowText("12");
  EXPECT_STREQ(Text(), "+12") << "an in-range value set from outside gets its canonical form";
  Type("x.");
  EXPECT_STREQ(Text(), "");
}

TEST_F(UpDownEditTest, SteppingWrapsOnlyWhenAsked) {
  edit.SetRange(1, 12);
  edit.SetWindowText("12");
  edit.SendMessage(WM_KEYDOWN, VK_UP);
  EXPECT_STREQ(Text(), "12");
  edit.SetWindowText("1");
  Type("/");
  EXPECT_STREQ(Text(), "1");
  edit.SetWrap(TRUE);
  edit.SendMessage(WM_KEYDOWN, VK_DOWN);
  EXPECT_STREQ(Text(), "12");
  Type("*");
  EXPECT_STREQ(Text(), "1");
  edit.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)), 0);
  EXPECT_STREQ(Text(), "11");
}

TEST_F(UpDownEditTest, EnterClampsButTextFromOutsideIsLeftAsGiven) {
  edit.SetRange(0, 100);
  edit.SetWindowText("300");
  EXPECT_STREQ(Text(), "300");
  EXPECT_EQ(edit.SendMessage(UEM_GETVALUE), 300);
  edit.SendMessage(WM_KEYDOWN, VK_RETURN);
  EXPECT_STREQ(Text(), "100");
  edit.SendMessage(UEM_SETVALUE, 42);
  EXPECT_STREQ(Text(), "42");
  EXPECT_FALSE(edit.SetValue(-1, FALSE));
  EXPECT_TRUE(edit.SetValue(-1, TRUE));
  EXPECT_STREQ(Text(), "0");
}

}  // namespace
