// CWindowDC: the whole window's context, non-client area included.
#pragma once

#include "classlib/DeviceContext.h"

class CWindowDC : public CDC {
 public:
  explicit CWindowDC(CWnd* pWnd);
  ~CWindowDC() override;

 protected:
  HWND m_hWnd;
};
