#include "LutGraph.h"

#include <algorithm>

namespace lut {

namespace {

const wchar_t kClassName[] = L"LutGraph";

void PaintGraph(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

  int pixelsX = GetDeviceCaps(dc, LOGPIXELSX), pixelsY = GetDeviceCaps(dc, LOGPIXELSY);
  int cellX = std::max(1, pixelsX / 4), cellY = std::max(1, pixelsY / 4);
  RECT plot = LutGraphPlot(client, pixelsX, pixelsY);

  COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  HPEN dotted = CreatePen(PS_DOT, 1, shadow);
  HPEN solid = CreatePen(PS_SOLID, 1, shadow);
  HGDIOBJ oldPen = SelectObject(dc, dotted);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  for (int x = plot.left - ((plot.left - client.left) / cellX) * cellX; x < client.right; x += cellX) {
    if (x == plot.left) continue;
    MoveToEx(dc, x, client.top, nullptr);
    LineTo(dc, x, client.bottom);
  }
  for (int y = plot.bottom + ((client.bottom - plot.bottom) / cellY) * cellY; y >= client.top; y -= cellY) {
    if (y == plot.bottom) continue;
    MoveToEx(dc, client.left, y, nullptr);
    LineTo(dc, client.right, y);
  }
  SelectObject(dc, solid);
  MoveToEx(dc, plot.left, client.top, nullptr);
  LineTo(dc, plot.left, client.bottom);
  MoveToEx(dc, client.left, plot.bottom, nullptr);
  LineTo(dc, client.right, plot.bottom);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldPen);
  DeleteObject(dotted);
  DeleteObject(solid);

  SelectClipRgn(dc, nullptr);
  if (IsWindowEnabled(window)) {
    LutGraphPaint notify = {};
    notify.header.hwndFrom = window;
    notify.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
    notify.header.code = 0;
    notify.dc = dc;
    notify.plot = plot;
    notify.client = client;
    SendMessageW(GetParent(window), WM_NOTIFY, notify.header.idFrom, reinterpret_cast<LPARAM>(&notify));
  }
  EndPaint(window, &paint);
}

LRESULT CALLBACK GraphProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintGraph(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

RECT LutGraphPlot(const RECT& client, int pixelsX, int pixelsY) {
  int cellX = std::max(1, pixelsX / 4), cellY = std::max(1, pixelsY / 4);
  int width = client.right - client.left, height = client.bottom - client.top;
  int cells = std::max(0, std::min((width - cellX / 2) / cellX, (height - pixelsY / 8) / cellY));
  int plotWidth = cells * cellX, plotHeight = cells * cellY;
  RECT plot;
  plot.left = client.left + (width - plotWidth) / 2;
  plot.top = client.top + (height - plotHeight) / 2;
  plot.right = plot.left + plotWidth;
  plot.bottom = plot.top + plotHeight;
  return plot;
}

bool RegisterLutGraphClass(HINSTANCE instance) {
  WNDCLASSW existing;
  if (GetClassInfoW(instance, kClassName, &existing)) return true;
  WNDCLASSW graph = {};
  graph.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  graph.lpfnWndProc = GraphProcedure;
  graph.hInstance = instance;
  graph.hCursor = LoadCursor(nullptr, IDC_ARROW);
  graph.lpszClassName = kClassName;
  return RegisterClassW(&graph) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace lut
