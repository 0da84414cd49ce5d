// The four tag entries of one level (folders, items or images). A plain value: copies are copies.
#pragma once

#include "DetailTag.h"

constexpr const char* DetailsTagsSourceFile = "DetailsTags.cpp";
constexpr int DetailsTagsEntrySchemaLine = 43;
constexpr int DetailsTagsBlockSchemaLine = 60;

class DetailsTags {
 public:
  enum { Count = 4, TagTextEntry = 1 };

  bool IsEqual(const DetailsTags& other) const;

  // The level's tag template (entry 1).
  const CString& GetTagText() const { return entries[TagTextEntry].text; }
  void SetTagText(const char* text) { entries[TagTextEntry].text = text ? text : ""; }

  void Write(zvk::Archive& archive) const;
  void Read(zvk::Archive& archive);

  DetailTag entries[Count];
};
