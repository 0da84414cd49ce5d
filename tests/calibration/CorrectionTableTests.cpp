// The correction tables: shape and element type per depth, values, and the refused depths.
#include <cmath>
#include <cstdint>

#include "CalibrationTestSupport.h"
#include "CorrectionTables.h"
#include "GammaPictures.h"

using namespace caltest;

namespace {

uint32_t Entry(SAFEARRAY* array, LONG i, LONG channel) {
  LONG indices[2] = {i, channel};
  uint32_t value = 0;
  switch (SafeArrayGetElemsize(array)) {
    case 1: {
      uint8_t v = 0;
      SafeArrayGetElement(array, indices, &v);
      value = v;
      break;
    }
    case 2: {
      uint16_t v = 0;
      SafeArrayGetElement(array, indices, &v);
      value = v;
      break;
    }
    default:
      SafeArrayGetElement(array, indices, &value);
      break;
  }
  return value;
}

monwz::Gammas Measured(float red, float green, float blue, float target) {
  monwz::Gammas gammas;
  gammas.deviceRed = red;
  gammas.deviceGreen = green;
  gammas.deviceBlue = blue;
  gammas.target = target;
  return gammas;
}

}  // namespace

TEST(CorrectionTables, AFreshObjectWithoutTheKeyGivesIdentityPlanes) {
  SettingsKeyGuard key;
  CComPtr<IMonitorCalibrationWiz> wizard = CreateWizard();
  ASSERT_TRUE(wizard);
  CComVariant tables;
  ASSERT_EQ(wizard->get_LUTs(8, &tables), S_OK);
  ASSERT_EQ(tables.vt, VT_ARRAY | VT_UI1);
  ASSERT_EQ(SafeArrayGetDim(tables.parray), 2u);
  LONG lower = -1, upper = -1;
  SafeArrayGetLBound(tables.parray, 1, &lower);
  SafeArrayGetUBound(tables.parray, 1, &upper);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 255);
  SafeArrayGetLBound(tables.parray, 2, &lower);
  SafeArrayGetUBound(tables.parray, 2, &upper);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 2);
  for (LONG channel = 0; channel < 3; ++channel)
    for (LONG i = 0; i < 256; ++i) ASSERT_EQ(Entry(tables.parray, i, channel), static_cast<uint32_t>(i));
}

TEST(CorrectionTables, EachPlaneCorrectsItsChannelTowardsTheTarget) {
  CComVariant tables;
  ASSERT_EQ(monwz::MakeCorrectionTables(Measured(2.0f, 2.2f, 2.5f, 2.2f), 8, &tables), S_OK);
  EXPECT_EQ(Entry(tables.parray, 128, 0), 119u);  // 255 x (128/255)^1.1 + 0.5
  EXPECT_EQ(Entry(tables.parray, 128, 1), 128u);
  EXPECT_EQ(Entry(tables.parray, 128, 2), 139u);  // 255 x (128/255)^0.88 + 0.5
  for (LONG channel = 0; channel < 3; ++channel) {
    EXPECT_EQ(Entry(tables.parray, 0, channel), 0u);
    EXPECT_EQ(Entry(tables.parray, 255, channel), 255u);
  }
}

TEST(CorrectionTables, TheElementTypeFollowsTheDepth) {
  const struct {
    short depth;
    VARTYPE type;
  } cases[] = {{1, VT_UI1}, {8, VT_UI1}, {9, VT_I2}, {15, VT_I2}, {16, VT_UI2}, {17, VT_I4}, {20, VT_I4}};
  const monwz::Gammas gammas = Measured(1.8f, 2.2f, 2.6f, 2.2f);
  for (const auto& entry : cases) {
    SCOPED_TRACE(entry.depth);
    CComVariant tables;
    ASSERT_EQ(monwz::MakeCorrectionTables(gammas, entry.depth, &tables), S_OK);
    EXPECT_EQ(tables.vt, VT_ARRAY | entry.type);
    const LONG top = (LONG{1} << entry.depth) - 1;
    LONG upper = -1;
    SafeArrayGetUBound(tables.parray, 1, &upper);
    EXPECT_EQ(upper, top);
    // Whole range used, green unchanged, entries from the same curve at every depth.
    EXPECT_EQ(Entry(tables.parray, top, 0), static_cast<uint32_t>(top));
    EXPECT_EQ(Entry(tables.parray, top / 2, 1), static_cast<uint32_t>(top / 2));
    const double level = static_cast<float>(top / 2) / static_cast<float>(top);
    const float exponent = 2.2f / 1.8f;
    EXPECT_EQ(Entry(tables.parray, top / 2, 0),
              static_cast<uint32_t>(top * std::pow(level, double{exponent}) + 0.5));
  }
}

TEST(CorrectionTables, RefusedDepthsLeaveTheResultEmpty) {
  const struct {
    short depth;
    HRESULT expected;
  } cases[] = {{0, E_INVALIDARG},   {-1, E_INVALIDARG},  {33, E_INVALIDARG},
               {25, E_OUTOFMEMORY}, {31, E_OUTOFMEMORY}, {32, E_OUTOFMEMORY}};
  for (const auto& entry : cases) {
    SCOPED_TRACE(entry.depth);
    VARIANT tables;
    tables.vt = VT_I4;
    tables.lVal = 7;
    EXPECT_EQ(monwz::MakeCorrectionTables(monwz::Gammas(), entry.depth, &tables), entry.expected);
    EXPECT_EQ(tables.vt, VT_EMPTY);
  }
  EXPECT_EQ(monwz::MakeCorrectionTables(monwz::Gammas(), 8, nullptr), E_POINTER);
}

TEST(CorrectionTables, TheLargestTableUnderTheLimitIsMade) {
  CComVariant tables;
  ASSERT_EQ(monwz::MakeCorrectionTables(Measured(2.2f, 2.2f, 2.2f, 2.2f), 24, &tables), S_OK);
  EXPECT_EQ(tables.vt, VT_ARRAY | VT_I4);
  EXPECT_EQ(Entry(tables.parray, (1 << 24) - 1, 2), (1u << 24) - 1);
}

TEST(GammaPatterns, TheEllipseLevelMatchesTheLinePatternAndNeverWraps) {
  const struct {
    float gamma;
    int level;
  } cases[] = {{2.2f, 186}, {1.8f, 174}, {1.0f, 128}, {3.5f, 210}, {1e8f, 255}, {1e30f, 255}};
  for (const auto& entry : cases) EXPECT_EQ(monwz::EllipseLevel(entry.gamma), entry.level) << entry.gamma;
}
