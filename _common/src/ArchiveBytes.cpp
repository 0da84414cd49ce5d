#include "ArchiveBytes.h"

namespace zvk {

void ReadArchiveBytes(Archive& archive, uint32_t count, std::vector<uint8_t>& out) {
  uint64_t remaining = 0;
  if (archive.GetRemaining(remaining) && count > remaining)
    throw ArchiveException(ArchiveException::EndOfFile);
  constexpr uint32_t Chunk = 1u << 20;
  std::vector<uint8_t> bytes;
  uint32_t done = 0;
  while (done < count) {
    uint32_t step = count - done < Chunk ? count - done : Chunk;
    bytes.resize(static_cast<size_t>(done) + step);
    if (archive.Read(bytes.data() + done, step) != step) throw ArchiveException(ArchiveException::EndOfFile);
    done += step;
  }
  out.swap(bytes);
}

}  // namespace zvk
