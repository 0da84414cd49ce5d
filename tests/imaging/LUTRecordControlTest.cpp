// Records shown in and taken back from the LUT editing control. The control here is a stand-in that
// holds its Value as the real one does, so the record's side is seen alone.
#include "LUTRecordTestSupport.h"

namespace {

// Holds a LUT object through Value; everything else is not needed by the records.
class ValueHolder : public ILutCtl {
 public:
  ILutPtr value;
  HRESULT putResult = S_OK;
  HRESULT getResult = S_OK;
  int puts = 0;
  LONG refs = 1;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ILutCtl) {
      *object = static_cast<ILutCtl*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs)); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(InterlockedDecrement(&refs)); }
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP get_Valid(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Appearance(short) override { return E_NOTIMPL; }
  STDMETHODIMP get_Appearance(short*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Window(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Enabled(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_Enabled(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_ForeColor(OLE_COLOR) override { return E_NOTIMPL; }
  STDMETHODIMP get_ForeColor(OLE_COLOR*) override { return E_NOTIMPL; }
  STDMETHODIMP putref_Font(IFontDisp*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Font(IFontDisp*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Font(IFontDisp**) override { return E_NOTIMPL; }
  STDMETHODIMP put_BorderStyle(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_BorderStyle(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_BackColor(OLE_COLOR) override { return E_NOTIMPL; }
  STDMETHODIMP get_BackColor(OLE_COLOR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Value(ILut** lut) override {
    if (FAILED(getResult)) return getResult;
    *lut = value;
    if (*lut) (*lut)->AddRef();
    return S_OK;
  }
  STDMETHODIMP put_Value(ILut* lut) override {
    ++puts;
    if (SUCCEEDED(putResult)) value = lut;
    return putResult;
  }
  STDMETHODIMP get_ToolbarStyle(TOOLBAR_STYLE*) override { return E_NOTIMPL; }
  STDMETHODIMP put_ToolbarStyle(TOOLBAR_STYLE) override { return E_NOTIMPL; }
  STDMETHODIMP get_Channel(LUT_CHANNEL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Channel(LUT_CHANNEL) override { return E_NOTIMPL; }
};

LUT_DEVICETYPE DeviceTypeOf(ILut* lut) {
  LUT_DEVICETYPE type = static_cast<LUT_DEVICETYPE>(0);
  EXPECT_EQ(lut->get_DeviceType(&type), S_OK);
  return type;
}

}  // namespace

TEST(LUTRecordControl, AnEmptyRecordShowsANewCurveOfItsOwnDeviceTypeAndStaysEmpty) {
  for (int output : {0, 1}) {
    ValueHolder control;
    LUTRecord record;
    if (output) record.SetOutput();
    record.LoadIntoControl(ILutCtlPtr(&control));
    ASSERT_TRUE(control.value);
    EXPECT_EQ(DeviceTypeOf(control.value), output ? dtOutput : dtInput);
    EXPECT_TRUE(record.IsEmpty());

    // Taken back, the record holds the very object the control edits.
    record.StoreFromControl(ILutCtlPtr(&control));
    EXPECT_EQ(record.PeekObject(), control.value.GetInterfacePtr());
    EXPECT_EQ(record.GetOutput(), output);
    control.value = nullptr;
    EXPECT_EQ(control.refs, 1);  // every reference the calls took was given back
  }
}

TEST(LUTRecordControl, ARecordWithACurveShowsItsOwnObjectAndEditsShowInTheRecord) {
  ValueHolder control;
  LUTRecord record;
  record.SetOutput();
  ILut* own = record.GetObject();
  record.LoadIntoControl(ILutCtlPtr(&control));
  EXPECT_EQ(control.value.GetInterfacePtr(), own);

  // The control's answer to the put is not the record's concern.
  control.putResult = E_INVALIDARG;
  LUTRecord other;
  other.GetObject();
  EXPECT_NO_THROW(other.LoadIntoControl(ILutCtlPtr(&control)));
  EXPECT_EQ(control.puts, 2);

  // A control that cannot give its curve is reported, and the record keeps its own.
  control.getResult = E_UNEXPECTED;
  EXPECT_THROW(record.StoreFromControl(ILutCtlPtr(&control)), _com_error);
  EXPECT_EQ(record.PeekObject(), own);
  control.value = nullptr;
}
