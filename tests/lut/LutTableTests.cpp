// The curves' tables: golden values at every element width, the array shapes and element types a
// caller may hand in, and the guards against values no table can hold.
#include <limits>

#include "LutTestSupport.h"

using namespace luttest;

namespace {

struct GoldenCase {
  const char* what;
  LUT_DEVICETYPE device;
  LUT_TYPE type;
  LUT_GAMMASTYLE style;
  long dMax, dMin;
  float gammaLo, gamma, gammaHi;
  VARTYPE elementType;
  ULONG entries;
  std::vector<std::pair<ULONG, uint32_t>> expected;  // index, entry
};

CComPtr<ILut> Configured(const GoldenCase& c) {
  CComPtr<ILut> lut = CreateLut();
  EXPECT_EQ(lut->put_DeviceType(c.device), S_OK);
  EXPECT_EQ(lut->put_Type(c.type), S_OK);
  EXPECT_EQ(lut->put_GammaStyle(c.style), S_OK);
  EXPECT_EQ(PutValue(lut, chAll, L"dMax", c.dMax), S_OK);
  EXPECT_EQ(PutValue(lut, chAll, L"dMin", c.dMin), S_OK);
  EXPECT_EQ(PutValue(lut, chAll, L"Gamma", c.gamma), S_OK);
  if (c.type == ltAdvanced) {
    EXPECT_EQ(PutValue(lut, chAll, L"GammaLo", c.gammaLo), S_OK);
    EXPECT_EQ(PutValue(lut, chAll, L"GammaHi", c.gammaHi), S_OK);
  }
  return lut;
}

}  // namespace

TEST(LutTables, GoldenEntriesPinThePrecisionModel) {
  const GoldenCase cases[] = {
      {"gamma 2.2 over",
       dtInput,
       ltBasic,
       gsOver,
       0,
       255,
       1,
       2.2f,
       1,
       VT_UI1,
       256,
       {{64, 136}, {128, 186}, {192, 224}}},
      {"gamma 2.2 under",
       dtInput,
       ltBasic,
       gsUnder,
       0,
       255,
       1,
       2.2f,
       1,
       VT_UI1,
       256,
       {{64, 12}, {128, 56}, {192, 137}}},
      {"input points 50..200",
       dtInput,
       ltBasic,
       gsOver,
       50,
       200,
       1,
       1.0f,
       1,
       VT_UI1,
       256,
       {{0, 0}, {49, 0}, {50, 0}, {51, 2}, {199, 253}, {200, 255}, {201, 255}, {255, 255}}},
      {"output points 50..200",
       dtOutput,
       ltBasic,
       gsOver,
       50,
       200,
       1,
       1.0f,
       1,
       VT_UI1,
       256,
       {{0, 50}, {128, 125}, {255, 200}}},
      {"output points swapped",
       dtOutput,
       ltBasic,
       gsOver,
       200,
       50,
       1,
       1.0f,
       1,
       VT_UI1,
       256,
       {{0, 205}, {128, 130}, {255, 55}}},
      {"advanced 0.5/1/2 over",
       dtInput,
       ltAdvanced,
       gsOver,
       0,
       255,
       0.5f,
       1.0f,
       2.0f,
       VT_UI1,
       256,
       {{32, 5}, {64, 32}, {128, 128}, {192, 206}, {224, 237}}},
      {"gamma 2.2 over, 16 bits",
       dtInput,
       ltBasic,
       gsOver,
       0,
       255,
       1,
       2.2f,
       1,
       VT_UI2,
       65536,
       {{1037, 9953}, {2871, 15813}, {32768, 47824}}},
      {"advanced over, 16 bits",
       dtInput,
       ltAdvanced,
       gsOver,
       0,
       255,
       0.5f,
       1.0f,
       2.0f,
       VT_UI2,
       65536,
       {{11866, 3528}}},
  };
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(c.what);
    CComPtr<ILut> lut = Configured(c);
    std::vector<uint32_t> table = Table(lut, chAll, c.elementType, c.entries);
    ASSERT_EQ(table.size(), c.entries);
    for (auto [index, entry] : c.expected) EXPECT_EQ(table[index], entry) << "entry " << index;
  }
}

TEST(LutTables, SameCurveAtEveryElementWidth) {
  // The 8-bit gamma curve read into 1-, 2- and 4-byte arrays of 256 entries is the same table.
  GoldenCase c{"gamma", dtInput, ltBasic, gsOver, 0, 255, 1, 2.2f, 1, VT_UI1, 256, {}};
  CComPtr<ILut> lut = Configured(c);
  std::vector<uint32_t> bytes = Table(lut, chAll, VT_UI1, 256);
  for (VARTYPE type : {VT_I2, VT_UI2, VT_I4, VT_UI4, VT_INT, VT_UINT}) {
    SCOPED_TRACE(type);
    EXPECT_EQ(Table(lut, chAll, type, 256), bytes);
  }
}

TEST(LutTables, DefaultObjectIsTheIdentityInEveryPlane) {
  CComPtr<ILut> lut = CreateLut();
  CComVariant table;
  ASSERT_EQ(lut->get_LUT(&table), S_OK);
  ASSERT_EQ(table.vt, VT_ARRAY | VT_UI1);
  ASSERT_EQ(SafeArrayGetDim(table.parray), 2u);
  LONG upper1 = 0, upper2 = 0;
  SafeArrayGetUBound(table.parray, 1, &upper1);
  SafeArrayGetUBound(table.parray, 2, &upper2);
  EXPECT_EQ(upper1, 255);
  EXPECT_EQ(upper2, 3);
  const uint8_t* data = static_cast<const uint8_t*>(table.parray->pvData);
  for (int plane = 0; plane < 4; ++plane)
    for (int i = 0; i < 256; ++i) ASSERT_EQ(data[plane * 256 + i], i) << plane;

  // The points are rescaled to the caller's array: 4096 entries make the identity 0..4095.
  std::vector<uint32_t> wide = Table(lut, chR, VT_UI2, 4096);
  for (uint32_t i = 0; i < 4096; ++i) ASSERT_EQ(wide[i], i);
}

TEST(LutTables, InvertTurnsEveryPlaneAndBack) {
  CComPtr<ILut> lut = CreateLut();
  ASSERT_EQ(lut->Invert(), S_OK);
  for (long channel = 0; channel < 4; ++channel) {
    std::vector<uint32_t> table = Table(lut, channel, VT_UI1, 256);
    for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(table[i], 255 - i);
  }
  ASSERT_EQ(lut->Invert(), S_OK);
  std::vector<uint32_t> table = Table(lut, chB, VT_UI1, 256);
  for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(table[i], i);
}

TEST(LutTables, OwnTableFollowsBitDepthAndChannelSet) {
  struct Case {
    short bitDepth;
    LUT_CHANNELSET channelSet;
    VARTYPE elementType;
    UINT dimensions;
    LONG entries;
  };
  const Case cases[] = {
      {1, csGreyscale, VT_UI1, 1, 2},      {8, csRGB, VT_UI1, 2, 256},
      {10, csRGB, VT_I2, 2, 1024},         {15, csGreyscale, VT_I2, 1, 32768},
      {16, csGreyscale, VT_UI2, 1, 65536}, {17, csGreyscale, VT_I4, 1, 131072},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bitDepth);
    CComPtr<ILut> lut = CreateLut();
    ASSERT_EQ(lut->put_BitDepth(c.bitDepth), S_OK);
    ASSERT_EQ(lut->put_ChannelSet(c.channelSet), S_OK);
    CComVariant table;
    ASSERT_EQ(lut->get_LUT(&table), S_OK);
    EXPECT_EQ(table.vt, VT_ARRAY | c.elementType);
    EXPECT_EQ(SafeArrayGetDim(table.parray), c.dimensions);
    LONG upper = 0;
    SafeArrayGetUBound(table.parray, 1, &upper);
    EXPECT_EQ(upper, c.entries - 1);
  }
}

TEST(LutTables, OversizedOwnTableIsRefusedBeforeAllocating) {
  for (short bitDepth : {25, 31}) {
    CComPtr<ILut> lut = CreateLut();
    ASSERT_EQ(lut->put_BitDepth(bitDepth), S_OK);
    CComVariant table;
    EXPECT_EQ(lut->get_LUT(&table), E_OUTOFMEMORY) << bitDepth;
    EXPECT_EQ(table.vt, VT_EMPTY);
  }
}

TEST(LutTables, ElementTypesAcceptedByBitDepth) {
  struct Case {
    short bitDepth;
    VARTYPE elementType;
    HRESULT expected;
  };
  const Case cases[] = {
      {7, VT_I1, S_OK},          {7, VT_UI1, S_OK},          {8, VT_I1, E_INVALIDARG},
      {8, VT_UI1, S_OK},         {8, VT_I2, S_OK},           {8, VT_INT, S_OK},
      {9, VT_UI1, E_INVALIDARG}, {15, VT_I2, S_OK},          {16, VT_I2, E_INVALIDARG},
      {16, VT_UI2, S_OK},        {17, VT_UI2, E_INVALIDARG}, {17, VT_UINT, S_OK},
      {8, VT_R4, E_INVALIDARG},  {8, VT_BSTR, E_INVALIDARG}, {8, VT_VARIANT, E_INVALIDARG},
      {8, VT_R8, E_INVALIDARG},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bitDepth << " bits, type " << c.elementType);
    CComPtr<ILut> lut = CreateLut();
    ASSERT_EQ(lut->put_BitDepth(c.bitDepth), S_OK);
    // As few entries as the element can hold, so only the type decides.
    SAFEARRAY* array = SafeArrayCreateVector(c.elementType, 0, 16);
    ASSERT_NE(array, nullptr);
    CComVariant table;
    table.vt = static_cast<VARTYPE>(VT_ARRAY | c.elementType);
    table.parray = array;
    EXPECT_EQ(lut->GetTable(chAll, &table), c.expected);
  }
}

TEST(LutTables, ArrayShapesAndBounds) {
  struct Case {
    const char* what;
    LUT_CHANNELSET channelSet;
    long channel;
    UINT dimensions;
    LONG lower1;
    ULONG entries;
    LONG lower2;
    ULONG planes;
    HRESULT expected;
  };
  const Case cases[] = {
      {"1-D channel 0", csRGB, 0, 1, 0, 256, 0, 0, S_OK},
      {"1-D lower bound 1", csRGB, 3, 1, 1, 256, 0, 0, S_OK},
      {"1-D lower bound 2", csRGB, 0, 1, 2, 256, 0, 0, E_INVALIDARG},
      {"1-D lower bound -1", csRGB, 0, 1, -1, 256, 0, 0, E_INVALIDARG},
      {"1-D channel 4", csRGB, 4, 1, 0, 256, 0, 0, E_INVALIDARG},
      {"1-D channel -1", csRGB, -1, 1, 0, 256, 0, 0, E_INVALIDARG},
      {"grey channel 0", csGreyscale, 0, 1, 0, 256, 0, 0, S_OK},
      {"grey channel R", csGreyscale, 1, 1, 0, 256, 0, 0, E_INVALIDARG},
      {"grey 2-D", csGreyscale, 0, 2, 0, 256, 0, 4, E_INVALIDARG},
      {"2-D [0..3]", csRGB, 0, 2, 0, 256, 0, 4, S_OK},
      {"2-D [0..2]", csRGB, 0, 2, 0, 256, 0, 3, S_OK},
      {"2-D [1..3]", csRGB, 0, 2, 0, 256, 1, 3, S_OK},
      {"2-D [1..4]", csRGB, 0, 2, 0, 256, 1, 4, E_INVALIDARG},
      {"2-D [0..1]", csRGB, 0, 2, 0, 256, 0, 2, E_INVALIDARG},
      {"2-D channel R", csRGB, 1, 2, 0, 256, 0, 4, E_INVALIDARG},
      {"3-D", csRGB, 0, 3, 0, 256, 0, 4, E_INVALIDARG},
      {"1024 bytes cannot hold 0..1023", csRGB, 0, 1, 0, 1024, 0, 0, E_INVALIDARG},
      {"one entry", csRGB, 0, 1, 0, 1, 0, 0, S_OK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CComPtr<ILut> lut = CreateLut();
    ASSERT_EQ(lut->put_ChannelSet(c.channelSet), S_OK);
    SAFEARRAYBOUND bounds[3] = {{c.entries, c.lower1}, {c.planes, c.lower2}, {2, 0}};
    VARTYPE type = c.entries > 256 ? VT_UI1 : VT_UI1;
    SAFEARRAY* array = SafeArrayCreate(type, c.dimensions, bounds);
    ASSERT_NE(array, nullptr);
    CComVariant table;
    table.vt = static_cast<VARTYPE>(VT_ARRAY | type);
    table.parray = array;
    EXPECT_EQ(lut->GetTable(static_cast<LUT_CHANNEL>(c.channel), &table), c.expected);
    if (c.entries == 1) {
      EXPECT_EQ(static_cast<uint8_t*>(array->pvData)[0], 0);
    }
  }
}

TEST(LutTables, ThreePlanesComeFromRedGreenBlue) {
  CComPtr<ILut> lut = CreateLut();
  ASSERT_EQ(PutValue(lut, chR, L"dMin", 100L), S_OK);
  ASSERT_EQ(PutValue(lut, chG, L"dMin", 150L), S_OK);
  ASSERT_EQ(PutValue(lut, chB, L"dMin", 200L), S_OK);
  for (LONG lower : {0, 1}) {
    SAFEARRAYBOUND bounds[2] = {{256, 0}, {3, lower}};
    CComVariant table;
    table.vt = VT_ARRAY | VT_UI1;
    table.parray = SafeArrayCreate(VT_UI1, 2, bounds);
    ASSERT_EQ(lut->GetTable(chAll, &table), S_OK);
    const uint8_t* data = static_cast<const uint8_t*>(table.parray->pvData);
    EXPECT_EQ(data[0 * 256 + 100], 255);
    EXPECT_EQ(data[1 * 256 + 100], 170);  // 255 * 100 / 150
    EXPECT_EQ(data[2 * 256 + 200], 255);
    EXPECT_EQ(data[2 * 256 + 100], 128);  // 255 * 100 / 200 = 127.5
  }
}

TEST(LutTables, CallerArraysByReferenceAndBadVariants) {
  CComPtr<ILut> lut = CreateLut();
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 256);
  VARIANT byReference;
  byReference.vt = VT_BYREF | VT_ARRAY | VT_UI1;
  byReference.pparray = &array;
  EXPECT_EQ(lut->GetTable(chAll, &byReference), S_OK);
  EXPECT_EQ(static_cast<uint8_t*>(array->pvData)[77], 77);
  SafeArrayDestroy(array);

  SAFEARRAY* none = nullptr;
  byReference.pparray = &none;
  EXPECT_EQ(lut->GetTable(chAll, &byReference), E_INVALIDARG);
  byReference.pparray = nullptr;
  EXPECT_EQ(lut->GetTable(chAll, &byReference), E_INVALIDARG);

  CComVariant number(5L);
  EXPECT_EQ(lut->GetTable(chAll, &number), E_INVALIDARG);
  CComVariant empty;
  EXPECT_EQ(lut->GetTable(chAll, &empty), E_INVALIDARG);
  EXPECT_EQ(lut->GetTable(chAll, nullptr), E_POINTER);

  // An array that claims bytes but holds strings is never written.
  CComVariant strings;
  strings.vt = VT_ARRAY | VT_UI1;
  strings.parray = SafeArrayCreateVector(VT_BSTR, 0, 16);
  EXPECT_EQ(lut->GetTable(chAll, &strings), E_INVALIDARG);
}

TEST(LutTables, WildGammasAndPointsStayInsideTheTable) {
  const float gammas[] = {0.0f,
                          -1.0f,
                          -0.0f,
                          1e-30f,
                          1e30f,
                          std::numeric_limits<float>::quiet_NaN(),
                          std::numeric_limits<float>::infinity()};
  for (LUT_DEVICETYPE device : {dtInput, dtOutput})
    for (LUT_TYPE type : {ltBasic, ltAdvanced})
      for (float gamma : gammas) {
        SCOPED_TRACE(testing::Message() << device << " " << type << " gamma " << gamma);
        CComPtr<ILut> lut = CreateLut();
        ASSERT_EQ(lut->put_DeviceType(device), S_OK);
        ASSERT_EQ(lut->put_Type(type), S_OK);
        ASSERT_EQ(PutValue(lut, chAll, L"Gamma", gamma), S_OK);
        if (type == ltAdvanced) {
          ASSERT_EQ(PutValue(lut, chAll, L"GammaHi", gamma), S_OK);
        }
        ASSERT_EQ(PutValue(lut, chAll, L"dMax", 30L), S_OK);
        for (uint32_t entry : Table(lut, chAll, VT_UI2, 1000)) ASSERT_LE(entry, 999u);
      }

  // Points beyond a lowered bit depth are clipped to the table.
  CComPtr<ILut> lut = CreateLut();
  ASSERT_EQ(PutValue(lut, chAll, L"dMin", 200L), S_OK);
  ASSERT_EQ(lut->put_BitDepth(4), S_OK);
  for (LUT_DEVICETYPE device : {dtInput, dtOutput}) {
    ASSERT_EQ(lut->put_DeviceType(device), S_OK);
    for (uint32_t entry : Table(lut, chAll, VT_UI1, 16)) ASSERT_LE(entry, 15u);
  }
}
