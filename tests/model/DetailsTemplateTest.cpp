#include "CInfoSource.h"
#include "DetailsTemplate.h"
#include "FieldReference.h"
#include "LocaleFormat.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// Answers from a table keyed "qualifier|name" (an unqualified reference has "-" as qualifier) and
// records every question.
class TableSource : public CInfoSource {
 public:
  bool GetField(const char* qualifier, const char* name, bool quoted, VARIANT* out) override {
    std::string key = std::string(qualifier ? qualifier : "-") + "|" + name;
    asked.push_back(key + (quoted ? " quoted" : ""));
    auto found = answers.find(key);
    if (found == answers.end()) return false;
    if (found->second == "<number>") {  // answers, but not with a text
      out->vt = VT_I4;
      out->lVal = 5;
      return true;
    }
    COleVariant text(found->second.c_str());
    *out = text.Detach();
    return true;
  }

  std::map<std::string, std::string> answers;
  std::vector<std::string> asked;
};

struct Subject {
  DetailsFields fields;
  DetailsValues values;

  void Add(const char* id, const char* name, int type, int role, const COleVariant& value) {
    fields.Add(DetailField(id, name, type, role));
    if (value.vt != VT_EMPTY) values.Set(id, value);
  }
  std::string Expand(const char* text) const { return ExpandDetailsTemplate(text, fields, values).str(); }
};

}  // namespace

TEST(FieldReference, ParsesBareQuotedAndEmptyNames) {
  struct Case {
    const char* text;
    const char* name;
    bool quoted;
    const char* rest;
  } cases[] = {
      {"Lastname, x", "Lastname", false, ", x"},
      {"first-name_2*x y", "first-name_2*x", false, " y"},
      {"<last name>!", "last name", true, "!"},
      {"\"order\" tail", "order", true, " tail"},
      {"<open", "open", true, ""},
      {"<>[,]", "", true, "[,]"},
      {",no", "", false, ",no"},
      {"a\\b", "a", false, "\\b"},
      {"a|b", "a", false, "|b"},
      {"ab\r\n", "ab", false, "\r\n"},
  };
  for (const Case& c : cases) {
    const char* cursor = c.text;
    FieldReference reference = ParseFieldReference(cursor);
    EXPECT_EQ(reference.name, c.name) << c.text;
    EXPECT_EQ(reference.quoted, c.quoted) << c.text;
    EXPECT_STREQ(cursor, c.rest) << c.text;
  }
}

TEST(CInfoSource, ExpandHandlesEscapesQualifiersAndUnansweredReferences) {
  TableSource source;
  source.answers = {{"-|no", "12"}, {"folder|Name", "Class 3"}, {"-|today", "<number>"}, {"-|x y", "spaced"}};
  struct Case {
    const char* text;
    const char* result;
  } cases[] = {
      {"50@@ off", "50@ off"},
      {"end@", "end"},
      {"#@no.", "#12."},
      {"@folder:Name/@no", "Class 3/12"},
      {"[@missing]", "[]"},
      {"@today!", "!"},
      {"@<x y>", "spaced"},
      {"@, @:", ", "},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(source.Expand(c.text).str(), c.result) << c.text;

  source.asked.clear();
  source.Expand("@:no @\"order\" @<a>:\"b\"");
  EXPECT_EQ(source.asked, (std::vector<std::string>{"|no", "-|order quoted", "a|b quoted"}));
}

TEST(DetailsTemplate, ReferencesFindFieldsByRoleWordAndName) {
  Subject s;
  s.Add("L", "Lastname", DetailTypeText, DetailRoleLastName, COleVariant("Smith"));
  s.Add("F", "Firstname", DetailTypeText, DetailRoleFirstName, COleVariant("Anna"));
  s.Add("O", "order", DetailTypeInteger, DetailRoleNone, COleVariant("12"));
  s.Add("Q", "Queue", DetailTypeInteger, DetailRoleOrder, COleVariant("abc"));
  s.Add("G", "Logo", DetailTypeGraphic, DetailRoleNone, COleVariant("logo.png"));
  s.Add("N", "last name", DetailTypeText, DetailRoleNone, COleVariant("Jones"));
  s.Add("E", "Empty", DetailTypeText, DetailRoleNone, COleVariant());
  s.Add("folder", "folder", DetailTypeText, DetailRoleNone, COleVariant("F1"));

  EXPECT_EQ(s.Expand("@Lastname, @Firstname"), "Smith, Anna");
  EXPECT_EQ(s.Expand("@<last name>"), "Jones");
  EXPECT_EQ(s.Expand("@last name"), " name");  // asks for "last", which nothing answers
  EXPECT_EQ(s.Expand("@surname/@first-name"), "Smith/Anna");
  EXPECT_EQ(s.Expand("@\"order\""), "12");  // quoted: the field named order, not the role
  EXPECT_EQ(s.Expand("@order"), "");        // the role word finds Queue, whose "abc" is no integer
  EXPECT_EQ(s.Expand("[@Logo][@Empty][@nothing]"), "[][][]");
  EXPECT_EQ(s.Expand("@folder:name"), "F1:name");
  EXPECT_EQ(s.Expand("100@@ @"), "100@ ");
}

TEST(DetailsTemplate, NamePartsFallBackToTheWholeName) {
  Subject s;
  s.Add("W", "Full", DetailTypeText, DetailRoleWholeName, COleVariant("Mary Ann Mc Donald"));
  EXPECT_EQ(s.Expand("@lastname, @firstname @middlename"), "Mc Donald, Mary Ann");
  EXPECT_EQ(s.Expand("@name"), "Mary Ann Mc Donald");

  // A role word that no field carries falls back to a field of that literal name.
  Subject named;
  named.Add("L", "LastName", DetailTypeText, DetailRoleNone, COleVariant("Berg"));
  EXPECT_EQ(named.Expand("@lastname"), "Berg");
  ResolvedField resolved = ResolveFieldReference({"lastname", false}, named.fields);
  EXPECT_EQ(resolved.fieldId, "L");
  EXPECT_EQ(resolved.role, DetailRoleLastName);
  // Without any field, the birthdate role has nothing to derive: an error the caller skips.
  EXPECT_EQ(LookupDetailText({"birthday", false}, named.fields, named.values).vt, VT_ERROR);
  EXPECT_EQ(LookupDetailText({"surname", true}, named.fields, named.values).vt, VT_ERROR);
}

TEST(DetailsTemplate, AllValuesTemplateListsEveryField) {
  OverrideLocaleFormats("M/d/yyyy", "h:mm:ss tt");
  Subject s;
  s.Add("1", "A", DetailTypeText, DetailRoleNone, COleVariant("a"));
  s.Add("2", "B", DetailTypeText, DetailRoleNone, COleVariant());
  s.Add("3", "C", DetailTypeText, DetailRoleNone, COleVariant("c"));
  EXPECT_EQ(s.Expand("@<>[, ]"), "a, , c");
  EXPECT_EQ(s.Expand("@<>[,]"), "[,]");

  s.Add("4", "Born", DetailTypeDate, DetailRoleBirthdate, COleVariant("3/14/2024"));
  s.Add("5", "Price", DetailTypeReal, DetailRoleNone, COleVariant(2L));
  EXPECT_EQ(s.Expand("@<>[, ]"), "a, , c, 3/14/2024, 2.00");
  EXPECT_EQ(s.Expand("@birthday"), "3/14/2024");
  OverrideLocaleFormats(nullptr, nullptr);
  EXPECT_EQ(Subject().Expand("@<>[, ]"), "");
}

TEST(DetailsTemplate, GetDetailFieldValueLeavesEmptyResultsOut) {
  Details details;
  details.fields.Add(DetailField("A", "City", DetailTypeText, DetailRoleNone));
  details.fields.Add(DetailField("B", "Zip", DetailTypeText, DetailRoleNone));
  details.values.Set("A", COleVariant("Oslo"));
  COleVariant out("untouched");
  EXPECT_TRUE(GetDetailFieldValue(details, {"zip", false}, &out));
  EXPECT_EQ(CString(out.bstrVal), "untouched");
  EXPECT_TRUE(GetDetailFieldValue(details, {"city", false}, &out));
  EXPECT_EQ(CString(out.bstrVal), "Oslo");
  EXPECT_FALSE(GetDetailFieldValue(details, {"country", false}, &out));
}
