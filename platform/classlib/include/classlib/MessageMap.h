// Message maps: each class that handles messages has one static table of entries, chained to its
// base class's table. Window messages, commands, notifications, update-UI requests and reflected
// notifications are all found by looking them up in these tables.
//
// Handlers are named in the standard C++ form: ON_COMMAND(ID_FILE_OPEN, &CMyView::OnFileOpen).
// The ON_WM_* entries take no name; they call the member of the usual name and signature
// (ON_WM_PAINT -> void OnPaint(), ON_WM_LBUTTONDOWN -> void OnLButtonDown(UINT, CPoint) ...).
#pragma once

#include "classlib/Base.h"

// Marks message handlers in class declarations.
#define afx_msg

class CCmdTarget;

// Control-notification codes used with commands.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))

// What a thunk receives: the message, its parameters, the place for its result and, for
// commands, the id, code and extra data of OnCmdMsg.
struct AFX_MSGCALL {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result;
  UINT nID;
  void* pExtra;
};

// Calls the handler of one entry; returns FALSE when the handler declined (ContinueRouting, or a
// *_EX handler returning FALSE).
typedef BOOL (*AFX_MSGTHUNK)(CCmdTarget* target, AFX_MSGCALL& call);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;                   // message number; WM_COMMAND/WM_NOTIFY for commands and notifications
  UINT nCode;                      // control or notification code
  UINT nID;                        // first control id
  UINT nLastID;                    // last control id of a range
  const UINT* pRegisteredMessage;  // ON_REGISTERED_MESSAGE: where the message number is kept
  AFX_MSGTHUNK pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Message numbers the layer uses among its own windows.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019  // stands for every WM_CTLCOLOR* message in a map
#endif
#define WM_REFLECT_BASE 0xBC00     // a parent's notification offered back to the control
#define WM_IDLEUPDATECMDUI 0x0363  // wParam: disable commands that have no handler
#define WM_KICKIDLE 0x036A         // idle time of a modal loop; lParam: idle count
#define WM_SIZEPARENT 0x0361
#define WM_SETMESSAGESTRING 0x0362    // wParam: string id (or 0 with lParam the text)
#define WM_CLASSLIB_THREADMSG 0x0000  // marker of ON_THREAD_MESSAGE entries (nCode)

// The notification pair that OnCmdMsg carries in pExtra for WM_NOTIFY.
struct AFX_NOTIFY {
  LRESULT* pResult;
  NMHDR* pNMHDR;
};

#define DECLARE_MESSAGE_MAP()                   \
 protected:                                     \
  static const AFX_MSGMAP* GetThisMessageMap(); \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
    typedef theClass ThisClass;                                                     \
    typedef baseClass TheBaseClass;                                                 \
    (void)sizeof(ThisClass*);                                                       \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define BEGIN_TEMPLATE_MESSAGE_MAP(theClass, type_name, baseClass) \
  template <typename type_name>                                    \
  const AFX_MSGMAP* theClass<type_name>::GetMessageMap() const {   \
    return GetThisMessageMap();                                    \
  }                                                                \
  template <typename type_name>                                    \
  const AFX_MSGMAP* theClass<type_name>::GetThisMessageMap() {     \
    typedef theClass<type_name> ThisClass;                         \
    typedef baseClass TheBaseClass;                                \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                   \
  { 0, 0, 0, 0, nullptr, nullptr }                                                          \
  }                                                                                         \
  ;                                                                                         \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, _messageEntries}; \
  return &messageMap;                                                                       \
  }

// The entries themselves and their argument crackers.
#include "classlib/MessageEntries.h"
