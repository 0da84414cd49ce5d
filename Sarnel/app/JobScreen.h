// The main frame's first screen until the production window takes its place: it supplies the job
// menu and its accelerators and hands every command on to the document, as the production
// window's view will.
#pragma once

#include "ChildFrame.h"

class CTheDocument;

class CJobScreen : public CChildFrame {
  DECLARE_DYNAMIC(CJobScreen)

 public:
  explicit CJobScreen(CTheDocument* document);

  UINT GetMenuResourceId() override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

 protected:
  afx_msg void OnPaint();
  DECLARE_MESSAGE_MAP()

 private:
  CTheDocument* document;
};
