// CCreateContext: what a frame needs to create its view (the view's class and its document).
#pragma once

#include "classlib/RuntimeClass.h"

class CDocument;
class CFrameWnd;
class CView;

struct CCreateContext {
  CRuntimeClass* m_pNewViewClass = nullptr;
  CDocument* m_pCurrentDoc = nullptr;
  CFrameWnd* m_pCurrentFrame = nullptr;
  CView* m_pLastView = nullptr;
};
