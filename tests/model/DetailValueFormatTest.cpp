#include "DetailNameParts.h"
#include "DetailValueFormat.h"
#include "DetailsImportSettings.h"
#include "LocaleFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Dates in the pinned en_US short date form, whatever the machine says.
class DetailValueFormat : public ::testing::Test {
 protected:
  void SetUp() override { OverrideLocaleFormats("M/d/yyyy", "h:mm:ss tt"); }
  void TearDown() override { OverrideLocaleFormats(nullptr, nullptr); }
};

COleVariant Typed(VARTYPE type) {
  COleVariant v;
  v.vt = type;
  v.llVal = 0;
  return v;
}

COleVariant Real(double value) { return COleVariant(value); }
COleVariant Integer(long value) { return COleVariant(value); }
COleVariant Date(int year, int month, int day) {
  return COleVariant(COleDateTime(year, month, day, 0, 0, 0));
}
COleVariant Money(long long units10000) {
  COleVariant v = Typed(VT_CY);
  v.cyVal.int64 = units10000;
  return v;
}
COleVariant Bool(bool value) {
  COleVariant v = Typed(VT_BOOL);
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

std::string Text(const VARIANT& v) {
  return v.vt == VT_BSTR && v.bstrVal ? CString(v.bstrVal).str() : std::string();
}

}  // namespace

TEST_F(DetailValueFormat, EveryValueTypeHasItsText) {
  // Yes/no values show as the platform's own conversion of true to text.
  COleVariant yes = Bool(true);
  VARIANT converted;
  VariantInit(&converted);
  ASSERT_EQ(VariantChangeType(&converted, &yes, 0, VT_BSTR), S_OK);
  std::string platformTrue = CString(converted.bstrVal).str();
  VariantClear(&converted);
  COleVariant byte = Typed(VT_UI1);
  byte.bVal = 200;
  COleVariant error = Typed(VT_ERROR);
  error.scode = E_FAIL;
  struct Case {
    const char* what;
    COleVariant value;
    std::string text;
  } cases[] = {
      {"empty", COleVariant(), ""},
      {"integer", Integer(-7), "-7"},
      {"real", Real(2.5), "2.50"},
      {"real rounded", Real(3.14159), "3.14"},
      {"negative real", Real(-0.5), "-0.50"},
      {"zero real", Real(0), "0.00"},
      {"large real", Real(1234567.891), "1234567.89"},
      {"date", Date(2024, 3, 14), "3/14/2024"},
      {"text", COleVariant("Anna"), "Anna"},
      {"currency", Money(125000), "12.5"},
      {"yes", Bool(true), platformTrue},
      {"short", COleVariant(short(5)), "5"},
      {"byte", byte, "200"},
      {"null does not convert", Typed(VT_NULL), ""},
      {"error does not convert", error, ""},
  };
  for (Case& c : cases) EXPECT_EQ(FormatDetailValue(c.value).str(), c.text) << c.what;
  EXPECT_FALSE(platformTrue.empty());
}

TEST_F(DetailValueFormat, ConversionToEveryFieldType) {
  struct Case {
    const char* what;
    COleVariant value;
    int fieldType;
    VARTYPE type;
    std::string text;  // FormatDetailValue of the result
  } cases[] = {
      {"text 12 to integer", COleVariant("12"), DetailTypeInteger, VT_I4, "12"},
      {"text abc to integer", COleVariant("abc"), DetailTypeInteger, VT_EMPTY, ""},
      {"real to integer", Real(41.6), DetailTypeInteger, VT_I4, "42"},
      {"text to real", COleVariant("2.5"), DetailTypeReal, VT_R8, "2.50"},
      {"integer to real", Integer(3), DetailTypeReal, VT_R8, "3.00"},
      {"date text to date", COleVariant("3/14/2024"), DetailTypeDate, VT_DATE, "3/14/2024"},
      {"two-digit year to date", COleVariant("7/4/21"), DetailTypeDate, VT_DATE, "7/4/1921"},
      {"unreadable text to date", COleVariant("soon"), DetailTypeDate, VT_EMPTY, ""},
      {"impossible date text", COleVariant("13/45/2024"), DetailTypeDate, VT_EMPTY, ""},
      {"empty to date", COleVariant(), DetailTypeDate, VT_EMPTY, ""},
      {"real to date", Real(45365.0), DetailTypeDate, VT_DATE, "3/14/2024"},
      {"date to text", Date(2024, 3, 14), DetailTypeText, VT_BSTR, "3/14/2024"},
      {"integer to text", Integer(42), DetailTypeText, VT_BSTR, "42"},
      {"text to currency", COleVariant("12.34"), DetailTypeCurrency, VT_CY, "12.34"},
      {"text abc to currency", COleVariant("abc"), DetailTypeCurrency, VT_EMPTY, ""},
      {"integer to yes/no", Integer(1), DetailTypeYesNo, VT_BOOL, FormatDetailValue(Bool(true)).str()},
      {"text abc to yes/no", COleVariant("abc"), DetailTypeYesNo, VT_EMPTY, ""},
      {"text to graphic", COleVariant("logo.png"), DetailTypeGraphic, VT_EMPTY, ""},
      {"unknown field type", Integer(1), 99, VT_EMPTY, ""},
  };
  for (Case& c : cases) {
    COleVariant result = ConvertDetailValue(c.value, c.fieldType);
    EXPECT_EQ(result.vt, c.type) << c.what;
    EXPECT_EQ(FormatDetailValue(result).str(), c.text) << c.what;
  }
  EXPECT_EQ(ConvertDetailValue(COleVariant("12.34"), DetailTypeCurrency).cyVal.int64, 123400);
  EXPECT_EQ(ConvertDetailValue(COleVariant("12"), DetailTypeInteger).lVal, 12);
  // A date shown by the locale reads back as the same day.
  COleVariant day = Date(1999, 12, 31);
  COleVariant back = ConvertDetailValue(ConvertDetailValue(day, DetailTypeText), DetailTypeDate);
  EXPECT_EQ(back.date, day.date);
}

TEST(DetailNameParts, SplitWholeNameKeepsParticlesWithTheLastName) {
  struct Case {
    const char* whole;
    bool splits;
    const char* first;
    const char* middle;
    const char* last;
  } cases[] = {
      {"Anna van der Berg", true, "Anna", "", "van der Berg"},
      {"Mary Ann Mc Donald", true, "Mary", "Ann", "Mc Donald"},
      {"John Paul Smith", true, "John", "Paul", "Smith"},
      {"Van Dijk", true, "Van", "", "Dijk"},
      {"  Ada   Byron  King ", true, "Ada", "Byron", "King"},
      {"Jean Claude Marie La Fontaine", true, "Jean", "Claude Marie", "La Fontaine"},
      {"Cher", false, "-", "-", "-"},
      {"   ", false, "-", "-", "-"},
  };
  for (const Case& c : cases) {
    CString first = "-", middle, last = "-";
    if (!c.splits) middle = "-";
    EXPECT_EQ(SplitWholeName(c.whole, first, middle, last), c.splits) << c.whole;
    EXPECT_EQ(first, c.first) << c.whole;
    EXPECT_EQ(middle, c.middle) << c.whole;
    EXPECT_EQ(last, c.last) << c.whole;
  }
}

TEST(DetailNameParts, PartsComeFromRolesThenWholeNamesThenConventionalNames) {
  DetailsFields fields;
  DetailsValues values;
  fields.Add(DetailField("N", "Name", DetailTypeText, DetailRoleWholeName));
  fields.Add(DetailField("S", "Surname", DetailTypeText, DetailRoleNone));
  values.Set("N", COleVariant("Cher"));
  values.Set("S", COleVariant("Smith"));
  EXPECT_EQ(GetLastName(fields, values), "Smith");  // one word does not split: on to the names
  DetailsFields withoutSurname;
  withoutSurname.Add(fields.Get("N"));
  EXPECT_EQ(GetLastName(withoutSurname, values), "");

  values.Set("N", COleVariant("Anna Maria van Berg"));
  EXPECT_EQ(GetFirstName(fields, values), "Anna");
  EXPECT_EQ(GetMiddleName(fields, values), "Maria");
  EXPECT_EQ(GetLastName(fields, values), "van Berg");

  // A role-3 field answers even when empty.
  DetailsFields roles;
  roles.Add(DetailField("L", "Family", DetailTypeText, DetailRoleLastName));
  roles.Add(DetailField("S", "surname", DetailTypeText, DetailRoleNone));
  DetailsValues some;
  some.Set("S", COleVariant("Smith"));
  EXPECT_EQ(GetLastName(roles, some), "");

  // Conventional names, then a plain field called "name".
  DetailsFields named;
  named.Add(DetailField("F", "First Name", DetailTypeText, DetailRoleNone));
  named.Add(DetailField("W", "NAME", DetailTypeText, DetailRoleNone));
  DetailsValues held;
  held.Set("F", COleVariant("Jo"));
  held.Set("W", COleVariant("John Paul Smith"));
  EXPECT_EQ(GetFirstName(named, held), "Jo");
  EXPECT_EQ(GetMiddleName(named, held), "Paul");
  EXPECT_EQ(GetLastName(named, held), "Smith");
  EXPECT_EQ(GetLastName(DetailsFields(), held), "");
}

TEST(DetailNameParts, UniqueFieldByRoleThenByName) {
  DetailsFields fields;
  EXPECT_EQ(FindUniqueFieldId(fields), "");
  fields.Add(DetailField("U", "Unique", DetailTypeText, DetailRoleNone));
  EXPECT_EQ(FindUniqueFieldId(fields), "U");
  fields.Add(DetailField("I", "Id", DetailTypeText, DetailRoleNone));
  EXPECT_EQ(FindUniqueFieldId(fields), "I");
  fields.Add(DetailField("R", "Badge", DetailTypeText, DetailRoleUnique));
  EXPECT_EQ(FindUniqueFieldId(fields), "R");
}

TEST(DetailsImportSettings, StartValuesAndPositionsByName) {
  DetailsImportSettings& settings = GetDetailsImportSettings();
  EXPECT_EQ(&settings, &GetDetailsImportSettings());
  EXPECT_EQ(settings.fileType, 1);
  EXPECT_EQ(settings.delimiter, ',');
  EXPECT_FALSE(settings.byTab);
  EXPECT_EQ(settings.matchOn, 0);
  EXPECT_EQ(settings.existingMode, 2);
  EXPECT_TRUE(settings.keyPosition.IsZero());
  EXPECT_TRUE(settings.lastFolder.IsEmpty());

  DetailsFieldSettings positions;
  positions.Set("Name", {1, 10, 2});
  EXPECT_EQ(positions.Get("NAME").to, 10);
  positions.Set("Name", {0, 0, 0});
  EXPECT_TRUE(positions.IsEmpty());
  EXPECT_TRUE(positions.Get("name").IsZero());
}
