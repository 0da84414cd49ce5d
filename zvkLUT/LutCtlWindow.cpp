// The editing control's window: the toolbar, the graph with the curve, and the five rows of
// label, trackbar and edit, kept in step with the watched LUT.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "LutCtl.h"
#include "LutCtlGamma.h"
#include "LutFile.h"
#include "LutGraph.h"

using comserver::CComPtr;
using comserver::CComQIPtr;

namespace {

constexpr int kButtonCount = 8;
constexpr int kImageBasic = 0;
constexpr int kImageInvert = 3;
constexpr int kImageGammaStyle = 4;
constexpr int kImageAll = 5;

struct RowWindows {
  int label, track, edit;
  const wchar_t* name;  // the LUT value the row edits
  bool gamma;
};

const RowWindows kRows[kRowCount] = {
    {IDC_LUTCTL_DMAX_LABEL, IDC_LUTCTL_DMAX_TRACK, IDC_LUTCTL_DMAX_EDIT, L"dMax", false},
    {IDC_LUTCTL_DMIN_LABEL, IDC_LUTCTL_DMIN_TRACK, IDC_LUTCTL_DMIN_EDIT, L"dMin", false},
    {IDC_LUTCTL_GAMMALO_LABEL, IDC_LUTCTL_GAMMALO_TRACK, IDC_LUTCTL_GAMMALO_EDIT, L"gammaLo", true},
    {IDC_LUTCTL_GAMMA_LABEL, IDC_LUTCTL_GAMMA_TRACK, IDC_LUTCTL_GAMMA_EDIT, L"gamma", true},
    {IDC_LUTCTL_GAMMAHI_LABEL, IDC_LUTCTL_GAMMAHI_TRACK, IDC_LUTCTL_GAMMAHI_EDIT, L"gammaHi", true},
};

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
  auto* control = reinterpret_cast<CLutCtl*>(GetWindowLongPtrW(window, DWLP_USER));
  return control ? control->OnDialogMessage(window, message, wParam, lParam) : FALSE;
}

// Common controls are set up once per process; the entry is looked up so that an old library
// without InitCommonControlsEx still works.
HRESULT InitialiseCommonControls() {
  static HRESULT result = [] {
    HMODULE library = LoadLibraryW(L"COMCTL32.DLL");
    if (!library) return HRESULT_FROM_WIN32(ERROR_DLL_NOT_FOUND);
    using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    using Init = void(WINAPI*)();
    auto initEx =
        reinterpret_cast<InitEx>(reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
    if (initEx) {
      INITCOMMONCONTROLSEX classes = {8, ICC_BAR_CLASSES};
      return initEx(&classes) ? S_OK : HRESULT_FROM_WIN32(ERROR_DLL_INIT_FAILED);
    }
    auto init =
        reinterpret_cast<Init>(reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControls")));
    if (!init) return HRESULT_FROM_WIN32(ERROR_DLL_INIT_FAILED);
    init();
    return S_OK;
  }();
  return result;
}

// At most seven significant digits and at least one digit after the point: "1.0", "2.2".
void FormatGamma(float gamma, wchar_t* text, size_t size) {
  swprintf(text, size, L"%.7g", static_cast<double>(gamma));
  if (!wcschr(text, L'.') && !wcschr(text, L'e') && !wcschr(text, L'n') && !wcschr(text, L'i'))
    wcsncat(text, L".0", size - wcslen(text) - 1);
}

void SetStyleBits(HWND window, int index, LONG_PTR bits, bool on) {
  LONG_PTR style = GetWindowLongPtrW(window, index);
  LONG_PTR changed = on ? (style | bits) : (style & ~bits);
  if (changed != style) SetWindowLongPtrW(window, index, changed);
}

}  // namespace

HRESULT CLutCtl::CreateControlWindow(HWND parent, const RECT& rect) {
  HRESULT hr = InitialiseCommonControls();
  if (FAILED(hr)) return hr;
  HINSTANCE instance = comserver::Module().GetModuleInstance();
  if (!lut::RegisterLutGraphClass(instance)) return HRESULT_FROM_WIN32(GetLastError());
  ResolveColours();
  BuildRowFont();
  m_position = rect;
  HWND window = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_LUTCTL), parent, DialogProcedure,
                                   reinterpret_cast<LPARAM>(this));
  if (!window) {
    m_hWnd = nullptr;
    DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
  }
  SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  return S_OK;
}

INT_PTR CLutCtl::OnDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      m_hWnd = window;
      OnInitDialog();
      return FALSE;
    case WM_SIZE: {
      SIZE size = {LOWORD(lParam), HIWORD(lParam)};
      if (size.cx != m_clientSize.cx || size.cy != m_clientSize.cy) Layout();
      return TRUE;
    }
    case WM_HSCROLL:
      if (lParam) OnScroll(reinterpret_cast<HWND>(lParam));
      return TRUE;
    case WM_COMMAND: {
      HWND from = reinterpret_cast<HWND>(lParam);
      int id = LOWORD(wParam);
      if (from && from == Item(IDC_LUTCTL_TOOLBAR)) {
        OnToolbarCommand(id);
        return TRUE;
      }
      if (HIWORD(wParam) == EN_UPDATE) {
        for (int row = 0; row < kRowCount; ++row)
          if (kRows[row].edit == id) OnEditUpdate(row);
        return TRUE;
      }
      return FALSE;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom == IDC_LUTCTL_GRAPH && header->code == 0) {
        auto* paint = reinterpret_cast<lut::LutGraphPaint*>(lParam);
        DrawCurve(paint->dc, paint->plot);
        return TRUE;
      }
      if (header->idFrom == IDC_LUTCTL_TOOLBAR && header->code == TBN_DROPDOWN) {
        if (reinterpret_cast<NMTOOLBARW*>(lParam)->iItem == ID_LUTCTL_TYPE) ShowTypeMenu();
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, TBDDRET_DEFAULT);
        return TRUE;
      }
      return FALSE;
    }
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      return OnCtlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    default:
      return FALSE;
  }
}

void CLutCtl::OnInitDialog() {
  HWND toolbar = Item(IDC_LUTCTL_TOOLBAR);
  HINSTANCE instance = comserver::Module().GetModuleInstance();
  if (!m_images)
    m_images = ImageList_LoadImageW(instance, MAKEINTRESOURCEW(IDB_LUTCTL_BUTTONS), 16, 0, RGB(192, 192, 192),
                                    IMAGE_BITMAP, LR_CREATEDIBSECTION);

  SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 15));
  SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images));
  TBBUTTON buttons[kButtonCount] = {
      {kImageBasic, ID_LUTCTL_TYPE, TBSTATE_ENABLED, BTNS_DROPDOWN, {}, 0, 0},
      {kImageInvert, ID_LUTCTL_INVERT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
      {kImageGammaStyle, ID_LUTCTL_GAMMASTYLE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
      {0, 0, 0, BTNS_SEP, {}, 0, 0},
      {kImageAll, ID_LUTCTL_CHANNEL_ALL, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 0},
      {kImageAll + 1, ID_LUTCTL_CHANNEL_ALL + 1, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 0},
      {kImageAll + 2, ID_LUTCTL_CHANNEL_ALL + 2, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 0},
      {kImageAll + 3, ID_LUTCTL_CHANNEL_ALL + 3, TBSTATE_ENABLED, BTNS_CHECKGROUP, {}, 0, 0},
  };
  SendMessageW(toolbar, TB_ADDBUTTONSW, kButtonCount, reinterpret_cast<LPARAM>(buttons));
  SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);

  for (int row = kRowGammaLo; row <= kRowGammaHi; ++row) {
    HWND track = Item(kRows[row].track);
    SendMessageW(track, TBM_SETRANGEMIN, FALSE, -15);
    SendMessageW(track, TBM_SETRANGEMAX, FALSE, 35);
    SendMessageW(track, TBM_SETSELSTART, FALSE, lut::kGammaPositionMin);
    SendMessageW(track, TBM_SETSELEND, TRUE, lut::kGammaPositionMax);
  }
  ApplyStyles();
  BuildRowFont();
  m_cached = Cached();
  OnLutChanged(DISPID_UNKNOWN);
}

void CLutCtl::ApplyStyles() {
  m_editSize = m_appearance == 1 ? SIZE{24, 14} : SIZE{22, 12};
  if (!m_hWnd) return;
  SetStyleBits(m_hWnd, GWL_STYLE, WS_BORDER, m_borderStyle == 1);
  SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

  HWND graph = Item(IDC_LUTCTL_GRAPH);
  SetStyleBits(graph, GWL_EXSTYLE, WS_EX_STATICEDGE, m_appearance == 1);
  SetStyleBits(graph, GWL_STYLE, WS_BORDER, m_appearance != 1);
  SetWindowPos(graph, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  for (const RowWindows& row : kRows) {
    HWND edit = Item(row.edit);
    SetStyleBits(edit, GWL_EXSTYLE, WS_EX_CLIENTEDGE, m_appearance == 1);
    SetStyleBits(edit, GWL_STYLE, WS_BORDER, m_appearance != 1);
    SetWindowPos(edit, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }

  HWND toolbar = Item(IDC_LUTCTL_TOOLBAR);
  SetStyleBits(toolbar, GWL_STYLE, TBSTYLE_FLAT | TBSTYLE_TRANSPARENT, !m_toolbarRaised);
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    EnableWindow(child, m_enabled);
  UpdateTypeRows();
  for (int command = ID_LUTCTL_CHANNEL_ALL; command <= ID_LUTCTL_CHANNEL_BLUE; ++command)
    SendMessageW(toolbar, TB_ENABLEBUTTON, command, m_enabled);
  InvalidateRect(toolbar, nullptr, TRUE);
  Layout();
}

void CLutCtl::Layout() {
  if (!m_hWnd) return;
  RECT client;
  GetClientRect(m_hWnd, &client);
  m_clientSize = {client.right, client.bottom};
  auto toPixelsX = [this](int units) { return units * m_baseUnits.cx / 4; };
  auto toPixelsY = [this](int units) { return units * m_baseUnits.cy / 8; };
  const POINT margin = {toPixelsX(4), toPixelsY(4)};
  const POINT gap = {toPixelsX(7), toPixelsY(7)};
  const SIZE edit = {toPixelsX(m_editSize.cx), toPixelsY(m_editSize.cy)};
  const int label = toPixelsX(m_labelWidth);

  HWND toolbar = Item(IDC_LUTCTL_TOOLBAR);
  int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
  RECT first = {}, last = {};
  bool haveFirst = false;
  for (int i = 0; i < count; ++i) {
    RECT item;
    if (!SendMessageW(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item))) continue;
    if (item.right <= item.left) continue;  // hidden
    if (!haveFirst) first = item;
    haveFirst = true;
    last = item;
  }
  m_toolbarSize = {last.right + first.left + 4, haveFirst ? last.bottom + first.top : 0};
  SetWindowPos(toolbar, nullptr, client.right - margin.x / 2 - m_toolbarSize.cx, 0, m_toolbarSize.cx,
               m_toolbarSize.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  const int toolbarHeight = m_toolbarSize.cy;

  int graphHeight = std::max(
      64, static_cast<int>(client.bottom - 5 * edit.cy - 3 * gap.y - 3 * margin.y - toolbarHeight - 2));
  int trackWidth = std::max(32, static_cast<int>(client.right - 4 * margin.x - edit.cx - label));
  SetWindowPos(Item(IDC_LUTCTL_GRAPH), nullptr, margin.x, toolbarHeight + 2, client.right - 2 * margin.x,
               graphHeight, SWP_NOZORDER | SWP_NOACTIVATE);

  const int below[kRowCount] = {gap.y, margin.y, gap.y, margin.y, margin.y};
  int y = toolbarHeight + 2 + graphHeight;
  for (int row = 0; row < kRowCount; ++row) {
    y += below[row];
    SetWindowPos(Item(kRows[row].label), nullptr, margin.x, y, label, edit.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    int trackX = margin.x + label + margin.x;
    SetWindowPos(Item(kRows[row].track), nullptr, trackX, y - 1, trackWidth, edit.cy + 2,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(Item(kRows[row].edit), nullptr, trackX + trackWidth + margin.x, y, edit.cx, edit.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    y += edit.cy;
  }
  InvalidateCurve();
}

void CLutCtl::SetPointRanges() {
  if (!m_hWnd) return;
  int depth = std::clamp(m_cached.bitDepth, 1, 31);
  LONG top = static_cast<LONG>((int64_t{1} << depth) - 1);
  for (int row = kRowBlack; row <= kRowWhite; ++row) {
    HWND track = Item(kRows[row].track);
    SendMessageW(track, TBM_SETRANGEMIN, FALSE, 0);
    SendMessageW(track, TBM_SETRANGEMAX, TRUE, top);
  }
}

void CLutCtl::UpdateChannelButtons() {
  if (!m_hWnd) return;
  HWND toolbar = Item(IDC_LUTCTL_TOOLBAR);
  for (int i = 0; i < 4; ++i) {
    int command = ID_LUTCTL_CHANNEL_ALL + i;
    bool shown = m_cached.channelSet == csRGB || (m_cached.channelSet == csGreyscale && i == 0);
    SendMessageW(toolbar, TB_HIDEBUTTON, command, !shown);
    SendMessageW(toolbar, TB_CHANGEBITMAP, command, kImageAll + i);
  }
  Layout();
}

void CLutCtl::UpdateTypeRows() {
  if (!m_hWnd) return;
  const int type = m_cached.type;
  for (int row = 0; row < kRowCount; ++row) {
    bool shown;
    if (type == ltBasic)
      shown = row != kRowGammaLo && row != kRowGammaHi;
    else if (type == ltAdvanced)
      shown = true;
    else
      shown = false;
    int command = shown ? SW_SHOWNA : SW_HIDE;
    ShowWindow(Item(kRows[row].label), command);
    ShowWindow(Item(kRows[row].track), command);
    ShowWindow(Item(kRows[row].edit), command);
  }
  ShowWindow(Item(IDC_LUTCTL_HINT), SW_HIDE);
  HWND toolbar = Item(IDC_LUTCTL_TOOLBAR);
  int image = type == ltBasic ? 0 : type == ltAdvanced ? 1 : 2;
  SendMessageW(toolbar, TB_CHANGEBITMAP, ID_LUTCTL_TYPE, kImageBasic + image);
  bool parameters = type == ltBasic || type == ltAdvanced;
  SendMessageW(toolbar, TB_ENABLEBUTTON, ID_LUTCTL_TYPE, m_enabled);
  SendMessageW(toolbar, TB_ENABLEBUTTON, ID_LUTCTL_INVERT, m_enabled && parameters);
  SendMessageW(toolbar, TB_ENABLEBUTTON, ID_LUTCTL_GAMMASTYLE, m_enabled && parameters);
}

void CLutCtl::CheckChannelButton() {
  if (!m_hWnd) return;
  SendMessageW(Item(IDC_LUTCTL_TOOLBAR), TB_CHECKBUTTON, ID_LUTCTL_CHANNEL_ALL + m_channel, TRUE);
}

int32_t CLutCtl::ReadPoint(const wchar_t* name) {
  VARIANT value;
  VariantInit(&value);
  BSTR text = SysAllocString(name);
  HRESULT hr = text ? m_lut->get_Value(static_cast<LUT_CHANNEL>(m_channel), text, &value) : E_OUTOFMEMORY;
  SysFreeString(text);
  if (SUCCEEDED(hr)) hr = VariantChangeType(&value, &value, 0, VT_I4);
  int32_t point = SUCCEEDED(hr) ? value.lVal : 0;
  VariantClear(&value);
  if (FAILED(hr)) MessageBeep(0);
  return point;
}

float CLutCtl::ReadGamma(const wchar_t* name) {
  VARIANT value;
  VariantInit(&value);
  BSTR text = SysAllocString(name);
  HRESULT hr = text ? m_lut->get_Value(static_cast<LUT_CHANNEL>(m_channel), text, &value) : E_OUTOFMEMORY;
  SysFreeString(text);
  if (SUCCEEDED(hr)) hr = VariantChangeType(&value, &value, 0, VT_R4);
  float gamma = SUCCEEDED(hr) ? value.fltVal : 0.0f;
  VariantClear(&value);
  if (FAILED(hr)) MessageBeep(0);
  return gamma;
}

void CLutCtl::RefreshRows(bool force) {
  if (!m_lut) return;
  Cached old = m_cached;
  m_cached.dMax = ReadPoint(L"dMax");
  m_cached.dMin = ReadPoint(L"dMin");
  m_cached.gammaLo = ReadGamma(L"GammaLo");
  m_cached.gamma = ReadGamma(L"Gamma");
  m_cached.gammaHi = ReadGamma(L"GammaHi");
  bool changed[kRowCount] = {old.dMax != m_cached.dMax, old.dMin != m_cached.dMin,
                             old.gammaLo != m_cached.gammaLo, old.gamma != m_cached.gamma,
                             old.gammaHi != m_cached.gammaHi};
  bool any = false;
  for (int row = 0; row < kRowCount; ++row) {
    if (force || changed[row]) WriteRow(row, true);
    any = any || changed[row];
  }
  if (any || force) InvalidateCurve();
}

int CLutCtl::CachedRowText(int row, wchar_t* text, size_t size) const {
  if (kRows[row].gamma) {
    float gamma = row == kRowGammaLo ? m_cached.gammaLo
                  : row == kRowGamma ? m_cached.gamma
                                     : m_cached.gammaHi;
    FormatGamma(gamma, text, size);
    return lut::GammaPosition(gamma);
  }
  int32_t point = row == kRowBlack ? m_cached.dMax : m_cached.dMin;
  swprintf(text, size, L"%u", static_cast<unsigned>(point));
  return point;
}

void CLutCtl::WriteRow(int row, bool) {
  if (!m_hWnd || m_guards[row]) return;
  m_guards[row] = true;
  wchar_t text[64];
  int position = CachedRowText(row, text, 64);
  SendMessageW(Item(kRows[row].track), TBM_SETPOS, TRUE, position);
  SetWindowTextW(Item(kRows[row].edit), text);
  m_guards[row] = false;
}

void CLutCtl::OnLutChanged(DISPID id) {
  if (!m_lut) return;
  const bool all = id == DISPID_UNKNOWN;
  if (all || id == 1) {
    LUT_DEVICETYPE deviceType = dtInput;
    if (FAILED(m_lut->get_DeviceType(&deviceType))) MessageBeep(0);
    m_cached.deviceType = deviceType;
    InvalidateCurve();
  }
  if (all || id == 2) {
    LUT_CHANNELSET channelSet = csGreyscale;
    if (FAILED(m_lut->get_ChannelSet(&channelSet))) MessageBeep(0);
    if (channelSet != m_cached.channelSet || all) {
      bool changed = channelSet != m_cached.channelSet;
      m_cached.channelSet = channelSet;
      if (changed && m_channel != 0) {
        m_channel = 0;
        FireOnChanged(2);
      }
      UpdateChannelButtons();
      CheckChannelButton();
      RefreshRows(true);
      InvalidateCurve();
    }
  }
  if (all || id == 3) {
    short bitDepth = 8;
    if (FAILED(m_lut->get_BitDepth(&bitDepth))) MessageBeep(0);
    m_cached.bitDepth = bitDepth;
    SetPointRanges();
    InvalidateCurve();
  }
  if (all || id == 4) {
    LUT_GAMMASTYLE style = gsOver;
    if (FAILED(m_lut->get_GammaStyle(&style))) MessageBeep(0);
    m_cached.gammaStyle = style;
    InvalidateCurve();
  }
  if (all || id == 5) {
    LUT_TYPE type = ltBasic;
    if (FAILED(m_lut->get_Type(&type))) MessageBeep(0);
    m_cached.type = type;
    UpdateTypeRows();
    RefreshRows(true);
    InvalidateCurve();
  }
  if (all || id == 0) RefreshRows(all);
  if (all || id == 6) InvalidateCurve();
}

void CLutCtl::InvalidateCurve() {
  m_curveValid = false;
  if (m_hWnd) InvalidateRect(Item(IDC_LUTCTL_GRAPH), nullptr, FALSE);
}

void CLutCtl::DrawCurve(HDC dc, const RECT& plot) {
  if (!m_lut) return;
  LONG entries = std::min(plot.right - plot.left, plot.bottom - plot.top);
  if (entries < 2) return;
  if (!m_curveValid || static_cast<LONG>(m_curve.size()) != entries) {
    m_curve.clear();
    SAFEARRAYBOUND bound = {static_cast<ULONG>(entries), 0};
    VARIANT table;
    VariantInit(&table);
    table.vt = VT_ARRAY | VT_UI4;
    table.parray = SafeArrayCreate(VT_UI4, 1, &bound);
    if (!table.parray) return;
    HRESULT hr = m_lut->GetTable(static_cast<LUT_CHANNEL>(m_channel), &table);
    if (SUCCEEDED(hr) && (table.vt & VT_ARRAY) && table.parray) {
      ULONG* values = nullptr;
      if (SUCCEEDED(SafeArrayAccessData(table.parray, reinterpret_cast<void**>(&values)))) {
        for (LONG i = 0; i < entries; ++i)
          m_curve.push_back({plot.left + i, plot.bottom - static_cast<LONG>(values[i])});
        SafeArrayUnaccessData(table.parray);
      }
    }
    VariantClear(&table);
    m_curveValid = !m_curve.empty();
  }
  if (m_curve.empty()) return;
  static const COLORREF kChannelColours[] = {0, RGB(196, 64, 64), RGB(64, 128, 64), RGB(96, 96, 255)};
  COLORREF colour = m_channel == 0 ? GetSysColor(COLOR_3DDKSHADOW) : kChannelColours[m_channel & 3];
  HPEN pen = CreatePen(PS_SOLID, 2, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  Polyline(dc, m_curve.data(), static_cast<int>(m_curve.size()));
  SelectObject(dc, old);
  DeleteObject(pen);
}

void CLutCtl::OnScroll(HWND trackbar) {
  int id = GetDlgCtrlID(trackbar);
  int position = static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
  for (int row = 0; row < kRowCount; ++row) {
    if (kRows[row].track != id) continue;
    if (kRows[row].gamma)
      OnGammaScroll(row, position);
    else
      OnPointScroll(row, position);
  }
}

namespace {

HRESULT PutLutValue(ILut* lut, long channel, const wchar_t* name, VARIANT& value) {
  BSTR text = SysAllocString(name);
  if (!text) return E_OUTOFMEMORY;
  HRESULT hr = lut->put_Value(static_cast<LUT_CHANNEL>(channel), text, value);
  SysFreeString(text);
  return hr;
}

}  // namespace

void CLutCtl::OnPointScroll(int row, int position) {
  if (m_guards[row] || !m_lut) return;
  m_guards[row] = true;
  VARIANT value;
  value.vt = VT_I4;
  value.lVal = position;
  HRESULT hr = PutLutValue(m_lut, m_channel, kRows[row].name, value);
  if (SUCCEEDED(hr)) {
    wchar_t text[32];
    swprintf(text, 32, L"%u", static_cast<unsigned>(position));
    SetWindowTextW(Item(kRows[row].edit), text);
  } else {
    SendMessageW(Item(kRows[row].track), TBM_SETPOS, TRUE, row == kRowBlack ? m_cached.dMax : m_cached.dMin);
  }
  m_guards[row] = false;
}

void CLutCtl::OnGammaScroll(int row, int position) {
  if (m_guards[row] || !m_lut) return;
  m_guards[row] = true;
  HWND track = Item(kRows[row].track);
  int p = std::clamp(position, lut::kGammaPositionMin, lut::kGammaPositionMax);
  const bool advanced = m_cached.type == ltAdvanced;
  lut::GammaPositions moved = {lut::GammaPosition(m_cached.gammaLo), p, lut::GammaPosition(m_cached.gammaHi)};
  // Only an advanced curve moves its three gammas together; a basic one has just the one.
  if (row == kRowGamma && advanced) {
    lut::GammaPositions cached = {lut::GammaPosition(m_cached.gammaLo), lut::GammaPosition(m_cached.gamma),
                                  lut::GammaPosition(m_cached.gammaHi)};
    moved = lut::ShiftGammas(p, cached);
    p = moved.gamma;
  }
  if (p != position) SendMessageW(track, TBM_SETPOS, TRUE, p);

  auto put = [this](int target, int targetPosition) {
    VARIANT value;
    value.vt = VT_R4;
    value.fltVal = lut::GammaOfPosition(targetPosition);
    HRESULT hr = PutLutValue(m_lut, m_channel, kRows[target].name, value);
    if (SUCCEEDED(hr)) {
      wchar_t text[64];
      FormatGamma(value.fltVal, text, 64);
      SetWindowTextW(Item(kRows[target].edit), text);
    }
    return hr;
  };
  HRESULT hr = put(row, p);
  if (SUCCEEDED(hr) && row == kRowGamma && advanced) {
    for (int other : {kRowGammaLo, kRowGammaHi}) {
      int target = other == kRowGammaLo ? moved.lo : moved.hi;
      bool wasGuarded = m_guards[other];
      m_guards[other] = true;
      if (SUCCEEDED(put(other, target))) SendMessageW(Item(kRows[other].track), TBM_SETPOS, TRUE, target);
      m_guards[other] = wasGuarded;
    }
  }
  if (FAILED(hr)) {
    float cached = row == kRowGammaLo ? m_cached.gammaLo
                   : row == kRowGamma ? m_cached.gamma
                                      : m_cached.gammaHi;
    SendMessageW(track, TBM_SETPOS, TRUE, lut::GammaPosition(cached));
  }
  m_guards[row] = false;
}

void CLutCtl::OnEditUpdate(int row) {
  if (m_guards[row] || !m_lut) return;
  m_guards[row] = true;
  HWND edit = Item(kRows[row].edit);
  int length = GetWindowTextLengthW(edit);
  BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(length));
  HRESULT hr = E_OUTOFMEMORY;
  VARIANT value;
  VariantInit(&value);
  if (text) {
    GetWindowTextW(edit, text, length + 1);
    VARIANT typed;
    typed.vt = VT_BSTR;
    typed.bstrVal = text;
    hr = VariantChangeType(&value, &typed, 0, kRows[row].gamma ? VT_R4 : VT_I4);
    SysFreeString(text);
  }
  if (SUCCEEDED(hr)) hr = PutLutValue(m_lut, m_channel, kRows[row].name, value);
  if (SUCCEEDED(hr)) {
    int position = kRows[row].gamma ? lut::GammaPosition(value.fltVal) : value.lVal;
    SendMessageW(Item(kRows[row].track), TBM_SETPOS, TRUE, position);
  } else {
    MessageBeep(0);
    SendMessageW(edit, EM_UNDO, 0, 0);
    // An undo can reach back past the last key (a whole run of typing): the edit must still show what
    // the curve holds.
    wchar_t undone[64] = {}, held[64];
    GetWindowTextW(edit, undone, 64);
    CachedRowText(row, held, 64);
    VARIANT shown, cached;
    VariantInit(&shown);
    VariantInit(&cached);
    VARIANT typed;
    typed.vt = VT_BSTR;
    typed.bstrVal = SysAllocString(undone);
    VARIANT heldText;
    heldText.vt = VT_BSTR;
    heldText.bstrVal = SysAllocString(held);
    VARTYPE type = kRows[row].gamma ? VT_R4 : VT_I4;
    bool same = typed.bstrVal && heldText.bstrVal && SUCCEEDED(VariantChangeType(&shown, &typed, 0, type)) &&
                SUCCEEDED(VariantChangeType(&cached, &heldText, 0, type)) &&
                (kRows[row].gamma ? shown.fltVal == cached.fltVal : shown.lVal == cached.lVal);
    VariantClear(&typed);
    VariantClear(&heldText);
    if (!same) {
      SetWindowTextW(edit, held);
      int end = static_cast<int>(wcslen(held));
      SendMessageW(edit, EM_SETSEL, end, end);
    }
  }
  m_guards[row] = false;
}

void CLutCtl::OnToolbarCommand(int command) {
  if (!m_lut) return;
  HRESULT hr = S_OK;
  switch (command) {
    case ID_LUTCTL_TYPE:
      ShowTypeMenu();
      return;
    case ID_LUTCTL_INVERT:
      hr = m_lut->Invert();
      break;
    case ID_LUTCTL_GAMMASTYLE:
      hr = m_lut->put_GammaStyle(m_cached.gammaStyle == gsOver ? gsUnder : gsOver);
      break;
    default:
      if (command >= ID_LUTCTL_CHANNEL_ALL && command <= ID_LUTCTL_CHANNEL_BLUE) {
        long channel = m_cached.channelSet == csRGB ? command - ID_LUTCTL_CHANNEL_ALL : 0;
        hr = put_Channel(static_cast<LUT_CHANNEL>(channel));
        if (FAILED(hr)) CheckChannelButton();
      }
      break;
  }
  if (FAILED(hr)) MessageBeep(0);
}

void CLutCtl::ShowTypeMenu() {
  HINSTANCE instance = comserver::Module().GetModuleInstance();
  HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_LUTCTL_MENU));
  if (!menu) {
    MessageBeep(0);
    return;
  }
  HMENU popup = GetSubMenu(menu, 0);
  const int type = m_cached.type;
  int current = type == ltBasic      ? ID_LUTCTL_MENU_BASIC
                : type == ltAdvanced ? ID_LUTCTL_MENU_ADVANCED
                : type == ltManual   ? ID_LUTCTL_MENU_MANUAL
                                     : 0;
  if (current) CheckMenuItem(popup, current, MF_BYCOMMAND | MF_CHECKED);
  EnableMenuItem(popup, ID_LUTCTL_MENU_MANUAL, MF_BYCOMMAND | (type == ltManual ? MF_ENABLED : MF_GRAYED));

  // The first three items carry the type images, drawn on the button face.
  HBITMAP images[3] = {};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  for (int i = 0; i < 3 && m_images; ++i) {
    images[i] = CreateCompatibleBitmap(screen, 16, 15);
    HGDIOBJ old = SelectObject(memory, images[i]);
    RECT all = {0, 0, 16, 15};
    FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
    ImageList_Draw(m_images, kImageBasic + i, memory, 0, 0, ILD_TRANSPARENT);
    SelectObject(memory, old);
    MENUITEMINFOW item = {sizeof(MENUITEMINFOW)};
    item.fMask = MIIM_BITMAP;
    item.hbmpItem = images[i];
    SetMenuItemInfoW(popup, ID_LUTCTL_MENU_BASIC + i, FALSE, &item);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  HWND toolbar = Item(IDC_LUTCTL_TOOLBAR);
  RECT button = {};
  SendMessageW(toolbar, TB_GETRECT, ID_LUTCTL_TYPE, reinterpret_cast<LPARAM>(&button));
  POINT corner = {button.left, button.bottom};
  ClientToScreen(toolbar, &corner);
  int choice = TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY, corner.x,
                              corner.y, 0, m_hWnd, nullptr);
  DestroyMenu(menu);
  for (HBITMAP image : images)
    if (image) DeleteObject(image);

  switch (choice) {
    case ID_LUTCTL_MENU_BASIC:
    case ID_LUTCTL_MENU_ADVANCED:
      if (m_lut && FAILED(m_lut->put_Type(choice == ID_LUTCTL_MENU_BASIC ? ltBasic : ltAdvanced)))
        MessageBeep(0);
      break;
    case ID_LUTCTL_MENU_MANUAL:
      MessageBeep(0);  // the manual type comes from a loaded file
      break;
    case ID_LUTCTL_MENU_LOAD:
      LoadLutFile();
      break;
    default:
      break;
  }
}

void CLutCtl::LoadLutFile() {
  if (!m_lut) return;
  char path[MAX_PATH] = "";
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  dialog.hwndOwner = m_hWnd;
  dialog.lpstrFilter = "LUT Files\0*.LUT\0All Files\0*\0";
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  if (!GetOpenFileNameA(&dialog)) return;

  lut::LutFileTables tables;
  lut::LutFileResult read = lut::ReadLutFile(path, tables);
  if (read.error != lut::LutFileError::kNone) {
    MessageBeep(MB_ICONHAND);
    const char* text = read.error == lut::LutFileError::kInvalid     ? "Invalid file format"
                       : read.error == lut::LutFileError::kPremature ? "Premature end of file"
                                                                     : strerror(read.errnoValue);
    const char* caption =
        read.error == lut::LutFileError::kOpen ? "Unable to open file" : "Error reading file";
    MessageBoxA(m_hWnd, text, caption, MB_OK | MB_ICONERROR);
    return;
  }

  // A greyscale curve has no colour tables to take: refused before anything changes.
  HRESULT hr = m_cached.channelSet == csRGB ? S_OK : E_INVALIDARG;
  // Any failure part-way puts the curve back exactly as it was.
  CComPtr<IStream> snapshot;
  CComQIPtr<IPersistStreamInit> persist(m_lut);
  if (SUCCEEDED(hr)) hr = persist ? CreateStreamOnHGlobal(nullptr, TRUE, &snapshot) : E_NOINTERFACE;
  if (SUCCEEDED(hr)) hr = persist->Save(snapshot, FALSE);
  if (SUCCEEDED(hr)) {
    hr = m_lut->put_Type(ltManual);
    for (int channel = 0; channel < 4 && SUCCEEDED(hr); ++channel) {
      SAFEARRAYBOUND bound = {256, 0};
      SAFEARRAY* array = SafeArrayCreate(VT_UI1, 1, &bound);
      if (!array) {
        hr = E_OUTOFMEMORY;
        break;
      }
      std::memcpy(array->pvData, tables.channels[channel].data(), 256);
      VARIANT table;
      table.vt = VT_ARRAY | VT_UI1;
      table.parray = array;
      BSTR name = SysAllocString(L"Table");
      hr = name ? m_lut->putref_Value(static_cast<LUT_CHANNEL>(channel), name, &table) : E_OUTOFMEMORY;
      SysFreeString(name);
      VariantClear(&table);
    }
    if (FAILED(hr)) {
      LARGE_INTEGER start = {};
      snapshot->Seek(start, STREAM_SEEK_SET, nullptr);
      persist->Load(snapshot);
      m_cached = Cached();
      OnLutChanged(DISPID_UNKNOWN);
    }
  }
  if (FAILED(hr)) {
    MessageBoxA(m_hWnd, hr == E_OUTOFMEMORY ? "The system is low on memory" : "An unexpected error occured",
                "Unable to load LUT", MB_OK | MB_ICONERROR);
  }
}

INT_PTR CLutCtl::OnCtlColor(UINT message, HDC dc, HWND child) {
  wchar_t className[16] = {};
  GetClassNameW(child, className, 16);
  bool isEdit = _wcsicmp(className, L"Edit") == 0;
  if (message == WM_CTLCOLOREDIT) {
    SetTextColor(dc, m_textColour);
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
  }
  if (!m_backgroundBrush) return FALSE;
  LOGBRUSH brush = {};
  GetObjectW(m_backgroundBrush, sizeof(brush), &brush);
  SetBkColor(dc, brush.lbColor);
  if (isEdit)
    SetTextColor(dc, brush.lbColor);  // a disabled edit keeps its text out of sight
  else
    SetTextColor(dc, IsWindowEnabled(child) ? m_textColour : GetSysColor(COLOR_GRAYTEXT));
  return reinterpret_cast<INT_PTR>(m_backgroundBrush);
}
