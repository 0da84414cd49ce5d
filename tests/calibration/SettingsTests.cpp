// The stored gammas: what a new object reads (a bad value falls back, creation still succeeds) and
// how they are written (fixed notation that the reader takes back).
#include <cmath>
#include <limits>
#include <string>

#include "CalibrationTestSupport.h"

using namespace caltest;

namespace {

// Entry 128 of the red plane of the object's 8-bit tables, which shows its red gamma.
int Red128(IMonitorCalibrationWiz* wizard) {
  CComVariant tables;
  if (wizard->get_LUTs(8, &tables) != S_OK) return -1;
  BYTE* data = nullptr;
  SafeArrayAccessData(tables.parray, reinterpret_cast<void**>(&data));
  int value = data[128];
  SafeArrayUnaccessData(tables.parray);
  return value;
}

struct StoredValue {
  const char* what;
  DWORD type;
  std::string bytes;  // for REG_SZ without the terminator, which WriteStored adds
  float expected;
};

void WriteStored(const char* name, const StoredValue& value) {
  std::string bytes = value.bytes;
  if (value.type == REG_SZ) bytes.push_back('\0');
  WriteSetting(name, value.type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

}  // namespace

TEST(CalibrationSettings, ABadStoredValueReadsAsTheDefaultAndCreationSucceeds) {
  const DWORD three = 3;
  const StoredValue cases[] = {
      {"plain", REG_SZ, "1.8", 1.8f},
      {"whole number", REG_SZ, "3", 3.0f},
      {"a DWORD", REG_DWORD, std::string(reinterpret_cast<const char*>(&three), 4), 3.0f},
      {"binary", REG_BINARY, std::string("\x01\x02\x03\x04", 4), 2.2f},
      {"comma", REG_SZ, "2,2", 2.2f},
      {"negative", REG_SZ, "-1", 2.2f},
      {"exponent", REG_SZ, "1e5", 2.2f},
      {"not above 0.1", REG_SZ, "0.1", 2.2f},
      {"zero", REG_SZ, "0.0", 2.2f},
      {"empty", REG_SZ, "", 2.2f},
      {"very long", REG_SZ, std::string(5000, '1'), 2.2f},
      {"beyond single precision", REG_SZ, "1" + std::string(45, '0'), 2.2f},
  };
  for (const StoredValue& value : cases) {
    SCOPED_TRACE(value.what);
    SettingsKeyGuard key;
    WriteStored("DeviceGammaG", value);
    WriteSetting("DeviceGammaR", "1.5");
    monwz::Gammas gammas;
    ASSERT_EQ(monwz::LoadGammas(HKEY_LOCAL_MACHINE, monwz::kSettingsKey, gammas), S_OK);
    EXPECT_EQ(gammas.deviceGreen, value.expected);
    // The good value beside it and the missing ones.
    EXPECT_EQ(gammas.deviceRed, 1.5f);
    EXPECT_EQ(gammas.deviceBlue, 2.2f);
    EXPECT_EQ(gammas.target, 2.2f);
    // The registered object is created all the same.
    EXPECT_TRUE(CreateWizard());
  }
}

TEST(CalibrationSettings, OnlyAKeyThatCannotBeOpenedFailsCreation) {
  SettingsKeyGuard key;
  monwz::Gammas gammas;
  gammas.deviceRed = 1.0f;
  EXPECT_EQ(monwz::LoadGammas(HKEY_LOCAL_MACHINE, monwz::kSettingsKey, gammas), S_OK) << "no key";
  EXPECT_EQ(gammas.deviceRed, 2.2f);

  gammas.deviceRed = 1.0f;
  HKEY notAKey = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234560));
  EXPECT_EQ(monwz::LoadGammas(notAKey, monwz::kSettingsKey, gammas),
            HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE));
  EXPECT_EQ(gammas.deviceRed, 2.2f);
}

TEST(CalibrationSettings, GammasAreWrittenInFixedNotationAndReadBack) {
  const struct {
    float gamma;
    const char* text;
  } cases[] = {
      {2.2f, "2.2"},        {1.0f, "1.0"}, {2.5f, "2.5"}, {0.25f, "0.25"}, {12345678.0f, "12345680.0"},
      {1e7f, "10000000.0"},
  };
  for (const auto& entry : cases) {
    SCOPED_TRACE(entry.text);
    SettingsKeyGuard key;
    monwz::Gammas gammas;
    gammas.deviceBlue = entry.gamma;
    ASSERT_EQ(monwz::SaveGammas(HKEY_LOCAL_MACHINE, monwz::kSettingsKey, gammas), S_OK);
    EXPECT_EQ(ReadSetting("DeviceGammaB"), entry.text);
    EXPECT_EQ(ReadSetting("DeviceGammaR"), "2.2");
    monwz::Gammas read;
    ASSERT_EQ(monwz::LoadGammas(HKEY_LOCAL_MACHINE, monwz::kSettingsKey, read), S_OK);
    EXPECT_EQ(read.deviceBlue, static_cast<float>(std::stod(entry.text)));
  }
}

TEST(CalibrationSettings, ANewObjectTakesTheStoredGammasIntoItsTables) {
  SettingsKeyGuard key;
  EXPECT_EQ(Red128(CreateWizard()), 128);
  WriteSetting("DeviceGammaR", "2.0");
  WriteSetting("DeviceGammaG", "2.2");
  WriteSetting("DeviceGammaB", "2.5");
  WriteSetting("TargetGamma", "2.2");
  EXPECT_EQ(Red128(CreateWizard()), 119);
}
