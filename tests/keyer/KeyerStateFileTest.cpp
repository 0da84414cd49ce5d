// State files: named by their content, written once, refused when not the keyer's own.
#include <gtest/gtest.h>

#include "KeyerTestSupport.h"
#include "Fixtures.h"
#include "KeyerStateStore.h"
#include "keyer/KeyerCreation.h"
#include "keyer/KeyerStateFiles.h"
#include "keyer/StateFormat.h"

using namespace keyertest;

namespace {

IChromaKeyer* SampledKeyer(uint32_t screen) {
  IChromaKeyer* k = NewKeyer();
  EXPECT_EQ(k->SelectBackgroundColor(OneColour(screen)), S_OK);
  return k;
}

FILETIME WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

bool SameTime(FILETIME a, FILETIME b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

}  // namespace

TEST(KeyerStateFiles, SaveWritesOneImmutableFilePerStateInTheKeyerFolder) {
  IChromaKeyer* a = SampledKeyer(0x40B040);
  IChromaKeyer* b = SampledKeyer(0x40B040);
  std::string path = Save(a);
  ASSERT_FALSE(path.empty());
  EXPECT_NE(path.find("\\Corvanith\\Pellorin\\Keyer\\"), std::string::npos) << path;
  std::vector<uint8_t> bytes = FileBytes(path);
  EXPECT_EQ(bytes.size(), keyer::StateFormat::kFileSize);
  FILETIME written = WriteTime(path);
  Sleep(20);
  EXPECT_EQ(Save(b), path) << "equal states share one file";
  EXPECT_EQ(Save(a), path);
  EXPECT_EQ(FileBytes(path), bytes);
  EXPECT_TRUE(SameTime(WriteTime(path), written)) << "a written state is never written again";
  // No temporary file stays behind.
  std::string folder = path.substr(0, path.find_last_of('\\'));
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*.tmp").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  a->Release();
  b->Release();
}

TEST(KeyerStateFiles, LoadReplacesTheWholeStateAndOldPathsStayValid) {
  IChromaKeyer* k = SampledKeyer(0x40B040);
  std::string first = Save(k);
  ASSERT_EQ(k->CleanForeground(OneColour(0x3A7A3A)), S_OK);
  ASSERT_EQ(k->SetSpillReplaceComplement(), S_OK);
  std::string second = Save(k);
  ASSERT_NE(first, second);

  IChromaKeyer* other = SampledKeyer(0xC04020);
  ASSERT_EQ(other->SetAlgorithm(2), S_OK);
  ASSERT_EQ(Load(other, second), S_OK);
  EXPECT_EQ(Save(other), second) << "save, load, save gives the same path";
  LONG mode = -1;
  other->GetSpillReplaceMode(&mode);
  EXPECT_EQ(mode, 0);
  ASSERT_EQ(Load(other, first), S_OK) << "an older state still loads";
  EXPECT_EQ(Save(other), first);
  ASSERT_EQ(Load(other, ""), S_OK);
  IChromaKeyer* fresh = NewKeyer();
  EXPECT_EQ(Save(other), Save(fresh)) << "an empty path gives the fresh state";
  k->Release();
  other->Release();
  fresh->Release();
}

TEST(KeyerStateFiles, RefusedPathsAndForeignFilesLeaveTheObjectFresh) {
  IChromaKeyer* fresh = NewKeyer();
  const std::string freshPath = Save(fresh);
  IChromaKeyer* k = SampledKeyer(0x40B040);
  const std::string good = Save(k);
  const std::string folder = good.substr(0, good.find_last_of('\\'));

  std::string foreign = testsupport::ScratchFolder("keyer") + "\\notastate.kst";
  HANDLE file = CreateFileA(foreign.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  const char text[] = "PKYS but not really a keyer state";
  DWORD written = 0;
  WriteFile(file, text, sizeof(text), &written, nullptr);
  CloseHandle(file);

  const std::string refused[] = {
      "\\\\server\\share\\state.kst",
      "//server/share/state.kst",
      "\\\\.\\" + good.substr(0, 2),
      "\\\\.\\PhysicalDrive0",
      "C:\\NUL",
      "C:\\temp\\com1.kst",
      good + ":stream",
      foreign,
      folder + "\\missing.kst",
      folder,
  };
  ASSERT_NE(ReadKeyerStateFile(good.c_str()), nullptr);
  EXPECT_TRUE(ReadKeyerStateFile(good.c_str())->Keys());
  EXPECT_EQ(ReadKeyerStateFile(""), nullptr);
  for (const std::string& path : refused) {
    EXPECT_EQ(ReadKeyerStateFile(path.c_str()), nullptr) << path;
    ASSERT_EQ(Load(k, good), S_OK);
    EXPECT_EQ(Load(k, path), E_FAIL) << path;
    EXPECT_EQ(Save(k), freshPath) << path;
  }
  // A path with a character the code page cannot hold.
  ASSERT_EQ(Load(k, good), S_OK);
  BSTR odd = SysAllocString(L"C:\\\x4E2D.kst");
  EXPECT_EQ(k->LoadState(odd), E_FAIL);
  SysFreeString(odd);
  EXPECT_EQ(Save(k), freshPath);
  k->Release();
  fresh->Release();
}

TEST(KeyerStateFiles, EveryColonButTheDrivesNamesAStream) {
  struct Case {
    const char* path;
    bool refused;
  } cases[] = {
      {"C:\\states\\a.kst", false},
      {"C:a.kst", false},
      {"states\\a.kst", false},
      {"C:\\states\\a.kst:hidden", true},  // a stream of a plain file, after the drive's colon
      {"C:\\states\\a.kst::$DATA", true},
      {"a.kst:hidden", true},
      {":a.kst", true},
      {"\\\\?\\C:\\states\\a.kst:hidden", true},
      {"\\\\.\\C:\\states\\a.kst:hidden", true},
      {"\\\\?\\C:a:b", true},
  };
  for (const Case& c : cases) EXPECT_EQ(c.refused, KeyerStateStore::Refuses(c.path)) << c.path;
}

TEST(KeyerStateFiles, AFailedWriteAnswersFailureAndNoPath) {
  // A folder that cannot be made: its parent is a file.
  std::string blocker = testsupport::ScratchFolder("keyer") + "\\blocker";
  HANDLE file = CreateFileA(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(file);
  SetKeyerStateFolder((blocker + "\\Keyer").c_str());
  IChromaKeyer* k = SampledKeyer(0x40B040);
  BSTR path = reinterpret_cast<BSTR>(1);
  EXPECT_EQ(k->SaveState(&path), E_FAIL);
  EXPECT_EQ(path, nullptr);
  EXPECT_EQ(k->SaveState(nullptr), E_POINTER);
  SetKeyerStateFolder(nullptr);
  EXPECT_FALSE(Save(k).empty());
  k->Release();
}

TEST(KeyerStateFiles, AnotherFolderServesStatesAndItsDeviceNamespacePathLoads) {
  std::string scratch = testsupport::ScratchFolder("keyer");
  SetKeyerStateFolder((scratch + "\\States").c_str());
  IChromaKeyer* k = SampledKeyer(0x40B040);
  std::string path = Save(k);
  EXPECT_EQ(path.rfind(scratch + "\\States\\", 0), 0u) << path;
  // The keyer's own folder named through the device namespace is still its own.
  IChromaKeyer* other = NewKeyer();
  EXPECT_EQ(Load(other, "\\\\?\\" + path), S_OK);
  EXPECT_EQ(Save(other), path);
  EXPECT_EQ(Load(other, "\\\\?\\" + scratch + "\\elsewhere.kst"), E_FAIL);
  SetKeyerStateFolder(nullptr);
  k->Release();
  other->Release();
}
