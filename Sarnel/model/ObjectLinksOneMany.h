// Links in which each child has at most one parent and a parent any number of children (an image and
// its mask, background or folder; a folder and its parent).
#pragma once

#include "NumericStringLess.h"
#include "SharedStringList.h"

#include "Archive.h"

#include "classlib/ClassLib.h"

#include <map>

constexpr const char* ObjectLinksOneManySourceFile = "ObjectLinksOneMany.cpp";
constexpr int ObjectLinksOneManySchemaLine = 151;

class ObjectLinksOneMany {
 public:
  using ParentMap = std::map<CString, CString, NumericStringLessOrder>;
  using ChildrenMap = std::multimap<CString, CString, NumericStringLessOrder>;

  void Clear();
  bool IsEmpty() const { return parentOf.empty(); }

  // Links the child to the parent, unlinking it from a parent it had before.
  void SetParent(const CString& child, const CString& parent);
  void RemoveChild(const CString& child);
  // Unlinks every child of the parent; children of other parents stay.
  void RemoveParent(const CString& parent);
  // The child's parent, or an empty text.
  CString GetParent(const CString& child) const;
  // The parent's children in the order in which they were linked.
  SharedStringList GetChildren(const CString& parent) const;
  // Every parent with at least one child, once each, in key order.
  SharedStringList GetParents() const;

  const ParentMap& GetParentMap() const { return parentOf; }
  const ChildrenMap& GetChildrenMap() const { return childrenOf; }

  // Pairs child then parent, in the link-table layout.
  static zvk::Archive& Write(zvk::Archive& archive, const ObjectLinksOneMany& table);
  // A child listed twice keeps its later parent and leaves no link to the earlier one behind.
  static zvk::Archive& Read(zvk::Archive& archive, ObjectLinksOneMany& table);

 private:
  void EraseChildEntry(const CString& parent, const CString& child);

  ParentMap parentOf;      // child -> parent
  ChildrenMap childrenOf;  // parent -> child, equal keys in link order
};
