// The ON_* entries of message maps and the thunks that crack each message's parameters into the
// handler's usual arguments. Included by MessageMap.h.
#pragma once

#include "classlib/Point.h"

#include <type_traits>

class CCmdTarget;
class CWnd;
class CDC;
class CMenu;
class CScrollBar;
class CCmdUI;

namespace afxmsg {

template <class T>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
  using type = C;
};
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...) const> {
  using type = C;
};

// The object the handler P belongs to.
template <auto P>
inline typename MemberOf<decltype(P)>::type* Self(CCmdTarget* target) {
  return static_cast<typename MemberOf<decltype(P)>::type*>(target);
}

// Calls the handler and keeps what it returns (if anything) as the message's result.
template <auto P, class... A>
inline BOOL Invoke(CCmdTarget* target, AFX_MSGCALL& call, A&&... args) {
  using R = decltype((Self<P>(target)->*P)(static_cast<A&&>(args)...));
  if constexpr (std::is_void_v<R>) {
    (Self<P>(target)->*P)(static_cast<A&&>(args)...);
    call.result = 0;
  } else if constexpr (std::is_pointer_v<R>) {
    call.result = reinterpret_cast<LRESULT>((Self<P>(target)->*P)(static_cast<A&&>(args)...));
  } else {
    call.result = static_cast<LRESULT>((Self<P>(target)->*P)(static_cast<A&&>(args)...));
  }
  return TRUE;
}

inline CPoint PointOf(LPARAM lParam) { return CPoint(lParam); }

// Window messages, by the shape of their handler.
template <auto P>
BOOL Void(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c);
}
template <auto P>
BOOL Create(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, reinterpret_cast<LPCREATESTRUCT>(c.lParam));
}
template <auto P, class D = CDC>
BOOL EraseBkgnd(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, D::FromHandle(reinterpret_cast<HDC>(c.wParam)));
}
template <auto P>
BOOL Size(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, static_cast<UINT>(c.wParam), static_cast<int>(static_cast<short>(LOWORD(c.lParam))),
                   static_cast<int>(static_cast<short>(HIWORD(c.lParam))));
}
template <auto P>
BOOL Move(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, static_cast<int>(static_cast<short>(LOWORD(c.lParam))),
                   static_cast<int>(static_cast<short>(HIWORD(c.lParam))));
}
template <auto P>
BOOL Timer(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, static_cast<UINT_PTR>(c.wParam));
}
template <auto P, class M = CMenu>
BOOL InitMenu(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, M::FromHandle(reinterpret_cast<HMENU>(c.wParam)));
}
template <auto P, class M = CMenu>
BOOL InitMenuPopup(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, M::FromHandle(reinterpret_cast<HMENU>(c.wParam)),
                   static_cast<UINT>(LOWORD(c.lParam)), static_cast<BOOL>(HIWORD(c.lParam)));
}
template <auto P>
BOOL MenuSelect(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, static_cast<UINT>(LOWORD(c.wParam)), static_cast<UINT>(HIWORD(c.wParam)),
                   reinterpret_cast<HMENU>(c.lParam));
}
template <auto P>
BOOL Bool(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, static_cast<BOOL>(c.wParam));
}
template <auto P>
BOOL ShowWindow(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, static_cast<BOOL>(c.wParam), static_cast<UINT>(c.lParam));
}
template <auto P, class W = CWnd>
BOOL WndFromW(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, W::FromHandle(reinterpret_cast<HWND>(c.wParam)));
}
template <auto P, class W = CWnd>
BOOL WndFromL(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, W::FromHandle(reinterpret_cast<HWND>(c.lParam)));
}
template <auto P>
BOOL Key(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, static_cast<UINT>(c.wParam), static_cast<UINT>(LOWORD(c.lParam)),
                   static_cast<UINT>(HIWORD(c.lParam)));
}
template <auto P>
BOOL Mouse(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, static_cast<UINT>(c.wParam), PointOf(c.lParam));
}
template <auto P>
BOOL MouseWheel(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, static_cast<UINT>(LOWORD(c.wParam)), static_cast<short>(HIWORD(c.wParam)),
                   PointOf(c.lParam));
}
template <auto P, class W = CWnd>
BOOL MouseActivate(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, W::FromHandle(reinterpret_cast<HWND>(c.wParam)), static_cast<UINT>(LOWORD(c.lParam)),
                   static_cast<UINT>(HIWORD(c.lParam)));
}
template <auto P, class W = CWnd>
BOOL SetCursor(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, W::FromHandle(reinterpret_cast<HWND>(c.wParam)), static_cast<UINT>(LOWORD(c.lParam)),
                   static_cast<UINT>(HIWORD(c.lParam)));
}
template <auto P, class W = CWnd, class S = CScrollBar>
BOOL Scroll(CCmdTarget* t, AFX_MSGCALL& c) {
  W* bar = c.lParam != 0 ? W::FromHandle(reinterpret_cast<HWND>(c.lParam)) : nullptr;
  return Invoke<P>(t, c, static_cast<UINT>(LOWORD(c.wParam)),
                   static_cast<UINT>(static_cast<short>(HIWORD(c.wParam))), static_cast<S*>(bar));
}
template <auto P>
BOOL NcCalcSize(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, static_cast<BOOL>(c.wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(c.lParam));
}
template <auto P>
BOOL Point(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, PointOf(c.lParam));
}
template <auto P>
BOOL HitTestPoint(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, static_cast<UINT>(c.wParam), PointOf(c.lParam));
}
template <auto P>
BOOL DrawItem(CCmdTarget* t, AFX_MSGCALL& c) {
  Invoke<P>(t, c, static_cast<int>(c.wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(c.lParam));
  c.result = TRUE;
  return TRUE;
}
template <auto P>
BOOL MeasureItem(CCmdTarget* t, AFX_MSGCALL& c) {
  Invoke<P>(t, c, static_cast<int>(c.wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(c.lParam));
  c.result = TRUE;
  return TRUE;
}
template <auto P, class D = CDC, class W = CWnd>
BOOL CtlColor(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, D::FromHandle(reinterpret_cast<HDC>(c.wParam)),
                   W::FromHandle(reinterpret_cast<HWND>(c.lParam)),
                   static_cast<UINT>(c.message - WM_CTLCOLORMSGBOX));
}
template <auto P, class W = CWnd>
BOOL ContextMenu(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, W::FromHandle(reinterpret_cast<HWND>(c.wParam)), PointOf(c.lParam));
}
template <auto P, class T>
BOOL LParamAs(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, reinterpret_cast<T>(c.lParam));
}
template <auto P, class W = CWnd>
BOOL Activate(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, static_cast<UINT>(LOWORD(c.wParam)), W::FromHandle(reinterpret_cast<HWND>(c.lParam)),
                   static_cast<BOOL>(HIWORD(c.wParam)));
}
template <auto P>
BOOL ActivateApp(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, static_cast<BOOL>(c.wParam), static_cast<DWORD>(c.lParam));
}
template <auto P>
BOOL SysCommand(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, static_cast<UINT>(c.wParam), c.lParam);
}
template <auto P>
BOOL DropFiles(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, reinterpret_cast<HDROP>(c.wParam));
}
template <auto P>
BOOL ParentNotify(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, static_cast<UINT>(LOWORD(c.wParam)), c.lParam);
}
template <auto P>
BOOL Message(CCmdTarget* t, AFX_MSGCALL& c) {
  return Invoke<P>(t, c, c.wParam, c.lParam);
}
template <auto P>
BOOL ThreadMessage(CCmdTarget* t, AFX_MSGCALL& c) {
  (Self<P>(t)->*P)(c.wParam, c.lParam);
  return TRUE;
}

// Commands and notifications.
template <auto P>
BOOL Command(CCmdTarget* t, AFX_MSGCALL&) {
  (Self<P>(t)->*P)();
  return TRUE;
}
template <auto P>
BOOL CommandEx(CCmdTarget* t, AFX_MSGCALL& c) {
  return (Self<P>(t)->*P)(c.nID) ? TRUE : FALSE;
}
template <auto P>
BOOL CommandRange(CCmdTarget* t, AFX_MSGCALL& c) {
  (Self<P>(t)->*P)(c.nID);
  return TRUE;
}
template <auto P>
BOOL ReflectEx(CCmdTarget* t, AFX_MSGCALL&) {
  return (Self<P>(t)->*P)() ? TRUE : FALSE;
}
BOOL UpdateResult(CCmdUI* pCmdUI);  // TRUE unless the handler asked to continue routing
void UpdateBegin(CCmdUI* pCmdUI);
template <auto P>
BOOL UpdateUI(CCmdTarget* t, AFX_MSGCALL& c) {
  auto* ui = static_cast<CCmdUI*>(c.pExtra);
  UpdateBegin(ui);
  (Self<P>(t)->*P)(ui);
  return UpdateResult(ui);
}
template <auto P>
BOOL UpdateUIRange(CCmdTarget* t, AFX_MSGCALL& c) {
  auto* ui = static_cast<CCmdUI*>(c.pExtra);
  UpdateBegin(ui);
  (Self<P>(t)->*P)(ui);
  return UpdateResult(ui);
}
template <auto P>
BOOL Notify(CCmdTarget* t, AFX_MSGCALL& c) {
  auto* n = static_cast<AFX_NOTIFY*>(c.pExtra);
  (Self<P>(t)->*P)(n->pNMHDR, n->pResult);
  return TRUE;
}
template <auto P>
BOOL NotifyEx(CCmdTarget* t, AFX_MSGCALL& c) {
  auto* n = static_cast<AFX_NOTIFY*>(c.pExtra);
  return (Self<P>(t)->*P)(c.nID, n->pNMHDR, n->pResult) ? TRUE : FALSE;
}
template <auto P>
BOOL NotifyRange(CCmdTarget* t, AFX_MSGCALL& c) {
  auto* n = static_cast<AFX_NOTIFY*>(c.pExtra);
  (Self<P>(t)->*P)(c.nID, n->pNMHDR, n->pResult);
  return TRUE;
}
template <auto P>
BOOL NotifyReflectEx(CCmdTarget* t, AFX_MSGCALL& c) {
  auto* n = static_cast<AFX_NOTIFY*>(c.pExtra);
  return (Self<P>(t)->*P)(n->pNMHDR, n->pResult) ? TRUE : FALSE;
}

// Reflected owner-draw, colour and scroll messages.
template <auto P, class D = CDC>
BOOL CtlColorReflect(CCmdTarget* t, AFX_MSGCALL& c) {
  HBRUSH brush = (Self<P>(t)->*P)(D::FromHandle(reinterpret_cast<HDC>(c.wParam)),
                                  static_cast<UINT>(c.message - WM_CTLCOLORMSGBOX));
  c.result = reinterpret_cast<LRESULT>(brush);
  return brush != nullptr ? TRUE : FALSE;
}
template <auto P>
BOOL DrawItemReflect(CCmdTarget* t, AFX_MSGCALL& c) {
  (Self<P>(t)->*P)(reinterpret_cast<LPDRAWITEMSTRUCT>(c.lParam));
  c.result = TRUE;
  return TRUE;
}
template <auto P>
BOOL MeasureItemReflect(CCmdTarget* t, AFX_MSGCALL& c) {
  (Self<P>(t)->*P)(reinterpret_cast<LPMEASUREITEMSTRUCT>(c.lParam));
  c.result = TRUE;
  return TRUE;
}
template <auto P>
BOOL ScrollReflect(CCmdTarget* t, AFX_MSGCALL& c) {
  (Self<P>(t)->*P)(static_cast<UINT>(LOWORD(c.wParam)),
                   static_cast<UINT>(static_cast<short>(HIWORD(c.wParam))));
  return TRUE;
}

}  // namespace afxmsg

#define AFX_WM_ENTRY(msg, thunk) {msg, 0, 0, 0, nullptr, thunk},

// Lifetime, painting and state.
#define ON_WM_CREATE() AFX_WM_ENTRY(WM_CREATE, &afxmsg::Create<&ThisClass::OnCreate>)
#define ON_WM_DESTROY() AFX_WM_ENTRY(WM_DESTROY, &afxmsg::Void<&ThisClass::OnDestroy>)
#define ON_WM_NCDESTROY() AFX_WM_ENTRY(WM_NCDESTROY, &afxmsg::Void<&ThisClass::OnNcDestroy>)
#define ON_WM_CLOSE() AFX_WM_ENTRY(WM_CLOSE, &afxmsg::Void<&ThisClass::OnClose>)
#define ON_WM_ERASEBKGND() AFX_WM_ENTRY(WM_ERASEBKGND, &afxmsg::EraseBkgnd<&ThisClass::OnEraseBkgnd>)
#define ON_WM_PAINT() AFX_WM_ENTRY(WM_PAINT, &afxmsg::Void<&ThisClass::OnPaint>)
#define ON_WM_SIZE() AFX_WM_ENTRY(WM_SIZE, &afxmsg::Size<&ThisClass::OnSize>)
#define ON_WM_MOVE() AFX_WM_ENTRY(WM_MOVE, &afxmsg::Move<&ThisClass::OnMove>)
#define ON_WM_TIMER() AFX_WM_ENTRY(WM_TIMER, &afxmsg::Timer<&ThisClass::OnTimer>)
#define ON_WM_INITMENU() AFX_WM_ENTRY(WM_INITMENU, &afxmsg::InitMenu<&ThisClass::OnInitMenu>)
#define ON_WM_INITMENUPOPUP() \
  AFX_WM_ENTRY(WM_INITMENUPOPUP, &afxmsg::InitMenuPopup<&ThisClass::OnInitMenuPopup>)
#define ON_WM_MENUSELECT() AFX_WM_ENTRY(WM_MENUSELECT, &afxmsg::MenuSelect<&ThisClass::OnMenuSelect>)
#define ON_WM_ENABLE() AFX_WM_ENTRY(WM_ENABLE, &afxmsg::Bool<&ThisClass::OnEnable>)
#define ON_WM_SHOWWINDOW() AFX_WM_ENTRY(WM_SHOWWINDOW, &afxmsg::ShowWindow<&ThisClass::OnShowWindow>)
#define ON_WM_SYSCOLORCHANGE() AFX_WM_ENTRY(WM_SYSCOLORCHANGE, &afxmsg::Void<&ThisClass::OnSysColorChange>)
#define ON_WM_GETMINMAXINFO() \
  AFX_WM_ENTRY(WM_GETMINMAXINFO, (&afxmsg::LParamAs<&ThisClass::OnGetMinMaxInfo, MINMAXINFO*>))
#define ON_WM_WINDOWPOSCHANGING() \
  AFX_WM_ENTRY(WM_WINDOWPOSCHANGING, (&afxmsg::LParamAs<&ThisClass::OnWindowPosChanging, WINDOWPOS*>))
#define ON_WM_WINDOWPOSCHANGED() \
  AFX_WM_ENTRY(WM_WINDOWPOSCHANGED, (&afxmsg::LParamAs<&ThisClass::OnWindowPosChanged, WINDOWPOS*>))
#define ON_WM_ACTIVATE() AFX_WM_ENTRY(WM_ACTIVATE, &afxmsg::Activate<&ThisClass::OnActivate>)
#define ON_WM_ACTIVATEAPP() AFX_WM_ENTRY(WM_ACTIVATEAPP, &afxmsg::ActivateApp<&ThisClass::OnActivateApp>)
#define ON_WM_SYSCOMMAND() AFX_WM_ENTRY(WM_SYSCOMMAND, &afxmsg::SysCommand<&ThisClass::OnSysCommand>)
#define ON_WM_DROPFILES() AFX_WM_ENTRY(WM_DROPFILES, &afxmsg::DropFiles<&ThisClass::OnDropFiles>)
#define ON_WM_CANCELMODE() AFX_WM_ENTRY(WM_CANCELMODE, &afxmsg::Void<&ThisClass::OnCancelMode>)
#define ON_WM_PARENTNOTIFY() AFX_WM_ENTRY(WM_PARENTNOTIFY, &afxmsg::ParentNotify<&ThisClass::OnParentNotify>)
#define ON_WM_PALETTECHANGED() \
  AFX_WM_ENTRY(WM_PALETTECHANGED, &afxmsg::WndFromW<&ThisClass::OnPaletteChanged>)
#define ON_WM_QUERYNEWPALETTE() AFX_WM_ENTRY(WM_QUERYNEWPALETTE, &afxmsg::Void<&ThisClass::OnQueryNewPalette>)
#define ON_WM_CONTEXTMENU() AFX_WM_ENTRY(WM_CONTEXTMENU, &afxmsg::ContextMenu<&ThisClass::OnContextMenu>)

// Focus and keys.
#define ON_WM_SETFOCUS() AFX_WM_ENTRY(WM_SETFOCUS, &afxmsg::WndFromW<&ThisClass::OnSetFocus>)
#define ON_WM_KILLFOCUS() AFX_WM_ENTRY(WM_KILLFOCUS, &afxmsg::WndFromW<&ThisClass::OnKillFocus>)
#define ON_WM_KEYDOWN() AFX_WM_ENTRY(WM_KEYDOWN, &afxmsg::Key<&ThisClass::OnKeyDown>)
#define ON_WM_KEYUP() AFX_WM_ENTRY(WM_KEYUP, &afxmsg::Key<&ThisClass::OnKeyUp>)
#define ON_WM_SYSKEYDOWN() AFX_WM_ENTRY(WM_SYSKEYDOWN, &afxmsg::Key<&ThisClass::OnSysKeyDown>)
#define ON_WM_SYSKEYUP() AFX_WM_ENTRY(WM_SYSKEYUP, &afxmsg::Key<&ThisClass::OnSysKeyUp>)
#define ON_WM_CHAR() AFX_WM_ENTRY(WM_CHAR, &afxmsg::Key<&ThisClass::OnChar>)
#define ON_WM_SYSCHAR() AFX_WM_ENTRY(WM_SYSCHAR, &afxmsg::Key<&ThisClass::OnSysChar>)
#define ON_WM_GETDLGCODE() AFX_WM_ENTRY(WM_GETDLGCODE, &afxmsg::Void<&ThisClass::OnGetDlgCode>)

// Mouse.
#define ON_WM_LBUTTONDOWN() AFX_WM_ENTRY(WM_LBUTTONDOWN, &afxmsg::Mouse<&ThisClass::OnLButtonDown>)
#define ON_WM_LBUTTONUP() AFX_WM_ENTRY(WM_LBUTTONUP, &afxmsg::Mouse<&ThisClass::OnLButtonUp>)
#define ON_WM_LBUTTONDBLCLK() AFX_WM_ENTRY(WM_LBUTTONDBLCLK, &afxmsg::Mouse<&ThisClass::OnLButtonDblClk>)
#define ON_WM_RBUTTONDOWN() AFX_WM_ENTRY(WM_RBUTTONDOWN, &afxmsg::Mouse<&ThisClass::OnRButtonDown>)
#define ON_WM_RBUTTONUP() AFX_WM_ENTRY(WM_RBUTTONUP, &afxmsg::Mouse<&ThisClass::OnRButtonUp>)
#define ON_WM_RBUTTONDBLCLK() AFX_WM_ENTRY(WM_RBUTTONDBLCLK, &afxmsg::Mouse<&ThisClass::OnRButtonDblClk>)
#define ON_WM_MBUTTONDOWN() AFX_WM_ENTRY(WM_MBUTTONDOWN, &afxmsg::Mouse<&ThisClass::OnMButtonDown>)
#define ON_WM_MBUTTONUP() AFX_WM_ENTRY(WM_MBUTTONUP, &afxmsg::Mouse<&ThisClass::OnMButtonUp>)
#define ON_WM_MOUSEMOVE() AFX_WM_ENTRY(WM_MOUSEMOVE, &afxmsg::Mouse<&ThisClass::OnMouseMove>)
#define ON_WM_MOUSEWHEEL() AFX_WM_ENTRY(WM_MOUSEWHEEL, &afxmsg::MouseWheel<&ThisClass::OnMouseWheel>)
#define ON_WM_MOUSEACTIVATE() \
  AFX_WM_ENTRY(WM_MOUSEACTIVATE, &afxmsg::MouseActivate<&ThisClass::OnMouseActivate>)
#define ON_WM_CAPTURECHANGED() \
  AFX_WM_ENTRY(WM_CAPTURECHANGED, &afxmsg::WndFromL<&ThisClass::OnCaptureChanged>)
#define ON_WM_SETCURSOR() AFX_WM_ENTRY(WM_SETCURSOR, &afxmsg::SetCursor<&ThisClass::OnSetCursor>)

// Scrolling and the non-client area.
#define ON_WM_HSCROLL() AFX_WM_ENTRY(WM_HSCROLL, &afxmsg::Scroll<&ThisClass::OnHScroll>)
#define ON_WM_VSCROLL() AFX_WM_ENTRY(WM_VSCROLL, &afxmsg::Scroll<&ThisClass::OnVScroll>)
#define ON_WM_NCCALCSIZE() AFX_WM_ENTRY(WM_NCCALCSIZE, &afxmsg::NcCalcSize<&ThisClass::OnNcCalcSize>)
#define ON_WM_NCHITTEST() AFX_WM_ENTRY(WM_NCHITTEST, &afxmsg::Point<&ThisClass::OnNcHitTest>)
#define ON_WM_NCPAINT() AFX_WM_ENTRY(WM_NCPAINT, &afxmsg::Void<&ThisClass::OnNcPaint>)
#define ON_WM_NCLBUTTONDOWN() \
  AFX_WM_ENTRY(WM_NCLBUTTONDOWN, &afxmsg::HitTestPoint<&ThisClass::OnNcLButtonDown>)
#define ON_WM_NCMOUSEMOVE() AFX_WM_ENTRY(WM_NCMOUSEMOVE, &afxmsg::HitTestPoint<&ThisClass::OnNcMouseMove>)

// Owner drawing and control colours (every WM_CTLCOLOR* message comes to OnCtlColor).
#define ON_WM_DRAWITEM() AFX_WM_ENTRY(WM_DRAWITEM, &afxmsg::DrawItem<&ThisClass::OnDrawItem>)
#define ON_WM_MEASUREITEM() AFX_WM_ENTRY(WM_MEASUREITEM, &afxmsg::MeasureItem<&ThisClass::OnMeasureItem>)
#define ON_WM_CTLCOLOR() AFX_WM_ENTRY(WM_CTLCOLOR, &afxmsg::CtlColor<&ThisClass::OnCtlColor>)

// General entries.
#define ON_MESSAGE(message, memberFxn) {message, 0, 0, 0, nullptr, &afxmsg::Message<memberFxn>},
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn) \
  {0, 0, 0, 0, &nMessageVariable, &afxmsg::Message<memberFxn>},
#define ON_THREAD_MESSAGE(message, memberFxn) {message, 0, 0, 0, nullptr, &afxmsg::ThreadMessage<memberFxn>},
#define ON_REGISTERED_THREAD_MESSAGE(nMessageVariable, memberFxn) \
  {0, 0, 0, 0, &nMessageVariable, &afxmsg::ThreadMessage<memberFxn>},

#define ON_COMMAND(id, memberFxn) \
  {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), nullptr, &afxmsg::Command<memberFxn>},
#define ON_COMMAND_EX(id, memberFxn) \
  {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), nullptr, &afxmsg::CommandEx<memberFxn>},
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn) \
  {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), nullptr, &afxmsg::CommandEx<memberFxn>},
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
  {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), nullptr, &afxmsg::CommandRange<memberFxn>},
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
  {WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id), nullptr, &afxmsg::UpdateUI<memberFxn>},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
  {WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(idLast), nullptr, &afxmsg::UpdateUIRange<memberFxn>},
#define ON_CONTROL(code, id, memberFxn) \
  {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), nullptr, &afxmsg::Command<memberFxn>},
#define ON_CONTROL_RANGE(code, id, idLast, memberFxn) \
  {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(idLast), nullptr, &afxmsg::CommandRange<memberFxn>},
#define ON_NOTIFY(code, id, memberFxn) \
  {WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), nullptr, &afxmsg::Notify<memberFxn>},
#define ON_NOTIFY_EX(code, id, memberFxn) \
  {WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), nullptr, &afxmsg::NotifyEx<memberFxn>},
#define ON_NOTIFY_RANGE(code, id, idLast, memberFxn) \
  {WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(idLast), nullptr, &afxmsg::NotifyRange<memberFxn>},

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)

// Reflection: a control handles its own notification before (and instead of) its parent.
#define ON_CONTROL_REFLECT(code, memberFxn) \
  {WM_REFLECT_BASE + WM_COMMAND, (UINT)(code), 0, 0, nullptr, &afxmsg::Command<memberFxn>},
#define ON_CONTROL_REFLECT_EX(code, memberFxn) \
  {WM_REFLECT_BASE + WM_COMMAND, (UINT)(code), 0, 0, nullptr, &afxmsg::ReflectEx<memberFxn>},
#define ON_NOTIFY_REFLECT(code, memberFxn) \
  {WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, 0, nullptr, &afxmsg::Notify<memberFxn>},
#define ON_NOTIFY_REFLECT_EX(code, memberFxn) \
  {WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, 0, nullptr, &afxmsg::NotifyReflectEx<memberFxn>},
#define ON_WM_CTLCOLOR_REFLECT() \
  AFX_WM_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR, &afxmsg::CtlColorReflect<&ThisClass::CtlColor>)
#define ON_WM_DRAWITEM_REFLECT() \
  AFX_WM_ENTRY(WM_REFLECT_BASE + WM_DRAWITEM, &afxmsg::DrawItemReflect<&ThisClass::DrawItem>)
#define ON_WM_MEASUREITEM_REFLECT() \
  AFX_WM_ENTRY(WM_REFLECT_BASE + WM_MEASUREITEM, &afxmsg::MeasureItemReflect<&ThisClass::MeasureItem>)
#define ON_WM_HSCROLL_REFLECT() \
  AFX_WM_ENTRY(WM_REFLECT_BASE + WM_HSCROLL, &afxmsg::ScrollReflect<&ThisClass::HScroll>)
#define ON_WM_VSCROLL_REFLECT() \
  AFX_WM_ENTRY(WM_REFLECT_BASE + WM_VSCROLL, &afxmsg::ScrollReflect<&ThisClass::VScroll>)
