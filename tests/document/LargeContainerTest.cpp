// A job file of several gigabytes keeps its FAT near the end, past the 2 GB and 4 GB marks: the
// container check must read it there. The files are sparse, so the test writes a few kilobytes only.
#include "DocumentTestSupport.h"

#include "CompoundFileCheck.h"
#include "JobStorage.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace doctest;

namespace {

constexpr uint32_t SectorBytes = 4096;
constexpr uint32_t EndOfChain = 0xFFFFFFFE;
constexpr uint32_t NoEntry = 0xFFFFFFFF;

void PutDword(std::vector<unsigned char>& bytes, size_t at, uint32_t value) {
  std::memcpy(bytes.data() + at, &value, sizeof(value));
}

void WriteSectorAt(HANDLE file, uint64_t offset, const std::vector<unsigned char>& bytes) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  DWORD written = 0;
  ASSERT_TRUE(SetFilePointerEx(file, at, nullptr, FILE_BEGIN));
  ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  ASSERT_EQ(bytes.size(), written);
}

// A container of 4096-byte sectors holding an empty root: its directory in sector 0, its one FAT
// sector at `fatSector`, the file's last sector.
void WriteContainerWithFatAt(const std::string& path, uint32_t fatSector) {
  std::vector<unsigned char> header(SectorBytes, 0);
  const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::memcpy(header.data(), signature, sizeof(signature));
  const uint16_t words[] = {0x3E, 4, 0xFFFE, 12, 6};  // minor, major, byte order, sector and mini shifts
  std::memcpy(header.data() + 0x18, words, sizeof(words));
  const uint32_t fields[] = {1, 1, 0, 0, 4096, EndOfChain, 0, EndOfChain, 0, fatSector};
  std::memcpy(header.data() + 0x28, fields, sizeof(fields));
  for (size_t at = 0x50; at < 512; at += 4) PutDword(header, at, NoEntry);

  std::vector<unsigned char> directory(SectorBytes, 0);
  const wchar_t name[] = L"Root Entry";
  std::memcpy(directory.data(), name, sizeof(name));
  directory[0x40] = sizeof(name);
  directory[0x42] = 5;
  for (size_t at : {0x44, 0x48, 0x4C}) PutDword(directory, at, NoEntry);
  PutDword(directory, 0x74, EndOfChain);

  std::vector<unsigned char> fat(SectorBytes, 0xFF);
  PutDword(fat, 0, EndOfChain);

  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  WriteSectorAt(file, 0, header);
  WriteSectorAt(file, SectorBytes, directory);
  WriteSectorAt(file, (static_cast<uint64_t>(fatSector) + 1) * SectorBytes, fat);
  CloseHandle(file);
}

}  // namespace

TEST(LargeContainerTest, CheckReadsStructuresPastTwoAndFourGigabytes) {
  ScratchFolder folder("large-container");
  const struct {
    const char* what;
    uint64_t fatOffset;
  } cases[] = {{"past 2 GB", 2500ull << 20}, {"past 4 GB", 5ull << 30}};
  for (const auto& c : cases) {
    const std::string path = folder.File("sparse.plj");
    const uint32_t fatSector = static_cast<uint32_t>(c.fatOffset / SectorBytes - 1);
    WriteContainerWithFatAt(path, fatSector);

    CompoundFileLayout layout;
    EXPECT_EQ(S_OK, CheckCompoundFile(ToWideName(path.c_str()).c_str(), &layout)) << c.what;
    EXPECT_EQ(4, layout.version) << c.what;
    EXPECT_EQ(c.fatOffset + SectorBytes, layout.fileSize) << c.what;
    ASSERT_EQ(1u, layout.fatSectors.size()) << c.what;
    EXPECT_EQ(fatSector, layout.fatSectors[0]) << c.what;
    DeleteFileA(path.c_str());
  }
}
