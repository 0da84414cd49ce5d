// A bounded look at a job file's container before the platform's compound-file reader is given it.
// That reader trusts the file's sector chains: a file cut short or with a damaged chain can make it
// loop for ever while it opens a stream. The check reads only the container's own structures (header,
// FAT, DIFAT, mini FAT and directory), each sector at most once, so it ends on any input, and refuses
// a file whose chains or directory do not hold together, as a platform that checks would.
#pragma once

#include <objbase.h>

#include <cstdint>
#include <vector>

// Where the container's own structures lie: sector numbers in chain order.
struct CompoundFileLayout {
  int version = 0;          // 3 (512-byte sectors) or 4 (4096-byte sectors)
  uint32_t sectorSize = 0;  // the header takes the first sectorSize bytes; sector 0 follows it
  uint64_t fileSize = 0;
  std::vector<uint32_t> fatSectors;
  std::vector<uint32_t> difatSectors;
  std::vector<uint32_t> miniFatSectors;
  std::vector<uint32_t> directorySectors;

  uint64_t SectorOffset(uint32_t sector) const { return (static_cast<uint64_t>(sector) + 1) * sectorSize; }
};

// S_OK when the container holds together; STG_E_DOCFILECORRUPT when it does not (STG_E_READFAULT
// when reading it failed half-way); S_FALSE when there is nothing to judge: the file does not open
// for reading or has no compound-file signature, which the platform answers in its own words.
// The layout is filled when the file is sound.
HRESULT CheckCompoundFile(const wchar_t* path, CompoundFileLayout* layout = nullptr);

// StgOpenStorage of a file that passed the check; a file that did not is refused with the check's code.
HRESULT OpenCheckedCompoundFile(const wchar_t* path, DWORD mode, IStorage** storage);
