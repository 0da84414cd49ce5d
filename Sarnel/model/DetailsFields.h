// The ordered set of field definitions of one level (job, folders, items, images), shared copy-on-write.
#pragma once

#include "SharedBody.h"

#include "DetailField.h"
#include "NumericStringLess.h"

#include <map>
#include <string>
#include <vector>

// Where the field set reports its failures.
constexpr const char* DetailsFieldsSourceFile = "DetailsFields.cpp";
constexpr int DetailsFieldsMissingIdLine = 40;
constexpr int DetailsFieldsMissingNameLine = 52;
constexpr int DetailsFieldsMissingRoleLine = 62;
constexpr int DetailsFieldsDuplicateNameLine = 92;
constexpr int DetailsFieldsDuplicateRoleLine = 94;
constexpr int DetailsFieldsAddMemoryLine = 98;
constexpr int DetailsFieldsUnshareMemoryLine = 247;
constexpr int DetailsFieldsRecordSchemaLine = 315;
constexpr int DetailsFieldsBlockSchemaLine = 336;

// A copy of the name upper-cased: the key under which names are unique regardless of case.
CString MakeUpperKey(const char* name);

class DetailsFields {
 public:
  struct ByteOrder {
    bool operator()(const CString& a, const CString& b) const { return a.str() < b.str(); }
  };

  struct Body {
    std::vector<DetailField*> fields;  // owned, in insertion order
    std::map<CString, DetailField*, NumericStringLessOrder> byId;
    std::map<CString, DetailField*, ByteOrder> byName;  // upper-cased names
    std::map<int32_t, DetailField*> byRole;             // roles other than 0

    Body() = default;
    // The deep copy a change makes of a shared body: records of its own, indexed afresh.
    Body(const Body& original);
    Body& operator=(const Body&) = delete;
    ~Body();
    // The three indexes entries of a record that is already in the list.
    void Index(DetailField* record);
  };

  int GetCount() const;
  // Throws std::out_of_range for a position outside the list.
  const DetailField& GetAt(int index) const;
  // Each throws CMyException E_INVALIDARG when nothing answers.
  const DetailField& Get(const char* id) const;
  const DetailField& GetByName(const char* name) const;
  const DetailField& GetBySpecial(int role) const;
  bool HasId(const char* id) const;
  bool HasName(const char* name) const;
  bool HasSpecial(int role) const;

  // Appends a copy; a name (regardless of case) or a role already present is refused with
  // E_INVALIDARG before anything changes.
  void Add(const DetailField& field);
  void RemoveAt(int index);
  // Removes that very record (found by address).
  void Remove(const DetailField* record);
  void Clear();
  bool IsEqual(const DetailsFields& other) const;
  // Each field of other replaces one of the same id and one of the same name, and lands at the end.
  void Merge(const DetailsFields& other);

  void Write(zvk::Archive& archive) const;
  // An unknown major version leaves the set unchanged; otherwise the set is cleared and refilled.
  void Read(zvk::Archive& archive);

  // Sharing, for the model's own checks and tests.
  bool SharesBodyWith(const DetailsFields& other) const { return shared.SharesBodyWith(other.shared); }
  int GetRefCount() const { return shared.RefCount(); }

 private:
  Body* GetBody() const { return shared.GetBody(); }
  Body* Unshare() { return shared.Unshare(); }
  void Release() { shared.Release(); }

  SharedBody<Body> shared;
};
