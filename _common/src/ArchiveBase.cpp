#include "ArchiveBase.h"

namespace zvk {

long Archive::Seek(long, int) { return -1; }

unsigned Archive::SetSize(unsigned) { return static_cast<unsigned>(-1); }

unsigned Archive::Truncate() { return SetSize(static_cast<unsigned>(Seek(0, 1))); }

bool Archive::GetRemaining(uint64_t&) { return false; }

}  // namespace zvk
