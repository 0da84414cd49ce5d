// The editing control's stream and storage, its drawing while inactive, and the server letting go
// once the host has closed.
#include "LutCtlTestSupport.h"
#include "resource.h"

using namespace luttest;

namespace {

// The LUT editor's record: extent 6826 x 8996, ambient colours, no border, three-dimensional,
// enabled, no font, flat toolbar.
const std::vector<unsigned char> kEditorRecord = {0xA0, 0x67, 0x25, 0x00, 0x1D, 0x00, 0x00, 0x00, 0xAA, 0x1A,
                                                  0x00, 0x00, 0x24, 0x23, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF,
                                                  0x00, 0x00, 0x00, 0xFF, 0x00, 0x01, 0x01, 0x00, 0x00};

CComPtr<ILutCtl> NewControl() {
  CComPtr<ILutCtl> control;
  EXPECT_EQ(CoCreateInstance(CLSID_LutCtl, nullptr, CLSCTX_INPROC_SERVER, IID_ILutCtl,
                             reinterpret_cast<void**>(&control)),
            S_OK);
  return control;
}

HRESULT LoadBytes(IUnknown* control, const std::vector<unsigned char>& bytes) {
  CComQIPtr<IPersistStreamInit> persist(control);
  return persist->Load(StreamOf(bytes));
}

// A container's site that offers its ambient font and nothing else.
class AmbientSite : public IOleClientSite, public IDispatch {
 public:
  explicit AmbientSite(IFontDisp* font) : m_font(font) {}
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite))
      *ppv = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(riid, IID_IDispatch))
      *ppv = static_cast<IDispatch*>(this);
    else
      return (*ppv = nullptr), E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHOD_(ULONG, AddRef)() override { return 2; }
  STDMETHOD_(ULONG, Release)() override { return 1; }
  STDMETHOD(SaveObject)() override { return E_NOTIMPL; }
  STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHOD(GetContainer)(IOleContainer**) override { return E_NOINTERFACE; }
  STDMETHOD(ShowObject)() override { return S_OK; }
  STDMETHOD(OnShowWindow)(BOOL) override { return S_OK; }
  STDMETHOD(RequestNewObjectLayout)() override { return E_NOTIMPL; }
  STDMETHOD(GetTypeInfoCount)(UINT*) override { return E_NOTIMPL; }
  STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHOD(Invoke)(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
    if (id != DISPID_AMBIENT_FONT || !result) return DISP_E_MEMBERNOTFOUND;
    result->vt = VT_DISPATCH;
    result->pdispVal = m_font;
    m_font->AddRef();
    return S_OK;
  }

 private:
  IFontDisp* m_font;
};

CComPtr<IFontDisp> MakeFont(const wchar_t* name, LONGLONG size) {
  FONTDESC description = {sizeof(FONTDESC),
                          const_cast<LPOLESTR>(name),
                          {{static_cast<ULONG>(size), 0}},
                          FW_NORMAL,
                          ANSI_CHARSET,
                          FALSE,
                          FALSE,
                          FALSE};
  CComPtr<IFontDisp> font;
  EXPECT_EQ(OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(&font)), S_OK);
  return font;
}

}  // namespace

TEST(LutCtlPersist, AFontFollowsOnlyWhenItDiffersFromTheAmbientOne) {
  CComPtr<IFontDisp> ambient = MakeFont(L"Tahoma", 90000);
  AmbientSite site(ambient);
  struct Case {
    const char* what;
    CComPtr<IFontDisp> own;
    bool follows;
  } const cases[] = {
      {"no own font", nullptr, false},
      {"the ambient font's twin", MakeFont(L"Tahoma", 90000), false},
      {"another size", MakeFont(L"Tahoma", 120000), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CComPtr<ILutCtl> control = NewControl();
    CComQIPtr<IOleObject> object(control);
    ASSERT_EQ(object->SetClientSite(&site), S_OK);
    if (c.own) {
      ASSERT_EQ(control->put_Font(c.own), S_OK);
    }
    std::vector<unsigned char> saved = SaveBytes(control);
    ASSERT_GE(saved.size(), 29u);
    EXPECT_EQ(saved[27], c.follows ? 1 : 0);
    EXPECT_EQ(saved.size() > 29u, c.follows);
    ASSERT_EQ(object->SetClientSite(nullptr), S_OK);
  }
}

TEST(LutCtlPersist, VersionTwoRecordBothWays) {
  CComPtr<ILutCtl> control = NewControl();
  std::vector<unsigned char> fresh = SaveBytes(control);
  const std::vector<unsigned char> kDefault = {0xA0, 0x67, 0x25, 0x00, 0x1D, 0x00, 0x00, 0x00, 0xC4, 0x1D,
                                               0x00, 0x00, 0xBA, 0x22, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF,
                                               0x00, 0x00, 0x00, 0xFF, 0x01, 0x00, 0x01, 0x00, 0x00};
  EXPECT_EQ(fresh, kDefault);

  ASSERT_EQ(LoadBytes(control, kEditorRecord), S_OK);
  short appearance = -1;
  long border = -1;
  control->get_Appearance(&appearance);
  control->get_BorderStyle(&border);
  EXPECT_EQ(appearance, 1);
  EXPECT_EQ(border, 0);
  EXPECT_EQ(SaveBytes(control), kEditorRecord);
  CComQIPtr<IOleObject> object(control);
  SIZEL extent = {};
  ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_EQ(extent.cx, 6826);
  EXPECT_EQ(extent.cy, 8996);

  // Version 1 has no toolbar byte: the toolbar is flat.
  ASSERT_EQ(control->put_ToolbarStyle(tbsRaised), S_OK);
  std::vector<unsigned char> version1(kEditorRecord.begin(), kEditorRecord.end() - 1);
  version1[0] = 0x8C;
  version1[4] = 28;
  ASSERT_EQ(LoadBytes(control, version1), S_OK);
  TOOLBAR_STYLE toolbar;
  control->get_ToolbarStyle(&toolbar);
  EXPECT_EQ(toolbar, tbsFlat);
  EXPECT_EQ(SaveBytes(control), kEditorRecord);
}

TEST(LutCtlPersist, DamagedRecordsLeaveTheControlUnchanged) {
  CComPtr<ILutCtl> control = NewControl();
  ASSERT_EQ(LoadBytes(control, kEditorRecord), S_OK);
  for (size_t length = 0; length < kEditorRecord.size(); ++length) {
    std::vector<unsigned char> cut(kEditorRecord.begin(), kEditorRecord.begin() + length);
    EXPECT_EQ(LoadBytes(control, cut), STG_E_READFAULT) << length;
  }
  for (size_t at : {size_t{0}, size_t{4}, size_t{24}, size_t{25}}) {
    std::vector<unsigned char> flipped = kEditorRecord;
    flipped[at] ^= 0x5A;
    EXPECT_EQ(LoadBytes(control, flipped), E_FAIL) << at;
  }
  // A font announced but damaged.
  std::vector<unsigned char> badFont = kEditorRecord;
  badFont[27] = 1;
  badFont.insert(badFont.end(), {1, 2, 3, 4, 5, 6});
  EXPECT_NE(LoadBytes(control, badFont), S_OK);
  EXPECT_EQ(SaveBytes(control), kEditorRecord);
}

TEST(LutCtlPersist, OwnFontFollowsTheRecordAndStorageKeepsTheSameBytes) {
  CComPtr<ILutCtl> control = NewControl();
  FONTDESC description = {sizeof(FONTDESC),
                          const_cast<LPOLESTR>(L"Arial"),
                          {{120000, 0}},
                          FW_BOLD,
                          ANSI_CHARSET,
                          FALSE,
                          FALSE,
                          FALSE};
  CComPtr<IFontDisp> font;
  ASSERT_EQ(OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(&font)), S_OK);
  ASSERT_EQ(control->put_Font(font), S_OK);
  std::vector<unsigned char> saved = SaveBytes(control);
  ASSERT_GT(saved.size(), 29u + 16u);
  EXPECT_EQ(saved[27], 1);

  CComPtr<ILutCtl> copy = NewControl();
  ASSERT_EQ(LoadBytes(copy, saved), S_OK);
  CComPtr<IFontDisp> loaded;
  ASSERT_EQ(copy->get_Font(&loaded), S_OK);
  ASSERT_TRUE(loaded);
  CComQIPtr<IFont> loadedFont(loaded);
  CComQIPtr<IFont> ownFont(font);
  EXPECT_EQ(loadedFont->IsEqual(ownFont), S_OK);

  // The same font again changes nothing; no font clears it.
  RecordingSink sink;
  sink.Advise(copy);
  EXPECT_EQ(copy->put_Font(font), S_OK);
  EXPECT_TRUE(sink.changes.empty());
  EXPECT_EQ(copy->put_Font(nullptr), S_OK);
  EXPECT_EQ(sink.changes, std::vector<DISPID>{DISPID_FONT});
  sink.Unadvise();

  // IPersistStorage writes the stream's bytes into the storage.
  CComPtr<ILockBytes> bytes;
  ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes), S_OK);
  CComPtr<IStorage> storage;
  ASSERT_EQ(
      StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage),
      S_OK);
  CComQIPtr<IPersistStorage> persistStorage(control);
  ASSERT_TRUE(persistStorage);
  ASSERT_EQ(persistStorage->Save(storage, FALSE), S_OK);
  CComPtr<IStream> contents;
  ASSERT_EQ(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &contents), S_OK);
  std::vector<unsigned char> stored(saved.size() + 8);
  ULONG read = 0;
  contents->Read(stored.data(), static_cast<ULONG>(stored.size()), &read);
  stored.resize(read);
  EXPECT_EQ(stored, saved);
  contents.Release();
  CComPtr<ILutCtl> third = NewControl();
  CComQIPtr<IPersistStorage> thirdStorage(third);
  ASSERT_EQ(thirdStorage->Load(storage), S_OK);
  EXPECT_EQ(SaveBytes(third), saved);
}

TEST(LutCtlPersist, InactiveDrawPaintsTheNamedGreyBox) {
  CComPtr<ILutCtl> control = NewControl();
  CComQIPtr<IViewObject> view(control);
  ASSERT_TRUE(view);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 240, 60);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECTL bounds = {0, 0, 240, 60};
  ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0),
            S_OK);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 3, 3), RGB(128, 128, 128));
  int text = 0;
  for (int x = 0; x < 240; ++x)
    for (int y = 20; y < 40; ++y)
      if (GetPixel(dc, x, y) == GetSysColor(COLOR_WINDOWTEXT)) ++text;
  EXPECT_GT(text, 20);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(LutCtlPersist, TheServerUnloadsOnceTheHostHasClosed) {
  auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      GetProcAddress(GetModuleHandleA("zvkLUT.ocx"), "DllCanUnloadNow"));
  ASSERT_NE(canUnload, nullptr);
  {
    HostedLutCtl hosted(300, 360);
    ASSERT_EQ(hosted.created, S_OK);
    EXPECT_EQ(canUnload(), S_FALSE);
  }
  CoFreeUnusedLibraries();
  EXPECT_EQ(canUnload(), S_OK);
}
