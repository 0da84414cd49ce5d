// CClientDC: the client area's context for drawing outside WM_PAINT.
#pragma once

#include "classlib/DeviceContext.h"

class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* pWnd);
  ~CClientDC() override;

 protected:
  HWND m_hWnd;
};
