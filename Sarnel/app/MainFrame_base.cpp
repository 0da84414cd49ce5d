#include "MainFrame_base.h"

#include "ExitingEvent.h"
#include "HandlerFrame.h"
#include "IdleTimeEvent.h"
#include "SarnelEXE.h"
#include "TheDocument.h"

UINT BrisantBitmapMessage = 0;
UINT BrisantBitmapNoMessage = 0;
UINT ImageIdsClipboardFormat = 0;
UINT ItemIdsClipboardFormat = 0;

CMainFrame_base::CMainFrame_base(CTheDocument* document) : CTheDocumentUser(document) {
  BrisantBitmapMessage = RegisterWindowMessageA("BrisantBitmap");
  BrisantBitmapNoMessage = RegisterWindowMessageA("BrisantBitmapNo");
  ImageIdsClipboardFormat = RegisterClipboardFormatA("qm_bxq_ImageIDs");
  ItemIdsClipboardFormat = RegisterClipboardFormatA("qm_bxq_ItemIDs");
}

CMainFrame_base::~CMainFrame_base() = default;

int CMainFrame_base::OnEvent(EventSource*, Event* event) {
  auto* exiting = dynamic_cast<ExitingEvent*>(event);
  if (exiting == nullptr || document == nullptr) return 0;
  // A save that fails here is reported, and the program keeps running with the job open.
  bool mayExit = false;
  RunInHandlerFrame([&] { mayExit = document->SaveModified(); });
  if (!mayExit) exiting->cancel = true;
  return 0;
}

bool CMainFrame_base::FireIdleTimeEvent() {
  IdleTimeEvent event;
  if (CSarnelEXE* app = GetSarnelApp()) app->FireEvent(&event);
  return false;
}
