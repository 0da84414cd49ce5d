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

  // COM objects: the interfaces of the class's interface map share one reference count. It starts at 1
  // for the creator; the release that brings it to 0 calls OnFinalRelease.
  void EnableAutomation() { m_bAutomation = true; }
  bool IsAutomationEnabled() const { return m_bAutomation; }
  // The object's IUnknown: the first interface of its map (no reference added); null without a map.
  LPUNKNOWN GetControllingUnknown();
  // The interface of the map for iid (IID_IUnknown: the first), without a reference; null when none.
  LPUNKNOWN GetInterface(const void* iid);
  DWORD ExternalAddRef();
  DWORD ExternalRelease();
  HRESULT ExternalQueryInterface(const void* iid, LPVOID* ppvObj);
  // Called when the last reference went; deletes the object.
  virtual void OnFinalRelease();

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
  static const AFX_INTERFACEMAP* GetThisInterfaceMap();
  virtual const AFX_INTERFACEMAP* GetInterfaceMap() const;

  volatile LONG m_dwRef = 1;

 private:
  bool m_bAutomation = false;
};
