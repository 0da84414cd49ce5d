#include "OwnerCtlOwner.h"

#include "OwnerCtl.h"

void COwnerCtlOwner::OwnerDraw(COwnerCtl* ctl, CDC* dc, const CRect& client, const CRect& clip) {
  ctl->Draw(dc, client, clip);
}
void COwnerCtlOwner::OwnerLButtonDown(COwnerCtl* ctl, UINT flags, int x, int y) {
  ctl->LButtonDown(flags, x, y);
}
void COwnerCtlOwner::OwnerLButtonUp(COwnerCtl* ctl, UINT flags, int x, int y) { ctl->LButtonUp(flags, x, y); }
void COwnerCtlOwner::OwnerLButtonDblClk(COwnerCtl* ctl, UINT flags, int x, int y) {
  ctl->LButtonDblClk(flags, x, y);
}
void COwnerCtlOwner::OwnerRButtonDown(COwnerCtl* ctl, UINT flags, int x, int y) {
  ctl->RButtonDown(flags, x, y);
}
void COwnerCtlOwner::OwnerRButtonUp(COwnerCtl* ctl, UINT flags, int x, int y) { ctl->RButtonUp(flags, x, y); }
void COwnerCtlOwner::OwnerRButtonDblClk(COwnerCtl* ctl, UINT flags, int x, int y) {
  ctl->RButtonDblClk(flags, x, y);
}
void COwnerCtlOwner::OwnerMouseMove(COwnerCtl* ctl, UINT flags, int x, int y) { ctl->MouseMove(flags, x, y); }
void COwnerCtlOwner::OwnerMouseWheel(COwnerCtl* ctl, UINT flags, short delta, int x, int y) {
  ctl->MouseWheel(flags, delta, x, y);
}
void COwnerCtlOwner::OwnerKeyDown(COwnerCtl* ctl, UINT key, UINT repeat, UINT flags) {
  ctl->KeyDown(key, repeat, flags);
}
void COwnerCtlOwner::OwnerKeyUp(COwnerCtl* ctl, UINT key, UINT repeat, UINT flags) {
  ctl->KeyUp(key, repeat, flags);
}
void COwnerCtlOwner::OwnerChar(COwnerCtl* ctl, UINT ch, UINT repeat, UINT flags) {
  ctl->Char(ch, repeat, flags);
}
