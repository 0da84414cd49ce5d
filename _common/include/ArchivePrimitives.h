// The primitive readers and writers that every record format is defined in.
#pragma once

#include "ArchiveBase.h"

#include "classlib/ClassLib.h"

#include <cstdint>

namespace zvk {

// Each reader reads exactly its width or throws the archive exception EndOfFile.
Archive& ReadArchiveByte(Archive& archive, uint8_t& value);
Archive& ReadArchiveByte(Archive& archive, bool& value);
Archive& ReadArchiveWord(Archive& archive, uint16_t& value);
Archive& ReadArchiveWord(Archive& archive, int16_t& value);
Archive& ReadArchiveDword(Archive& archive, uint32_t& value);
Archive& ReadArchiveDword(Archive& archive, int32_t& value);
Archive& ReadArchiveDword(Archive& archive, unsigned long& value);
Archive& ReadArchiveDword(Archive& archive, long& value);
Archive& ReadArchiveDword(Archive& archive, float& value);
// A text in the class library's archive layout; the target changes only when the whole text was read.
Archive& ReadArchiveCString(Archive& archive, CString& text);

// Numbers are written as their raw bytes.
inline void WriteArchiveByte(Archive& archive, uint8_t value) { archive.Write(&value, 1); }
inline void WriteArchiveWord(Archive& archive, uint16_t value) { archive.Write(&value, 2); }
inline void WriteArchiveDword(Archive& archive, uint32_t value) { archive.Write(&value, 4); }
inline void WriteArchiveFloat(Archive& archive, float value) { archive.Write(&value, 4); }

// The length prefix alone: one byte up to 254, else 0xFF and a u16 up to 0xFFFD, else 0xFF, 0xFFFF and
// a u32.
void WriteArchiveStringLength(Archive& archive, unsigned length);
void WriteArchiveCString(Archive& archive, const CString& text);

}  // namespace zvk
