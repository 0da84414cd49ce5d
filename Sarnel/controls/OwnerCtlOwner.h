// The object that paints a COwnerCtl and takes its input. Every default hands the call back to the
// control's own virtual operation of the same role, so an owner overrides only what it cares about
// and a derived control still sees the rest.
#pragma once

#include "classlib/ClassLib.h"

class COwnerCtl;

class COwnerCtlOwner {
 public:
  virtual ~COwnerCtlOwner() = default;

  virtual void OwnerDraw(COwnerCtl* ctl, CDC* dc, const CRect& client, const CRect& clip);
  virtual void OwnerLButtonDown(COwnerCtl* ctl, UINT flags, int x, int y);
  virtual void OwnerLButtonUp(COwnerCtl* ctl, UINT flags, int x, int y);
  virtual void OwnerLButtonDblClk(COwnerCtl* ctl, UINT flags, int x, int y);
  virtual void OwnerRButtonDown(COwnerCtl* ctl, UINT flags, int x, int y);
  virtual void OwnerRButtonUp(COwnerCtl* ctl, UINT flags, int x, int y);
  virtual void OwnerRButtonDblClk(COwnerCtl* ctl, UINT flags, int x, int y);
  virtual void OwnerMouseMove(COwnerCtl* ctl, UINT flags, int x, int y);
  virtual void OwnerMouseWheel(COwnerCtl* ctl, UINT flags, short delta, int x, int y);
  virtual void OwnerKeyDown(COwnerCtl* ctl, UINT key, UINT repeat, UINT flags);
  virtual void OwnerKeyUp(COwnerCtl* ctl, UINT key, UINT repeat, UINT flags);
  virtual void OwnerChar(COwnerCtl* ctl, UINT ch, UINT repeat, UINT flags);
};
