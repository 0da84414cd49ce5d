// A saved job whose container has FAT, DIFAT, mini-FAT and directory chains of many sectors, cut short
// inside those structures and with bytes of them flipped: every copy opens or is refused, and none
// hangs the program. A copy cut where one of those structures begins is always refused with the
// program's open-failure text.
#include "DocumentTestSupport.h"

#include "CompoundFileCheck.h"
#include "JobStorage.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <random>

using namespace doctest;

namespace {

// Ends the test program when one open takes longer than the allowance: a loop inside the platform's
// reader cannot be interrupted any other way. The allowance is generous; a hang is endless.
class Watchdog {
 public:
  explicit Watchdog(DWORD allowance) : allowance(allowance) {
    stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread = CreateThread(nullptr, 0, &Watchdog::Watch, this, 0, nullptr);
  }
  ~Watchdog() {
    SetEvent(stop);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(stop);
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  void Arm(const std::string& what) {
    std::snprintf(label, sizeof(label), "%s", what.c_str());
    deadline = GetTickCount64() + allowance;
  }
  void Disarm() { deadline = 0; }

 private:
  static DWORD WINAPI Watch(void* self) {
    auto* watchdog = static_cast<Watchdog*>(self);
    while (WaitForSingleObject(watchdog->stop, 100) == WAIT_TIMEOUT) {
      uint64_t due = watchdog->deadline;
      if (due != 0 && GetTickCount64() > due) {
        std::fprintf(stderr, "HANG: %s neither opened nor failed within %lu ms\n", watchdog->label,
                     static_cast<unsigned long>(watchdog->allowance));
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
      }
    }
    return 0;
  }

  DWORD allowance;
  HANDLE stop;
  HANDLE thread;
  std::atomic<uint64_t> deadline{0};
  char label[200] = {};
};

void WriteAt(const std::string& path, uint64_t offset, const unsigned char* bytes, size_t count) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  DWORD written = 0;
  EXPECT_TRUE(SetFilePointerEx(file, at, nullptr, FILE_BEGIN));
  EXPECT_TRUE(WriteFile(file, bytes, static_cast<DWORD>(count), &written, nullptr));
  CloseHandle(file);
}

void CutAt(const std::string& path, uint64_t length) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(length);
  EXPECT_TRUE(SetFilePointerEx(file, at, nullptr, FILE_BEGIN));
  EXPECT_TRUE(SetEndOfFile(file));
  CloseHandle(file);
}

uint32_t DwordAt(const std::vector<unsigned char>& bytes, uint64_t offset) {
  uint32_t value = 0;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

// A saved job in 512-byte sectors: more than 109 FAT sectors (so the FAT's sector list continues in a
// DIFAT sector), a mini FAT and a directory of several sectors each. The bulk is one stream of zeros.
void MakeLargeJob(const ScratchFolder& folder, const std::string& path) {
  const std::string small = folder.File("small.plj");
  {
    CTheDocument document;
    ASSERT_TRUE(document.NewJob());
    for (int i = 1; i <= 6; ++i) {
      ImageRecord record;
      record.id = CObjectID::CreateNew();
      record.number = i;
      record.fileName.Format("picture %d.jpg", i);
      document.GetImages().Add(record);
    }
    document.SetAttributeText(0, "attribute text");
    DialogAnswers answers;
    answers.Answer(small);
    ASSERT_TRUE(document.SaveAs());
  }

  IStorage* source = nullptr;
  IStorage* target = nullptr;
  ASSERT_EQ(S_OK, StgOpenStorage(ToWideName(small.c_str()).c_str(), nullptr,
                                 STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &source));
  ASSERT_EQ(S_OK, StgCreateDocfile(ToWideName(path.c_str()).c_str(),
                                   STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &target));
  EXPECT_EQ(S_OK, source->CopyTo(0, nullptr, nullptr, target));
  source->Release();
  IStorage* extra = nullptr;
  ASSERT_EQ(S_OK, target->CreateStorage(L"Extra", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                        &extra));
  auto write = [](IStorage* storage, const std::wstring& name, const std::vector<unsigned char>& bytes) {
    IStream* stream = nullptr;
    ASSERT_EQ(S_OK, storage->CreateStream(name.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                          0, 0, &stream));
    ULONG written = 0;
    EXPECT_EQ(S_OK, stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written));
    stream->Release();
  };
  for (int i = 0; i < 48; ++i)
    write(extra, L"Note " + std::to_wstring(i),
          std::vector<unsigned char>(700, static_cast<unsigned char>(i)));
  write(extra, L"Bulk", std::vector<unsigned char>(8u << 20, 0));
  extra->Release();
  EXPECT_EQ(S_OK, target->Commit(STGC_DEFAULT));
  target->Release();

  // Saved by the program, which keeps the file's sector size.
  CTheDocument document;
  ASSERT_TRUE(document.OpenJob(path.c_str(), false));
  document.SetAttributeText(0, "saved large");
  ASSERT_TRUE(document.Save());
  ASSERT_TRUE(document.CloseJob());
}

enum class Outcome { Opened, Refused };

// Opens the damaged file under the watchdog, read-only or writable, and closes it again.
Outcome OpenDamaged(Watchdog& watchdog, const std::string& path, bool readOnly, const std::string& what,
                    std::string& message) {
  CTheDocument document;
  watchdog.Arm(what);
  Outcome outcome = Outcome::Refused;
  try {
    if (document.OpenJob(path.c_str(), readOnly)) outcome = Outcome::Opened;
    document.CloseJob();
  } catch (const std::exception& e) {
    message = e.what();
    EXPECT_FALSE(message.empty()) << what;
    EXPECT_FALSE(document.IsOpen()) << what;
    EXPECT_EQ(0, document.GetImages().GetCount()) << what;
  }
  watchdog.Disarm();
  return outcome;
}

}  // namespace

TEST(DamagedContainerTest, CutsAndFlipsInTheChainsAndDirectoryNeverHang) {
  MainWindow();
  ScratchFolder folder("container");
  ResetOptions(folder.Path());
  const std::string valid = folder.File("large.plj");
  MakeLargeJob(folder, valid);

  CompoundFileLayout layout;
  ASSERT_EQ(S_OK, CheckCompoundFile(ToWideName(valid.c_str()).c_str(), &layout));
  ASSERT_EQ(3, layout.version);
  ASSERT_GT(layout.fatSectors.size(), 109u);
  ASSERT_GE(layout.difatSectors.size(), 1u);
  ASSERT_GE(layout.miniFatSectors.size(), 2u);
  ASSERT_GE(layout.directorySectors.size(), 2u);
  const std::vector<unsigned char> original = ReadWholeFile(valid);
  ASSERT_EQ(layout.fileSize, original.size());
  const uint32_t sector = layout.sectorSize;

  struct Structure {
    const char* name;
    const std::vector<uint32_t>& sectors;
  };
  const Structure structures[] = {{"FAT", layout.fatSectors},
                                  {"DIFAT", layout.difatSectors},
                                  {"mini FAT", layout.miniFatSectors},
                                  {"directory", layout.directorySectors}};
  // First, middle and last sector of each structure.
  auto picks = [](const std::vector<uint32_t>& sectors) {
    std::vector<uint32_t> chosen{sectors.front(), sectors[sectors.size() / 2], sectors.back()};
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    return chosen;
  };

  Watchdog watchdog(15000);
  const std::string damaged = folder.File("damaged.plj");
  int opened = 0;
  int refused = 0;
  int trial = 0;
  auto open = [&](const std::string& what, std::string& message) {
    Outcome outcome = OpenDamaged(watchdog, damaged, trial++ % 2 == 0, what, message);
    (outcome == Outcome::Opened ? opened : refused)++;
    return outcome;
  };

  // Cuts, longest first, so that one copy is cut shorter and shorter. Where a structure's sector
  // begins, the copy lacks it and must be refused; half-way into it, it reads as zeros past the end.
  struct Cut {
    uint64_t length;
    bool lacksStructure;
    std::string what;
  };
  std::vector<Cut> cuts;
  for (const Structure& structure : structures)
    for (uint32_t at : picks(structure.sectors)) {
      std::string what = std::string(structure.name) + " sector " + std::to_string(at);
      cuts.push_back({layout.SectorOffset(at), true, "cut at the start of " + what});
      cuts.push_back({layout.SectorOffset(at) + sector / 2, false, "cut half-way into " + what});
    }
  cuts.push_back({original.size() - 1, false, "cut by one byte"});
  cuts.push_back({sector, false, "cut after the header"});
  cuts.push_back({sector / 2, false, "cut inside the header"});
  std::sort(cuts.begin(), cuts.end(), [](const Cut& a, const Cut& b) { return a.length > b.length; });
  WriteWholeFile(damaged, original);
  for (const Cut& cut : cuts) {
    CutAt(damaged, cut.length);
    std::string message;
    Outcome outcome = open(cut.what + " (" + std::to_string(cut.length) + " bytes)", message);
    if (cut.lacksStructure) {
      EXPECT_EQ(Outcome::Refused, outcome) << cut.what;
      EXPECT_EQ(0u, message.find(std::string(Text(IDS_CANNOT_OPEN_FILE)))) << cut.what << ": " << message;
    }
  }

  // Flips, each put back before the next. In the FAT, DIFAT and mini FAT: random bits of links, and
  // links turned back onto their own sector (the loop that never ends). In the directory: bits of
  // the sibling, child, start and size fields and the type, and links turned back onto the entry.
  WriteWholeFile(damaged, original);
  std::mt19937 random(20261211);
  auto flip = [&](uint64_t offset, const std::vector<unsigned char>& bytes, const std::string& what) {
    WriteAt(damaged, offset, bytes.data(), bytes.size());
    std::string message;
    open(what, message);
    WriteAt(damaged, offset, original.data() + offset, bytes.size());
  };
  auto flipBit = [&](uint64_t offset, const std::string& what) {
    unsigned char changed =
        original[offset] ^ static_cast<unsigned char>(1u << std::uniform_int_distribution<int>(0, 7)(random));
    flip(offset, {changed}, what + " bit flipped at " + std::to_string(offset));
  };
  auto dword = [](uint32_t value) {
    return std::vector<unsigned char>{
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  };

  auto positionIn = [](const std::vector<uint32_t>& sectors, uint32_t at) {
    return static_cast<uint32_t>(std::find(sectors.begin(), sectors.end(), at) - sectors.begin());
  };
  for (const Structure& structure : structures)
    for (uint32_t at : picks(structure.sectors)) {
      const uint64_t base = layout.SectorOffset(at);
      const std::string what = std::string(structure.name) + " sector " + std::to_string(at);
      if (&structure.sectors != &layout.directorySectors) {
        for (int i = 0; i < 4; ++i) {
          uint64_t entry = base + 4 * std::uniform_int_distribution<uint32_t>(0, sector / 4 - 1)(random);
          flipBit(entry + std::uniform_int_distribution<int>(0, 1)(random), what);
        }
        if (&structure.sectors == &layout.difatSectors) continue;
        // A link from entry i to i + 1 turned onto i itself.
        const uint32_t first = positionIn(structure.sectors, at) * (sector / 4);
        for (uint32_t i = 0; i < sector / 4; ++i)
          if (DwordAt(original, base + 4 * i) == first + i + 1) {
            flip(base + 4 * i, dword(first + i),
                 what + " link " + std::to_string(first + i) + " onto itself");
            break;
          }
      } else {
        const int fields[] = {0x42, 0x44, 0x48, 0x4C, 0x74, 0x78, 0x79};
        const int links[] = {0x44, 0x48, 0x4C};
        for (uint32_t entry = 0; entry < sector / 128; ++entry) {
          const uint64_t entryAt = base + 128 * entry;
          if (original[entryAt + 0x42] == 0) continue;  // unused entry
          flipBit(entryAt + fields[std::uniform_int_distribution<int>(0, 6)(random)], what);
          const uint32_t index = positionIn(layout.directorySectors, at) * (sector / 128) + entry;
          flip(entryAt + links[entry % 3], dword(index),
               what + " entry " + std::to_string(index) + " linked onto itself");
        }
      }
    }
  // The header's own chain starts and counts, and its first FAT sector numbers.
  for (uint64_t offset = 0x2C; offset < 0x4C + 4 * 8; offset += 4) flipBit(offset, "header");

  std::printf("damaged container copies: %d opened, %d refused\n", opened, refused);
  EXPECT_GT(refused, 0);
}
