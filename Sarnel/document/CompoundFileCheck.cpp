#include "CompoundFileCheck.h"

#include "Archive.h"

#include <cstring>
#include <new>

namespace {

constexpr uint32_t LastRegularSector = 0xFFFFFFFA;
constexpr uint32_t EndOfChain = 0xFFFFFFFE;
constexpr uint32_t NoEntry = 0xFFFFFFFF;
constexpr uint32_t HeaderBytes = 512;
constexpr uint32_t HeaderFatSectors = 109;
constexpr uint32_t DirectoryEntryBytes = 128;
constexpr uint32_t MaxNameBytes = 64;
constexpr uint32_t MiniSectorBytes = 64;
constexpr uint16_t MiniSectorShift = 6;
constexpr uint32_t MiniStreamCutoff = 4096;
constexpr uint16_t LittleEndianMark = 0xFFFE;
constexpr uint8_t StorageEntry = 1;
constexpr uint8_t StreamEntry = 2;
constexpr uint8_t RootEntry = 5;
constexpr uint8_t Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// The first inconsistency the check meets ends it.
struct Inconsistent {};
[[noreturn]] void Refuse() { throw Inconsistent(); }

struct ReadFailure {
  HRESULT hr;
};

uint64_t UnitsFor(uint64_t bytes, uint32_t unit) { return bytes / unit + (bytes % unit != 0 ? 1 : 0); }

// The little-endian dwords of a block, read with the archive primitives.
std::vector<uint32_t> Dwords(std::vector<uint8_t>& bytes) {
  zvk::ArchiveMemory archive(bytes.data(), static_cast<unsigned>(bytes.size()));
  std::vector<uint32_t> values(bytes.size() / 4);
  for (uint32_t& value : values) zvk::ReadArchiveDword(archive, value);
  return values;
}

struct DirectoryEntry {
  uint16_t nameBytes = 0;
  uint8_t type = 0;
  uint32_t left = NoEntry;
  uint32_t right = NoEntry;
  uint32_t child = NoEntry;
  uint32_t start = EndOfChain;
  uint64_t size = 0;
};

class Checker {
 public:
  Checker(HANDLE file, uint64_t fileSize, CompoundFileLayout& layout) : file(file), layout(layout) {
    layout.fileSize = fileSize;
  }
  // False when the file has no compound-file signature.
  bool Run();

 private:
  std::vector<uint8_t> ReadAt(uint64_t offset, uint32_t count);
  std::vector<uint8_t> ReadSector(uint32_t sector) {
    return ReadAt(layout.SectorOffset(sector), layout.sectorSize);
  }
  bool ReadHeader();
  void ReadFat();
  void ReadDirectory();
  void ReadMiniFat();
  void CheckTree();
  // Each sector belongs to one structure or stream at most: a sector met twice is a cycle or a
  // cross-link, and either ends the check.
  void Claim(uint32_t sector);
  // A chain must hold at least `length` sectors and end. It may run on past what its owner's size
  // needs: the platform leaves the tail of a shrunk stream's chain in place.
  std::vector<uint32_t> FollowChain(uint32_t start, uint64_t length);
  void FollowMiniChain(uint32_t start, uint64_t length);
  DirectoryEntry ReadEntry(uint32_t index);

  HANDLE file;
  CompoundFileLayout& layout;

  // From the header.
  uint32_t fatCount = 0;
  uint32_t firstDirectory = 0;
  uint32_t firstMiniFat = 0;
  uint32_t miniFatCount = 0;
  uint32_t firstDifat = 0;
  uint32_t difatCount = 0;
  std::vector<uint32_t> headerFat;

  std::vector<uint8_t> used;  // one per sector that starts inside the file
  std::vector<uint32_t> fat;  // entries of the sectors inside the file only
  std::vector<uint8_t> directory;
  uint32_t entryCount = 0;
  std::vector<uint32_t> miniFat;
  std::vector<uint8_t> miniUsed;  // one per mini sector inside the mini stream with a mini-FAT entry
};

// Read straight from the file with 64-bit positions: a job's structures may lie past 2 GB, where a
// stream that seeks with 32-bit offsets fails.
std::vector<uint8_t> Checker::ReadAt(uint64_t offset, uint32_t count) {
  std::vector<uint8_t> bytes(count, 0);
  LARGE_INTEGER move;
  move.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file, move, nullptr, FILE_BEGIN))
    throw ReadFailure{HRESULT_FROM_WIN32(GetLastError())};
  // A sector cut short by the end of the file reads as zeros past it.
  uint32_t done = 0;
  while (done < count) {
    DWORD read = 0;
    if (!ReadFile(file, bytes.data() + done, count - done, &read, nullptr))
      throw ReadFailure{HRESULT_FROM_WIN32(GetLastError())};
    if (read == 0) break;
    done += read;
  }
  return bytes;
}

bool Checker::ReadHeader() {
  std::vector<uint8_t> header = ReadAt(0, HeaderBytes);
  if (layout.fileSize < sizeof(Signature) || std::memcmp(header.data(), Signature, sizeof(Signature)) != 0)
    return false;
  if (layout.fileSize < HeaderBytes) Refuse();

  zvk::ArchiveMemory in(header.data(), HeaderBytes);
  uint16_t minorVersion = 0, majorVersion = 0, byteOrder = 0, sectorShift = 0, miniSectorShift = 0;
  in.Seek(0x18, 0);
  zvk::ReadArchiveWord(in, minorVersion);
  zvk::ReadArchiveWord(in, majorVersion);
  zvk::ReadArchiveWord(in, byteOrder);
  zvk::ReadArchiveWord(in, sectorShift);
  zvk::ReadArchiveWord(in, miniSectorShift);
  if (byteOrder != LittleEndianMark || miniSectorShift != MiniSectorShift) Refuse();
  if (majorVersion == 3 && sectorShift == 9)
    layout.version = 3;
  else if (majorVersion == 4 && sectorShift == 12)
    layout.version = 4;
  else
    Refuse();
  layout.sectorSize = 1u << sectorShift;

  uint32_t directorySectorCount = 0, transaction = 0, cutoff = 0;
  in.Seek(0x28, 0);
  zvk::ReadArchiveDword(in, directorySectorCount);
  zvk::ReadArchiveDword(in, fatCount);
  zvk::ReadArchiveDword(in, firstDirectory);
  zvk::ReadArchiveDword(in, transaction);
  zvk::ReadArchiveDword(in, cutoff);
  zvk::ReadArchiveDword(in, firstMiniFat);
  zvk::ReadArchiveDword(in, miniFatCount);
  zvk::ReadArchiveDword(in, firstDifat);
  zvk::ReadArchiveDword(in, difatCount);
  if (cutoff != MiniStreamCutoff) Refuse();
  headerFat.resize(HeaderFatSectors);
  for (uint32_t& sector : headerFat) zvk::ReadArchiveDword(in, sector);

  // Sectors whose first byte lies inside the file; sector numbers stop below the special values.
  uint64_t sectors = layout.fileSize > layout.sectorSize
                         ? UnitsFor(layout.fileSize - layout.sectorSize, layout.sectorSize)
                         : 0;
  if (sectors > uint64_t(LastRegularSector) + 1) sectors = uint64_t(LastRegularSector) + 1;
  used.assign(static_cast<size_t>(sectors), 0);
  return true;
}

void Checker::Claim(uint32_t sector) {
  if (sector >= used.size() || used[sector] != 0) Refuse();
  used[sector] = 1;
}

void Checker::ReadFat() {
  const uint32_t perSector = layout.sectorSize / 4;
  if (fatCount == 0 || fatCount > used.size() || difatCount > used.size()) Refuse();
  std::vector<uint32_t>& fatSectors = layout.fatSectors;
  for (uint32_t i = 0; i < HeaderFatSectors && fatSectors.size() < fatCount; ++i)
    fatSectors.push_back(headerFat[i]);
  // The rest of the FAT's sector list continues in the DIFAT chain; each DIFAT sector ends with the
  // number of the next.
  uint32_t sector = firstDifat;
  for (uint32_t i = 0; i < difatCount; ++i) {
    Claim(sector);
    layout.difatSectors.push_back(sector);
    std::vector<uint8_t> bytes = ReadSector(sector);
    std::vector<uint32_t> values = Dwords(bytes);
    for (uint32_t j = 0; j + 1 < perSector && fatSectors.size() < fatCount; ++j)
      fatSectors.push_back(values[j]);
    sector = values[perSector - 1];
  }
  if (fatSectors.size() < fatCount) Refuse();
  for (uint32_t fatSector : fatSectors) Claim(fatSector);

  // Entries of sectors past the end of the file are never needed: no chain may go there.
  const uint64_t needed = UnitsFor(used.size(), perSector);
  for (uint32_t i = 0; i < fatSectors.size() && i < needed; ++i) {
    std::vector<uint8_t> bytes = ReadSector(fatSectors[i]);
    std::vector<uint32_t> values = Dwords(bytes);
    fat.insert(fat.end(), values.begin(), values.end());
  }
  if (fat.size() > used.size()) fat.resize(used.size());
}

std::vector<uint32_t> Checker::FollowChain(uint32_t start, uint64_t length) {
  std::vector<uint32_t> chain;
  for (uint32_t sector = start; sector != EndOfChain; sector = fat[sector]) {
    if (sector >= fat.size()) Refuse();
    Claim(sector);
    chain.push_back(sector);
  }
  if (chain.size() < length) Refuse();
  return chain;
}

void Checker::FollowMiniChain(uint32_t start, uint64_t length) {
  uint64_t count = 0;
  for (uint32_t sector = start; sector != EndOfChain; sector = miniFat[sector]) {
    if (sector >= miniUsed.size() || miniUsed[sector] != 0) Refuse();
    miniUsed[sector] = 1;
    ++count;
  }
  if (count < length) Refuse();
}

void Checker::ReadDirectory() {
  layout.directorySectors = FollowChain(firstDirectory, 1);
  for (uint32_t sector : layout.directorySectors) {
    std::vector<uint8_t> bytes = ReadSector(sector);
    directory.insert(directory.end(), bytes.begin(), bytes.end());
  }
  entryCount = static_cast<uint32_t>(directory.size() / DirectoryEntryBytes);
}

DirectoryEntry Checker::ReadEntry(uint32_t index) {
  zvk::ArchiveMemory in(directory.data() + static_cast<size_t>(index) * DirectoryEntryBytes,
                        DirectoryEntryBytes);
  DirectoryEntry entry;
  uint8_t colour = 0;
  uint32_t sizeLow = 0, sizeHigh = 0;
  in.Seek(0x40, 0);
  zvk::ReadArchiveWord(in, entry.nameBytes);
  zvk::ReadArchiveByte(in, entry.type);
  zvk::ReadArchiveByte(in, colour);
  zvk::ReadArchiveDword(in, entry.left);
  zvk::ReadArchiveDword(in, entry.right);
  zvk::ReadArchiveDword(in, entry.child);
  in.Seek(0x74, 0);
  zvk::ReadArchiveDword(in, entry.start);
  zvk::ReadArchiveDword(in, sizeLow);
  zvk::ReadArchiveDword(in, sizeHigh);
  // Files of 512-byte sectors may carry junk in the size's high half; readers ignore it there.
  entry.size = layout.version == 3 ? sizeLow : (uint64_t(sizeHigh) << 32) | sizeLow;
  return entry;
}

void Checker::ReadMiniFat() {
  DirectoryEntry root = ReadEntry(0);
  if (root.type != RootEntry) Refuse();
  // The root's own stream holds the mini stream, in which the small streams lie.
  FollowChain(root.start, UnitsFor(root.size, layout.sectorSize));
  layout.miniFatSectors = FollowChain(firstMiniFat, miniFatCount);
  for (uint32_t sector : layout.miniFatSectors) {
    std::vector<uint8_t> bytes = ReadSector(sector);
    std::vector<uint32_t> values = Dwords(bytes);
    miniFat.insert(miniFat.end(), values.begin(), values.end());
  }
  uint64_t miniSectors = UnitsFor(root.size, MiniSectorBytes);
  if (miniSectors < miniFat.size()) miniFat.resize(static_cast<size_t>(miniSectors));
  miniUsed.assign(miniFat.size(), 0);
}

void Checker::CheckTree() {
  // Every entry reached from the root once at most, so that a name lookup always ends; the chain of
  // every stream reached at least as long as its size needs.
  std::vector<uint8_t> seen(entryCount, 0);
  seen[0] = 1;
  std::vector<uint32_t> pending{ReadEntry(0).child};
  while (!pending.empty()) {
    uint32_t index = pending.back();
    pending.pop_back();
    if (index == NoEntry) continue;
    if (index >= entryCount || seen[index] != 0) Refuse();
    seen[index] = 1;
    DirectoryEntry entry = ReadEntry(index);
    if (entry.nameBytes > MaxNameBytes) Refuse();
    pending.push_back(entry.left);
    pending.push_back(entry.right);
    if (entry.type == StorageEntry)
      pending.push_back(entry.child);
    else if (entry.type != StreamEntry)
      Refuse();
    else if (entry.size < MiniStreamCutoff)
      FollowMiniChain(entry.start, UnitsFor(entry.size, MiniSectorBytes));
    else
      FollowChain(entry.start, UnitsFor(entry.size, layout.sectorSize));
  }
}

bool Checker::Run() {
  if (!ReadHeader()) return false;
  ReadFat();
  ReadDirectory();
  ReadMiniFat();
  CheckTree();
  return true;
}

}  // namespace

HRESULT CheckCompoundFile(const wchar_t* path, CompoundFileLayout* layout) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return S_FALSE;
  LARGE_INTEGER size = {};
  HRESULT hr = GetFileSizeEx(file, &size) ? S_OK : HRESULT_FROM_WIN32(GetLastError());
  CompoundFileLayout found;
  if (SUCCEEDED(hr)) {
    try {
      Checker checker(file, static_cast<uint64_t>(size.QuadPart), found);
      if (!checker.Run()) hr = S_FALSE;
    } catch (const Inconsistent&) {
      hr = STG_E_DOCFILECORRUPT;
    } catch (const ReadFailure& failure) {
      hr = FAILED(failure.hr) ? failure.hr : STG_E_READFAULT;
    } catch (const std::bad_alloc&) {
      hr = E_OUTOFMEMORY;
    }
  }
  CloseHandle(file);
  if (hr == S_OK && layout != nullptr) *layout = std::move(found);
  return hr;
}

HRESULT OpenCheckedCompoundFile(const wchar_t* path, DWORD mode, IStorage** storage) {
  *storage = nullptr;
  HRESULT hr = CheckCompoundFile(path);
  if (FAILED(hr)) return hr;
  return StgOpenStorage(path, nullptr, mode, nullptr, 0, storage);
}
