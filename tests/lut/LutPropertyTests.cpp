// The LUT object's properties: put rules, Value by name, manual tables, and who hears of a change.
#include <limits>

#include "LutTestSupport.h"

using namespace luttest;

namespace {

SAFEARRAY* ByteTable(const std::vector<uint8_t>& values) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(values.size()));
  if (!values.empty()) memcpy(array->pvData, values.data(), values.size());
  return array;
}

CComVariant ArrayVariant(SAFEARRAY* array, VARTYPE elementType) {
  CComVariant value;
  value.vt = static_cast<VARTYPE>(VT_ARRAY | elementType);
  value.parray = array;
  return value;
}

}  // namespace

TEST(LutProperties, EnumeratedPutsAcceptOnlyTheirValues) {
  struct Case {
    const char* what;
    HRESULT (*put)(ILut*, long);
    long value;
    HRESULT expected;
  };
  auto device = [](ILut* l, long v) { return l->put_DeviceType(static_cast<LUT_DEVICETYPE>(v)); };
  auto channels = [](ILut* l, long v) { return l->put_ChannelSet(static_cast<LUT_CHANNELSET>(v)); };
  auto depth = [](ILut* l, long v) { return l->put_BitDepth(static_cast<short>(v)); };
  auto style = [](ILut* l, long v) { return l->put_GammaStyle(static_cast<LUT_GAMMASTYLE>(v)); };
  auto type = [](ILut* l, long v) { return l->put_Type(static_cast<LUT_TYPE>(v)); };
  const Case cases[] = {
      {"device 0", device, 0, E_INVALIDARG},
      {"device 1", device, 1, S_OK},
      {"device 2", device, 2, S_OK},
      {"device 3", device, 3, E_INVALIDARG},
      {"set -1", channels, -1, E_INVALIDARG},
      {"set 0", channels, 0, S_OK},
      {"set 1", channels, 1, S_OK},
      {"set 2", channels, 2, E_INVALIDARG},
      {"depth 0", depth, 0, E_INVALIDARG},
      {"depth 1", depth, 1, S_OK},
      {"depth 31", depth, 31, S_OK},
      {"depth 32", depth, 32, E_INVALIDARG},
      {"depth -8", depth, -8, E_INVALIDARG},
      {"style 0", style, 0, E_INVALIDARG},
      {"style 2", style, 2, S_OK},
      {"style 3", style, 3, E_INVALIDARG},
      {"type -1", type, -1, E_INVALIDARG},
      {"type 2", type, 2, S_OK},
      {"type 3", type, 3, E_INVALIDARG},
  };
  for (const Case& c : cases) {
    CComPtr<ILut> lut = CreateLut();
    EXPECT_EQ(c.put(lut, c.value), c.expected) << c.what;
  }
}

TEST(LutProperties, ValuePutRulesByTypeAndRange) {
  struct Case {
    const char* what;
    LUT_TYPE type;
    short bitDepth;
    long channel;
    const wchar_t* name;
    CComVariant value;
    HRESULT expected;
  };
  const Case cases[] = {
      {"dMax basic", ltBasic, 8, chAll, L"dMax", CComVariant(10L), S_OK},
      {"dMax text number", ltBasic, 8, chAll, L"DMAX", CComVariant(L"12"), S_OK},
      {"dMax not a number", ltBasic, 8, chAll, L"dMax", CComVariant(L"dark"), DISP_E_TYPEMISMATCH},
      {"dMin top of 8 bits", ltAdvanced, 8, chR, L"dMin", CComVariant(255L), S_OK},
      {"dMin over 8 bits", ltBasic, 8, chR, L"dMin", CComVariant(256L), E_INVALIDARG},
      {"dMin top of 10 bits", ltBasic, 10, chR, L"dMin", CComVariant(1023L), S_OK},
      {"dMax negative", ltBasic, 8, chAll, L"dMax", CComVariant(-1L), E_INVALIDARG},
      {"dMax manual", ltManual, 8, chAll, L"dMax", CComVariant(1L), E_INVALIDARG},
      {"gamma basic", ltBasic, 8, chB, L"gamma", CComVariant(2.5f), S_OK},
      {"gamma manual", ltManual, 8, chB, L"gamma", CComVariant(2.5f), E_INVALIDARG},
      {"gamma negative", ltBasic, 8, chB, L"Gamma", CComVariant(-2.5), S_OK},
      {"gammaLo basic", ltBasic, 8, chAll, L"gammaLo", CComVariant(0.5f), E_INVALIDARG},
      {"gammaLo advanced", ltAdvanced, 8, chAll, L"gammaLo", CComVariant(0.5f), S_OK},
      {"gammaHi basic", ltBasic, 8, chAll, L"GAMMAHI", CComVariant(0.5f), E_INVALIDARG},
      {"unknown name", ltBasic, 8, chAll, L"Contrast", CComVariant(1L), E_INVALIDARG},
      {"LUT is not a put name", ltManual, 8, chAll, L"LUT", CComVariant(1L), E_INVALIDARG},
      {"channel 4", ltBasic, 8, 4, L"dMax", CComVariant(1L), E_INVALIDARG},
      {"Table basic", ltBasic, 8, chAll, L"Table", ArrayVariant(ByteTable({0, 255}), VT_UI1), E_INVALIDARG},
      {"Table manual", ltManual, 8, chAll, L"Table", ArrayVariant(ByteTable({0, 255}), VT_UI1), S_OK},
      {"Table not an array", ltManual, 8, chAll, L"Table", CComVariant(3L), E_INVALIDARG},
      {"Table of floats", ltManual, 8, chAll, L"Table",
       ArrayVariant(SafeArrayCreateVector(VT_R4, 0, 4), VT_R4), E_INVALIDARG},
      {"Table of strings", ltManual, 8, chAll, L"Table",
       ArrayVariant(SafeArrayCreateVector(VT_BSTR, 0, 4), VT_BSTR), E_INVALIDARG},
      {"Table of ints", ltManual, 8, chG, L"Table", ArrayVariant(SafeArrayCreateVector(VT_INT, 0, 4), VT_INT),
       S_OK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CComPtr<ILut> lut = CreateLut();
    ASSERT_EQ(lut->put_Type(c.type), S_OK);
    ASSERT_EQ(lut->put_BitDepth(c.bitDepth), S_OK);
    EXPECT_EQ(PutValue(lut, c.channel, c.name, c.value), c.expected);
  }
}

TEST(LutProperties, ValueGetByNameAndChannel) {
  CComPtr<ILut> lut = CreateLut();
  ASSERT_EQ(lut->put_Type(ltAdvanced), S_OK);
  ASSERT_EQ(PutValue(lut, chG, L"dMax", 7L), S_OK);
  ASSERT_EQ(PutValue(lut, chG, L"GammaHi", 1.5f), S_OK);
  CComVariant value;
  BSTR name = SysAllocString(L"dmax");
  ASSERT_EQ(lut->get_Value(chG, name, &value), S_OK);
  EXPECT_EQ(value.vt, VT_I4);
  EXPECT_EQ(value.lVal, 7);
  SysFreeString(name);
  name = SysAllocString(L"GammaHi");
  value.Clear();
  ASSERT_EQ(lut->get_Value(chG, name, &value), S_OK);
  EXPECT_EQ(value.vt, VT_R4);
  EXPECT_EQ(value.fltVal, 1.5f);
  value.Clear();
  EXPECT_EQ(lut->get_Value(chG, name, nullptr), E_POINTER);
  ASSERT_EQ(lut->put_ChannelSet(csGreyscale), S_OK);
  EXPECT_EQ(lut->get_Value(chR, name, &value), E_INVALIDARG);
  SysFreeString(name);
  name = SysAllocString(L"LUT");
  ASSERT_EQ(lut->get_Value(chAll, name, &value), S_OK);
  EXPECT_EQ(value.vt, VT_EMPTY);
  SysFreeString(name);

  short depth = 0;
  EXPECT_EQ(lut->get_BitDepth(&depth), S_OK);
  EXPECT_EQ(depth, 8);
  EXPECT_EQ(lut->get_BitDepth(nullptr), E_POINTER);
  EXPECT_EQ(lut->get_DeviceType(nullptr), E_POINTER);
  EXPECT_EQ(lut->get_LUT(nullptr), E_POINTER);
}

TEST(LutProperties, ManualTablesResampleToTheCallersArray) {
  CComPtr<ILut> lut = CreateLut();
  ASSERT_EQ(lut->put_Type(ltManual), S_OK);
  std::vector<uint8_t> source(256);
  for (int i = 0; i < 256; ++i) source[i] = static_cast<uint8_t>((i * i) / 255);
  ASSERT_EQ(PutValue(lut, chAll, L"Table", ArrayVariant(ByteTable(source), VT_UI1)), S_OK);

  std::vector<uint32_t> same = Table(lut, chAll, VT_UI1, 256);
  EXPECT_EQ(same, std::vector<uint32_t>(source.begin(), source.end()));

  // 1024 entries: interpolated and scaled by 1023/255.
  std::vector<uint32_t> wide = Table(lut, chAll, VT_I2, 1024);
  for (uint32_t i = 0; i < 1024; ++i) {
    double p = 255.0 * i / 1023.0;
    int k = static_cast<int>(p);
    double f = p - k;
    double value = f > 1.1754944e-38 ? 1023.0 * ((1 - f) * source[k] + f * source[k + 1]) / 255.0
                                     : 1023.0 * source[k] / 255.0;
    ASSERT_EQ(wide[i], static_cast<uint32_t>(value + 0.5)) << i;
  }

  // A channel without a table fails; a by-reference table is copied, not referenced.
  EXPECT_EQ(lut->GetTable(chG, nullptr), E_POINTER);
  SAFEARRAY* probe = SafeArrayCreateVector(VT_UI1, 0, 256);
  CComVariant target = ArrayVariant(probe, VT_UI1);
  EXPECT_EQ(lut->GetTable(chG, &target), E_FAIL);

  SAFEARRAY* callers = ByteTable({3, 2, 1, 0});
  VARIANT byReference;
  byReference.vt = VT_BYREF | VT_ARRAY | VT_UI1;
  byReference.pparray = &callers;
  ASSERT_EQ(PutValue(lut, chB, L"Table", byReference), S_OK);
  SafeArrayDestroy(callers);  // the object must not depend on it any more
  EXPECT_EQ(Table(lut, chB, VT_UI1, 4), (std::vector<uint32_t>{3, 2, 1, 0}));
}

TEST(LutProperties, ManualValuesBeyondTheTableAreHeld) {
  CComPtr<ILut> lut = CreateLut();
  ASSERT_EQ(lut->put_Type(ltManual), S_OK);
  // Four entries hold 0..3; 200 and 255 are out of range and count as 3.
  ASSERT_EQ(PutValue(lut, chAll, L"Table", ArrayVariant(ByteTable({0, 1, 200, 255}), VT_UI1)), S_OK);
  EXPECT_EQ(Table(lut, chAll, VT_UI1, 4), (std::vector<uint32_t>{0, 1, 3, 3}));
  for (uint32_t entry : Table(lut, chAll, VT_UI2, 7)) EXPECT_LE(entry, 6u);

  // One-entry tables and targets give 0.
  ASSERT_EQ(PutValue(lut, chR, L"Table", ArrayVariant(ByteTable({9}), VT_UI1)), S_OK);
  EXPECT_EQ(Table(lut, chR, VT_UI1, 5), (std::vector<uint32_t>{0, 0, 0, 0, 0}));
  EXPECT_EQ(Table(lut, chAll, VT_UI1, 1), (std::vector<uint32_t>{0}));
}

TEST(LutNotifications, AcceptedChangesNotifyTheirIdThenSix) {
  struct Case {
    const char* what;
    HRESULT (*change)(ILut*);
    std::vector<DISPID> expected;
  };
  const Case cases[] = {
      {"device", [](ILut* l) { return l->put_DeviceType(dtOutput); }, {1, 6}},
      {"device unchanged", [](ILut* l) { return l->put_DeviceType(dtInput); }, {}},
      {"channel set", [](ILut* l) { return l->put_ChannelSet(csGreyscale); }, {2, 6}},
      {"bit depth", [](ILut* l) { return l->put_BitDepth(10); }, {3, 6}},
      {"bit depth unchanged", [](ILut* l) { return l->put_BitDepth(8); }, {}},
      {"gamma style", [](ILut* l) { return l->put_GammaStyle(gsUnder); }, {4, 6}},
      {"type", [](ILut* l) { return l->put_Type(ltAdvanced); }, {5, 6}},
      {"dMax", [](ILut* l) { return PutValue(l, chR, L"dMax", 4L); }, {0, 6}},
      {"dMax unchanged", [](ILut* l) { return PutValue(l, chR, L"dMax", 0L); }, {}},
      {"gamma unchanged", [](ILut* l) { return PutValue(l, chR, L"Gamma", 1.0f); }, {}},
      {"refused put",
       [](ILut* l) { return PutValue(l, chR, L"dMax", 999L) == E_INVALIDARG ? S_OK : E_FAIL; },
       {}},
      {"invert", [](ILut* l) { return l->Invert(); }, {0, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CComPtr<ILut> lut = CreateLut();
    RecordingSink sink;
    sink.Advise(lut);
    EXPECT_EQ(c.change(lut), S_OK);
    EXPECT_EQ(sink.changes, c.expected);
    CComQIPtr<IPersistStreamInit> persist(lut.p);
    EXPECT_EQ(persist->IsDirty(), c.expected.empty() ? S_FALSE : S_OK);
    sink.Unadvise();
  }
}

TEST(LutNotifications, TablePutAlwaysNotifiesAndInvertOfEqualPointsDoesNot) {
  CComPtr<ILut> lut = CreateLut();
  ASSERT_EQ(lut->put_Type(ltManual), S_OK);
  RecordingSink sink;
  sink.Advise(lut);
  ASSERT_EQ(PutValue(lut, chAll, L"Table", ArrayVariant(ByteTable({1, 2}), VT_UI1)), S_OK);
  ASSERT_EQ(PutValue(lut, chAll, L"Table", ArrayVariant(ByteTable({1, 2}), VT_UI1)), S_OK);
  EXPECT_EQ(sink.changes, (std::vector<DISPID>{0, 6, 0, 6}));
  sink.Unadvise();

  CComPtr<ILut> flat = CreateLut();
  ASSERT_EQ(flat->put_Type(ltBasic), S_OK);
  for (long channel = 0; channel < 4; ++channel) ASSERT_EQ(PutValue(flat, channel, L"dMax", 255L), S_OK);
  RecordingSink flatSink;
  flatSink.Advise(flat);
  ASSERT_EQ(flat->Invert(), S_OK);  // slot 4 still differs: it is swapped too
  EXPECT_EQ(flatSink.changes, (std::vector<DISPID>{0, 6}));
  flatSink.Unadvise();
}

TEST(LutNotifications, SinkMayUnadviseInsideOnChanged) {
  CComPtr<ILut> lut = CreateLut();
  RecordingSink leaving, staying;
  leaving.Advise(lut);
  staying.Advise(lut);
  leaving.UnadviseOnNextChange();
  ASSERT_EQ(lut->put_BitDepth(12), S_OK);
  EXPECT_EQ(leaving.changes, (std::vector<DISPID>{3}));  // gone before the second notification
  EXPECT_EQ(staying.changes, (std::vector<DISPID>{3, 6}));
  ASSERT_EQ(lut->put_BitDepth(13), S_OK);
  EXPECT_EQ(leaving.changes.size(), 1u);
  staying.Unadvise();
}
