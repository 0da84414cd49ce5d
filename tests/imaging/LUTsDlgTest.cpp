// The LUT editor over the real registered editing control: opening, the buttons and their states,
// copies of the curves kept until OK, and a real mouse drag of the gamma thumb.
#include "LUTRecordTestSupport.h"
#include "LUTsDlg.h"
#include "DialogDriver.h"
#include "LutTestSupport.h"
#include "WindowShot.h"
#include "resource.h"

#include <commctrl.h>

#include <functional>
#include <vector>

namespace {

CWinApp g_app("Pellorin LUT Editor Tests");

// Runs the steps one after another from a timer inside the dialog's own modal loop; each step
// returns true when done. Whatever is left when the steps run out (or stall) is cancelled.
class Script {
 public:
  explicit Script(std::vector<std::function<bool(HWND)>> steps) : m_steps(std::move(steps)) {}

  INT_PTR Run(CLUTsDlg& dialog) {
    s_current = this;
    m_ticks = 0;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 60, Tick);
    INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, timer);
    s_current = nullptr;
    return result;
  }
  size_t Done() const { return m_next; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* script = s_current;
    if (!script || script->m_busy) return;
    HWND dialog = testsupport::FindThreadDialog(::GetCurrentThreadId(), "Look Up Table (LUT) Editor");
    if (!dialog) return;
    script->m_busy = true;
    if (script->m_next < script->m_steps.size()) {
      if (script->m_steps[script->m_next](dialog)) ++script->m_next;
    }
    if (script->m_next >= script->m_steps.size() || ++script->m_ticks > 300)
      ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    script->m_busy = false;
  }

  static Script* s_current;
  std::vector<std::function<bool(HWND)>> m_steps;
  size_t m_next = 0;
  int m_ticks = 0;
  bool m_busy = false;
};
Script* Script::s_current = nullptr;

void Pump() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

CGridCtrl* GridOf(HWND dialog) {
  return static_cast<CGridCtrl*>(CWnd::FromHandlePermanent(::GetDlgItem(dialog, IDC_LUTS_GRID)));
}

luttest::CComPtr<ILutCtl> ControlOf(HWND dialog) {
  luttest::CComPtr<ILutCtl> control;
  IUnknown* unknown = CWnd::FromHandle(::GetDlgItem(dialog, IDC_LUTS_CONTROL))->GetControlUnknown();
  if (unknown) unknown->QueryInterface(IID_ILutCtl, reinterpret_cast<void**>(&control));
  return control;
}

luttest::CComPtr<ILut> ShownLut(HWND dialog) {
  luttest::CComPtr<ILut> lut;
  if (auto control = ControlOf(dialog)) control->get_Value(&lut);
  return lut;
}

bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

bool ControlEnabled(HWND dialog) {
  VARIANT_BOOL enabled = VARIANT_FALSE;
  if (auto control = ControlOf(dialog)) control->get_Enabled(&enabled);
  return enabled != VARIANT_FALSE;
}

// Clicks a grid row as the user does.
void ClickRow(HWND dialog, int row) {
  CGridCtrl* grid = GridOf(dialog);
  RECT cell = {};
  grid->GetCellRect(row, 1, &cell);
  LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
  ::SendMessageA(grid->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(grid->m_hWnd, WM_LBUTTONUP, 0, at);
  Pump();
}

void Click(HWND dialog, int id) {
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
  Pump();
}

float GammaOf(ILut* lut) {
  VARIANT value;
  VariantInit(&value);
  BSTR name = SysAllocString(L"Gamma");
  lut->get_Value(chAll, name, &value);
  SysFreeString(name);
  VariantChangeType(&value, &value, 0, VT_R4);
  return value.fltVal;
}

LUTRecord Named(const char* name, const char* description, bool withCurve, float gamma = 1.0f) {
  LUTRecord record;
  record.name = name;
  record.description = description;
  if (withCurve) {
    VARIANT value;
    value.vt = VT_R4;
    value.fltVal = gamma;
    luttest::PutAll(record, L"gamma", value);
  }
  return record;
}

LUTList ThreeCurves() {
  LUTList list;
  list.Add(Named("A", "First", true, 1.5f));
  list.Add(Named("B", "Second", true, 2.0f));
  list.Add(Named("C", "Identity", false));
  return list;
}

}  // namespace

TEST(LUTsDlg, OpensOnTheListWithButtonStatesInGridOrder) {
  LUTList list = ThreeCurves();
  struct State {
    int row;
    bool remove, up, down, control;
  };
  std::vector<State> seen;
  auto record = [&](HWND dialog) {
    seen.push_back({GridOf(dialog)->GetFocusCell().row, Enabled(dialog, IDC_LUTS_REMOVE),
                    Enabled(dialog, IDC_LUTS_UP), Enabled(dialog, IDC_LUTS_DOWN), ControlEnabled(dialog)});
  };
  std::vector<std::string> texts;
  Script script({[&](HWND dialog) {
                   testsupport::SaveWindowShot(dialog, "luts-dialog");
                   CGridCtrl* grid = GridOf(dialog);
                   for (int r = 0; r < grid->GetRowCount(); ++r)
                     texts.push_back(std::string(grid->GetItemText(r, 1)));
                   record(dialog);  // "B" selected at the start
                   EXPECT_NEAR(GammaOf(ShownLut(dialog)), 2.0f, 1e-6);
                   ClickRow(dialog, 1);
                   record(dialog);
                   ClickRow(dialog, 3);
                   record(dialog);
                   // The identity record shows a fresh default curve.
                   EXPECT_NEAR(GammaOf(ShownLut(dialog)), 1.0f, 1e-6);
                   return true;
                 },
                 [&](HWND dialog) {
                   Click(dialog, IDOK);
                   return true;
                 }});
  CLUTsDlg dialog(&list, 0, "B");
  EXPECT_EQ(script.Run(dialog), IDOK);
  EXPECT_EQ(texts, (std::vector<std::string>{"Description", "First", "Second", "Identity"}));
  ASSERT_EQ(seen.size(), 3u);
  const State expected[] = {
      {2, true, true, true, true}, {1, true, false, true, true}, {3, true, true, false, true}};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(seen[i].row, expected[i].row);
    EXPECT_EQ(seen[i].remove, expected[i].remove);
    EXPECT_EQ(seen[i].up, expected[i].up);
    EXPECT_EQ(seen[i].down, expected[i].down);
    EXPECT_EQ(seen[i].control, expected[i].control);
  }
  EXPECT_EQ(dialog.m_selectedName, "C");
}

TEST(LUTsDlg, EdgeCases) {
  struct Case {
    const char* what;
    LUTList list;
    CString select;
    std::vector<std::function<void(HWND)>> actions;
    int button;
    std::vector<std::string> descriptions;  // of the list afterwards
    CString selectedName;
  };
  auto none = [](HWND dialog) {
    EXPECT_EQ(GridOf(dialog)->GetRowCount(), 1);
    EXPECT_FALSE(Enabled(dialog, IDC_LUTS_REMOVE));
    EXPECT_FALSE(Enabled(dialog, IDC_LUTS_UP));
    EXPECT_FALSE(Enabled(dialog, IDC_LUTS_DOWN));
    EXPECT_FALSE(ControlEnabled(dialog));
  };
  std::vector<Case> cases;
  cases.push_back({"an empty list shows only the header", LUTList(), "", {none}, IDOK, {}, "unchanged"});
  cases.push_back({"a name nobody has selects no row",
                   ThreeCurves(),
                   "Z",
                   {[](HWND dialog) {
                     EXPECT_LE(GridOf(dialog)->GetFocusCell().row, 0);
                     EXPECT_FALSE(Enabled(dialog, IDC_LUTS_REMOVE));
                     EXPECT_FALSE(ControlEnabled(dialog));
                   }},
                   IDOK,
                   {"First", "Second", "Identity"},
                   "unchanged"});
  cases.push_back({"Up on the second row swaps it with the first",
                   ThreeCurves(),
                   "B",
                   {[](HWND dialog) { Click(dialog, IDC_LUTS_UP); }},
                   IDOK,
                   {"Second", "First", "Identity"},
                   "B"});
  cases.push_back({"Down on the first row",
                   ThreeCurves(),
                   "A",
                   {[](HWND dialog) { Click(dialog, IDC_LUTS_DOWN); }},
                   IDOK,
                   {"Second", "First", "Identity"},
                   "A"});
  cases.push_back({"Remove takes the row out",
                   ThreeCurves(),
                   "B",
                   {[](HWND dialog) {
                     Click(dialog, IDC_LUTS_REMOVE);
                     EXPECT_EQ(GridOf(dialog)->GetRowCount(), 3);
                   }},
                   IDOK,
                   {"First", "Identity"},
                   "unchanged"});
  cases.push_back({"Cancel leaves the list",
                   ThreeCurves(),
                   "A",
                   {[](HWND dialog) { Click(dialog, IDC_LUTS_REMOVE); }},
                   IDCANCEL,
                   {"First", "Second", "Identity"},
                   "unchanged"});
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::function<bool(HWND)>> steps;
    for (auto& action : c.actions)
      steps.push_back([action](HWND dialog) {
        action(dialog);
        return true;
      });
    int button = c.button;
    steps.push_back([button](HWND dialog) {
      Click(dialog, button);
      return true;
    });
    Script script(steps);
    CLUTsDlg dialog(&c.list, 0, c.select);
    dialog.m_selectedName = "unchanged";
    EXPECT_EQ(script.Run(dialog), c.button);
    std::vector<std::string> descriptions;
    for (int i = 0; i < c.list.GetCount(); ++i)
      descriptions.push_back(std::string(c.list.GetAt(i).description));
    EXPECT_EQ(descriptions, c.descriptions);
    EXPECT_EQ(dialog.m_selectedName, c.selectedName);
  }
}

TEST(LUTsDlg, NewRecordTakesTheTypedDescriptionTheFlagAndTheCurve) {
  LUTList list;
  Script script({[](HWND dialog) {
                   Click(dialog, IDC_LUTS_NEW);
                   HWND editor = ::GetFocus();
                   EXPECT_NE(editor, GridOf(dialog)->m_hWnd);  // the description is being edited in place
                   for (char c : std::string("Warm print")) ::SendMessageA(editor, WM_CHAR, c, 0);
                   ::SendMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
                   Pump();
                   LUT_DEVICETYPE device = dtInput;
                   ShownLut(dialog)->get_DeviceType(&device);
                   EXPECT_EQ(device, dtOutput);
                   EXPECT_EQ(luttest::PutValue(ShownLut(dialog), 0, L"gamma", 2.5f), S_OK);
                   EXPECT_TRUE(Enabled(dialog, IDC_LUTS_REMOVE));
                   EXPECT_TRUE(ControlEnabled(dialog));
                   return true;
                 },
                 [](HWND dialog) {
                   Click(dialog, IDOK);
                   return true;
                 }});
  CLUTsDlg dialog(&list, 1, "");
  EXPECT_EQ(script.Run(dialog), IDOK);
  ASSERT_EQ(list.GetCount(), 1);
  LUTRecord made = list.GetAt(0);
  EXPECT_EQ(made.description, "Warm print");
  EXPECT_EQ(made.name.GetLength(), 25);
  EXPECT_EQ(made.GetOutput(), 1);
  ASSERT_FALSE(made.IsEmpty());
  EXPECT_NEAR(GammaOf(made.GetObject()), 2.5f, 1e-6);
  EXPECT_EQ(dialog.m_selectedName, made.name);
}

TEST(LUTsDlg, CurvesAreEditedAsCopiesUntilOK) {
  LUTList list = ThreeCurves();
  LUTRecord holder = list.GetAt(0);  // another holder of A's object
  auto editFirst = [](HWND dialog) {
    ClickRow(dialog, 1);
    EXPECT_EQ(luttest::PutValue(ShownLut(dialog), 0, L"gamma", 3.0f), S_OK);
    ClickRow(dialog, 2);
    ClickRow(dialog, 1);
    EXPECT_NEAR(GammaOf(ShownLut(dialog)), 3.0f, 1e-6);  // another row and back keeps it
    return true;
  };
  {
    Script script({editFirst, [](HWND dialog) {
                     Click(dialog, IDCANCEL);
                     return true;
                   }});
    CLUTsDlg dialog(&list, 0, "");
    EXPECT_EQ(script.Run(dialog), IDCANCEL);
    EXPECT_NEAR(GammaOf(holder.GetObject()), 1.5f, 1e-6);
  }
  {
    Script script({editFirst, [](HWND dialog) {
                     Click(dialog, IDOK);
                     return true;
                   }});
    CLUTsDlg dialog(&list, 0, "");
    EXPECT_EQ(script.Run(dialog), IDOK);
    EXPECT_NEAR(GammaOf(holder.GetObject()), 3.0f, 1e-6);
    EXPECT_EQ(list.GetAt(0).GetObject(), holder.GetObject());
  }
}

TEST(LUTsDlg, AMouseDragOfTheGammaThumbSetsTheCurve) {
  LUTList list = ThreeCurves();
  std::vector<int> table;
  int phase = 0;
  POINT from = {}, to = {};
  Script script({[&](HWND dialog) {
                   if (phase == 0) {
                     ClickRow(dialog, 3);  // the identity record: gamma 1.0 at position 10
                     long window = 0;
                     ControlOf(dialog)->get_Window(&window);
                     HWND track = ::GetDlgItem(static_cast<HWND>(LongToHandle(window)), 239);
                     RECT thumb = {}, channel = {};
                     ::SendMessageA(track, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
                     ::SendMessageA(track, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
                     from = {(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
                     // Positions -15..35 over the channel: 12 steps to the right is 2.2.
                     double step =
                         static_cast<double>(channel.right - channel.left - (thumb.right - thumb.left)) /
                         50.0;
                     to = {from.x + static_cast<LONG>(12 * step + 0.5), from.y};
                     ::ClientToScreen(track, &from);
                     ::ClientToScreen(track, &to);
                     // A window of a test running beside this one may lie over the thumb and take the
                     // press: wait until the track is what the pointer would hit.
                     if (::WindowFromPoint(from) != track) {
                       ::SetForegroundWindow(dialog);
                       return false;
                     }
                     ::SetCursorPos(from.x, from.y);
                     INPUT down = {};
                     down.type = INPUT_MOUSE;
                     down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
                     ::SendInput(1, &down, sizeof(INPUT));
                     phase = 1;
                     return false;
                   }
                   if (phase < 6) {
                     LONG x = from.x + (to.x - from.x) * phase / 5;
                     ::SetCursorPos(x, to.y);
                     INPUT move = {};
                     move.type = INPUT_MOUSE;
                     move.mi.dwFlags = MOUSEEVENTF_MOVE;
                     ::SendInput(1, &move, sizeof(INPUT));
                     ++phase;
                     return false;
                   }
                   INPUT up = {};
                   up.type = INPUT_MOUSE;
                   up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
                   ::SendInput(1, &up, sizeof(INPUT));
                   return true;
                 },
                 [&](HWND dialog) {
                   testsupport::SaveWindowShot(dialog, "luts-dialog-dragged");
                   ClickRow(dialog, 1);
                   ClickRow(dialog, 3);
                   Click(dialog, IDOK);
                   return true;
                 }});
  CLUTsDlg dialog(&list, 0, "");
  ASSERT_EQ(script.Run(dialog), IDOK);
  LUTRecord edited = list.GetAt(2);
  ASSERT_FALSE(edited.IsEmpty());
  EXPECT_NEAR(GammaOf(edited.GetObject()), 2.2f, 1e-6);
  EXPECT_EQ(luttest::Plane(edited, 0)[128], 186);
}

TEST(LUTsDlg, WithoutTheRegisteredControlTheEditorDoesNotOpen) {
  LUTList list = ThreeCurves();
  std::vector<uint8_t> before = luttest::Written(list);
  HRESULT failure = S_OK;
  {
    luttest::ServerUnregistered unregistered;
    CLUTsDlg dialog(&list, 0, "A");
    failure = luttest::ComFailure([&] { dialog.DoModal(); });
  }
  EXPECT_EQ(failure, REGDB_E_CLASSNOTREG);
  EXPECT_EQ(luttest::Written(list), before);
  EXPECT_EQ(testsupport::FindThreadDialog(::GetCurrentThreadId(), "Look Up Table (LUT) Editor"), nullptr);
}
