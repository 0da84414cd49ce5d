// Ordered lists of tone curves, as the import and export settings keep them in the profile. Every list
// is known to one process-wide set of live lists, so that all LUT objects can be released at exit while
// the component is still loaded.
#pragma once

#include "Archive.h"
#include "LUTRecord.h"

#include <vector>

// Where a list's archive failures are said to come from.
constexpr int LUTListSchemaLine = 266;
// The profile section of every list.
constexpr const char* LUTListSection = "LUTs";

class LUTList {
 public:
  LUTList();
  LUTList(const LUTList& other);
  LUTList& operator=(const LUTList& other);
  ~LUTList();

  int GetCount() const { return static_cast<int>(records.size()); }
  // A copy of the record at a 0-based index (it shares the object).
  LUTRecord GetAt(int index) const;
  void Add(const LUTRecord& record);
  void Clear();
  // A copy of the first record whose name is exactly the text (case counts); an empty record when none.
  LUTRecord FindByName(const char* name) const;

  // u16 0x0100, u32 count, the records.
  void Write(zvk::Archive& archive) const;
  // Replaces the list only when the header was read. A record cut short ends the list with the records
  // read so far; a record otherwise damaged is skipped.
  void Read(zvk::Archive& archive);

  // The list as a binary profile value. Load leaves the list as it is when the value is missing, and
  // raises the reader's archive exceptions. Save stores the value only when the whole list was written
  // (otherwise the stored value stays and the failure is raised); false when the profile write failed.
  void Load(const char* section, const char* entry);
  bool Save(const char* section, const char* entry) const;

 private:
  std::vector<LUTRecord> records;
};

// LUTList::Load / LUTList::Save in the section "LUTs", the value named by the owner's module key.
void LoadLUTList(const char* moduleKey, LUTList& list);
bool SaveLUTList(const char* moduleKey, const LUTList& list);

// Empties every live list, releasing their LUT objects. The settings save at exit runs it last.
void ClearAllLUTLists();
