// The LUT object's stream records: exact bytes both ways, OLE's class-tagged form, and damaged input.
#include <random>

#include "LutTestSupport.h"

using namespace luttest;

namespace {

std::vector<unsigned char> DefaultRecord() {
  std::vector<unsigned char> bytes = {0xA0, 0x67, 0x25, 0x00, 0x71, 0x00, 0x00, 0x00};
  for (int i = 0; i < 15; ++i)
    bytes.insert(bytes.end(), {0x00, 0x00, 0x80, 0x3F});                  // Gamma, GammaLo, GammaHi 1.0
  for (int i = 0; i < 5; ++i) bytes.insert(bytes.end(), {0, 0, 0, 0});    // dMax
  for (int i = 0; i < 5; ++i) bytes.insert(bytes.end(), {255, 0, 0, 0});  // dMin
  bytes.insert(bytes.end(), {0x01, 0x01, 0x08, 0x01, 0x00});
  return bytes;
}

HRESULT Load(IUnknown* object, const std::vector<unsigned char>& bytes) {
  CComQIPtr<IPersistStreamInit> persist(object);
  return persist->Load(StreamOf(bytes));
}

}  // namespace

TEST(LutStream, DefaultObjectSavesTheDefaultRecord) {
  CComPtr<ILut> lut = CreateLut();
  std::vector<unsigned char> expected = DefaultRecord();
  ASSERT_EQ(expected.size(), 113u);
  HRESULT hr = E_FAIL;
  EXPECT_EQ(SaveBytes(lut, &hr), expected);
  EXPECT_EQ(hr, S_OK);

  CComQIPtr<IPersistStreamInit> persist(lut.p);
  ULARGE_INTEGER size = {};
  EXPECT_EQ(persist->GetSizeMax(&size), S_OK);
  EXPECT_EQ(size.QuadPart, 133u);
  EXPECT_EQ(persist->InitNew(), S_OK);
  CLSID clsid;
  EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_LUT));
}

TEST(LutStream, GoldenRecordsLoadAndWriteBackByteForByte) {
  for (const char* name : {"advanced-v2.bin", "manual.bin"}) {
    SCOPED_TRACE(name);
    std::vector<unsigned char> golden = FixtureBytes(name);
    CComPtr<ILut> lut = CreateLut();
    ASSERT_EQ(Load(lut, golden), S_OK);
    EXPECT_EQ(SaveBytes(lut), golden);
    CComQIPtr<IPersistStreamInit> persist(lut.p);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);  // loading is not a change
    ULARGE_INTEGER size = {};
    ASSERT_EQ(persist->GetSizeMax(&size), S_OK);
    EXPECT_GE(size.QuadPart, golden.size());
  }
}

TEST(LutStream, GoldenRecordsMeanWhatTheySay) {
  CComPtr<ILut> lut = CreateLut();
  ASSERT_EQ(Load(lut, FixtureBytes("advanced-v2.bin")), S_OK);
  LUT_DEVICETYPE device;
  LUT_TYPE type;
  LUT_GAMMASTYLE style;
  lut->get_DeviceType(&device);
  lut->get_Type(&type);
  lut->get_GammaStyle(&style);
  EXPECT_EQ(device, dtOutput);
  EXPECT_EQ(type, ltAdvanced);
  EXPECT_EQ(style, gsUnder);
  CComVariant value;
  BSTR name = SysAllocString(L"dMin");
  ASSERT_EQ(lut->get_Value(chR, name, &value), S_OK);
  EXPECT_EQ(value.lVal, 240);
  SysFreeString(name);

  CComPtr<ILut> manual = CreateLut();
  ASSERT_EQ(Load(manual, FixtureBytes("manual.bin")), S_OK);
  manual->get_Type(&type);
  EXPECT_EQ(type, ltManual);
  std::vector<uint32_t> red = Table(manual, chR, VT_UI2, 1024);
  EXPECT_EQ(red[0], 1023u);
  EXPECT_EQ(red[1023], 0u);
  SAFEARRAY* probe = SafeArrayCreateVector(VT_UI1, 0, 256);
  CComVariant target;
  target.vt = VT_ARRAY | VT_UI1;
  target.parray = probe;
  EXPECT_EQ(manual->GetTable(chG, &target), E_FAIL);  // no green table in the record
}

TEST(LutStream, VersionOneRecordLoadsAsItsVersionTwoTwin) {
  CComPtr<ILut> lut = CreateLut();
  ASSERT_EQ(Load(lut, FixtureBytes("advanced-v1.bin")), S_OK);
  EXPECT_EQ(SaveBytes(lut), FixtureBytes("advanced-v2.bin"));
}

TEST(LutStream, ThroughOleSaveToStreamAndOleLoadFromStream) {
  for (const char* name : {"advanced-v2.bin", "manual.bin"}) {
    SCOPED_TRACE(name);
    std::vector<unsigned char> golden = FixtureBytes(name);
    CComPtr<ILut> lut = CreateLut();
    ASSERT_EQ(Load(lut, golden), S_OK);
    CComQIPtr<IPersistStream> persist(lut.p);
    ASSERT_TRUE(persist);
    CComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ASSERT_EQ(OleSaveToStream(persist, stream), S_OK);
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    CLSID clsid;
    ASSERT_EQ(ReadClassStm(stream, &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_LUT));

    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    CComPtr<ILut> copy;
    ASSERT_EQ(OleLoadFromStream(stream, IID_ILut, reinterpret_cast<void**>(&copy)), S_OK);
    EXPECT_EQ(SaveBytes(copy), golden);
  }
}

TEST(LutStream, RecordRulesOnLoadAndSave) {
  struct Case {
    const char* what;
    size_t offset;  // in the default record
    unsigned char value;
    HRESULT expected;
  };
  const Case cases[] = {
      {"unknown tag", 0, 0xA1, E_FAIL},  {"wrong length", 4, 0x72, E_FAIL}, {"device 0", 108, 0, E_FAIL},
      {"device 2", 108, 2, S_OK},        {"channel set 2", 109, 2, E_FAIL}, {"bit depth 0", 110, 0, E_FAIL},
      {"bit depth 32", 110, 32, E_FAIL}, {"gamma style 3", 111, 3, E_FAIL}, {"type manual", 112, 2, E_FAIL},
      {"type advanced", 112, 1, S_OK},
  };
  for (const Case& c : cases) {
    std::vector<unsigned char> record = DefaultRecord();
    record[c.offset] = c.value;
    CComPtr<ILut> lut = CreateLut();
    EXPECT_EQ(Load(lut, record), c.expected) << c.what;
  }

  // Points equal in all five slots: Invert does nothing and tells nobody.
  std::vector<unsigned char> flat = DefaultRecord();
  for (int slot = 0; slot < 5; ++slot) flat[68 + 4 * slot] = 255;
  CComPtr<ILut> lut = CreateLut();
  ASSERT_EQ(Load(lut, flat), S_OK);
  RecordingSink sink;
  sink.Advise(lut);
  EXPECT_EQ(lut->Invert(), S_OK);
  EXPECT_TRUE(sink.changes.empty());
  sink.Unadvise();

  // A manual curve needs the RGB channel set to be saved.
  ASSERT_EQ(lut->put_Type(ltManual), S_OK);
  ASSERT_EQ(lut->put_ChannelSet(csGreyscale), S_OK);
  HRESULT hr = S_OK;
  SaveBytes(lut, &hr);
  EXPECT_EQ(hr, E_FAIL);
  CComQIPtr<IPersistStreamInit> persist(lut.p);
  EXPECT_EQ(persist->IsDirty(), S_OK);
}

TEST(LutStream, SavedManualTablesAndTheirSize) {
  CComPtr<ILut> lut = CreateLut();
  ASSERT_EQ(lut->put_Type(ltManual), S_OK);
  for (long channel = 0; channel < 4; ++channel) {
    CComVariant table;
    table.vt = VT_ARRAY | VT_UI1;
    table.parray = SafeArrayCreateVector(VT_UI1, 0, 256);
    ASSERT_EQ(PutValue(lut, channel, L"Table", table), S_OK);
  }
  std::vector<unsigned char> bytes = SaveBytes(lut);
  ASSERT_EQ(bytes.size(), 42u + 1024u);
  const unsigned char descriptor[8] = {0x11, 0x00, 0x01, 0x00, 0x00, 0x01, 0x00, 0x00};
  for (int channel = 0; channel < 4; ++channel)
    EXPECT_EQ(memcmp(bytes.data() + 8 + 8 * channel, descriptor, 8), 0) << channel;
  CComQIPtr<IPersistStreamInit> persist(lut.p);
  ULARGE_INTEGER size = {};
  ASSERT_EQ(persist->GetSizeMax(&size), S_OK);
  EXPECT_EQ(size.QuadPart, 42u + 1024u);
}

TEST(LutStream, ManualRecordsWithForeignElementTypesAreRefused) {
  std::vector<unsigned char> golden = FixtureBytes("manual.bin");
  struct Case {
    const char* what;
    uint16_t type, size;
    uint32_t count;
    HRESULT expected;
  };
  const Case cases[] = {
      {"strings", VT_BSTR, 8, 4, E_FAIL},
      {"interfaces", VT_UNKNOWN, 8, 4, E_FAIL},
      {"variants", VT_VARIANT, 24, 4, E_FAIL},
      {"bytes claimed as 2", VT_UI1, 2, 4, E_FAIL},
      {"floats", VT_R4, 4, 4, E_FAIL},
      {"more than the stream", VT_UI1, 1, 0x7FFFFFFF, STG_E_READFAULT},
      {"four billion ints", VT_I4, 4, 0xFFFFFFFF, STG_E_READFAULT},
  };
  for (const Case& c : cases) {
    std::vector<unsigned char> record = golden;
    memcpy(record.data() + 8, &c.type, 2);
    memcpy(record.data() + 10, &c.size, 2);
    memcpy(record.data() + 12, &c.count, 4);
    CComPtr<ILut> lut = CreateLut();
    EXPECT_EQ(Load(lut, record), c.expected) << c.what;
  }
}

TEST(LutStream, TruncatedAndFlippedRecordsFailCleanly) {
  std::mt19937 random(20240611);
  for (const char* name : {"advanced-v1.bin", "advanced-v2.bin", "manual.bin"}) {
    SCOPED_TRACE(name);
    std::vector<unsigned char> golden = FixtureBytes(name);
    for (size_t length = 0; length < golden.size(); length += (length < 64 ? 1 : 97)) {
      std::vector<unsigned char> cut(golden.begin(), golden.begin() + static_cast<std::ptrdiff_t>(length));
      CComPtr<ILut> lut = CreateLut();
      ASSERT_EQ(Load(lut, cut), STG_E_READFAULT) << "cut at " << length;
    }
    for (int round = 0; round < 300; ++round) {
      std::vector<unsigned char> flipped = golden;
      int flips = 1 + static_cast<int>(random() % 3);
      for (int i = 0; i < flips; ++i)
        flipped[random() % std::min<size_t>(flipped.size(), 64)] ^= 1u << (random() % 8);
      CComPtr<ILut> lut = CreateLut();
      HRESULT hr = Load(lut, flipped);
      ASSERT_TRUE(hr == S_OK || hr == E_FAIL || hr == STG_E_READFAULT) << std::hex << hr;
      if (hr == S_OK) {
        // Whatever loaded computes a table inside its range (or refuses to, cleanly).
        SAFEARRAY* array = SafeArrayCreateVector(VT_UI2, 0, 1000);
        CComVariant table;
        table.vt = VT_ARRAY | VT_UI2;
        table.parray = array;
        if (SUCCEEDED(lut->GetTable(chAll, &table))) {
          for (int i = 0; i < 1000; ++i) ASSERT_LE(static_cast<uint16_t*>(array->pvData)[i], 999);
        }
        HRESULT saved = S_OK;
        SaveBytes(lut, &saved);
      }
    }
  }
}
