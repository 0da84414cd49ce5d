// The detail values of one object (the job, a folder, an item or an image): field id -> VARIANT,
// shared copy-on-write.
#pragma once

#include "SharedBody.h"

#include "NumericStringLess.h"

#include "Archive.h"

#include "classlib/ClassLib.h"

#include <map>

constexpr const char* DetailsValuesSourceFile = "DetailsValues.cpp";
constexpr int DetailsValuesSchemaLine = 108;
// Where a value that could not be stored is refused on its way into the model.
constexpr int DetailsValuesUnstorableLine = 61;

class DetailsValues {
 public:
  using Map = std::map<CString, COleVariant, NumericStringLessOrder>;

  struct Body {
    Map values;
  };

  // An existing entry takes a non-empty value or is erased by an empty one; a new id is inserted
  // with any value, an empty one included. A value the stored form cannot hold without loss (an
  // object, a by-reference value, an array of texts) is refused with CMyException DISP_E_BADVARTYPE
  // and nothing changes.
  void Set(const char* id, const VARIANT& value);
  // The stored value, or one shared empty value.
  const VARIANT& Get(const char* id) const;
  bool Contains(const char* id) const;
  void Remove(const char* id);
  void Clear();
  bool IsEmpty() const;
  int GetCount() const { return static_cast<int>(GetBody()->values.size()); }
  // Every entry of other, in its key order, through Set.
  void Merge(const DetailsValues& other);
  // The entries in key order (the stored order).
  const Map& GetMap() const { return GetBody()->values; }

  void Write(zvk::Archive& archive) const;
  // An unknown major version leaves the map unchanged; otherwise it is cleared and refilled, and
  // what was read before a failure stays.
  void Read(zvk::Archive& archive);

  bool SharesBodyWith(const DetailsValues& other) const { return shared.SharesBodyWith(other.shared); }
  int GetRefCount() const { return shared.RefCount(); }

 private:
  Body* GetBody() const { return shared.GetBody(); }
  Body* Unshare() { return shared.Unshare(); }
  void Release() { shared.Release(); }
  // Set without the check: what a file held is kept as read, so that a save writes it back.
  void Store(const char* id, const VARIANT& value);

  SharedBody<Body> shared;
};
