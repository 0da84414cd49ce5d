#include "ArchivePrimitives.h"

#include "ArchiveErrors.h"
#include "ArchiveException.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace zvk {

namespace {

void ReadExactly(Archive& archive, void* target, unsigned width) {
  if (archive.Read(target, width) != width) throw ArchiveException(ArchiveException::EndOfFile);
}

template <class V>
Archive& ReadValue(Archive& archive, V& value) {
  V read;
  ReadExactly(archive, &read, sizeof(V));
  value = read;
  return archive;
}

// Reads `count` bytes into `out`. The block grows with the data actually read, never ahead of it, so a
// hostile length cannot make a huge allocation; where the archive knows what remains, a length beyond
// it fails before anything is allocated.
void ReadBlock(Archive& archive, uint64_t count, std::vector<char>& out, size_t terminatorBytes) {
  uint64_t remaining = 0;
  if (archive.GetRemaining(remaining) && count > remaining)
    throw ArchiveException(ArchiveException::EndOfFile);
  if (count > 0xFFFFFFFFull) throw ArchiveException(ArchiveException::EndOfFile);
  const uint64_t chunk = 1u << 20;
  out.clear();
  uint64_t done = 0;
  try {
    while (done < count) {
      uint64_t step = count - done < chunk ? count - done : chunk;
      out.resize(static_cast<size_t>(done + step));
      ReadExactly(archive, out.data() + done, static_cast<unsigned>(step));
      done += step;
    }
    out.resize(static_cast<size_t>(count) + terminatorBytes, '\0');
  } catch (const std::bad_alloc&) {
    ThrowBadAllocation();
  }
}

// Steps 1 and 2 of the text layout: a length, or the wide-text marker.
const uint64_t WideMarker = ~0ull;

uint64_t ReadLengthOrMarker(Archive& archive) {
  uint8_t b;
  ReadArchiveByte(archive, b);
  if (b < 0xFF) return b;
  uint16_t w;
  ReadArchiveWord(archive, w);
  if (w == 0xFFFE) return WideMarker;
  if (w != 0xFFFF) return w;
  uint32_t d;
  ReadArchiveDword(archive, d);
  if (d == 0xFFFFFFFFu) return WideMarker;
  return d;
}

}  // namespace

Archive& ReadArchiveByte(Archive& archive, uint8_t& value) { return ReadValue(archive, value); }

Archive& ReadArchiveByte(Archive& archive, bool& value) {
  uint8_t b;
  ReadArchiveByte(archive, b);
  value = b != 0;
  return archive;
}

Archive& ReadArchiveWord(Archive& archive, uint16_t& value) { return ReadValue(archive, value); }
Archive& ReadArchiveWord(Archive& archive, int16_t& value) { return ReadValue(archive, value); }
Archive& ReadArchiveDword(Archive& archive, uint32_t& value) { return ReadValue(archive, value); }
Archive& ReadArchiveDword(Archive& archive, int32_t& value) { return ReadValue(archive, value); }
Archive& ReadArchiveDword(Archive& archive, float& value) { return ReadValue(archive, value); }

Archive& ReadArchiveDword(Archive& archive, unsigned long& value) {
  uint32_t v;
  ReadValue(archive, v);
  value = v;
  return archive;
}

Archive& ReadArchiveDword(Archive& archive, long& value) {
  int32_t v;
  ReadValue(archive, v);
  value = v;
  return archive;
}

Archive& ReadArchiveCString(Archive& archive, CString& text) {
  uint64_t length = ReadLengthOrMarker(archive);
  std::vector<char> block;
  if (length != WideMarker) {
    ReadBlock(archive, length, block, 1);
    text = block.data();
    return archive;
  }
  // A wide text: its length follows; a second marker is data we cannot use.
  length = ReadLengthOrMarker(archive);
  if (length == WideMarker) throw ArchiveException(ArchiveException::EndOfFile);
  ReadBlock(archive, length * 2, block, 2);
  const wchar_t* wide = reinterpret_cast<const wchar_t*>(block.data());
  int wideLength = static_cast<int>(wcslen(wide));
  std::string narrow;
  if (wideLength > 0) {
    int n = WideCharToMultiByte(CP_ACP, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
    if (n > 0) {
      narrow.resize(n);
      WideCharToMultiByte(CP_ACP, 0, wide, wideLength, narrow.data(), n, nullptr, nullptr);
    }
  }
  text = narrow.c_str();
  return archive;
}

void WriteArchiveStringLength(Archive& archive, unsigned length) {
  if (length < 0xFF) {
    uint8_t b = static_cast<uint8_t>(length);
    archive.Write(&b, 1);
    return;
  }
  uint8_t ff = 0xFF;
  archive.Write(&ff, 1);
  if (length < 0xFFFE) {
    uint16_t w = static_cast<uint16_t>(length);
    archive.Write(&w, 2);
    return;
  }
  uint16_t w = 0xFFFF;
  archive.Write(&w, 2);
  uint32_t d = length;
  archive.Write(&d, 4);
}

void WriteArchiveCString(Archive& archive, const CString& text) {
  unsigned length = static_cast<unsigned>(text.GetLength());
  WriteArchiveStringLength(archive, length);
  if (length) archive.Write(static_cast<const char*>(text), length);
}

}  // namespace zvk
