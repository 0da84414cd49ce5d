// The folders of a job in the order they were read, with indexes by id and by name. Read from the job,
// consulted and written back unchanged.
#pragma once

#include "FolderRecord.h"
#include "NumericStringLess.h"

#include <list>
#include <map>

constexpr const char* FoldersListSourceFile = "FoldersList.cpp";
constexpr int FoldersListMissingIdLine = 152;
constexpr int FoldersListSchemaLine = 281;

class FoldersList {
 public:
  using Records = std::list<FolderRecord>;
  struct ByteOrder {
    bool operator()(const CString& a, const CString& b) const { return a.str() < b.str(); }
  };

  FoldersList() = default;
  FoldersList(const FoldersList&) = delete;
  FoldersList& operator=(const FoldersList&) = delete;

  // Appends a copy; an id already present keeps pointing at the earlier record.
  void Add(const FolderRecord& record);
  void Clear();
  int GetCount() const { return static_cast<int>(records.size()); }
  bool Contains(const char* id) const { return byId.count(id) != 0; }
  // An unknown id throws CMyException E_INVALIDARG.
  const FolderRecord& Get(const char* id) const;
  const Records& GetRecords() const { return records; }
  // The records of a name (byte order, empty names included), in the order added.
  std::vector<const FolderRecord*> FindByName(const char* name) const;

  static zvk::Archive& Write(zvk::Archive& archive, const FoldersList& list);
  // An unknown major version leaves the list as it was; a failure keeps the records read before it.
  static zvk::Archive& Read(zvk::Archive& archive, FoldersList& list);

 private:
  Records records;
  std::map<CString, Records::iterator, NumericStringLessOrder> byId;
  std::multimap<CString, Records::iterator, ByteOrder> byName;
};
