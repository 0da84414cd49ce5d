// The relations between items (subjects), each with a text of its own: read, kept and written back.
#pragma once

#include "NumericStringLess.h"

#include "Archive.h"

#include "classlib/ClassLib.h"

#include <map>

constexpr const char* ItemRelationshipsSourceFile = "ItemRelationships.cpp";
constexpr int ItemRelationshipsSchemaLine = 185;

class ItemRelationships {
 public:
  using RelatedMap = std::map<CString, CString, NumericStringLessOrder>;  // related item -> text
  using RelationMap = std::map<CString, RelatedMap, NumericStringLessOrder>;
  using BackMap = std::multimap<CString, CString, NumericStringLessOrder>;  // related item -> item

  bool Contains(const CString& related, const CString& item) const;
  // Stores the relation's text; a pair already present only takes the new text.
  void Set(const CString& related, const CString& item, const char* text);
  void Clear();
  bool IsEmpty() const { return relations.empty(); }

  const RelationMap& GetRelations() const { return relations; }
  const BackMap& GetRelatedBack() const { return relatedBack; }

  static zvk::Archive& Write(zvk::Archive& archive, const ItemRelationships& table);
  // An item listed with no related items is not kept; an item listed twice has its relations merged.
  static zvk::Archive& Read(zvk::Archive& archive, ItemRelationships& table);

 private:
  RelationMap relations;
  BackMap relatedBack;
};
