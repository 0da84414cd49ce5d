#include "FloatingBarWnd.h"

#include <memory>

BEGIN_MESSAGE_MAP(CFloatingBarWnd, CWnd)
  ON_WM_CLOSE()
  ON_WM_PARENTNOTIFY()
END_MESSAGE_MAP()

namespace {

constexpr DWORD FloatingStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD FloatingExStyle = WS_EX_TOOLWINDOW;

// The window rectangle whose client area holds the bar, top left corner at point.
CRect WindowAround(CControlBar* bar, CPoint point, BOOL horizontal) {
  const CSize size = bar->CalcFixedLayout(FALSE, horizontal);
  CRect rect(0, 0, size.cx, size.cy);
  ::AdjustWindowRectEx(&rect, FloatingStyle, FALSE, FloatingExStyle);
  rect.OffsetRect(point.x - rect.left, point.y - rect.top);
  return rect;
}

}  // namespace

CFloatingBarWnd* CFloatingBarWnd::Float(CFrameWnd* frame, CControlBar* bar, CPoint point, BOOL horizontal) {
  std::unique_ptr<CFloatingBarWnd> window(new CFloatingBarWnd(frame, bar));
  CString title;
  bar->GetWindowText(title);
  const CRect rect = WindowAround(bar, point, horizontal);
  LPCTSTR windowClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  // A popup cannot belong to a child window: Windows makes the frame's top-level window the owner.
  if (!window->CreateEx(FloatingExStyle, windowClass, title, FloatingStyle, rect.left, rect.top, rect.Width(),
                        rect.Height(), frame->m_hWnd, nullptr))
    return nullptr;
  window->created = true;
  const BOOL shown = (bar->GetStyle() & WS_VISIBLE) != 0;
  bar->SetParent(window.get());
  bar->SetOwner(frame);
  CRect client;
  window->GetClientRect(&client);
  bar->MoveWindow(client.left, client.top, client.Width(), client.Height());
  if (shown) window->ShowWindow(SW_SHOWNOACTIVATE);
  return window.release();
}

CFloatingBarWnd* CFloatingBarWnd::Of(const CControlBar* bar) {
  if (bar == nullptr || bar->m_hWnd == nullptr) return nullptr;
  auto* window = dynamic_cast<CFloatingBarWnd*>(FromHandlePermanent(::GetParent(bar->m_hWnd)));
  return window != nullptr && window->barWindow == bar->m_hWnd ? window : nullptr;
}

std::vector<CFloatingBarWnd*> CFloatingBarWnd::OfFrame(const CFrameWnd* frame) {
  struct Search {
    const CFrameWnd* frame;
    std::vector<CFloatingBarWnd*> found;
  } search{frame, {}};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hWnd, LPARAM lParam) -> BOOL {
        auto* search = reinterpret_cast<Search*>(lParam);
        auto* window = dynamic_cast<CFloatingBarWnd*>(FromHandlePermanent(hWnd));
        if (window != nullptr && window->frame == search->frame) search->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

CControlBar* CFloatingBarWnd::GetBar() const {
  return dynamic_cast<CControlBar*>(FromHandlePermanent(barWindow));
}

void CFloatingBarWnd::Place(CPoint point, BOOL horizontal) {
  CControlBar* bar = GetBar();
  if (bar == nullptr) return;
  const CRect rect = WindowAround(bar, point, horizontal);
  SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  CRect client;
  GetClientRect(&client);
  bar->MoveWindow(client.left, client.top, client.Width(), client.Height());
}

void CFloatingBarWnd::Follow(BOOL shown) {
  if ((IsWindowVisible() != FALSE) != (shown != FALSE)) ShowWindow(shown ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void CFloatingBarWnd::ReturnBar() {
  if (::IsWindow(barWindow)) ::SetParent(barWindow, frame->m_hWnd);
  DestroyWindow();
}

void CFloatingBarWnd::PostNcDestroy() {
  if (created) delete this;
}

void CFloatingBarWnd::OnClose() {
  if (CControlBar* bar = GetBar()) frame->ShowControlBar(bar, FALSE, FALSE);
}

// An empty tool window has nothing to show; the frame destroys it with itself.
void CFloatingBarWnd::OnParentNotify(UINT message, LPARAM lParam) {
  if (LOWORD(message) == WM_DESTROY && reinterpret_cast<HWND>(lParam) == barWindow) ShowWindow(SW_HIDE);
}
