// Property sheets on the layer's modal loop: OK applies every page that was shown, Cancel applies
// none, a page whose data does not validate keeps the sheet open on that page, and keys typed
// into a page pass the application's pre-translation.
#include <gtest/gtest.h>

#include "WindowTestIds.h"
#include "WindowTestSupport.h"

#include <deque>
#include <functional>

namespace {

const UINT WM_RUN_STEP = WM_APP + 11;

class CValuePage : public CPropertyPage {
 public:
  explicit CValuePage(UINT nIDTemplate) : CPropertyPage(nIDTemplate) {}

  int m_value = 0;
  int applied = 0;        // OnOK calls (through OnApply)
  int appliedValue = -1;  // m_value when it was applied
  int activations = 0;

  CString Text() {
    CString text;
    GetDlgItemText(IDC_PAGE_VALUE, text);
    return text;
  }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_PAGE_VALUE, m_value);
    DDV_MinMaxInt(pDX, m_value, 1, 100);
  }
  BOOL OnSetActive() override {
    ++activations;
    return CPropertyPage::OnSetActive();
  }
  void OnOK() override {
    ++applied;
    appliedValue = m_value;
  }
};

// Runs a script of steps inside its own modal loop, one per posted message.
class CTwoPageSheet : public CPropertySheet {
 public:
  explicit CTwoPageSheet(CWnd* pParent = nullptr) : CPropertySheet(IDS_SHEET_CAPTION, pParent) {
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    AddPage(&first);
    AddPage(&second);
  }

  CValuePage first{IDD_PAGE_ONE};
  CValuePage second{IDD_PAGE_TWO};
  std::deque<std::function<void(CTwoPageSheet&)>> steps;

  void NextStep() { PostMessage(WM_RUN_STEP); }
  void SetValue(CValuePage& page, LPCTSTR text) { page.SetDlgItemText(IDC_PAGE_VALUE, text); }

 protected:
  BOOL OnInitDialog() override {
    SetTimer(1, 15000, nullptr);  // a broken script must not hang the run
    NextStep();
    return CPropertySheet::OnInitDialog();
  }
  afx_msg LRESULT OnRunStep(WPARAM, LPARAM) {
    if (steps.empty()) return 0;
    auto step = steps.front();
    steps.pop_front();
    step(*this);
    return 0;
  }
  afx_msg void OnTimer(UINT_PTR) {
    KillTimer(1);
    ADD_FAILURE() << "the sheet script did not finish";
    PressButton(PSBTN_CANCEL);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTwoPageSheet, CPropertySheet)
  ON_MESSAGE(WM_RUN_STEP, &CTwoPageSheet::OnRunStep)
  ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(PropertySheets, OkAppliesBothPagesAndTheLoopSeesTheKeys) {
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                             nullptr));
  TestApp().keys.clear();
  CTwoPageSheet sheet(&owner);
  sheet.first.m_value = 10;
  sheet.second.m_value = 20;
  sheet.steps.push_back([&](CTwoPageSheet& s) {
    EXPECT_FALSE(owner.IsWindowEnabled()) << "the owner is disabled while the sheet is up";
    CString caption;
    s.GetWindowText(caption);
    EXPECT_EQ(caption, "Two Pages");
    ASSERT_NE(s.GetTabControl(), nullptr);
    EXPECT_EQ(s.GetTabControl()->GetItemCount(), 2);
    HWND apply = ::GetDlgItem(s.m_hWnd, 0x3021);
    EXPECT_TRUE(apply == nullptr || !::IsWindowVisible(apply)) << "PSH_NOAPPLYNOW: no Apply button";
    EXPECT_EQ(s.GetActivePage(), &s.first);
    EXPECT_EQ(s.first.Text(), "10");
    HWND edit = ::GetDlgItem(s.first.m_hWnd, IDC_PAGE_VALUE);
    ::SetFocus(edit);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    ::PostMessageA(edit, WM_KEYDOWN, '1', 1);
    ::PostMessageA(edit, WM_CHAR, '1', 1);
    s.NextStep();
  });
  sheet.steps.push_back([](CTwoPageSheet& s) {
    EXPECT_EQ(s.first.Text(), "1") << "the typed key reached the page's field";
    s.SetValue(s.first, "11");
    EXPECT_TRUE(s.SetActivePage(1));
    EXPECT_EQ(s.GetActiveIndex(), 1);
    EXPECT_EQ(s.second.Text(), "20");
    s.SetValue(s.second, "22");
    s.PressButton(PSBTN_OK);
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_TRUE(owner.IsWindowEnabled()) << "the owner is enabled again";
  EXPECT_EQ(sheet.m_hWnd, nullptr);
  EXPECT_EQ(sheet.first.m_hWnd, nullptr);
  EXPECT_EQ(sheet.first.applied, 1);
  EXPECT_EQ(sheet.first.appliedValue, 11);
  EXPECT_EQ(sheet.second.applied, 1);
  EXPECT_EQ(sheet.second.appliedValue, 22);
  EXPECT_EQ(sheet.second.m_value, 22);
  ASSERT_GE(TestApp().keys.size(), 2u);
  EXPECT_EQ(TestApp().keys[0].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(TestApp().keys[1].message, static_cast<UINT>(WM_CHAR));
  owner.DestroyWindow();
}

TEST(PropertySheets, CancelAppliesNone) {
  CTwoPageSheet sheet;
  sheet.first.m_value = 5;
  sheet.steps.push_back([](CTwoPageSheet& s) {
    s.SetValue(s.first, "77");
    s.PressButton(PSBTN_CANCEL);
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_EQ(sheet.first.applied, 0);
  EXPECT_EQ(sheet.second.applied, 0);
  EXPECT_EQ(sheet.first.m_value, 5) << "the page's data was never taken";
}

TEST(PropertySheets, AValueThatDoesNotValidateKeepsTheSheetOpenOnItsPage) {
  CScriptedPrompt prompt;
  prompt.FailWhenEmpty(true);
  prompt.Answer(IDOK).Answer(IDOK);
  CTwoPageSheet sheet;
  sheet.first.m_value = 1;
  sheet.second.m_value = 2;
  sheet.steps.push_back([](CTwoPageSheet& s) {
    s.SetActivePage(1);
    s.SetValue(s.second, "500");
    s.PressButton(PSBTN_OK);
    s.NextStep();
  });
  sheet.steps.push_back([](CTwoPageSheet& s) {
    EXPECT_EQ(s.GetActiveIndex(), 1) << "the sheet stays open on the page that refused";
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(s.second.m_hWnd, IDC_PAGE_VALUE));
    EXPECT_EQ(s.first.applied + s.second.applied, 0) << "nothing applied while a page refuses";
    // Leaving the page is refused as well.
    s.SetActivePage(0);
    EXPECT_EQ(s.GetActiveIndex(), 1);
    s.SetValue(s.second, "7");
    s.PressButton(PSBTN_OK);
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(sheet.second.appliedValue, 7);
  EXPECT_EQ(sheet.first.applied, 1);
  auto shown = prompt.GetShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, "Please enter an integer between 1 and 100.");
}

TEST(PropertySheets, ASheetWithoutPagesShowsNothing) {
  CPropertySheet sheet("Empty");
  EXPECT_EQ(sheet.DoModal(), -1);
  EXPECT_EQ(sheet.m_hWnd, nullptr);
}

}  // namespace
