// The editing control's COM face: its properties, the LUT it watches and its stream.
#include "LutCtl.h"

#include <oleauto.h>

using comserver::CComPtr;
using comserver::CComQIPtr;
using comserver::GuardedCall;

namespace {

constexpr OLE_COLOR kAmbientColour = 0xFF000000;
constexpr OLE_COLOR kNoColour = 0xFFFFFFFF;
constexpr DISPID kDispidValue = 0;
constexpr DISPID kDispidToolbarStyle = 1;
constexpr DISPID kDispidChannel = 2;

// The stock font and colour property pages the control names (nothing here shows them).
const CLSID kStockFontPage = {0x7EBDAAE0, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};
const CLSID kStockColorPage = {0x7EBDAAE1, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};

bool Translatable(OLE_COLOR colour) {
  COLORREF resolved;
  return SUCCEEDED(OleTranslateColor(colour, nullptr, &resolved));
}

}  // namespace

CLutCtl::CLutCtl() = default;

void CLutCtl::FinalRelease() {
  InPlaceDeactivate();
  AdviseLut(false);
  m_lut.Release();
  m_font.Release();
  m_clientSite.Release();
  m_viewSink.Release();
  m_oleAdviseHolder.Release();
  if (m_images) ImageList_Destroy(m_images);
  m_images = nullptr;
  if (m_backgroundBrush) DeleteObject(m_backgroundBrush);
  m_backgroundBrush = nullptr;
  if (m_rowFont && m_ownRowFont) DeleteObject(m_rowFont);
  m_rowFont = nullptr;
}

void CLutCtl::PropertyChanged(DISPID id) {
  m_dirty = true;
  FireOnChanged(id);
  FireViewChange();
}

void CLutCtl::FireViewChange() {
  if (m_inPlaceActive && m_hWnd) {
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  } else if (m_viewSink) {
    m_viewSink->OnViewChange(DVASPECT_CONTENT, -1);
  }
}

// ---------------------------------------------------------------------------------------------
// ILutCtl

STDMETHODIMP CLutCtl::get_Valid(VARIANT_BOOL* pbool) {
  if (!pbool) return E_POINTER;
  *pbool = 1;
  return S_OK;
}

STDMETHODIMP CLutCtl::put_Appearance(short appearance) {
  if (appearance != 0 && appearance != 1) return E_INVALIDARG;
  return GuardedCall([&] {
    m_appearance = appearance;
    ApplyStyles();
    PropertyChanged(DISPID_APPEARANCE);
    return S_OK;
  });
}

STDMETHODIMP CLutCtl::get_Appearance(short* pappearance) {
  if (!pappearance) return E_POINTER;
  *pappearance = m_appearance;
  return S_OK;
}

STDMETHODIMP CLutCtl::get_Window(long* phwnd) {
  if (!phwnd) return E_POINTER;
  *phwnd = HandleToLong(m_hWnd);
  return S_OK;
}

STDMETHODIMP CLutCtl::put_Enabled(VARIANT_BOOL vbool) {
  return GuardedCall([&] {
    m_enabled = vbool != 0;
    ApplyStyles();
    PropertyChanged(DISPID_ENABLED);
    return S_OK;
  });
}

STDMETHODIMP CLutCtl::get_Enabled(VARIANT_BOOL* pbool) {
  if (!pbool) return E_POINTER;
  *pbool = m_enabled ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP CLutCtl::put_ForeColor(OLE_COLOR clr) {
  if (clr != kAmbientColour && !Translatable(clr)) return E_INVALIDARG;
  return GuardedCall([&] {
    m_foreColor = clr;
    ResolveColours();
    PropertyChanged(DISPID_FORECOLOR);
    return S_OK;
  });
}

STDMETHODIMP CLutCtl::get_ForeColor(OLE_COLOR* pclr) {
  if (!pclr) return E_POINTER;
  *pclr = m_foreColor;
  return S_OK;
}

STDMETHODIMP CLutCtl::putref_Font(IFontDisp* pFont) { return put_Font(pFont); }

STDMETHODIMP CLutCtl::put_Font(IFontDisp* pFont) {
  return GuardedCall([&]() -> HRESULT {
    CComPtr<IFont> font;
    if (pFont) {
      HRESULT hr = pFont->QueryInterface(IID_IFont, reinterpret_cast<void**>(&font));
      if (FAILED(hr)) return hr;
    }
    if (!font && !m_font) return S_OK;
    if (font && m_font && m_font->IsEqual(font) == S_OK) return S_OK;
    m_font = font;
    BuildRowFont();
    Layout();
    PropertyChanged(DISPID_FONT);
    return S_OK;
  });
}

STDMETHODIMP CLutCtl::get_Font(IFontDisp** ppFont) {
  if (!ppFont) return E_POINTER;
  *ppFont = nullptr;
  if (!m_font) return S_OK;
  return m_font->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(ppFont));
}

STDMETHODIMP CLutCtl::put_BorderStyle(long style) {
  if (style != 0 && style != 1) return E_INVALIDARG;
  return GuardedCall([&] {
    m_borderStyle = style;
    ApplyStyles();
    PropertyChanged(DISPID_BORDERSTYLE);
    return S_OK;
  });
}

STDMETHODIMP CLutCtl::get_BorderStyle(long* pstyle) {
  if (!pstyle) return E_POINTER;
  *pstyle = m_borderStyle;
  return S_OK;
}

STDMETHODIMP CLutCtl::put_BackColor(OLE_COLOR clr) {
  if (clr != kAmbientColour && clr != kNoColour && !Translatable(clr)) return E_INVALIDARG;
  return GuardedCall([&] {
    m_backColor = clr;
    ResolveColours();
    PropertyChanged(DISPID_BACKCOLOR);
    return S_OK;
  });
}

STDMETHODIMP CLutCtl::get_BackColor(OLE_COLOR* pclr) {
  if (!pclr) return E_POINTER;
  *pclr = m_backColor;
  return S_OK;
}

STDMETHODIMP CLutCtl::get_Value(ILut** pVal) {
  if (!pVal) return E_POINTER;
  *pVal = m_lut;
  if (*pVal) (*pVal)->AddRef();
  return S_OK;
}

HRESULT CLutCtl::ReadLutState(ILut* lut, Cached& state) {
  LUT_DEVICETYPE deviceType;
  LUT_CHANNELSET channelSet;
  short bitDepth;
  LUT_GAMMASTYLE gammaStyle;
  LUT_TYPE type;
  HRESULT hr = lut->get_DeviceType(&deviceType);
  if (SUCCEEDED(hr)) hr = lut->get_ChannelSet(&channelSet);
  if (SUCCEEDED(hr)) hr = lut->get_BitDepth(&bitDepth);
  if (SUCCEEDED(hr)) hr = lut->get_GammaStyle(&gammaStyle);
  if (SUCCEEDED(hr)) hr = lut->get_Type(&type);
  if (FAILED(hr)) return hr;
  state.deviceType = deviceType;
  state.channelSet = channelSet;
  state.bitDepth = bitDepth;
  state.gammaStyle = gammaStyle;
  state.type = type;
  // A greyscale curve has only channel 0; the points of that channel are read then.
  long channel = channelSet == csGreyscale ? 0 : m_channel;
  const wchar_t* names[] = {L"dMax", L"dMin", L"Gamma", L"GammaLo", L"GammaHi"};
  VARIANT values[5];
  for (int i = 0; i < 5; ++i) {
    VariantInit(&values[i]);
    BSTR name = SysAllocString(names[i]);
    if (!name) return E_OUTOFMEMORY;
    hr = lut->get_Value(static_cast<LUT_CHANNEL>(channel), name, &values[i]);
    SysFreeString(name);
    if (SUCCEEDED(hr)) hr = VariantChangeType(&values[i], &values[i], 0, i < 2 ? VT_I4 : VT_R4);
    if (FAILED(hr)) {
      for (int j = 0; j <= i; ++j) VariantClear(&values[j]);
      return hr;
    }
  }
  state.dMax = values[0].lVal;
  state.dMin = values[1].lVal;
  state.gamma = values[2].fltVal;
  state.gammaLo = values[3].fltVal;
  state.gammaHi = values[4].fltVal;
  return S_OK;
}

STDMETHODIMP CLutCtl::put_Value(ILut* newVal) {
  if (!newVal) return E_POINTER;
  return GuardedCall([&]() -> HRESULT {
    CComPtr<ILut> lut;
    HRESULT hr = newVal->QueryInterface(IID_ILut, reinterpret_cast<void**>(&lut));
    if (FAILED(hr)) return hr;
    Cached state;
    hr = ReadLutState(lut, state);
    if (FAILED(hr)) return hr;
    bool advised = m_lutCookie != 0;
    if (advised) AdviseLut(false);
    m_lut = lut;
    if (advised) AdviseLut(true);
    bool channelReset = state.channelSet == csGreyscale && m_channel != 0;
    if (channelReset) m_channel = 0;
    m_cached = Cached();
    OnLutChanged(DISPID_UNKNOWN);
    if (channelReset) FireOnChanged(kDispidChannel);
    PropertyChanged(kDispidValue);
    return S_OK;
  });
}

STDMETHODIMP CLutCtl::get_ToolbarStyle(TOOLBAR_STYLE* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = m_toolbarRaised ? tbsRaised : tbsFlat;
  return S_OK;
}

STDMETHODIMP CLutCtl::put_ToolbarStyle(TOOLBAR_STYLE newVal) {
  if (newVal != tbsFlat && newVal != tbsRaised) return E_INVALIDARG;
  return GuardedCall([&] {
    m_toolbarRaised = newVal == tbsRaised;
    ApplyStyles();
    PropertyChanged(kDispidToolbarStyle);
    return S_OK;
  });
}

STDMETHODIMP CLutCtl::get_Channel(LUT_CHANNEL* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = static_cast<LUT_CHANNEL>(m_channel);
  return S_OK;
}

STDMETHODIMP CLutCtl::put_Channel(LUT_CHANNEL newVal) {
  bool valid = (m_cached.channelSet == csGreyscale && newVal == 0) ||
               (m_cached.channelSet == csRGB && newVal >= 0 && newVal <= 3);
  if (!valid) return E_INVALIDARG;
  return GuardedCall([&] {
    m_channel = newVal;
    CheckChannelButton();
    RefreshRows(true);
    InvalidateCurve();
    PropertyChanged(kDispidChannel);
    return S_OK;
  });
}

// ---------------------------------------------------------------------------------------------
// The watched LUT

HRESULT CLutCtl::EnsureLut() {
  if (m_lut) return S_OK;
  CComPtr<ILut> lut;
  HRESULT hr = CoCreateInstance(CLSID_LUT, nullptr, 0x17, IID_ILut, reinterpret_cast<void**>(&lut));
  if (FAILED(hr)) return hr;
  m_lut = lut;
  m_cached = Cached();
  return S_OK;
}

void CLutCtl::AdviseLut(bool advise) {
  if (advise == (m_lutCookie != 0) || !m_lut) return;
  CComQIPtr<IConnectionPointContainer> container(m_lut);
  CComPtr<IConnectionPoint> point;
  if (!container || FAILED(container->FindConnectionPoint(IID_IPropertyNotifySink, &point))) return;
  if (advise) {
    DWORD cookie = 0;
    if (SUCCEEDED(point->Advise(static_cast<IPropertyNotifySink*>(this), &cookie))) m_lutCookie = cookie;
  } else {
    point->Unadvise(m_lutCookie);
    m_lutCookie = 0;
  }
}

STDMETHODIMP CLutCtl::OnChanged(DISPID id) {
  return GuardedCall([&] {
    OnLutChanged(id);
    return S_OK;
  });
}

// ---------------------------------------------------------------------------------------------
// Ambient properties

bool CLutCtl::GetAmbient(DISPID id, VARIANT& value) {
  VariantInit(&value);
  if (!m_clientSite) return false;
  CComQIPtr<IDispatch> ambient(m_clientSite);
  if (!ambient) return false;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  return SUCCEEDED(ambient->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value,
                                   nullptr, nullptr));
}

void CLutCtl::ResolveColours() {
  if (m_backgroundBrush) DeleteObject(m_backgroundBrush);
  m_backgroundBrush = nullptr;
  OLE_COLOR back = m_backColor;
  bool haveBack = back != kNoColour;
  if (back == kAmbientColour) {
    VARIANT value;
    haveBack =
        GetAmbient(DISPID_AMBIENT_BACKCOLOR, value) && SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4));
    back = haveBack ? static_cast<OLE_COLOR>(value.lVal) : 0;
    VariantClear(&value);
  }
  COLORREF resolved;
  if (haveBack && SUCCEEDED(OleTranslateColor(back, nullptr, &resolved)))
    m_backgroundBrush = CreateSolidBrush(resolved);

  OLE_COLOR fore = m_foreColor;
  bool haveFore = true;
  if (fore == kAmbientColour) {
    VARIANT value;
    haveFore =
        GetAmbient(DISPID_AMBIENT_FORECOLOR, value) && SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4));
    fore = haveFore ? static_cast<OLE_COLOR>(value.lVal) : 0;
    VariantClear(&value);
  }
  if (!haveFore || FAILED(OleTranslateColor(fore, nullptr, &m_textColour)))
    m_textColour = GetSysColor(COLOR_WINDOWTEXT);
  if (m_hWnd) RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CLutCtl::BuildRowFont() {
  if (m_rowFont && m_ownRowFont) DeleteObject(m_rowFont);
  m_rowFont = nullptr;
  m_ownRowFont = false;

  CComPtr<IFont> font = m_font;
  if (!font) {
    VARIANT value;
    if (GetAmbient(DISPID_AMBIENT_FONT, value) && (value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) &&
        value.punkVal)
      value.punkVal->QueryInterface(IID_IFont, reinterpret_cast<void**>(&font));
    VariantClear(&value);
  }
  if (!font) {
    FONTDESC description = {sizeof(FONTDESC),
                            const_cast<LPOLESTR>(L"MS Sans Serif"),
                            {{80000, 0}},
                            FW_NORMAL,
                            ANSI_CHARSET,
                            FALSE,
                            FALSE,
                            FALSE};
    OleCreateFontIndirect(&description, IID_IFont, reinterpret_cast<void**>(&font));
  }

  HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  if (font && display) {
    LOGFONTW logFont = {};
    BSTR name = nullptr;
    CY size = {};
    short weight = FW_NORMAL, charset = DEFAULT_CHARSET;
    BOOL italic = FALSE, underline = FALSE, strike = FALSE;
    font->get_Name(&name);
    font->get_Size(&size);
    font->get_Weight(&weight);
    font->get_Charset(&charset);
    font->get_Italic(&italic);
    font->get_Underline(&underline);
    font->get_Strikethrough(&strike);
    if (name) lstrcpynW(logFont.lfFaceName, name, LF_FACESIZE);
    SysFreeString(name);
    double points = static_cast<double>(size.int64) / 10000.0;
    logFont.lfHeight = -static_cast<LONG>(GetDeviceCaps(display, LOGPIXELSY) * points / 72.0 + 0.5);
    logFont.lfWeight = weight;
    logFont.lfCharSet = static_cast<BYTE>(charset);
    logFont.lfItalic = italic ? 1 : 0;
    logFont.lfUnderline = underline ? 1 : 0;
    logFont.lfStrikeOut = strike ? 1 : 0;
    m_rowFont = CreateFontIndirectW(&logFont);
    m_ownRowFont = m_rowFont != nullptr;
  }
  if (!m_rowFont) m_rowFont = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));

  if (display) {
    HGDIOBJ old = SelectObject(display, m_rowFont);
    SIZE extent = {};
    static const wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GetTextExtentPoint32W(display, kAlphabet, 52, &extent);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(display, &metrics);
    SelectObject(display, old);
    DeleteDC(display);
    m_baseUnits.cx = (extent.cx / 26 + 1) / 2;
    m_baseUnits.cy = metrics.tmHeight;
  }

  if (m_hWnd) {
    static const int kRowWindows[] = {
        IDC_LUTCTL_DMAX_LABEL,    IDC_LUTCTL_DMAX_TRACK,    IDC_LUTCTL_DMAX_EDIT,
        IDC_LUTCTL_DMIN_LABEL,    IDC_LUTCTL_DMIN_TRACK,    IDC_LUTCTL_DMIN_EDIT,
        IDC_LUTCTL_GAMMALO_LABEL, IDC_LUTCTL_GAMMALO_TRACK, IDC_LUTCTL_GAMMALO_EDIT,
        IDC_LUTCTL_GAMMA_LABEL,   IDC_LUTCTL_GAMMA_TRACK,   IDC_LUTCTL_GAMMA_EDIT,
        IDC_LUTCTL_GAMMAHI_LABEL, IDC_LUTCTL_GAMMAHI_TRACK, IDC_LUTCTL_GAMMAHI_EDIT};
    for (int id : kRowWindows) SendMessageW(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(m_rowFont), TRUE);
  }
}

STDMETHODIMP CLutCtl::OnAmbientPropertyChange(DISPID id) {
  return GuardedCall([&] {
    if (id == DISPID_AMBIENT_BACKCOLOR || id == DISPID_AMBIENT_FORECOLOR || id == DISPID_AMBIENT_FONT ||
        id == DISPID_UNKNOWN) {
      ResolveColours();
      if (!m_font && (id == DISPID_AMBIENT_FONT || id == DISPID_UNKNOWN)) {
        BuildRowFont();
        Layout();
      }
      FireViewChange();
    }
    return S_OK;
  });
}

// ---------------------------------------------------------------------------------------------
// Persistence: the appearance record, then the control's own font when it has one that the
// container's ambient font does not already give.

STDMETHODIMP CLutCtl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_LutCtl;
  return S_OK;
}

STDMETHODIMP CLutCtl::IsDirty() { return m_dirty ? S_OK : S_FALSE; }

STDMETHODIMP CLutCtl::InitNew() { return S_OK; }

STDMETHODIMP CLutCtl::Load(IStream* stream) {
  if (!stream) return E_POINTER;
  return GuardedCall([&]() -> HRESULT {
    lut::LutCtlRecord record;
    HRESULT hr = lut::ReadLutCtlRecord(stream, record);
    if (FAILED(hr)) return hr;
    CComPtr<IFont> font;
    if (record.fontFollows) {
      hr = OleLoadFromStream(stream, IID_IFont, reinterpret_cast<void**>(&font));
      if (FAILED(hr)) return hr;
    }
    m_extent = {record.extentWidth, record.extentHeight};
    m_foreColor = record.foreColor;
    m_backColor = record.backColor;
    m_borderStyle = record.borderStyle;
    m_appearance = record.appearance;
    m_enabled = record.enabled;
    m_toolbarRaised = record.toolbarRaised;
    m_font = font;
    ResolveColours();
    BuildRowFont();
    ApplyStyles();
    m_dirty = false;
    return S_OK;
  });
}

STDMETHODIMP CLutCtl::Save(IStream* stream, BOOL clearDirty) {
  if (!stream) return E_POINTER;
  return GuardedCall([&]() -> HRESULT {
    bool writeFont = false;
    if (m_font) {
      writeFont = true;
      VARIANT ambient;
      if (GetAmbient(DISPID_AMBIENT_FONT, ambient) &&
          (ambient.vt == VT_DISPATCH || ambient.vt == VT_UNKNOWN) && ambient.punkVal) {
        CComQIPtr<IFont> ambientFont(ambient.punkVal);
        if (ambientFont && m_font->IsEqual(ambientFont) == S_OK) writeFont = false;
      }
      VariantClear(&ambient);
    }
    lut::LutCtlRecord record;
    record.extentWidth = m_extent.cx;
    record.extentHeight = m_extent.cy;
    record.foreColor = m_foreColor;
    record.backColor = m_backColor;
    record.borderStyle = static_cast<uint8_t>(m_borderStyle);
    record.appearance = static_cast<uint8_t>(m_appearance);
    record.enabled = m_enabled;
    record.fontFollows = writeFont;
    record.toolbarRaised = m_toolbarRaised;
    HRESULT hr = lut::WriteLutCtlRecord(stream, record);
    if (SUCCEEDED(hr) && writeFont) {
      CComQIPtr<IPersistStream> persist(m_font);
      hr = persist ? OleSaveToStream(persist, stream) : E_NOINTERFACE;
    }
    if (SUCCEEDED(hr) && clearDirty) m_dirty = false;
    return hr;
  });
}

STDMETHODIMP CLutCtl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = lut::kLengthControlV2;
  if (m_font) {
    CComQIPtr<IPersistStream> persist(m_font);
    ULARGE_INTEGER fontSize = {};
    if (persist && SUCCEEDED(persist->GetSizeMax(&fontSize)))
      size->QuadPart += sizeof(CLSID) + fontSize.QuadPart;
  }
  return S_OK;
}

namespace {
const wchar_t kContentsStream[] = L"Contents";
}

STDMETHODIMP CLutCtl::InitNew(IStorage*) { return S_OK; }

STDMETHODIMP CLutCtl::Load(IStorage* storage) {
  if (!storage) return E_POINTER;
  CComPtr<IStream> stream;
  HRESULT hr = storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
  if (FAILED(hr)) return hr;
  return Load(stream);
}

STDMETHODIMP CLutCtl::Save(IStorage* storage, BOOL) {
  if (!storage) return E_POINTER;
  CComPtr<IStream> stream;
  HRESULT hr =
      storage->CreateStream(kContentsStream, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
  if (FAILED(hr)) return hr;
  return Save(stream, TRUE);
}

// ---------------------------------------------------------------------------------------------
// Property pages and class information

STDMETHODIMP CLutCtl::GetPages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  pages->cElems = 0;
  pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(2 * sizeof(GUID)));
  if (!pages->pElems) return E_OUTOFMEMORY;
  pages->pElems[0] = kStockFontPage;
  pages->pElems[1] = kStockColorPage;
  pages->cElems = 2;
  return S_OK;
}

STDMETHODIMP CLutCtl::GetClassInfo(ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  CComPtr<ITypeLib> library;
  HRESULT hr = LoadTypeLibEx(comserver::Module().GetModulePathW().c_str(), REGKIND_NONE, &library);
  if (FAILED(hr)) return hr;
  return library->GetTypeInfoOfGuid(CLSID_LutCtl, info);
}

STDMETHODIMP CLutCtl::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = GUID_NULL;  // the control fires no events of its own
  return S_OK;
}
