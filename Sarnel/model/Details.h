// A field set and a value map side by side: an object's own fields with its values, or a level's
// fields viewed over an object's values.
#pragma once

#include "DetailsFields.h"
#include "DetailsValues.h"

constexpr const char* DetailsSourceFile = "Details.cpp";
constexpr int DetailsSchemaLine = 57;

class Details {
 public:
  Details() = default;
  // Shares the two given bodies.
  Details(const DetailsFields& fields, const DetailsValues& values) : fields(fields), values(values) {}
  Details(const Details&) = default;
  Details& operator=(const Details&) = default;
  // Destroyed in reverse order: the values' reference is dropped first.

  // The other's fields merged into these, then its values.
  void Merge(const Details& other);

  void Write(zvk::Archive& archive) const;
  void Read(zvk::Archive& archive);

  DetailsFields fields;
  DetailsValues values;
};
