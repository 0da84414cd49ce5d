#include "CellSizeCtl.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CCellSizeCtl, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_KEYDOWN()
  ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {
const char* const ClassName = "GridPopupCtl";

bool RegisterPopupClass() {
  WNDCLASSA wc = {};
  if (::GetClassInfoA(AfxGetInstanceHandle(), ClassName, &wc)) return true;
  wc.lpfnWndProc = AfxWndProc;
  wc.hInstance = AfxGetInstanceHandle();
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = ClassName;
  return AfxRegisterClass(&wc) != FALSE;
}
}  // namespace

CCellSizeCtl::CCellSizeCtl() {
  HDC info = ::CreateICA("DISPLAY", nullptr, nullptr, nullptr);
  const int dpiX = info ? ::GetDeviceCaps(info, LOGPIXELSX) : 96;
  const int dpiY = info ? ::GetDeviceCaps(info, LOGPIXELSY) : 96;
  if (info) ::DeleteDC(info);
  cellWidth = ::MulDiv(450, dpiX, 1440);
  cellHeight = ::MulDiv(450, dpiY, 1440);
  gapWidth = ::MulDiv(16, dpiX, 1440);
  gapHeight = ::MulDiv(16, dpiY, 1440);
  chosenBrush = ::CreateSolidBrush(RGB(0, 0, 128));
  freeBrush = ::CreateSolidBrush(::GetSysColor(COLOR_BTNHIGHLIGHT));
}

CCellSizeCtl::~CCellSizeCtl() {
  if (::IsWindow(m_hWnd)) DestroyWindow();
  ::DeleteObject(chosenBrush);
  ::DeleteObject(freeBrush);
}

CSize CCellSizeCtl::WindowSize() const {
  return CSize(frameWidth + (cellWidth + gapWidth) * shownColumns + gapWidth,
               frameHeight + (cellHeight + gapHeight) * shownRows + gapHeight);
}

BOOL CCellSizeCtl::TrackPopup(CPoint point, CWnd* parent) {
  if (!RegisterPopupClass()) return FALSE;
  startColumns = shownColumns = columns;
  startRows = shownRows = rows;
  if (!CreateEx(WS_EX_DLGMODALFRAME, ClassName, nullptr, WS_POPUP | WS_VISIBLE, point.x, point.y, 0, 0,
                AfxSafeHwnd(parent), nullptr))
    return FALSE;
  CRect window, client;
  GetWindowRect(&window);
  GetClientRect(&client);
  frameWidth = window.Width() - client.Width();
  frameHeight = window.Height() - client.Height();
  Place(point);
  SetCapture();
  // The library's modal loop: pre-translation and idle time go on, and a WM_QUIT is passed on to
  // the outer loop with its own exit code.
  const HWND popup = m_hWnd;
  if (!AfxRunModalLoop(popup, [popup] { return ::IsWindow(popup) != FALSE; }) && ::IsWindow(popup))
    DestroyWindow();
  if (::GetCapture() == popup) ::ReleaseCapture();
  return TRUE;
}

void CCellSizeCtl::Place(CPoint point) {
  CRect work;
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const bool right = point.x >= work.left + work.Width() / 2;
  const bool bottom = point.y >= work.top + work.Height() / 2;
  quadrant = (right ? 1 : 0) + (bottom ? 2 : 0);
  const CSize size = WindowSize();
  // The point lies on the moving corner; the opposite corner stays fixed.
  CPoint corner(point.x + (right ? frameWidth / 2 : -frameWidth / 2),
                point.y + (bottom ? frameHeight / 2 : -frameHeight / 2));
  fixedCorner = CPoint(right ? corner.x + size.cx : corner.x - size.cx,
                       bottom ? corner.y + size.cy : corner.y - size.cy);
  fixedCorner.x =
      std::clamp(static_cast<int>(fixedCorner.x), static_cast<int>(work.left), static_cast<int>(work.right));
  fixedCorner.y =
      std::clamp(static_cast<int>(fixedCorner.y), static_cast<int>(work.top), static_cast<int>(work.bottom));
  Resize();
  mayShrinkX = mayShrinkY = false;
  acceptOnRelease = false;
  ::GetCursorPos(&lastCursor);
}

void CCellSizeCtl::Resize() {
  const CSize size = WindowSize();
  const int left = GrowsRight() ? fixedCorner.x : fixedCorner.x - size.cx;
  const int top = GrowsDown() ? fixedCorner.y : fixedCorner.y - size.cy;
  SetWindowPos(nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  ComputeChoice();
}

void CCellSizeCtl::ComputeChoice() {
  const int width = gapWidth + (gapWidth + cellWidth) * columns;
  const int height = gapHeight + (gapHeight + cellHeight) * rows;
  const int x = GrowsRight() ? fixedCorner.x + frameWidth / 2 : fixedCorner.x - frameWidth / 2 - width;
  const int y = GrowsDown() ? fixedCorner.y + frameHeight / 2 : fixedCorner.y - frameHeight / 2 - height;
  choice = CRect(x, y, x + width, y + height);
}

void CCellSizeCtl::ApplyChange(int columnsDelta, int rowsDelta) {
  if (columnsDelta == 0 && rowsDelta == 0) return;
  columns = std::max(minimumColumns, columns + columnsDelta);
  rows = std::max(minimumRows, rows + rowsDelta);
  shownColumns = std::max(startColumns, columns);
  shownRows = std::max(startRows, rows);
  Invalidate(TRUE);
  Resize();
  acceptOnRelease = true;
}

void CCellSizeCtl::OnMouseMove(UINT, CPoint point) {
  ClientToScreen(&point);
  if (point == lastCursor) return;
  lastCursor = point;
  const int stepX = cellWidth + gapWidth;
  const int stepY = cellHeight + gapHeight;
  int dx = 0, dy = 0;
  // Distance beyond the moving edge, positive outwards.
  const int beyondX = GrowsRight() ? point.x - choice.right : choice.left - point.x;
  if (beyondX > 0)
    dx = beyondX / stepX + 1;
  else {
    if (-beyondX <= stepX) mayShrinkX = true;
    if (mayShrinkX) dx = -(-beyondX / stepX);
  }
  const int beyondY = GrowsDown() ? point.y - choice.bottom : choice.top - point.y;
  if (beyondY > 0)
    dy = beyondY / stepY + 1;
  else {
    if (-beyondY <= stepY) mayShrinkY = true;
    if (mayShrinkY) dy = -(-beyondY / stepY);
  }
  ApplyChange(dx, dy);
}

void CCellSizeCtl::OnLButtonDown(UINT, CPoint) { acceptOnRelease = true; }

void CCellSizeCtl::OnLButtonUp(UINT, CPoint) {
  if (acceptOnRelease) DestroyWindow();
}

void CCellSizeCtl::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  switch (key) {
    case VK_RETURN:
      DestroyWindow();
      return;
    case VK_ESCAPE:
      columns = startColumns;
      rows = startRows;
      DestroyWindow();
      return;
    case VK_RIGHT:
      ApplyChange(GrowsRight() ? 1 : -1, 0);
      return;
    case VK_LEFT:
      ApplyChange(GrowsRight() ? -1 : 1, 0);
      return;
    case VK_DOWN:
      ApplyChange(0, GrowsDown() ? 1 : -1);
      return;
    case VK_UP:
      ApplyChange(0, GrowsDown() ? -1 : 1);
      return;
    default:
      CWnd::OnKeyDown(key, repeat, flags);
  }
}

void CCellSizeCtl::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  CRect client;
  GetClientRect(&client);
  HBRUSH face = ::GetSysColorBrush(COLOR_BTNFACE);
  int y = 0;
  for (int row = 0; row < shownRows; ++row) {
    CRect gap(0, y, client.right, y + gapHeight);
    ::FillRect(dc, &gap, face);
    y += gapHeight;
    int x = 0;
    // Squares count from the fixed corner.
    const int rowFromFixed = GrowsDown() ? row : shownRows - 1 - row;
    for (int column = 0; column < shownColumns; ++column) {
      CRect side(x, y, x + gapWidth, y + cellHeight);
      ::FillRect(dc, &side, face);
      x += gapWidth;
      const int columnFromFixed = GrowsRight() ? column : shownColumns - 1 - column;
      CRect square(x, y, x + cellWidth, y + cellHeight);
      ::FillRect(dc, &square, columnFromFixed < columns && rowFromFixed < rows ? chosenBrush : freeBrush);
      x += cellWidth;
    }
    CRect rest(x, y, client.right, y + cellHeight);
    ::FillRect(dc, &rest, face);
    y += cellHeight;
  }
  CRect last(0, y, client.right, client.bottom);
  ::FillRect(dc, &last, face);
  ::EndPaint(m_hWnd, &paint);
}

// A frame that changed size (a new style, a theme) would cut the squares off: fit the window to
// them again.
void CCellSizeCtl::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  CRect window, client;
  GetWindowRect(&window);
  GetClientRect(&client);
  const int width = window.Width() - client.Width();
  const int height = window.Height() - client.Height();
  if (width == frameWidth && height == frameHeight) return;
  frameWidth = width;
  frameHeight = height;
  Resize();
}
