// CCmdTarget: an object that receives commands through its message map.
#pragma once

#include "classlib/InterfaceMap.h"
#include "classlib/MessageMap.h"
#include "classlib/RuntimeClass.h"

class CCmdUI;

// Filled in instead of calling the handler when OnCmdMsg is only asked whether one exists.
struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget;
  const AFX_MSGMAP_ENTRY* pEntry;
};

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)

 public:
  CCmdTarget() = default;

  // Looks the command up in this object's map chain. nCode is CN_COMMAND (or a control
  // notification code), CN_UPDATE_COMMAND_UI with pExtra the CCmdUI, or MAKELONG(code,
  // WM_NOTIFY) with pExtra an AFX_NOTIFY. With pHandlerInfo set only reports the handler found.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor();

  // Finds the entry for a window message in the chain (null when none).
  const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT nCode = 0, UINT nID = 0) const;
  // Calls a thread message's handler (ON_THREAD_MESSAGE); FALSE when there is none.
  BOOL DispatchThreadMessage(MSG* pMsg);

  // COM identity of a target with an interface map. The count starts at one (the creator's
  // reference); the last release calls OnFinalRelease, which deletes the object.
  void EnableAutomation() {}
  IUnknown* GetControllingUnknown();
  DWORD ExternalAddRef();
  DWORD ExternalRelease();
  DWORD ExternalQueryInterface(const void* iid, void** ppvObj);
  // The interface part for an identifier, without a reference (null when the map has none).
  IUnknown* GetInterface(const void* iid);
  virtual void OnFinalRelease();

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
  static const AFX_INTERFACEMAP* GetThisInterfaceMap();
  virtual const AFX_INTERFACEMAP* GetInterfaceMap() const;

  LONG m_dwRef = 1;
};
