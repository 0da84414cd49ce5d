// Bad input answers E_INVALIDARG (or E_POINTER) and changes nothing.
#include <gtest/gtest.h>

#include <functional>

#include "KeyerTestSupport.h"
#include "keyer/KeyerAreas.h"

using namespace keyertest;

TEST(KeyerBadInput, WrongSamplesAlgorithmsFlagsAndColoursChangeNothing) {
  IChromaKeyer* k = NewKeyer();
  ASSERT_EQ(k->SelectBackgroundColor(OneColour(0x40B040)), S_OK);
  const std::string before = Save(k);

  std::vector<VARIANT> samples;
  VARIANT v;
  VariantInit(&v);
  samples.push_back(v);  // VT_EMPTY
  v.vt = VT_R8;
  v.dblVal = 1.0;
  samples.push_back(v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(L"0x40B040");
  samples.push_back(v);
  v.vt = VT_I2;
  v.iVal = 5;
  samples.push_back(v);
  v = OneColour(0);
  v.lVal = -1;  // not a plain COLORREF
  samples.push_back(v);
  {
    SAFEARRAYBOUND b[3] = {{2, 0}, {2, 0}, {2, 0}};
    VARIANT a;
    VariantInit(&a);
    a.vt = VT_ARRAY | VT_I4;
    a.parray = SafeArrayCreate(VT_I4, 3, b);
    samples.push_back(a);
    SAFEARRAYBOUND e[2] = {{0, 0}, {4, 0}};
    a.parray = SafeArrayCreate(VT_I4, 2, e);
    samples.push_back(a);
    SAFEARRAYBOUND s[2] = {{2, 0}, {2, 0}};
    a.vt = VT_ARRAY | VT_R8;
    a.parray = SafeArrayCreate(VT_R8, 2, s);
    samples.push_back(a);
    a.vt = VT_ARRAY | VT_BSTR;
    a.parray = SafeArrayCreate(VT_BSTR, 2, s);
    samples.push_back(a);
  }

  using Call = std::function<HRESULT(const VARIANT&)>;
  const Call calls[] = {
      [&](const VARIANT& s) { return k->SelectBackgroundColor(s); },
      [&](const VARIANT& s) { return k->CleanBackground(s); },
      [&](const VARIANT& s) { return k->CleanForeground(s); },
      [&](const VARIANT& s) { return k->MatteSponge(s); },
      [&](const VARIANT& s) { return k->SpillSponge(s); },
      [&](const VARIANT& s) { return k->MakeForegroundTransparent(s); },
      [&](const VARIANT& s) { return k->RestoreDetail(s); },
      [&](const VARIANT& s) { return k->AdjustMatte(s, 1); },
      [&](const VARIANT& s) { return k->AdjustSpill(s, 0); },
      [&](const VARIANT& s) { return k->AdjustDetail(s, 1); },
      [&](const VARIANT& s) {
        COLORREF c;
        float o;
        return k->FineTune(s, 0.5f, 0, 0, &c, &o);
      },
  };
  for (size_t i = 0; i < samples.size(); ++i)
    for (size_t c = 0; c < std::size(calls); ++c)
      EXPECT_EQ(calls[c](samples[i]), E_INVALIDARG) << "sample " << i << " call " << c;
  for (VARIANT& s : samples) VariantClear(&s);

  VARIANT good = OneColour(0x3A7A3A);
  EXPECT_EQ(k->AdjustMatte(good, 2), E_INVALIDARG);
  EXPECT_EQ(k->AdjustSpill(good, -1), E_INVALIDARG);
  EXPECT_EQ(k->AdjustDetail(good, 7), E_INVALIDARG);
  for (LONG a : {-1, 3, 1000}) EXPECT_EQ(k->SetAlgorithm(a), E_INVALIDARG) << a;
  for (LONG c : {LONG(-2), LONG(0x1000000), LONG(-0x7FFFFFFF - 1)})
    EXPECT_EQ(k->SetSpillReplaceColor(c), E_INVALIDARG) << c;
  COLORREF colour;
  float opacity;
  EXPECT_EQ(k->FineTune(good, NAN, 0, 0, &colour, &opacity), E_INVALIDARG);
  EXPECT_EQ(k->FineTune(good, 0, 0, 0, nullptr, &opacity), E_POINTER);
  EXPECT_EQ(k->FineTune(good, 0, 0, 0, &colour, nullptr), E_POINTER);
  EXPECT_EQ(k->GetSpillReplaceMode(nullptr), E_POINTER);
  EXPECT_EQ(k->AutoCompute(nullptr, 0, 0), E_POINTER);
  EXPECT_EQ(k->AutoCompute(k, 0, 0), E_NOINTERFACE) << "a bitmap without the pixel accessor";
  Scene scene = MakeComposite(false, 32, 24);
  IUnknown* source = NewPixelSource(scene);
  EXPECT_EQ(k->AutoCompute(source, NAN, 0), E_INVALIDARG);
  source->Release();

  EXPECT_EQ(Save(k), before) << "nothing changed";
  k->Release();
}

TEST(KeyerBadInput, FactorsAndDeltasBeyondTheirRangeAreClamped) {
  Scene scene = MakeComposite(false, 64, 48);
  IUnknown* source = NewPixelSource(scene);
  IChromaKeyer* a = NewKeyer();
  IChromaKeyer* b = NewKeyer();
  ASSERT_EQ(a->AutoCompute(source, 0.5f, -0.5f), S_OK);
  ASSERT_EQ(b->AutoCompute(source, 3.0f, -7.0f), S_OK);
  EXPECT_EQ(Save(a), Save(b));
  COLORREF c;
  float o;
  ASSERT_EQ(a->FineTune(OneColour(0x3A7A3A), 1, -1, 1, &c, &o), S_OK);
  ASSERT_EQ(b->FineTune(OneColour(0x3A7A3A), 9, -9, 1e9f, &c, &o), S_OK);
  EXPECT_EQ(Save(a), Save(b));
  source->Release();
  a->Release();
  b->Release();
}

TEST(KeyerBadInput, MalformedAreaTextsAreRefused) {
  const char* malformed[] = {" 0 1 2 3",    " 0 1 2 3 4 5",         " x 0 0 10 10", " 0 1.5 2 3 4",
                             " 0 1 2 3 4x", " 0 99999999999 0 1 1", "0,1,2,3,4",    " -"};
  for (const char* text : malformed)
    EXPECT_THROW(keyer::KeyerAreas::ParseList(text), keyer::AreaFormatError) << text;
  auto areas = keyer::KeyerAreas::ParseList(" 0 10 20 30 40 1 5 6 7 8");
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_EQ(areas[1], (keyer::KeyerArea{1, 5, 6, 7, 8}));
  EXPECT_TRUE(keyer::KeyerAreas::ParseList("").empty());
  // Edges beyond the picture stay as drawn, within +-100000; reversed edges are put in order.
  areas = keyer::KeyerAreas::ParseList(" 0 -50 1200 300 200 1 -200000 5 7 300000");
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_EQ(areas[0], (keyer::KeyerArea{0, -50, 200, 300, 1200}));
  EXPECT_EQ(areas[1], (keyer::KeyerArea{1, -100000, 5, 7, 100000}));
  // A record of an unknown type is left out and counted; the records round it stay.
  const keyer::KeyerAreas some = keyer::KeyerAreas::Parse(" 0 1 2 3 4 2 0 0 10 10 1 5 6 7 8", " 7 0 0 1 1");
  EXPECT_EQ((std::vector<keyer::KeyerArea>{{0, 1, 2, 3, 4}, {1, 5, 6, 7, 8}}), some.Protect());
  EXPECT_TRUE(some.Garbage().empty());
  EXPECT_EQ(2u, some.Skipped());
}
