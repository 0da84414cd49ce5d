// Identifier texts in the two tags, and where they go in the job.
#include "ImportTestSupport.h"

#include "ImportTagTexts.h"

using namespace importtest;

namespace {

std::vector<std::string> Items(const ImportTagTexts& texts) {
  std::vector<std::string> items;
  for (const CString& item : texts.items) items.push_back(static_cast<const char*>(item));
  return items;
}

TEST(ImportTagTexts, TheUserCommentGivesTheIdentifierThenTheItems) {
  struct Case {
    const char* comment;
    const char* identifier;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"  /%IA123, /%DClass%4B", "/%IA123", {"/%DClass%4B"}},
      {"A1;;B2 & C3,,", "A1", {"B2 ", "C3"}},
      {"", "", {}},
      {"   ", "", {}},
      {",,,", "", {}},
      {"\r\n\tX", "X", {}},
  };
  for (const Case& c : cases) {
    ImportTagTexts texts;
    ParseUserComment(c.comment, texts);
    EXPECT_EQ(CString(c.identifier), texts.identifier) << c.comment;
    EXPECT_EQ(c.items, Items(texts)) << c.comment;
  }
}

TEST(ImportTagTexts, TheDescriptionsAuxiliaryValueGivesTheIdentifierWithoutItsNote) {
  struct Case {
    const char* description;
    const char* identifier;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"Auxiliary=A123 (Smith),/%DName%Ann;Other=x", "A123 ", {"/%DName%Ann"}},
      {"other=1;AUXILIARY==B7,,x,y;;", "B7", {"x", "y"}},
      {"Auxiliary=first;Auxiliary=second", "second", {}},
      {"Auxiliary=(only)", "", {}},
      {"Auxiliary=a(b)c", "a(b)c", {}},
      {"no key here", "", {}},
      {"=;=;", "", {}},
  };
  for (const Case& c : cases) {
    ImportTagTexts texts;
    ParseImageDescription(c.description, texts);
    EXPECT_EQ(CString(c.identifier), texts.identifier) << c.description;
    EXPECT_EQ(c.items, Items(texts)) << c.description;
  }
}

}  // namespace
