// The editing control as an embedded object: its site, in-place activation, extent and drawing
// while inactive.
#include "LutCtl.h"

using comserver::CComPtr;
using comserver::CComQIPtr;
using comserver::GuardedCall;

namespace {

constexpr DWORD kMiscStatus = 131473;

}  // namespace

STDMETHODIMP CLutCtl::SetClientSite(IOleClientSite* site) {
  return GuardedCall([&] {
    if (!site) {
      // Detaching: the held LUT would otherwise keep this control alive through its advise.
      InPlaceDeactivate();
      AdviseLut(false);
    }
    m_clientSite = site;
    ResolveColours();
    BuildRowFont();
    return S_OK;
  });
}

STDMETHODIMP CLutCtl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = m_clientSite;
  if (*site) (*site)->AddRef();
  return S_OK;
}

STDMETHODIMP CLutCtl::Close(DWORD) {
  return GuardedCall([&] {
    InPlaceDeactivate();
    AdviseLut(false);
    if (m_oleAdviseHolder) m_oleAdviseHolder->SendOnClose();
    return S_OK;
  });
}

STDMETHODIMP CLutCtl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) {
  return GuardedCall([&]() -> HRESULT {
    if (site && !m_clientSite) SetClientSite(site);
    switch (verb) {
      case OLEIVERB_HIDE:
        if (m_hWnd) ShowWindow(m_hWnd, SW_HIDE);
        return S_OK;
      case OLEIVERB_PRIMARY:
      case OLEIVERB_SHOW:
      case OLEIVERB_INPLACEACTIVATE:
      case OLEIVERB_UIACTIVATE:
        return InPlaceActivate(verb, parent, rect);
      default:
        return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
  });
}

HRESULT CLutCtl::InPlaceActivate(LONG verb, HWND parent, LPCRECT rect) {
  if (!m_clientSite) return E_UNEXPECTED;
  if (!m_inPlaceActive) {
    CComQIPtr<IOleInPlaceSite> site(m_clientSite);
    if (!site) return E_FAIL;
    if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
    HRESULT hr = site->OnInPlaceActivate();
    if (FAILED(hr)) return hr;
    m_inPlaceSite = site;
    m_inPlaceActive = true;

    HWND siteWindow = nullptr;
    if (FAILED(site->GetWindow(&siteWindow)) || !siteWindow) siteWindow = parent;
    CComPtr<IOleInPlaceFrame> frame;
    CComPtr<IOleInPlaceUIWindow> document;
    RECT position = rect ? *rect : RECT{0, 0, 0, 0};
    RECT clip = position;
    OLEINPLACEFRAMEINFO frameInfo = {sizeof(OLEINPLACEFRAMEINFO)};
    if (SUCCEEDED(site->GetWindowContext(&frame, &document, &position, &clip, &frameInfo))) {
      if (frameInfo.haccel) DestroyAcceleratorTable(frameInfo.haccel);
    }
    hr = EnsureLut();
    if (SUCCEEDED(hr)) hr = CreateControlWindow(siteWindow, position);
    if (FAILED(hr)) {
      InPlaceDeactivate();
      return hr;
    }
    AdviseLut(true);
    ShowWindow(m_hWnd, SW_SHOWNA);
  }
  if ((verb == OLEIVERB_UIACTIVATE || verb == OLEIVERB_PRIMARY) && !m_uiActive) {
    m_uiActive = true;
    m_inPlaceSite->OnUIActivate();
    CComPtr<IOleInPlaceFrame> frame;
    CComPtr<IOleInPlaceUIWindow> document;
    RECT position, clip;
    OLEINPLACEFRAMEINFO frameInfo = {sizeof(OLEINPLACEFRAMEINFO)};
    if (SUCCEEDED(m_inPlaceSite->GetWindowContext(&frame, &document, &position, &clip, &frameInfo))) {
      if (frameInfo.haccel) DestroyAcceleratorTable(frameInfo.haccel);
      if (frame) frame->SetActiveObject(this, nullptr);
      if (document) document->SetActiveObject(this, nullptr);
    }
    if (m_hWnd && !IsChild(m_hWnd, GetFocus())) SetFocus(m_hWnd);
  }
  return S_OK;
}

STDMETHODIMP CLutCtl::UIDeactivate() {
  if (!m_uiActive) return S_OK;
  m_uiActive = false;
  if (m_inPlaceSite) {
    CComPtr<IOleInPlaceFrame> frame;
    CComPtr<IOleInPlaceUIWindow> document;
    RECT position, clip;
    OLEINPLACEFRAMEINFO frameInfo = {sizeof(OLEINPLACEFRAMEINFO)};
    if (SUCCEEDED(m_inPlaceSite->GetWindowContext(&frame, &document, &position, &clip, &frameInfo))) {
      if (frameInfo.haccel) DestroyAcceleratorTable(frameInfo.haccel);
      if (frame) frame->SetActiveObject(nullptr, nullptr);
      if (document) document->SetActiveObject(nullptr, nullptr);
    }
    m_inPlaceSite->OnUIDeactivate(FALSE);
  }
  return S_OK;
}

STDMETHODIMP CLutCtl::InPlaceDeactivate() {
  if (!m_inPlaceActive) return S_OK;
  UIDeactivate();
  AdviseLut(false);
  m_inPlaceActive = false;
  if (m_hWnd) {
    HWND window = m_hWnd;
    m_hWnd = nullptr;
    SetWindowLongPtrW(window, DWLP_USER, 0);
    DestroyWindow(window);
  }
  m_curve.clear();
  m_curveValid = false;
  CComPtr<IOleInPlaceSite> site = m_inPlaceSite;
  m_inPlaceSite.Release();
  if (site) site->OnInPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP CLutCtl::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  m_position = *position;
  if (m_hWnd)
    SetWindowPos(m_hWnd, nullptr, position->left, position->top, position->right - position->left,
                 position->bottom - position->top, SWP_NOZORDER | SWP_NOACTIVATE);
  return S_OK;
}

STDMETHODIMP CLutCtl::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = m_hWnd;
  return m_hWnd ? S_OK : E_FAIL;
}

STDMETHODIMP CLutCtl::TranslateAccelerator(LPMSG msg) {
  if (!msg || !m_hWnd) return S_FALSE;
  if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return S_FALSE;
  if (msg->hwnd != m_hWnd && !IsChild(m_hWnd, msg->hwnd)) return S_FALSE;
  return IsDialogMessageW(m_hWnd, msg) ? S_OK : S_FALSE;
}

STDMETHODIMP CLutCtl::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  if (info->cb < sizeof(CONTROLINFO)) return E_INVALIDARG;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

STDMETHODIMP CLutCtl::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

STDMETHODIMP CLutCtl::GetUserType(DWORD, LPOLESTR*) { return OLE_S_USEREG; }

STDMETHODIMP CLutCtl::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  if (size->cx != m_extent.cx || size->cy != m_extent.cy) {
    m_extent = *size;
    m_dirty = true;
  }
  return S_OK;
}

STDMETHODIMP CLutCtl::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return E_FAIL;
  if (!size) return E_POINTER;
  *size = m_extent;
  return S_OK;
}

STDMETHODIMP CLutCtl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

STDMETHODIMP CLutCtl::Advise(IAdviseSink* sink, DWORD* connection) {
  if (!m_oleAdviseHolder) {
    HRESULT hr = CreateOleAdviseHolder(&m_oleAdviseHolder);
    if (FAILED(hr)) return hr;
  }
  return m_oleAdviseHolder->Advise(sink, connection);
}

STDMETHODIMP CLutCtl::Unadvise(DWORD connection) {
  if (!m_oleAdviseHolder) return OLE_E_NOCONNECTION;
  return m_oleAdviseHolder->Unadvise(connection);
}

STDMETHODIMP CLutCtl::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = kMiscStatus;
  return S_OK;
}

STDMETHODIMP CLutCtl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  m_viewAspects = aspects;
  m_viewFlags = flags;
  m_viewSink = sink;
  return S_OK;
}

STDMETHODIMP CLutCtl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = m_viewAspects;
  if (flags) *flags = m_viewFlags;
  if (sink) {
    *sink = m_viewSink;
    if (*sink) (*sink)->AddRef();
  }
  return S_OK;
}

STDMETHODIMP CLutCtl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                           BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!dc || !bounds) return E_INVALIDARG;
  // While active the control's own window paints itself.
  if (m_inPlaceActive) return S_OK;
  RECT rect = {bounds->left, bounds->top, bounds->right, bounds->bottom};
  DrawInactive(dc, rect);
  return S_OK;
}

void CLutCtl::DrawInactive(HDC dc, const RECT& bounds) {
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(GRAY_BRUSH));
  Rectangle(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  COLORREF oldColour = SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  RECT text = bounds;
  DrawTextW(dc, L"Corvanith LUT Control", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
}
