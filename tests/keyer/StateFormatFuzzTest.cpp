// The state reader trusts nothing: every truncation and every single flipped bit of a valid
// state is refused, cleanly, and the keyer stays fresh.
#include <gtest/gtest.h>

#include "KeyerTestSupport.h"
#include "keyer/StateFormat.h"

using namespace keyertest;

namespace {

std::vector<uint8_t> ValidState(std::string& path) {
  IChromaKeyer* k = NewKeyer();
  EXPECT_EQ(k->SelectBackgroundColor(OneColour(0x40B040)), S_OK);
  EXPECT_EQ(k->CleanForeground(OneColour(0x3A7A3A)), S_OK);
  path = Save(k);
  k->Release();
  return FileBytes(path);
}

bool Refused(const std::vector<uint8_t>& bytes) {
  try {
    keyer::StateFormat::Read(bytes.data(), bytes.size());
    return false;
  } catch (const keyer::StateFormatError&) {
    return true;
  }
}

}  // namespace

TEST(KeyerStateFuzz, ValidStateReadsBackEqual) {
  std::string path;
  std::vector<uint8_t> bytes = ValidState(path);
  keyer::KeyerModel model = keyer::StateFormat::Read(bytes.data(), bytes.size());
  EXPECT_EQ(keyer::StateFormat::Write(model), bytes);
}

TEST(KeyerStateFuzz, EveryTruncationAndEveryFlippedBitIsRefused) {
  std::string path;
  const std::vector<uint8_t> valid = ValidState(path);
  ASSERT_FALSE(valid.empty());
  for (size_t n = 0; n < valid.size(); ++n)
    ASSERT_TRUE(Refused(std::vector<uint8_t>(valid.begin(), valid.begin() + n))) << "truncated to " << n;
  std::vector<uint8_t> longer = valid;
  longer.push_back(0);
  EXPECT_TRUE(Refused(longer));
  for (size_t i = 0; i < valid.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      std::vector<uint8_t> flipped = valid;
      flipped[i] ^= static_cast<uint8_t>(1 << bit);
      ASSERT_TRUE(Refused(flipped)) << "byte " << i << " bit " << bit;
    }
  }
}

TEST(KeyerStateFuzz, DamagedFilesLeaveTheKeyerFresh) {
  std::string path;
  const std::vector<uint8_t> valid = ValidState(path);
  IChromaKeyer* fresh = NewKeyer();
  const std::string freshPath = Save(fresh);
  IChromaKeyer* k = NewKeyer();
  std::string damaged = path + ".damaged";
  uint32_t seed = 7;
  for (int round = 0; round < 40; ++round) {
    std::vector<uint8_t> bytes = valid;
    seed = seed * 1664525u + 1013904223u;
    if (round % 2) {
      bytes.resize(seed % bytes.size());
    } else {
      for (int flips = 0; flips < 1 + round % 5; ++flips) {
        seed = seed * 1664525u + 1013904223u;
        bytes[seed % bytes.size()] ^= static_cast<uint8_t>(1 + (seed >> 24) % 255);
      }
    }
    HANDLE file = CreateFileA(damaged.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(Load(k, path), S_OK);
    EXPECT_EQ(Load(k, damaged), E_FAIL) << "round " << round;
    EXPECT_EQ(Save(k), freshPath);
  }
  DeleteFileA(damaged.c_str());
  k->Release();
  fresh->Release();
}
