// Any pairs of identifiers (the subject link table): read, kept and written back.
#pragma once

#include "NumericStringLess.h"

#include "Archive.h"

#include "classlib/ClassLib.h"

#include <map>

constexpr const char* ObjectLinksManyManySourceFile = "ObjectLinksManyMany.cpp";
constexpr int ObjectLinksManyManySchemaLine = 151;

class ObjectLinksManyMany {
 public:
  using Map = std::multimap<CString, CString, NumericStringLessOrder>;

  void Clear();
  bool IsEmpty() const { return forward.empty(); }
  void Add(const CString& first, const CString& second);

  const Map& GetForward() const { return forward; }
  const Map& GetBackward() const { return backward; }

  static zvk::Archive& Write(zvk::Archive& archive, const ObjectLinksManyMany& table);
  static zvk::Archive& Read(zvk::Archive& archive, ObjectLinksManyMany& table);

 private:
  Map backward;  // second -> first
  Map forward;   // first -> second
};
