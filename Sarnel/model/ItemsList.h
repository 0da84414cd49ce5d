// The items (subjects) of a job in the order they were read, with indexes by id and by name. Read from
// the job and written back unchanged.
#pragma once

#include "ItemRecord.h"
#include "NumericStringLess.h"

#include <list>
#include <map>
#include <vector>

constexpr const char* ItemsListSourceFile = "ItemsList.cpp";
constexpr int ItemsListSchemaLine = 388;

class ItemsList {
 public:
  using Records = std::list<ItemRecord>;
  struct NoCaseLess {
    bool operator()(const CString& a, const CString& b) const;
  };

  ItemsList() = default;
  ItemsList(const ItemsList&) = delete;
  ItemsList& operator=(const ItemsList&) = delete;

  // Appends a copy; an id already present keeps pointing at the earlier record; an empty name is not
  // entered in the name index.
  void Add(const ItemRecord& record);
  void Clear();
  int GetCount() const { return static_cast<int>(records.size()); }
  bool Contains(const char* id) const { return byId.count(id) != 0; }
  // The first record added under the id, or null.
  const ItemRecord* Find(const char* id) const;
  const Records& GetRecords() const { return records; }
  // The records of a name (case-insensitive), in the order added.
  std::vector<const ItemRecord*> FindByName(const char* name) const;

  static zvk::Archive& Write(zvk::Archive& archive, const ItemsList& list);
  static zvk::Archive& Read(zvk::Archive& archive, ItemsList& list);

 private:
  Records records;
  std::map<CString, Records::iterator, NumericStringLessOrder> byId;
  std::multimap<CString, Records::iterator, NoCaseLess> byName;
};
