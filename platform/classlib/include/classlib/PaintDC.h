// CPaintDC: BeginPaint/EndPaint around a WM_PAINT handler.
#pragma once

#include "classlib/DeviceContext.h"

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps = {};

 protected:
  HWND m_hWnd;
};
