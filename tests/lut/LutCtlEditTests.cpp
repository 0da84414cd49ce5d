// Editing through the hosted control: other clients' changes showing at once, the trackbars and
// edits writing the curve, the type menu, and the control's own properties.
#include <cmath>

#include "LutCtlTestSupport.h"
#include "resource.h"

using namespace luttest;

namespace {

float GammaOf(ILut* lut, const wchar_t* name, long channel = 0) {
  VARIANT value;
  VariantInit(&value);
  BSTR text = SysAllocString(name);
  EXPECT_EQ(lut->get_Value(static_cast<LUT_CHANNEL>(channel), text, &value), S_OK);
  SysFreeString(text);
  VariantChangeType(&value, &value, 0, VT_R4);
  return value.fltVal;
}

long PointOf(ILut* lut, const wchar_t* name, long channel = 0) {
  VARIANT value;
  VariantInit(&value);
  BSTR text = SysAllocString(name);
  EXPECT_EQ(lut->get_Value(static_cast<LUT_CHANNEL>(channel), text, &value), S_OK);
  SysFreeString(text);
  VariantChangeType(&value, &value, 0, VT_I4);
  return value.lVal;
}

void MoveThumb(HWND track, int position) {
  SendMessageW(track, TBM_SETPOS, TRUE, position);
  SendMessageW(GetParent(track), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
               reinterpret_cast<LPARAM>(track));
}

}  // namespace

TEST(LutCtlEdit, AnotherClientsPutShowsAtOnce) {
  HostedLutCtl hosted(300, 360);
  ASSERT_EQ(hosted.created, S_OK);
  CComPtr<ILut> lut = hosted.Lut();
  ASSERT_EQ(PutValue(lut, 0, L"dMax", 40L), S_OK);
  ASSERT_EQ(PutValue(lut, 0, L"gamma", 2.2f), S_OK);
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_DMAX_EDIT)), "40");
  EXPECT_EQ(SendMessageW(hosted.Child(IDC_LUTCTL_DMAX_TRACK), TBM_GETPOS, 0, 0), 40);
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_GAMMA_EDIT)), "2.2");
  EXPECT_EQ(SendMessageW(hosted.Child(IDC_LUTCTL_GAMMA_TRACK), TBM_GETPOS, 0, 0), 22);

  // A deeper curve's points above 32767 are held whole.
  ASSERT_EQ(lut->put_BitDepth(16), S_OK);
  ASSERT_EQ(PutValue(lut, 0, L"dMin", 65535L), S_OK);
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_DMIN_EDIT)), "65535");
  EXPECT_EQ(SendMessageW(hosted.Child(IDC_LUTCTL_DMIN_TRACK), TBM_GETRANGEMAX, 0, 0), 65535);
  EXPECT_EQ(SendMessageW(hosted.Child(IDC_LUTCTL_DMIN_TRACK), TBM_GETPOS, 0, 0), 65535);
}

TEST(LutCtlEdit, TypingKeepsTheRowBeingEdited) {
  HostedLutCtl hosted(300, 360);
  ASSERT_EQ(hosted.created, S_OK);
  CComPtr<ILut> lut = hosted.Lut();
  HWND edit = hosted.Child(IDC_LUTCTL_GAMMA_EDIT);
  // "1.50" is put as 1.5; the notification that put causes does not rewrite the edit as "1.5".
  SetWindowTextA(edit, "1.50");
  Pump();
  EXPECT_FLOAT_EQ(GammaOf(lut, L"Gamma"), 1.5f);
  EXPECT_EQ(TextOf(edit), "1.50");
  EXPECT_EQ(SendMessageW(hosted.Child(IDC_LUTCTL_GAMMA_TRACK), TBM_GETPOS, 0, 0), 15);

  // A letter typed into a point edit is undone and changes nothing.
  HWND point = hosted.Child(IDC_LUTCTL_DMAX_EDIT);
  SendMessageW(point, EM_SETSEL, 1, 1);
  SendMessageW(point, WM_CHAR, 'x', 0);
  Pump();
  EXPECT_EQ(TextOf(point), "0");
  EXPECT_EQ(PointOf(lut, L"dMax"), 0);
  // A number out of the curve's range likewise: "300" goes back to "30".
  SendMessageW(point, EM_SETSEL, 0, -1);
  for (char c : {'3', '0', '0'}) SendMessageW(point, WM_CHAR, c, 0);
  Pump();
  EXPECT_EQ(PointOf(lut, L"dMax"), 30);
  EXPECT_EQ(TextOf(point), "30");
  EXPECT_EQ(SendMessageW(hosted.Child(IDC_LUTCTL_DMAX_TRACK), TBM_GETPOS, 0, 0), 30);
}

TEST(LutCtlEdit, ThumbsWriteTheCurve) {
  HostedLutCtl hosted(300, 360);
  ASSERT_EQ(hosted.created, S_OK);
  CComPtr<ILut> lut = hosted.Lut();
  MoveThumb(hosted.Child(IDC_LUTCTL_DMIN_TRACK), 200);
  EXPECT_EQ(PointOf(lut, L"dMin"), 200);
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_DMIN_EDIT)), "200");
  // Gamma positions outside 1..35 go back to the nearer end.
  MoveThumb(hosted.Child(IDC_LUTCTL_GAMMA_TRACK), -5);
  EXPECT_FLOAT_EQ(GammaOf(lut, L"Gamma"), 0.1f);
  EXPECT_EQ(SendMessageW(hosted.Child(IDC_LUTCTL_GAMMA_TRACK), TBM_GETPOS, 0, 0), 1);
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_GAMMA_EDIT)), "0.1");

  // An advanced curve moves its three gammas together and keeps them on the track.
  ASSERT_EQ(lut->put_Type(ltAdvanced), S_OK);
  ASSERT_EQ(PutValue(lut, 0, L"gammaLo", 0.5f), S_OK);
  ASSERT_EQ(PutValue(lut, 0, L"gamma", 1.0f), S_OK);
  ASSERT_EQ(PutValue(lut, 0, L"gammaHi", 3.0f), S_OK);
  MoveThumb(hosted.Child(IDC_LUTCTL_GAMMA_TRACK), 18);
  EXPECT_NEAR(GammaOf(lut, L"GammaLo"), 1.0f, 1e-6);
  EXPECT_NEAR(GammaOf(lut, L"Gamma"), 1.5f, 1e-6);
  EXPECT_NEAR(GammaOf(lut, L"GammaHi"), 3.5f, 1e-6);
  EXPECT_EQ(SendMessageW(hosted.Child(IDC_LUTCTL_GAMMA_TRACK), TBM_GETPOS, 0, 0), 15);
  EXPECT_EQ(SendMessageW(hosted.Child(IDC_LUTCTL_GAMMALO_TRACK), TBM_GETPOS, 0, 0), 10);
  EXPECT_EQ(SendMessageW(hosted.Child(IDC_LUTCTL_GAMMAHI_TRACK), TBM_GETPOS, 0, 0), 35);
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_GAMMALO_EDIT)), "1.0");
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_GAMMA_EDIT)), "1.5");
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_GAMMAHI_EDIT)), "3.5");

  // A basic curve's gamma is not held back by the hidden advanced gammas.
  ASSERT_EQ(lut->put_Type(ltBasic), S_OK);
  MoveThumb(hosted.Child(IDC_LUTCTL_GAMMA_TRACK), 30);
  EXPECT_NEAR(GammaOf(lut, L"Gamma"), 3.0f, 1e-6);
}

TEST(LutCtlEdit, ChannelSetChangeResetsTheChannelAndTellsTheContainer) {
  HostedLutCtl hosted(300, 360);
  ASSERT_EQ(hosted.created, S_OK);
  CComPtr<ILut> lut = hosted.Lut();
  ASSERT_EQ(hosted.control->put_Channel(chG), S_OK);
  RecordingSink sink;
  sink.Advise(hosted.control);
  ASSERT_EQ(lut->put_ChannelSet(csGreyscale), S_OK);
  LUT_CHANNEL channel;
  ASSERT_EQ(hosted.control->get_Channel(&channel), S_OK);
  EXPECT_EQ(channel, 0);
  EXPECT_NE(std::find(sink.changes.begin(), sink.changes.end(), 2), sink.changes.end());
  EXPECT_TRUE(
      SendMessageW(hosted.Child(IDC_LUTCTL_TOOLBAR), TB_ISBUTTONHIDDEN, ID_LUTCTL_CHANNEL_ALL + 2, 0));
  EXPECT_EQ(hosted.control->put_Channel(chG), E_INVALIDARG);
  sink.Unadvise();
}

TEST(LutCtlEdit, TypeMenuThroughTheRealPopup) {
  HostedLutCtl hosted(300, 360);
  ASSERT_EQ(hosted.created, S_OK);
  CComPtr<ILut> lut = hosted.Lut();
  HWND toolbar = hosted.Child(IDC_LUTCTL_TOOLBAR);
  struct Seen {
    UINT basic = 0, advanced = 0, manual = 0;
    int items = 0;
  } seen;
  // Reads the menu as shown, then picks " Advanced" with the keyboard.
  int stage = 0;
  bool finished = WhileModal(
      [&] {
        SendMessageW(hosted.Window(), WM_COMMAND, MAKEWPARAM(ID_LUTCTL_TYPE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(toolbar));
      },
      [&] {
        HWND popup = FindWindowW(L"#32768", nullptr);
        if (!popup || !IsWindowVisible(popup)) return false;
        if (stage++ == 0) {
          HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
          seen.items = GetMenuItemCount(menu);
          seen.basic = GetMenuState(menu, ID_LUTCTL_MENU_BASIC, MF_BYCOMMAND);
          seen.advanced = GetMenuState(menu, ID_LUTCTL_MENU_ADVANCED, MF_BYCOMMAND);
          seen.manual = GetMenuState(menu, ID_LUTCTL_MENU_MANUAL, MF_BYCOMMAND);
          PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
          PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
          PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
        }
        return false;
      });
  (void)finished;
  EXPECT_EQ(seen.items, 5);
  EXPECT_TRUE(seen.basic & MF_CHECKED);
  EXPECT_FALSE(seen.advanced & MF_CHECKED);
  EXPECT_TRUE(seen.manual & MF_GRAYED);
  LUT_TYPE type;
  ASSERT_EQ(lut->get_Type(&type), S_OK);
  EXPECT_EQ(type, ltAdvanced);
  EXPECT_TRUE(Shown(hosted.Child(IDC_LUTCTL_GAMMAHI_TRACK)));
}

TEST(LutCtlEdit, ToolbarInvertsAndSwitchesGammaStyleAndChannel) {
  HostedLutCtl hosted(300, 360);
  ASSERT_EQ(hosted.created, S_OK);
  CComPtr<ILut> lut = hosted.Lut();
  HWND toolbar = hosted.Child(IDC_LUTCTL_TOOLBAR);
  auto press = [&](int command) {
    SendMessageW(hosted.Window(), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                 reinterpret_cast<LPARAM>(toolbar));
  };
  press(ID_LUTCTL_INVERT);
  EXPECT_EQ(PointOf(lut, L"dMax"), 255);
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_DMAX_EDIT)), "255");
  LUT_GAMMASTYLE style;
  press(ID_LUTCTL_GAMMASTYLE);
  ASSERT_EQ(lut->get_GammaStyle(&style), S_OK);
  EXPECT_EQ(style, gsUnder);
  press(ID_LUTCTL_GAMMASTYLE);
  ASSERT_EQ(lut->get_GammaStyle(&style), S_OK);
  EXPECT_EQ(style, gsOver);
  press(ID_LUTCTL_CHANNEL_ALL + 3);
  LUT_CHANNEL channel;
  ASSERT_EQ(hosted.control->get_Channel(&channel), S_OK);
  EXPECT_EQ(channel, chB);
}

TEST(LutCtlEdit, PropertyPutsAreCheckedAndNotified) {
  CComPtr<ILutCtl> control;
  ASSERT_EQ(CoCreateInstance(CLSID_LutCtl, nullptr, CLSCTX_INPROC_SERVER, IID_ILutCtl,
                             reinterpret_cast<void**>(&control)),
            S_OK);
  CComQIPtr<IPersistStreamInit> persist(control);
  RecordingSink sink;
  sink.Advise(control);
  struct Case {
    const char* what;
    std::function<HRESULT()> put;
    HRESULT result;
    DISPID dispid;
  } const cases[] = {
      {"Appearance 1", [&] { return control->put_Appearance(1); }, S_OK, DISPID_APPEARANCE},
      {"Appearance 2", [&] { return control->put_Appearance(2); }, E_INVALIDARG, 0},
      {"Enabled", [&] { return control->put_Enabled(VARIANT_FALSE); }, S_OK, DISPID_ENABLED},
      {"ForeColor ambient", [&] { return control->put_ForeColor(0xFF000000); }, S_OK, DISPID_FORECOLOR},
      {"ForeColor system", [&] { return control->put_ForeColor(0x80000005); }, S_OK, DISPID_FORECOLOR},
      {"ForeColor none", [&] { return control->put_ForeColor(0xFFFFFFFF); }, E_INVALIDARG, 0},
      {"BackColor none", [&] { return control->put_BackColor(0xFFFFFFFF); }, S_OK, DISPID_BACKCOLOR},
      {"BackColor rgb", [&] { return control->put_BackColor(0x00123456); }, S_OK, DISPID_BACKCOLOR},
      {"BackColor bad", [&] { return control->put_BackColor(0x7F000000); }, E_INVALIDARG, 0},
      {"BorderStyle 0", [&] { return control->put_BorderStyle(0); }, S_OK, DISPID_BORDERSTYLE},
      {"BorderStyle 2", [&] { return control->put_BorderStyle(2); }, E_INVALIDARG, 0},
      {"ToolbarStyle raised", [&] { return control->put_ToolbarStyle(tbsRaised); }, S_OK, 1},
      {"ToolbarStyle 2", [&] { return control->put_ToolbarStyle(static_cast<TOOLBAR_STYLE>(2)); },
       E_INVALIDARG, 0},
      {"Value", [&] { return control->put_Value(CreateLut()); }, S_OK, 0},
      {"Value null", [&] { return control->put_Value(nullptr); }, E_POINTER, 0},
      {"Channel 3", [&] { return control->put_Channel(chB); }, S_OK, 2},
      {"Channel 4", [&] { return control->put_Channel(static_cast<LUT_CHANNEL>(4)); }, E_INVALIDARG, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SaveBytes(control);  // clears the mark
    ASSERT_EQ(persist->IsDirty(), S_FALSE);
    sink.changes.clear();
    EXPECT_EQ(c.put(), c.result);
    if (SUCCEEDED(c.result)) {
      EXPECT_EQ(sink.changes, std::vector<DISPID>{c.dispid});
      EXPECT_EQ(persist->IsDirty(), S_OK);
    } else {
      EXPECT_TRUE(sink.changes.empty());
      EXPECT_EQ(persist->IsDirty(), S_FALSE);
    }
  }
  VARIANT_BOOL valid = 0;
  EXPECT_EQ(control->get_Valid(&valid), S_OK);
  EXPECT_EQ(valid, 1);
  sink.Unadvise();
}

namespace {

// A LUT whose type cannot be read.
class UnreadableLut : public ILut {
 public:
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_ILut)) {
      *ppv = static_cast<ILut*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHOD_(ULONG, AddRef)() override { return 2; }
  STDMETHOD_(ULONG, Release)() override { return 1; }
  STDMETHOD(GetTypeInfoCount)(UINT*) override { return E_NOTIMPL; }
  STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHOD(Invoke)(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  STDMETHOD(get_Value)(LUT_CHANNEL, BSTR, VARIANT*) override { return E_NOTIMPL; }
  STDMETHOD(put_Value)(LUT_CHANNEL, BSTR, VARIANT) override { return E_NOTIMPL; }
  STDMETHOD(putref_Value)(LUT_CHANNEL, BSTR, VARIANT*) override { return E_NOTIMPL; }
  STDMETHOD(get_DeviceType)(LUT_DEVICETYPE* v) override {
    *v = dtInput;
    return S_OK;
  }
  STDMETHOD(put_DeviceType)(LUT_DEVICETYPE) override { return E_NOTIMPL; }
  STDMETHOD(get_ChannelSet)(LUT_CHANNELSET* v) override {
    *v = csRGB;
    return S_OK;
  }
  STDMETHOD(put_ChannelSet)(LUT_CHANNELSET) override { return E_NOTIMPL; }
  STDMETHOD(get_BitDepth)(short* v) override {
    *v = 8;
    return S_OK;
  }
  STDMETHOD(put_BitDepth)(short) override { return E_NOTIMPL; }
  STDMETHOD(get_GammaStyle)(LUT_GAMMASTYLE* v) override {
    *v = gsOver;
    return S_OK;
  }
  STDMETHOD(put_GammaStyle)(LUT_GAMMASTYLE) override { return E_NOTIMPL; }
  STDMETHOD(get_Type)(LUT_TYPE*) override { return 0x80041234; }
  STDMETHOD(put_Type)(LUT_TYPE) override { return E_NOTIMPL; }
  STDMETHOD(get_LUT)(VARIANT*) override { return E_NOTIMPL; }
  STDMETHOD(Invert)() override { return E_NOTIMPL; }
  STDMETHOD(GetTable)(LUT_CHANNEL, VARIANT*) override { return E_NOTIMPL; }
};

}  // namespace

TEST(LutCtlEdit, AValueThatCannotBeReadKeepsTheOldObject) {
  HostedLutCtl hosted(300, 360);
  ASSERT_EQ(hosted.created, S_OK);
  CComPtr<ILut> before = hosted.Lut();
  UnreadableLut unreadable;
  EXPECT_EQ(hosted.control->put_Value(&unreadable), static_cast<HRESULT>(0x80041234));
  EXPECT_EQ(hosted.Lut().p, before.p);
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_DMIN_EDIT)), "255");

  // A new object shows at once and the old one is no longer watched.
  CComPtr<ILut> other = CreateLut();
  ASSERT_EQ(PutValue(other, 0, L"dMin", 100L), S_OK);
  ASSERT_EQ(hosted.control->put_Value(other), S_OK);
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_DMIN_EDIT)), "100");
  ASSERT_EQ(PutValue(before, 0, L"dMin", 7L), S_OK);
  EXPECT_EQ(TextOf(hosted.Child(IDC_LUTCTL_DMIN_EDIT)), "100");
}
