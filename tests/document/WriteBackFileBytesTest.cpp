// The bytes under the job files the program writes hold writes back in memory: whatever mix of writes,
// reads and size changes reaches them, they must read back as the plain file would, and the file on
// disk must hold the same once they are closed.
#include "DocumentTestSupport.h"

#include "JobStorage.h"
#include "WriteBackFileBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

using namespace doctest;

namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size = {};
  GetFileSizeEx(file, &size);
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  return bytes;
}

void MakeEmptyFile(const std::string& path) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  CloseHandle(file);
}

ULARGE_INTEGER At(uint64_t offset) {
  ULARGE_INTEGER at;
  at.QuadPart = offset;
  return at;
}

// The same operations on the bytes and on a plain copy in memory; every read is compared on the way.
class Mirror {
 public:
  explicit Mirror(WriteBackFileBytes* bytes) : bytes(bytes) {}

  void Write(uint64_t offset, uint32_t count, uint8_t seed) {
    std::vector<uint8_t> data(count);
    for (uint32_t i = 0; i < count; ++i) data[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 12));
    ULONG written = 0;
    ASSERT_EQ(S_OK, bytes->WriteAt(At(offset), data.data(), count, &written));
    ASSERT_EQ(count, written);
    if (model.size() < offset + count) model.resize(offset + count, 0);
    std::copy(data.begin(), data.end(), model.begin() + static_cast<ptrdiff_t>(offset));
  }

  void Read(uint64_t offset, uint32_t count) {
    std::vector<uint8_t> data(count, 0xEE);
    ULONG read = 0;
    ASSERT_EQ(S_OK, bytes->ReadAt(At(offset), data.data(), count, &read));
    const uint64_t expected = offset >= model.size() ? 0 : std::min<uint64_t>(count, model.size() - offset);
    ASSERT_EQ(expected, read) << "at " << offset;
    if (expected == 0 || std::memcmp(model.data() + offset, data.data(), expected) == 0) return;
    uint64_t i = 0;
    while (model[offset + i] == data[i]) ++i;
    FAIL() << "byte " << offset + i << " read from " << offset << ": " << int(data[i]) << " instead of "
           << int(model[offset + i]);
  }

  void SetSize(uint64_t size) {
    ASSERT_EQ(S_OK, bytes->SetSize(At(size)));
    model.resize(size, 0);
    STATSTG stat = {};
    ASSERT_EQ(S_OK, bytes->Stat(&stat, STATFLAG_NONAME));
    ASSERT_EQ(size, stat.cbSize.QuadPart);
  }

  uint64_t Size() const { return model.size(); }
  const std::vector<uint8_t>& Model() const { return model; }

 private:
  WriteBackFileBytes* bytes;
  std::vector<uint8_t> model;
};

}  // namespace

// The storage grows a file forward sector by sector while it rewrites its header, directory and tables
// before the growing end, reads back what it wrote, and now and then cuts the file or grows it.
TEST(WriteBackFileBytesTest, ReadsAndFileMatchPlainBytesThroughAnyMixOfCalls) {
  ScratchFolder folder("writeback");
  for (unsigned seed : {1u, 2u}) {
    const std::string path = folder.File(("mix" + std::to_string(seed) + ".bin").c_str());
    MakeEmptyFile(path);
    WriteBackFileBytes* bytes = nullptr;
    ASSERT_EQ(S_OK, WriteBackFileBytes::Open(path.c_str(), 0, &bytes));
    Mirror mirror(bytes);
    std::mt19937 random(seed);
    uint64_t end = 0;
    for (int step = 0; step < 12000 && !testing::Test::HasFatalFailure(); ++step) {
      const int kind = std::uniform_int_distribution<int>(0, 99)(random);
      const uint8_t fill = static_cast<uint8_t>(random());
      if (kind < 55) {
        // The growing end, a sector at a time: moves the window every few thousand steps.
        for (int sector = 0; sector < 2; ++sector, end += 4096) mirror.Write(end, 4096, fill);
      } else if (kind < 75) {
        // A table entry or a directory entry somewhere before the end.
        const uint64_t where = std::uniform_int_distribution<uint64_t>(0, end)(random);
        mirror.Write(where, std::uniform_int_distribution<uint32_t>(1, 512)(random), fill);
      } else if (kind < 77) {
        // Before the end: a large write at once, or a stream's data sector after sector in freed room.
        uint64_t where = std::uniform_int_distribution<uint64_t>(0, end / 2)(random);
        if (kind == 75) {
          mirror.Write(where, 200000, fill);
        } else {
          where = where / 4096 * 4096;
          for (int sector = 0; sector < 40; ++sector, where += 4096) mirror.Write(where, 4096, fill);
        }
      } else if (kind < 95) {
        // A stream read sector by sector from somewhere, as a reader of a picture does.
        // Then, as often, a change in what was just read, and the same read again.
        const uint64_t from = std::uniform_int_distribution<uint64_t>(0, end + 8192)(random) / 4096 * 4096;
        for (uint64_t where = from; where < from + 8 * 4096; where += 4096) mirror.Read(where, 4096);
        mirror.Write(from + std::uniform_int_distribution<uint64_t>(0, 8 * 4096 - 600)(random), 500, fill);
        for (uint64_t where = from; where < from + 8 * 4096; where += 4096) mirror.Read(where, 4096);
      } else if (kind < 99) {
        mirror.Read(std::uniform_int_distribution<uint64_t>(0, end + 100)(random),
                    std::uniform_int_distribution<uint32_t>(1, 3000000)(random));
      } else if (step % 2 == 0) {
        // Cut, also into a sector; what lies past the cut must read as zeros if the file grows again.
        end -= std::uniform_int_distribution<uint64_t>(0, std::min<uint64_t>(end, 300000))(random);
        mirror.SetSize(end);
        end = (end + 4095) / 4096 * 4096;
      } else {
        mirror.SetSize(end + 10000);
        end = (end + 10000 + 4095) / 4096 * 4096;
      }
      end = std::max<uint64_t>(end, mirror.Size() / 4096 * 4096);
    }
    ASSERT_FALSE(testing::Test::HasFatalFailure()) << "seed " << seed;
    EXPECT_GT(mirror.Size(), 40u << 20) << "the file grew past several windows";
    ASSERT_EQ(S_OK, bytes->Close());
    EXPECT_EQ(STG_E_REVERTED, bytes->Close());
    bytes->Release();
    EXPECT_TRUE(FileBytes(path) == mirror.Model()) << "seed " << seed;
  }
}

// Writes are held back, so a failure to write shows late: Close must report it, not hide it.
TEST(WriteBackFileBytesTest, CloseReportsWritesThatDidNotReachTheFile) {
  ScratchFolder folder("writeback");
  const std::string path = folder.File("readonly.bin");
  MakeEmptyFile(path);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  WriteBackFileBytes* bytes = WriteBackFileBytes::OnHandle(file, path.c_str());
  ASSERT_NE(nullptr, bytes);
  const char text[] = "held in memory";
  ULONG written = 0;
  ASSERT_EQ(S_OK, bytes->WriteAt(At(100), text, sizeof(text), &written));
  EXPECT_TRUE(FAILED(bytes->Close()));
  bytes->Release();
}

// Files of both sector sizes made on the bytes open with the system's own reader, stream for stream.
TEST(WriteBackFileBytesTest, CompoundFilesMadeOnThemOpenWithTheSystemsReader) {
  ScratchFolder folder("writeback");
  for (int version : {JobFileVersion3, JobFileVersion4}) {
    const std::string path = folder.File(("job" + std::to_string(version) + ".plj").c_str());
    IStorage* storage = nullptr;
    WriteBackFileBytes* bytes = nullptr;
    ASSERT_EQ(S_OK, CreateCompoundFile(path.c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE,
                                       version, &storage, &bytes));
    const std::pair<const wchar_t*, uint32_t> streams[] = {
        {L"small", 100}, {L"large", 20u << 20}, {L"mid", 70000}};
    for (auto [name, count] : streams) {
      IStream* stream = nullptr;
      ASSERT_EQ(S_OK, storage->CreateStream(name, STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0, 0,
                                            &stream));
      std::vector<uint8_t> data(count);
      for (uint32_t i = 0; i < count; ++i) data[i] = static_cast<uint8_t>(i * 13 + count);
      for (uint32_t at = 0; at < count; at += 65536) {
        ULONG written = 0;
        ASSERT_EQ(S_OK, stream->Write(data.data() + at, std::min<uint32_t>(65536, count - at), &written));
      }
      stream->Release();
    }
    ASSERT_EQ(S_OK, storage->Commit(STGC_DEFAULT));
    storage->Release();
    ASSERT_EQ(S_OK, bytes->Close());
    bytes->Release();

    EXPECT_EQ(version, ReadCompoundFileVersion(path.c_str()));
    ASSERT_EQ(S_OK, StgOpenStorage(ToWideName(path.c_str()).c_str(), nullptr,
                                   STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &storage));
    for (auto [name, count] : streams) {
      IStream* stream = nullptr;
      ASSERT_EQ(S_OK, storage->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream));
      std::vector<uint8_t> data(count + 1);
      ULONG read = 0;
      stream->Read(data.data(), count + 1, &read);
      stream->Release();
      ASSERT_EQ(count, read);
      for (uint32_t i = 0; i < count; ++i)
        ASSERT_EQ(static_cast<uint8_t>(i * 13 + count), data[i])
            << "byte " << i << " of a stream of " << count;
    }
    storage->Release();
  }
}
