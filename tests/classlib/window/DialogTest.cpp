// Dialogs from templates: data exchange both ways, validation that keeps the dialog open,
// Cancel, subclassing a custom control, keystrokes through the application's pre-translation,
// modeless dialogs, a missing template.
#include <gtest/gtest.h>

#include "WindowTestIds.h"
#include "WindowTestSupport.h"

#include <deque>
#include <functional>

namespace {

const UINT WM_RUN_STEP = WM_APP + 1;
const UINT WM_CUSTOM_PING = WM_APP + 2;

void RegisterCustomClass() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = TEST_CUSTOM_CLASS;
  AfxRegisterClass(&wc);
}

class CCustomControl : public CWnd {
 public:
  int clicks = 0;

 protected:
  afx_msg LRESULT OnPing(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam + 1); }
  afx_msg void OnLButtonDown(UINT, CPoint) { ++clicks; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCustomControl, CWnd)
  ON_MESSAGE(WM_CUSTOM_PING, &CCustomControl::OnPing)
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

// The dialog under test runs a script of steps inside its own modal loop, one per posted message.
class CValuesDialog : public CDialog {
 public:
  CValuesDialog() : CDialog(IDD_VALUES) {}

  CString m_name;
  int m_count = 0;
  double m_ratio = 0;
  int m_flag = 0;
  int m_radio = 0;
  int m_combo = 0;
  CCustomControl m_custom;
  std::deque<std::function<void(CValuesDialog&)>> steps;

  void NextStep() { PostMessage(WM_RUN_STEP); }
  CString Text(int id) {
    CString text;
    GetDlgItemText(id, text);
    return text;
  }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_NAME, m_name);
    DDX_Text(pDX, IDC_COUNT, m_count);
    DDV_MinMaxInt(pDX, m_count, 1, 100);
    DDX_Text(pDX, IDC_RATIO, m_ratio);
    DDX_Check(pDX, IDC_FLAG, m_flag);
    DDX_Radio(pDX, IDC_RADIO1, m_radio);
    DDX_CBIndex(pDX, IDC_COMBO, m_combo);
  }
  BOOL OnInitDialog() override {
    SendDlgItemMessage(IDC_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("alpha"));
    SendDlgItemMessage(IDC_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("beta"));
    m_custom.SubclassDlgItem(IDC_CUSTOM, this);
    CDialog::OnInitDialog();
    SetTimer(1, 15000, nullptr);  // a broken script must not hang the run
    NextStep();
    return TRUE;
  }
  afx_msg LRESULT OnRunStep(WPARAM, LPARAM) {
    if (steps.empty()) return 0;
    auto step = steps.front();
    steps.pop_front();
    step(*this);
    return 0;
  }
  afx_msg void OnTimer(UINT_PTR) {
    ADD_FAILURE() << "the dialog script did not finish";
    EndDialog(-2);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CValuesDialog, CDialog)
  ON_MESSAGE(WM_RUN_STEP, &CValuesDialog::OnRunStep)
  ON_WM_TIMER()
END_MESSAGE_MAP()

void Click(CDialog& dlg, int id) { dlg.SendDlgItemMessage(id, BM_CLICK); }

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterCustomClass(); }
};

TEST_F(DialogTest, DataExchangeRoundTripsTextNumbersCheckAndRadio) {
  CValuesDialog dlg;
  dlg.m_name = "Portrait";
  dlg.m_count = 12;
  dlg.m_ratio = 1.25;
  dlg.m_flag = 1;
  dlg.m_radio = 2;
  dlg.m_combo = 1;
  dlg.steps.push_back([](CValuesDialog& d) {
    EXPECT_EQ(d.Text(IDC_NAME), "Portrait");
    EXPECT_EQ(d.Text(IDC_COUNT), "12");
    EXPECT_EQ(d.Text(IDC_RATIO), "1.25");
    EXPECT_EQ(d.IsDlgButtonChecked(IDC_FLAG), 1u);
    EXPECT_EQ(d.IsDlgButtonChecked(IDC_RADIO3), 1u);
    EXPECT_EQ(d.SendDlgItemMessage(IDC_COMBO, CB_GETCURSEL), 1);
    d.SetDlgItemText(IDC_NAME, "Group shot");
    d.SetDlgItemText(IDC_COUNT, " 42 ");
    d.SetDlgItemText(IDC_RATIO, "0.5");
    d.CheckDlgButton(IDC_FLAG, 0);
    d.CheckRadioButton(IDC_RADIO1, IDC_RADIO3, IDC_RADIO1);
    d.SendDlgItemMessage(IDC_COMBO, CB_SETCURSEL, 0);
    Click(d, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_name, "Group shot");
  EXPECT_EQ(dlg.m_count, 42);
  EXPECT_DOUBLE_EQ(dlg.m_ratio, 0.5);
  EXPECT_EQ(dlg.m_flag, 0);
  EXPECT_EQ(dlg.m_radio, 0);
  EXPECT_EQ(dlg.m_combo, 0);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_F(DialogTest, BadValuesKeepTheDialogOpenWithTheFieldFocused) {
  CScriptedPrompt prompt;
  prompt.FailWhenEmpty(true);
  prompt.Answer(IDOK).Answer(IDOK);
  CValuesDialog dlg;
  dlg.m_count = 5;
  dlg.m_name = "kept";
  dlg.steps.push_back([](CValuesDialog& d) {
    d.SetDlgItemText(IDC_COUNT, "500");
    Click(d, IDOK);
    EXPECT_TRUE(d.ContinueModal()) << "out of range: the dialog stays open";
    EXPECT_EQ(::GetFocus(), d.GetDlgItem(IDC_COUNT)->m_hWnd);
    d.SetDlgItemText(IDC_COUNT, "12abc");
    Click(d, IDOK);
    EXPECT_TRUE(d.ContinueModal()) << "not a number: the dialog stays open";
    EXPECT_EQ(::GetFocus(), d.GetDlgItem(IDC_COUNT)->m_hWnd);
    d.SetDlgItemText(IDC_COUNT, "7");
    Click(d, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_count, 7);
  auto shown = prompt.GetShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].stringId, static_cast<UINT>(AFX_IDP_PARSE_INT_RANGE));
  EXPECT_EQ(shown[0].text, "Please enter an integer between 1 and 100.");
  EXPECT_EQ(shown[0].caption, AfxGetAppName());
  EXPECT_EQ(shown[1].stringId, static_cast<UINT>(AFX_IDP_PARSE_INT));
  EXPECT_EQ(shown[1].flags & MB_ICONEXCLAMATION, static_cast<UINT>(MB_ICONEXCLAMATION));
}

TEST_F(DialogTest, CancelChangesNothing) {
  CValuesDialog dlg;
  dlg.m_name = "original";
  dlg.m_count = 3;
  dlg.m_flag = 1;
  dlg.steps.push_back([](CValuesDialog& d) {
    d.SetDlgItemText(IDC_NAME, "changed");
    d.SetDlgItemText(IDC_COUNT, "99");
    d.CheckDlgButton(IDC_FLAG, 0);
    Click(d, IDCANCEL);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.m_name, "original");
  EXPECT_EQ(dlg.m_count, 3);
  EXPECT_EQ(dlg.m_flag, 1);
}

TEST_F(DialogTest, SubclassDlgItemMakesTheCustomControlOurs) {
  CValuesDialog dlg;
  dlg.m_count = 1;
  dlg.steps.push_back([](CValuesDialog& d) {
    HWND custom = ::GetDlgItem(d.m_hWnd, IDC_CUSTOM);
    EXPECT_EQ(CWnd::FromHandlePermanent(custom), &d.m_custom);
    EXPECT_EQ(::SendMessageA(custom, WM_CUSTOM_PING, 41, 0), 42);
    ::SendMessageA(custom, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(d.m_custom.clicks, 1);
    Click(d, IDCANCEL);
  });
  dlg.DoModal();
  EXPECT_EQ(dlg.m_custom.m_hWnd, nullptr) << "detached when the dialog went";
}

TEST_F(DialogTest, TheApplicationSeesKeysTypedIntoAModalDialog) {
  TestApp().keys.clear();
  CValuesDialog dlg;
  dlg.m_count = 1;
  dlg.steps.push_back([](CValuesDialog& d) {
    HWND name = ::GetDlgItem(d.m_hWnd, IDC_NAME);
    ::SetFocus(name);
    ::PostMessageA(name, WM_KEYDOWN, 'Z', 1);
    ::PostMessageA(name, WM_CHAR, 'z', 1);
    d.NextStep();
  });
  dlg.steps.push_back([](CValuesDialog& d) {
    EXPECT_EQ(d.Text(IDC_NAME), "z");
    Click(d, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  ASSERT_GE(TestApp().keys.size(), 2u);
  EXPECT_EQ(TestApp().keys[0].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(TestApp().keys[0].wParam, static_cast<WPARAM>('Z'));
  EXPECT_EQ(TestApp().keys[1].message, static_cast<UINT>(WM_CHAR));
  EXPECT_EQ(dlg.m_name, "z");
}

TEST_F(DialogTest, AMissingTemplateShowsNothing) {
  CDialog dlg(IDD_MISSING);
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_F(DialogTest, AModelessDialogLivesBesideItsOwner) {
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                             nullptr));
  CDialog beside;
  ASSERT_TRUE(beside.Create(IDD_MODELESS, &owner));
  beside.ShowWindow(SW_SHOW);
  EXPECT_TRUE(owner.IsWindowEnabled()) << "a modeless dialog leaves its owner usable";
  EXPECT_EQ(::GetWindow(beside.m_hWnd, GW_OWNER), owner.m_hWnd);
  HWND edit = ::GetDlgItem(beside.m_hWnd, IDC_NAME);
  ::SetFocus(edit);
  ::PostMessageA(edit, WM_CHAR, 'q', 1);
  PumpPending();
  CString text;
  beside.GetDlgItemText(IDC_NAME, text);
  EXPECT_EQ(text, "q");
  beside.SendDlgItemMessage(IDCANCEL, BM_CLICK);
  EXPECT_FALSE(beside.IsWindowVisible()) << "Cancel hides a modeless dialog";
  EXPECT_TRUE(beside.DestroyWindow());
  owner.DestroyWindow();
}

}  // namespace
