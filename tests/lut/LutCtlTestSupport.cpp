#include "LutCtlTestSupport.h"

#include "LutGraph.h"

extern "C" {
BOOL WINAPI AtlAxWinInit();
HRESULT WINAPI AtlAxCreateControlEx(LPCOLESTR lpszName, HWND hWnd, IStream* pStream,
                                    IUnknown** ppUnkContainer, IUnknown** ppUnkControl, REFIID iidSink,
                                    IUnknown* punkSink);
}

namespace luttest {

HostedLutCtl::HostedLutCtl(int width, int height, IStream* initial) {
  AtlAxWinInit();
  host = CreateWindowExW(WS_EX_CONTROLPARENT, L"AtlAxWin", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                         width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!host) return;
  CComPtr<IUnknown> container, unknown;
  created = AtlAxCreateControlEx(L"Corvanith.LUTCtl", host, initial, &container, &unknown, IID_NULL, nullptr);
  if (SUCCEEDED(created) && unknown)
    created = unknown->QueryInterface(IID_ILutCtl, reinterpret_cast<void**>(&control));
  Pump();
}

HostedLutCtl::~HostedLutCtl() {
  control.Release();
  if (host) DestroyWindow(host);
  Pump();
}

HWND HostedLutCtl::Window() const {
  long window = 0;
  if (control) control->get_Window(&window);
  return static_cast<HWND>(LongToHandle(window));
}

HWND HostedLutCtl::Child(int id) const { return GetDlgItem(Window(), id); }

CComPtr<ILut> HostedLutCtl::Lut() const {
  CComPtr<ILut> lut;
  if (control) control->get_Value(&lut);
  return lut;
}

void HostedLutCtl::Resize(int width, int height) {
  SetWindowPos(host, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
}

void Pump() {
  for (int round = 0; round < 3; ++round) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  }
}

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

bool Shown(HWND window) { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

COLORREF PixelAt(HWND window, int x, int y) {
  UpdateWindow(window);
  POINT point = {x, y};
  ClientToScreen(window, &point);
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

RECT PlotOf(HWND graph) {
  RECT client;
  GetClientRect(graph, &client);
  HDC dc = GetDC(graph);
  RECT plot = lut::LutGraphPlot(client, GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY));
  ReleaseDC(graph, dc);
  return plot;
}

bool ColourNear(HWND window, int x, int y, COLORREF colour) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (PixelAt(window, x + dx, y + dy) == colour) return true;
  return false;
}

namespace {

std::function<bool()>* g_step = nullptr;
bool g_stepDone = false;

void CALLBACK StepTimer(HWND, UINT, UINT_PTR id, DWORD) {
  if (!g_step || g_stepDone) return;
  if ((*g_step)()) {
    g_stepDone = true;
    KillTimer(nullptr, id);
  }
}

}  // namespace

bool WhileModal(const std::function<void()>& call, const std::function<bool()>& step) {
  std::function<bool()> copy = step;
  g_step = &copy;
  g_stepDone = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, StepTimer);
  call();
  KillTimer(nullptr, timer);
  g_step = nullptr;
  return g_stepDone;
}

HWND FindThreadDialog(const std::string& caption) {
  struct Search {
    std::string caption;
    HWND found;
  } search = {caption, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        char className[16] = {};
        GetClassNameA(window, className, sizeof(className));
        if (std::string(className) != "#32770" || !IsWindowVisible(window)) return TRUE;
        if (!s->caption.empty() && TextOf(window) != s->caption) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace luttest
