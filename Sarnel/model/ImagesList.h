// The image records of the open job in ascending order of their numbers, with indexes by number, id and
// file name. Every operation holds the list's re-entrant lock, so workers and the user-interface thread
// can share it and one operation may call another.
#pragma once

#include "ImageRecord.h"
#include "NumericStringLess.h"
#include "RecursiveLock.h"
#include "SharedStringList.h"

#include "Archive.h"

#include <map>
#include <memory>
#include <vector>

constexpr const char* ImagesListSourceFile = "ImagesList.cpp";
constexpr int ImagesListMissingNumberLine = 53;
constexpr int ImagesListMissingIdLine = 65;
constexpr int ImagesListAddMemoryLine = 165;
constexpr int ImagesListRemoveMissingIdLine = 262;
constexpr int ImagesListSchemaLine = 450;

class ImagesList {
 public:
  // Names compared without regard to case, as the platform's _stricmp does.
  struct NoCaseLess {
    bool operator()(const CString& a, const CString& b) const;
  };
  using NameIndex = std::multimap<CString, CString, NoCaseLess>;  // name key -> image id

  ImagesList();
  ImagesList(const ImagesList&) = delete;
  ImagesList& operator=(const ImagesList&) = delete;
  ~ImagesList();

  int GetCount() const;
  // Records handed out stay valid until they are removed or replaced.
  // A position at or past the count throws std::out_of_range.
  ImageRecord& GetAt(unsigned position) const;
  // A missing number or id throws CMyException E_INVALIDARG.
  ImageRecord& GetByNumber(int32_t number) const;
  ImageRecord& Get(const char* id) const;
  bool ContainsNumber(int32_t number) const;
  bool Contains(const char* id) const;
  // Whether a file-name or base-name key equals the name (case-insensitively).
  bool ContainsFileName(const char* name) const;
  // The ids of the images whose file-name key equals the name, in the order added; when none, those
  // whose base-name key does.
  SharedStringList FindByFileName(const char* name) const;

  // Stores a copy in front of any record of the same number.
  void Add(const ImageRecord& record);
  void RemoveAt(unsigned position);
  // Removes the very record that the id names, even when damaged data gave another the same number.
  void Remove(const char* id);
  // Adds the given record and then removes the one at the position, under one hold of the lock; when
  // the add fails the list is unchanged.
  void Replace(unsigned position, const ImageRecord& record);
  void Clear();

  // u16 0x0100, two reserved u32, u32 count, the records in list order.
  void Write(zvk::Archive& archive) const;
  // An unknown major version leaves the list as it was; otherwise it is cleared and refilled, and the
  // records read before a failure stay.
  void Read(zvk::Archive& archive);

  RecursiveLock& GetLock() const { return lock; }
  // For checks and tests: the name indexes.
  NameIndex GetFileNameIndex() const;
  NameIndex GetBaseNameIndex() const;

 private:
  struct IndexBlock;

  int FindPosition(const ImageRecord* record) const;
  // Takes the record at a valid position out of the list and every index; cannot fail.
  void RemoveRecordAt(unsigned position, const CString& fileNameKey, const CString& baseNameKey);

  std::unique_ptr<IndexBlock> index;
  mutable RecursiveLock lock;
};
