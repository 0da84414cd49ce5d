// Where each field's value stands in a line of a details text file.
#pragma once

#include "classlib/ClassLib.h"

#include <cstdint>
#include <map>

// Character positions (1-based, as typed) in a fixed-width line and the value's number in a delimited
// line; all three 0: not imported.
struct FieldPosition {
  int32_t from = 0;
  int32_t to = 0;
  int32_t fieldNumber = 0;

  bool IsZero() const { return from == 0 && to == 0 && fieldNumber == 0; }
};

class DetailsFieldSettings {
 public:
  // Keyed by the upper-cased field name; an all-zero position erases the entry.
  void Set(const char* fieldName, const FieldPosition& position);
  // The entry of the name, or a shared all-zero position.
  const FieldPosition& Get(const char* fieldName) const;
  bool IsEmpty() const { return positions.empty(); }

 private:
  struct ByteOrder {
    bool operator()(const CString& a, const CString& b) const { return a.str() < b.str(); }
  };
  std::map<CString, FieldPosition, ByteOrder> positions;
};
