#include "ArchiveVariant.h"
#include "GoldenBytes.h"

#include "classlib/ClassLib.h"

#include <gtest/gtest.h>

#include <string>

using modeltest::ArchiveErrorKind;
using modeltest::GoldenBytes;
using zvk::ArchiveException;

namespace {

std::vector<uint8_t> WriteValue(const VARIANT& value) {
  zvk::ArchiveMemory archive;
  WriteArchiveVariant(archive, value);
  return modeltest::ArchiveBytes(archive);
}

// Reads one value from the bytes; the whole of them must be consumed.
COleVariant ReadValue(const std::vector<uint8_t>& bytes) {
  zvk::ArchiveMemory archive = modeltest::ReaderOver(bytes);
  COleVariant value;
  ReadArchiveVariant(archive, value);
  EXPECT_EQ(archive.GetPosition(), bytes.size());
  return value;
}

COleVariant Scalar(VARTYPE type, const void* data, size_t size) {
  COleVariant v;
  v.vt = type;
  memcpy(&v.llVal, data, size);
  return v;
}

COleVariant ArrayValue(VARTYPE elementType, std::vector<SAFEARRAYBOUND> bounds) {
  COleVariant v;
  v.vt = VT_ARRAY | elementType;
  v.parray = SafeArrayCreate(elementType, static_cast<UINT>(bounds.size()), bounds.data());
  EXPECT_NE(v.parray, nullptr);
  return v;
}

}  // namespace

TEST(ArchiveVariant, EveryScalarTypeHasItsStoredBytes) {
  int16_t i2 = -2;
  int32_t i4 = 0x12345678;
  float r4 = 1.5f;
  double r8 = 2.25;
  int64_t cy = 0x0000000100000002LL;
  double date = 45000.5;
  int32_t error = static_cast<int32_t>(0x80004005u);
  int16_t yes = VARIANT_TRUE;
  uint8_t byte = 0xAB;
  struct Case {
    const char* name;
    COleVariant value;
    GoldenBytes bytes;
  } cases[] = {
      {"VT_EMPTY", COleVariant(), GoldenBytes().u16(0)},
      {"VT_NULL", Scalar(VT_NULL, &i4, 0), GoldenBytes().u16(1)},
      {"VT_I2", Scalar(VT_I2, &i2, 2), GoldenBytes().u16(2).raw("\xFE\xFF", 2)},
      {"VT_I4", Scalar(VT_I4, &i4, 4), GoldenBytes().u16(3).raw("\x78\x56\x34\x12", 4)},
      {"VT_R4", Scalar(VT_R4, &r4, 4), GoldenBytes().u16(4).f32(1.5f)},
      {"VT_R8", Scalar(VT_R8, &r8, 8), GoldenBytes().u16(5).f64(2.25)},
      {"VT_CY", Scalar(VT_CY, &cy, 8), GoldenBytes().u16(6).raw("\x02\0\0\0\x01\0\0\0", 8)},
      {"VT_DATE", Scalar(VT_DATE, &date, 8), GoldenBytes().u16(7).f64(45000.5)},
      {"VT_BSTR", COleVariant("AB"), GoldenBytes().raw("\x08\x00\x04\0\0\0\x41\0\x42\0", 10)},
      {"VT_ERROR", Scalar(VT_ERROR, &error, 4), GoldenBytes().u16(10).u32(0x80004005u)},
      {"VT_BOOL", Scalar(VT_BOOL, &yes, 2), GoldenBytes().u16(11).raw("\xFF\xFF", 2)},
      {"VT_UI1", Scalar(VT_UI1, &byte, 1), GoldenBytes().u16(17).u8(0xAB)},
  };
  for (Case& c : cases) {
    EXPECT_EQ(WriteValue(c.value), c.bytes.bytes) << c.name;
    COleVariant read = ReadValue(c.bytes.bytes);
    EXPECT_EQ(read.vt, c.value.vt) << c.name;
    EXPECT_TRUE(read == c.value || c.value.vt == VT_NULL) << c.name;
    EXPECT_EQ(WriteValue(read), c.bytes.bytes) << c.name;
    EXPECT_TRUE(CanStoreArchiveVariant(c.value)) << c.name;
  }
}

TEST(ArchiveVariant, EmptyAndNullTextsReadBackAsNullStrings) {
  COleVariant null;
  null.vt = VT_BSTR;
  null.bstrVal = nullptr;
  COleVariant empty("");
  std::vector<uint8_t> golden = GoldenBytes().u16(8).u32(0).bytes;
  EXPECT_EQ(WriteValue(null), golden);
  EXPECT_EQ(WriteValue(empty), golden);
  COleVariant read = ReadValue(golden);
  EXPECT_EQ(read.vt, VT_BSTR);
  EXPECT_EQ(read.bstrVal, nullptr);
}

TEST(ArchiveVariant, OneDimensionalArrayKeepsBoundsAndElements) {
  COleVariant value = ArrayValue(VT_I4, {{3, 1}});
  for (LONG i = 1; i <= 3; ++i) {
    LONG element = 100 * i;
    ASSERT_EQ(SafeArrayPutElement(value.parray, &i, &element), S_OK);
  }
  GoldenBytes golden;
  golden.raw("\x03\x20", 2).u16(3).u32(1).i32(1).u32(3).i32(100).i32(200).i32(300);
  EXPECT_EQ(WriteValue(value), golden.bytes);

  COleVariant read = ReadValue(golden.bytes);
  ASSERT_EQ(read.vt, VT_ARRAY | VT_I4);
  LONG lower = 0, upper = 0, element = 0, index = 2;
  SafeArrayGetLBound(read.parray, 1, &lower);
  SafeArrayGetUBound(read.parray, 1, &upper);
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(upper, 3);
  SafeArrayGetElement(read.parray, &index, &element);
  EXPECT_EQ(element, 200);
}

TEST(ArchiveVariant, TwoDimensionalArrayStoresTheFirstIndexFastest) {
  // Dimension 1: indexes -1..0; dimension 2: indexes 5..7.
  COleVariant value = ArrayValue(VT_I2, {{2, -1}, {3, 5}});
  for (LONG j = 5; j <= 7; ++j)
    for (LONG i = -1; i <= 0; ++i) {
      LONG indexes[2] = {i, j};
      SHORT element = static_cast<SHORT>(10 * (i + 1) + (j - 5));
      ASSERT_EQ(SafeArrayPutElement(value.parray, indexes, &element), S_OK);
    }
  GoldenBytes golden;
  golden.u16(VT_ARRAY | VT_I2).u16(VT_I2).u32(2).i32(-1).u32(2).i32(5).u32(3);
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 2; ++i) golden.u16(static_cast<uint16_t>(10 * i + j));
  EXPECT_EQ(WriteValue(value), golden.bytes);

  COleVariant read = ReadValue(golden.bytes);
  LONG indexes[2] = {0, 6};
  SHORT element = 0;
  ASSERT_EQ(SafeArrayGetElement(read.parray, indexes, &element), S_OK);
  EXPECT_EQ(element, 11);
  LONG lower = 0;
  SafeArrayGetLBound(read.parray, 2, &lower);
  EXPECT_EQ(lower, 5);
  EXPECT_EQ(WriteValue(read), golden.bytes);
}

TEST(ArchiveVariant, EveryRawElementTypeRoundTrips) {
  const VARTYPE types[] = {VT_I2,    VT_I4,   VT_R4, VT_R8,  VT_CY,  VT_DATE,
                           VT_ERROR, VT_BOOL, VT_I1, VT_UI1, VT_UI2, VT_UI4};
  for (VARTYPE type : types) {
    COleVariant value = ArrayValue(type, {{2, 0}});
    UINT size = SafeArrayGetElemsize(value.parray);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(value.parray, &data), S_OK);
    for (UINT b = 0; b < 2 * size; ++b) static_cast<uint8_t*>(data)[b] = static_cast<uint8_t>(0x10 + b);
    SafeArrayUnaccessData(value.parray);

    GoldenBytes golden;
    golden.u16(VT_ARRAY | type).u16(type).u32(1).i32(0).u32(2);
    for (UINT b = 0; b < 2 * size; ++b) golden.u8(static_cast<uint8_t>(0x10 + b));
    EXPECT_EQ(WriteValue(value), golden.bytes) << "type " << type;
    EXPECT_EQ(WriteValue(ReadValue(golden.bytes)), golden.bytes) << "type " << type;
    EXPECT_TRUE(CanStoreArchiveVariant(value)) << "type " << type;
  }
}

TEST(ArchiveVariant, ArrayWithAnEmptyDimensionIsWrittenAsAnEmptyArray) {
  COleVariant value = ArrayValue(VT_R8, {{4, 0}, {0, 1}});
  GoldenBytes golden;
  golden.u16(VT_ARRAY | VT_R8).u16(VT_R8).u32(2).i32(0).u32(4).i32(1).u32(0);
  std::vector<uint8_t> written;
  ASSERT_NO_THROW(written = WriteValue(value));
  EXPECT_EQ(written, golden.bytes);
  COleVariant read = ReadValue(golden.bytes);
  ASSERT_EQ(read.vt, VT_ARRAY | VT_R8);
  EXPECT_EQ(SafeArrayGetDim(read.parray), 2u);
  EXPECT_EQ(WriteValue(read), golden.bytes);
}

TEST(ArchiveVariant, ArraysOfElementsWithoutStoredDataAreReadAsStored) {
  // A text array has no element data in the stored form: kept as read, so a save writes it back.
  GoldenBytes golden;
  golden.u16(VT_ARRAY | VT_BSTR).u16(VT_BSTR).u32(1).i32(0).u32(2);
  COleVariant read = ReadValue(golden.bytes);
  ASSERT_EQ(read.vt, VT_ARRAY | VT_BSTR);
  EXPECT_EQ(WriteValue(read), golden.bytes);
  // ...but such a value would lose its texts, so it may not enter the model.
  EXPECT_FALSE(CanStoreArchiveVariant(read));

  // Any sane count is read, with empty elements: such a job opens instead of being refused.
  for (uint32_t count : {65u, 1000u, 65536u}) {
    GoldenBytes many;
    many.u16(VT_ARRAY | VT_VARIANT).u16(VT_VARIANT).u32(1).i32(3).u32(count);
    COleVariant array = ReadValue(many.bytes);
    ASSERT_EQ(array.vt, VT_ARRAY | VT_VARIANT) << count;
    LONG upper = 0;
    SafeArrayGetUBound(array.parray, 1, &upper);
    EXPECT_EQ(upper, static_cast<LONG>(count) + 2);
    VARIANT last;
    VariantInit(&last);
    EXPECT_EQ(SafeArrayGetElement(array.parray, &upper, &last), S_OK);
    EXPECT_EQ(last.vt, VT_EMPTY);
    EXPECT_EQ(WriteValue(array), many.bytes);
  }
}

TEST(ArchiveVariant, TypesOutsideTheLayoutAreBadSchema) {
  for (uint16_t type : {9, 12, 13, 14, 15, 16, 18, 19, 20, 21, 36, 0x1003, 0x4003, 0x6003, 0xFFFF}) {
    std::vector<uint8_t> bytes = GoldenBytes().u16(type).u32(0).u32(0).u32(0).bytes;
    COleVariant target("old");
    std::string message;
    EXPECT_EQ(ArchiveErrorKind(
                  [&] {
                    zvk::ArchiveMemory archive = modeltest::ReaderOver(bytes);
                    ReadArchiveVariant(archive, target);
                  },
                  &message),
              ArchiveException::BadSchema)
        << "type " << type;
    EXPECT_EQ(message, "Archive Exception BadSchema");
    EXPECT_EQ(target.vt, VT_EMPTY) << "the target is cleared first";
  }
  COleVariant dispatch;
  dispatch.vt = VT_DISPATCH;
  dispatch.pdispVal = nullptr;
  EXPECT_EQ(ArchiveErrorKind([&] { WriteValue(dispatch); }), ArchiveException::BadSchema);
  EXPECT_FALSE(CanStoreArchiveVariant(dispatch));
  LONG number = 5;
  VARIANT byRef;
  byRef.vt = VT_I4 | VT_BYREF;
  byRef.plVal = &number;
  EXPECT_EQ(ArchiveErrorKind([&] { WriteValue(byRef); }), ArchiveException::BadSchema);
  EXPECT_FALSE(CanStoreArchiveVariant(byRef));
}

TEST(ArchiveVariant, DamagedArrayHeadersAndLengthsFailCleanly) {
  struct Case {
    const char* what;
    GoldenBytes bytes;
    int kind;
  } cases[] = {
      {"element type differs from the type word",
       GoldenBytes().u16(0x2003).u16(VT_R8).u32(1).i32(0).u32(1).f64(1), ArchiveException::BadSchema},
      {"element type the platform has no array of", GoldenBytes().u16(0x2000).u16(0).u32(1).i32(0).u32(1),
       ArchiveException::BadSchema},
      {"no dimensions", GoldenBytes().u16(0x2003).u16(3).u32(0), ArchiveException::BadSchema},
      {"more dimensions than data", GoldenBytes().u16(0x2003).u16(3).u32(60000).i32(0).u32(1),
       ArchiveException::EndOfFile},
      {"elements beyond the data", GoldenBytes().u16(0x2005).u16(5).u32(1).i32(0).u32(0x10000000).f64(1),
       ArchiveException::EndOfFile},
      {"element count overflowing",
       GoldenBytes().u16(0x2011).u16(17).u32(2).i32(0).u32(0x80000000u).i32(0).u32(0x80000000u),
       ArchiveException::BadSchema},
      {"huge text array without data", GoldenBytes().u16(0x2008).u16(8).u32(1).i32(0).u32(0x7FFFFFFF),
       ArchiveException::EndOfFile},
      {"variant array past the sane count",
       GoldenBytes().u16(0x200C).u16(12).u32(2).i32(0).u32(257).i32(0).u32(256), ArchiveException::EndOfFile},
      {"text longer than the data", GoldenBytes().u16(8).u32(0xFFFFFFF0u).raw("A\0", 2),
       ArchiveException::EndOfFile},
  };
  for (Case& c : cases) {
    COleVariant target;
    EXPECT_EQ(ArchiveErrorKind([&] {
                zvk::ArchiveMemory archive = modeltest::ReaderOver(c.bytes.bytes);
                ReadArchiveVariant(archive, target);
              }),
              c.kind)
        << c.what;
    EXPECT_EQ(target.vt, VT_EMPTY) << c.what;
  }
}

TEST(ArchiveVariant, EveryTruncationIsEndOfFile) {
  COleVariant array = ArrayValue(VT_R8, {{2, 0}, {2, 3}});
  COleVariant text("Hello");
  double r8 = 1.0;
  int64_t cy = 7;
  std::vector<COleVariant> values = {text, array, Scalar(VT_R8, &r8, 8), Scalar(VT_CY, &cy, 8),
                                     COleVariant(short(3))};
  for (const COleVariant& value : values) {
    std::vector<uint8_t> golden = WriteValue(value);
    for (size_t length = 0; length < golden.size(); ++length) {
      std::vector<uint8_t> cut(golden.begin(), golden.begin() + length);
      COleVariant target;
      EXPECT_EQ(ArchiveErrorKind([&] {
                  zvk::ArchiveMemory archive = modeltest::ReaderOver(cut);
                  ReadArchiveVariant(archive, target);
                }),
                ArchiveException::EndOfFile)
          << "type " << value.vt << " length " << length;
    }
  }
}
