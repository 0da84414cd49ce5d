// The stored form of one VARIANT: a u16 type word, then the value by type. Every detail value uses it.
#pragma once

#include "Archive.h"

#include <oleauto.h>
#include <windows.h>

#include <cstdint>

// Reads 8 bytes or throws EndOfFile.
zvk::Archive& ReadArchiveQword(zvk::Archive& archive, uint64_t& value);
zvk::Archive& ReadArchiveQword(zvk::Archive& archive, int64_t& value);
zvk::Archive& ReadArchiveQword(zvk::Archive& archive, double& value);
inline void WriteArchiveQword(zvk::Archive& archive, uint64_t value) { archive.Write(&value, 8); }

// Writes the value; a type the layout cannot hold throws BadSchema (bytes already written stay), a
// failing array call the kind Unknown. An array with a dimension of no elements is written as an
// empty array.
void WriteArchiveVariant(zvk::Archive& archive, const VARIANT& value);
// Clears the target, then reads one value into it. Short data throws EndOfFile, a type the layout
// does not hold BadSchema; lengths and array sizes are checked against the data before anything is
// allocated. On failure the target is left empty.
void ReadArchiveVariant(zvk::Archive& archive, VARIANT& target);

// True when the value can be stored without losing anything: a scalar type of the layout, or an array
// (not by reference) whose elements the layout stores as raw data.
bool CanStoreArchiveVariant(const VARIANT& value);
