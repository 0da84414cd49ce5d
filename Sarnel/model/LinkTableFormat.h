// The layout shared by the link tables: schema word, count, then pairs of identifier blocks.
#pragma once

#include "ObjectID.h"

#include "Archive.h"

#include "classlib/ClassLib.h"

#include <cstdint>
#include <functional>

constexpr uint16_t LinkTableSchema = 0x0100;

// Writes the pairs of a map (or multimap) in its key order.
template <class Map>
void WriteLinkTable(zvk::Archive& archive, const Map& pairs) {
  zvk::WriteArchiveWord(archive, LinkTableSchema);
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(pairs.size()));
  for (const auto& pair : pairs) {
    WriteObjectID(archive, pair.first);
    WriteObjectID(archive, pair.second);
  }
}

// Throws BadSchema at the given place for an unknown major version (before anything changes); then
// calls clear, and enter for every pair read. Short data throws EndOfFile after the pairs read so far.
void ReadLinkTable(zvk::Archive& archive, const char* sourceFile, int schemaLine,
                   const std::function<void()>& clear,
                   const std::function<void(const CString&, const CString&)>& enter);

// The signed count of a stored collection: a value below 1 reads nothing.
int32_t ReadRecordCount(zvk::Archive& archive);
