// The LUT editing control: shows one LUT object as a curve on a grid with rows of trackbars and
// edits for its points and gammas, and edits it. It watches the object's property notifications,
// so a change made by anyone shows at once. Its window is the dialog IDD_LUTCTL, always windowed.
// Only its appearance is persisted, never the LUT it shows.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>
#include <olectl.h>

#include <array>
#include <vector>

#include "LutCtlRecord.h"
#include "comserver/ComServer.h"
#include "resource.h"
#include "zvkLUT_h.h"

// The rows of the control, in layout order.
enum LutCtlRow { kRowBlack, kRowWhite, kRowGammaLo, kRowGamma, kRowGammaHi, kRowCount };

class CLutCtl : public comserver::CComObjectRootEx<comserver::CComSingleThreadModel>,
                public comserver::CComCoClass<CLutCtl, &CLSID_LutCtl>,
                public comserver::IDispatchImpl<ILutCtl, &IID_ILutCtl>,
                public IOleObject,
                public IOleInPlaceObject,
                public IOleInPlaceActiveObject,
                public IOleControl,
                public IViewObject2,
                public IPersistStreamInit,
                public IPersistStorage,
                public comserver::IConnectionPointContainerImpl<CLutCtl>,
                public comserver::IPropertyNotifySinkCP,
                public ISpecifyPropertyPages,
                public IProvideClassInfo2,
                public IPropertyNotifySink {
 public:
  DECLARE_REGISTRY_RESOURCEID(IDR_LUTCTL)
  DECLARE_NOT_AGGREGATABLE(CLutCtl)

  BEGIN_COM_MAP(CLutCtl)
    COM_INTERFACE_ENTRY_IID(IID_ILutCtl, ILutCtl)
    COM_INTERFACE_ENTRY2_IID(IID_IDispatch, IDispatch, ILutCtl)
    COM_INTERFACE_ENTRY2_IID(IID_IViewObject2, IViewObject2, IViewObject2)
    COM_INTERFACE_ENTRY2_IID(IID_IViewObject, IViewObject, IViewObject2)
    COM_INTERFACE_ENTRY2_IID(IID_IOleInPlaceObject, IOleInPlaceObject, IOleInPlaceObject)
    COM_INTERFACE_ENTRY2_IID(IID_IOleWindow, IOleWindow, IOleInPlaceObject)
    COM_INTERFACE_ENTRY2_IID(IID_IOleInPlaceActiveObject, IOleInPlaceActiveObject, IOleInPlaceActiveObject)
    COM_INTERFACE_ENTRY2_IID(IID_IOleControl, IOleControl, IOleControl)
    COM_INTERFACE_ENTRY2_IID(IID_IOleObject, IOleObject, IOleObject)
    COM_INTERFACE_ENTRY2_IID(IID_IPersistStreamInit, IPersistStreamInit, IPersistStreamInit)
    COM_INTERFACE_ENTRY2_IID(IID_IPersistStream, IPersistStreamInit, IPersistStreamInit)
    COM_INTERFACE_ENTRY2_IID(IID_IPersist, IPersist, IPersistStreamInit)
    COM_INTERFACE_ENTRY2_IID(IID_IConnectionPointContainer, IConnectionPointContainer,
                             IConnectionPointContainer)
    COM_INTERFACE_ENTRY2_IID(IID_ISpecifyPropertyPages, ISpecifyPropertyPages, ISpecifyPropertyPages)
    COM_INTERFACE_ENTRY2_IID(IID_IPersistStorage, IPersistStorage, IPersistStorage)
    COM_INTERFACE_ENTRY2_IID(IID_IProvideClassInfo, IProvideClassInfo, IProvideClassInfo2)
    COM_INTERFACE_ENTRY2_IID(IID_IProvideClassInfo2, IProvideClassInfo2, IProvideClassInfo2)
    COM_INTERFACE_ENTRY2_IID(IID_IPropertyNotifySink, IPropertyNotifySink, IPropertyNotifySink)
  END_COM_MAP()

  BEGIN_CONNECTION_POINT_MAP(CLutCtl)
    CONNECTION_POINT_ENTRY(m_cpPropertyNotify)
  END_CONNECTION_POINT_MAP()

  CLutCtl();
  void FinalRelease();

  // ILutCtl
  STDMETHOD(get_Valid)(VARIANT_BOOL* pbool) override;
  STDMETHOD(put_Appearance)(short appearance) override;
  STDMETHOD(get_Appearance)(short* pappearance) override;
  STDMETHOD(get_Window)(long* phwnd) override;
  STDMETHOD(put_Enabled)(VARIANT_BOOL vbool) override;
  STDMETHOD(get_Enabled)(VARIANT_BOOL* pbool) override;
  STDMETHOD(put_ForeColor)(OLE_COLOR clr) override;
  STDMETHOD(get_ForeColor)(OLE_COLOR* pclr) override;
  STDMETHOD(putref_Font)(IFontDisp* pFont) override;
  STDMETHOD(put_Font)(IFontDisp* pFont) override;
  STDMETHOD(get_Font)(IFontDisp** ppFont) override;
  STDMETHOD(put_BorderStyle)(long style) override;
  STDMETHOD(get_BorderStyle)(long* pstyle) override;
  STDMETHOD(put_BackColor)(OLE_COLOR clr) override;
  STDMETHOD(get_BackColor)(OLE_COLOR* pclr) override;
  STDMETHOD(get_Value)(ILut** pVal) override;
  STDMETHOD(put_Value)(ILut* newVal) override;
  STDMETHOD(get_ToolbarStyle)(TOOLBAR_STYLE* pVal) override;
  STDMETHOD(put_ToolbarStyle)(TOOLBAR_STYLE newVal) override;
  STDMETHOD(get_Channel)(LUT_CHANNEL* pVal) override;
  STDMETHOD(put_Channel)(LUT_CHANNEL newVal) override;

  // IOleObject
  STDMETHOD(SetClientSite)(IOleClientSite* site) override;
  STDMETHOD(GetClientSite)(IOleClientSite** site) override;
  STDMETHOD(SetHostNames)(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHOD(Close)(DWORD saveOption) override;
  STDMETHOD(SetMoniker)(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHOD(InitFromData)(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHOD(GetClipboardData)(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHOD(DoVerb)
  (LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent, LPCRECT rect) override;
  STDMETHOD(EnumVerbs)(IEnumOLEVERB**) override { return OLEOBJ_E_NOVERBS; }
  STDMETHOD(Update)() override { return S_OK; }
  STDMETHOD(IsUpToDate)() override { return S_OK; }
  STDMETHOD(GetUserClassID)(CLSID* clsid) override;
  STDMETHOD(GetUserType)(DWORD form, LPOLESTR* type) override;
  STDMETHOD(SetExtent)(DWORD aspect, SIZEL* size) override;
  STDMETHOD(GetExtent)(DWORD aspect, SIZEL* size) override;
  STDMETHOD(Advise)(IAdviseSink* sink, DWORD* connection) override;
  STDMETHOD(Unadvise)(DWORD connection) override;
  STDMETHOD(EnumAdvise)(IEnumSTATDATA**) override { return E_NOTIMPL; }
  STDMETHOD(GetMiscStatus)(DWORD aspect, DWORD* status) override;
  STDMETHOD(SetColorScheme)(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
  STDMETHOD(GetWindow)(HWND* window) override;
  STDMETHOD(ContextSensitiveHelp)(BOOL) override { return S_OK; }
  STDMETHOD(InPlaceDeactivate)() override;
  STDMETHOD(UIDeactivate)() override;
  STDMETHOD(SetObjectRects)(LPCRECT position, LPCRECT clip) override;
  STDMETHOD(ReactivateAndUndo)() override { return E_NOTIMPL; }
  STDMETHOD(TranslateAccelerator)(LPMSG msg) override;
  STDMETHOD(OnFrameWindowActivate)(BOOL) override { return S_OK; }
  STDMETHOD(OnDocWindowActivate)(BOOL) override { return S_OK; }
  STDMETHOD(ResizeBorder)(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  STDMETHOD(EnableModeless)(BOOL) override { return S_OK; }

  // IOleControl
  STDMETHOD(GetControlInfo)(CONTROLINFO* info) override;
  STDMETHOD(OnMnemonic)(MSG*) override { return S_OK; }
  STDMETHOD(OnAmbientPropertyChange)(DISPID id) override;
  STDMETHOD(FreezeEvents)(BOOL) override { return S_OK; }

  // IViewObject2
  STDMETHOD(Draw)
  (DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDc, HDC dc, LPCRECTL bounds,
   LPCRECTL metafileBounds, BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR), ULONG_PTR contArg) override;
  STDMETHOD(GetColorSet)(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override { return S_FALSE; }
  STDMETHOD(Freeze)(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  STDMETHOD(Unfreeze)(DWORD) override { return E_NOTIMPL; }
  STDMETHOD(SetAdvise)(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHOD(GetAdvise)(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHOD(GetExtent)(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

  // IPersist, IPersistStreamInit, IPersistStorage
  STDMETHOD(GetClassID)(CLSID* clsid) override;
  STDMETHOD(IsDirty)() override;
  STDMETHOD(Load)(IStream* stream) override;
  STDMETHOD(Save)(IStream* stream, BOOL clearDirty) override;
  STDMETHOD(GetSizeMax)(ULARGE_INTEGER* size) override;
  STDMETHOD(InitNew)() override;
  STDMETHOD(InitNew)(IStorage* storage) override;
  STDMETHOD(Load)(IStorage* storage) override;
  STDMETHOD(Save)(IStorage* storage, BOOL sameAsLoad) override;
  STDMETHOD(SaveCompleted)(IStorage*) override { return S_OK; }
  STDMETHOD(HandsOffStorage)() override { return S_OK; }

  // ISpecifyPropertyPages, IProvideClassInfo2
  STDMETHOD(GetPages)(CAUUID* pages) override;
  STDMETHOD(GetClassInfo)(ITypeInfo** info) override;
  STDMETHOD(GetGUID)(DWORD kind, GUID* guid) override;

  // IPropertyNotifySink: the held LUT object's changes.
  STDMETHOD(OnChanged)(DISPID id) override;
  STDMETHOD(OnRequestEdit)(DISPID) override { return S_OK; }

  // The dialog procedure's way in (LutCtlWindow.cpp).
  INT_PTR OnDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  // LUT state last read for the current channel; changes are detected against it.
  struct Cached {
    int32_t dMax = -1, dMin = -1;  // 32 bits: points of deep curves do not fit in 16
    float gamma = -1, gammaLo = -1, gammaHi = -1;
    int32_t deviceType = -1, channelSet = -1, bitDepth = -1, gammaStyle = -1, type = -1;
  };

  // Property plumbing.
  void PropertyChanged(DISPID id);
  void FireViewChange();
  HRESULT ReadLutState(ILut* lut, Cached& state);

  // Ambient properties of the site; false when the site offers none.
  bool GetAmbient(DISPID id, VARIANT& value);
  void ResolveColours();
  void BuildRowFont();

  // In-place activation.
  HRESULT InPlaceActivate(LONG verb, HWND parent, LPCRECT rect);
  HRESULT CreateControlWindow(HWND parent, const RECT& rect);
  HRESULT EnsureLut();
  void AdviseLut(bool advise);

  // The window (LutCtlWindow.cpp).
  void OnInitDialog();
  void ApplyStyles();
  void Layout();
  void SetPointRanges();
  void UpdateChannelButtons();
  void UpdateTypeRows();
  void CheckChannelButton();
  void RefreshRows(bool force);
  void WriteRow(int row, bool force);
  // The row's cached value as the edit shows it; returns its trackbar position.
  int CachedRowText(int row, wchar_t* text, size_t size) const;
  void OnScroll(HWND trackbar);
  void OnPointScroll(int row, int position);
  void OnGammaScroll(int row, int position);
  void OnEditUpdate(int row);
  void OnToolbarCommand(int command);
  void ShowTypeMenu();
  void LoadLutFile();
  void DrawCurve(HDC dc, const RECT& plot);
  void InvalidateCurve();
  void DrawInactive(HDC dc, const RECT& bounds);
  INT_PTR OnCtlColor(UINT message, HDC dc, HWND child);
  void OnLutChanged(DISPID id);
  HWND Item(int id) const { return GetDlgItem(m_hWnd, id); }
  int32_t ReadPoint(const wchar_t* name);
  float ReadGamma(const wchar_t* name);

 public:
  // Layout of the rows, for tests: pixels of one dialog unit of the row font are base / 4 and / 8.
  SIZE BaseUnits() const { return m_baseUnits; }

 private:
  HBRUSH m_backgroundBrush = nullptr;
  short m_appearance = 0;
  bool m_enabled = true;
  OLE_COLOR m_foreColor = 0xFF000000;
  comserver::CComPtr<IFont> m_font;
  long m_borderStyle = 1;
  OLE_COLOR m_backColor = 0xFF000000;
  DWORD m_lutCookie = 0;
  comserver::CComPtr<ILut> m_lut;
  Cached m_cached;
  bool m_toolbarRaised = false;
  long m_channel = 0;
  HIMAGELIST m_images = nullptr;
  COLORREF m_textColour = 0;
  HFONT m_rowFont = nullptr;
  bool m_ownRowFont = false;
  SIZE m_baseUnits{8, 16};
  SIZE m_clientSize{0, 0};
  SIZE m_toolbarSize{0, 0};
  SIZE m_editSize{22, 12};  // dialog units
  int m_labelWidth = 66;
  std::array<bool, kRowCount> m_guards{};
  std::vector<POINT> m_curve;
  bool m_curveValid = false;

  // OLE state.
  HWND m_hWnd = nullptr;
  comserver::CComPtr<IOleClientSite> m_clientSite;
  comserver::CComPtr<IOleInPlaceSite> m_inPlaceSite;
  comserver::CComPtr<IOleAdviseHolder> m_oleAdviseHolder;
  comserver::CComPtr<IAdviseSink> m_viewSink;
  DWORD m_viewAspects = 0, m_viewFlags = 0;
  bool m_inPlaceActive = false;
  bool m_uiActive = false;
  SIZEL m_extent{7620, 8890};
  RECT m_position{0, 0, 0, 0};
  bool m_dirty = false;
};
