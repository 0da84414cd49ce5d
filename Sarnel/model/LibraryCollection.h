// The entries of one picture library by library key, in key order. Backgrounds, Masks and Graphics are
// this collection under their own names and error places.
#pragma once

#include "LibraryEntry.h"
#include "NumericStringLess.h"

#include <map>

class LibraryCollection {
 public:
  using Map = std::map<CString, LibraryEntry, NumericStringLessOrder>;

  // Where the collection reports its failures.
  struct Places {
    const char* sourceFile;
    int missingKeyLine;   // Remove of a key that is not present
    int entrySchemaLine;  // an entry block of an unknown major version
    int listSchemaLine;   // a list block of an unknown major version
  };

  explicit LibraryCollection(const Places& places) : places(places) {}
  virtual ~LibraryCollection() = default;

  // Inserts the entry, or overwrites the entry of the key.
  void Set(const CString& key, const LibraryEntry& entry);
  // A key that is not present throws CMyException E_INVALIDARG and changes nothing.
  void Remove(const CString& key);
  bool Contains(const CString& key) const { return entries.count(key) != 0; }
  void Clear() { entries.clear(); }
  int GetCount() const { return static_cast<int>(entries.size()); }
  const Map& GetEntries() const { return entries; }

  // u16 0x0100, u32 count, then per entry in key order the key as an identifier block and the entry.
  void Write(zvk::Archive& archive) const;
  // An unknown major version leaves the collection as it was; otherwise it is emptied and refilled,
  // a key read twice keeping the later entry, and a failure keeps the entries read before it.
  void Read(zvk::Archive& archive);
  // The entry reader of this library.
  void ReadEntry(zvk::Archive& archive, LibraryEntry& entry) const;

 protected:
  [[noreturn]] void ThrowMissingKey(int line) const;

  Places places;
  Map entries;
};
