// Pairs of identifiers in which each first and each second id occurs once (a folder and its own image).
#pragma once

#include "NumericStringLess.h"

#include "Archive.h"

#include "classlib/ClassLib.h"

#include <map>

constexpr const char* ObjectLinksOneOneSourceFile = "ObjectLinksOneOne.cpp";
constexpr int ObjectLinksOneOneSchemaLine = 112;

class ObjectLinksOneOne {
 public:
  using Map = std::map<CString, CString, NumericStringLessOrder>;

  void Clear();
  bool IsEmpty() const { return forward.empty(); }
  // The first id paired with a second id; empty when there is none.
  CString Get(const CString& second) const;
  // Enters a pair, each map replacing an entry of the same key. A first id paired anew takes its old
  // reverse entry with it, so that the old second id no longer answers it.
  void Set(const CString& first, const CString& second);

  const Map& GetForward() const { return forward; }
  const Map& GetBackward() const { return backward; }

  // u16 0x0100, u32 count, then per pair the first and the second id as identifier blocks.
  static zvk::Archive& Write(zvk::Archive& archive, const ObjectLinksOneOne& table);
  // An unknown major version leaves the table unchanged; a failure keeps the pairs read so far.
  static zvk::Archive& Read(zvk::Archive& archive, ObjectLinksOneOne& table);

 private:
  Map forward;   // first -> second
  Map backward;  // second -> first
};
