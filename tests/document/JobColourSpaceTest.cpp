// The job's colour space: standard spaces and embedded profiles kept in the job, streamed out in
// blocks, converted from the older root place, and the check made when a job is created or opened.
#include "DocumentTestSupport.h"

#include "ColorDirectory.h"
#include "ColorManagementSettings.h"
#include "IcmCache.h"
#include "IcmDraw.h"
#include "IcmJob.h"
#include "MyException.h"
#include "PathHelpers.h"

#include "classlib/ScriptedPrompt.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

// The platform's colour header names its own function so; ours takes the folder text.
#ifdef GetColorDirectory
#undef GetColorDirectory
#endif

using namespace doctest;

namespace {

using Bytes = std::vector<unsigned char>;

class CollectingSink : public zvk::ColorProfileStreamOut {
 public:
  bool Write(const void* block, size_t count) override {
    ++blocks;
    largest = std::max(largest, count);
    const auto* bytes = static_cast<const unsigned char*>(block);
    received.insert(received.end(), bytes, bytes + count);
    return accept;
  }
  Bytes received;
  size_t largest = 0;
  int blocks = 0;
  bool accept = true;
};

Bytes Int32(int32_t value) {
  Bytes bytes(4);
  std::memcpy(bytes.data(), &value, 4);
  return bytes;
}

int CountTemporaryProfiles() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  int count = 0;
  WIN32_FIND_DATAA found = {};
  HANDLE find = FindFirstFileA((std::string(temp) + "~qm*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do ++count;
  while (FindNextFileA(find, &found));
  FindClose(find);
  return count;
}

class JobColourSpaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainWindow();
    ResetOptions(folder.Path());
    saved = zvk::ColorManagementSettings::Current();
    zvk::ColorManagementSettings::Current() = zvk::ColorManagementSettings();
  }
  void TearDown() override {
    zvk::ColorManagementSettings::Current() = saved;
    ResetOptions("");
  }

  std::string SavedJob(const char* name) {
    const std::string path = folder.File(name);
    {
      CTheDocument document;
      EXPECT_TRUE(document.NewJob());
      DialogAnswers answers;
      answers.Answer(path);
      EXPECT_TRUE(document.SaveAs());
    }
    IStorage* root = nullptr;
    if (SUCCEEDED(StgOpenStorage(ToWideName(path.c_str()).c_str(), nullptr,
                                 STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &root))) {
      IStorage* images = nullptr;
      if (SUCCEEDED(root->OpenStorage(L"@Images-Individual", nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                      nullptr, 0, &images))) {
        images->DestroyElement(L"@ICM");
        images->Commit(STGC_DEFAULT);
        images->Release();
      }
      root->Commit(STGC_DEFAULT);
      root->Release();
    }
    return path;
  }

  ScratchFolder folder{"icm"};
  zvk::ColorManagementSettings saved;
};

}  // namespace

TEST_F(JobColourSpaceTest, AStandardSpaceIsSetSavedAndReopened) {
  const std::string path = SavedJob("standard.plj");
  {
    CTheDocument document;
    ASSERT_TRUE(document.OpenJob(path.c_str(), false));
    EXPECT_EQ(0, document.GetColorProfileState(-2));
    EXPECT_FALSE(document.SetColorSpace(0));
    EXPECT_FALSE(document.SetColorSpace(-2));
    ASSERT_TRUE(document.SetColorSpace(4));
    EXPECT_TRUE(document.IsDirty());
    ASSERT_TRUE(document.Save());
    document.SetDirty(false);
    EXPECT_TRUE(document.SetColorSpace(4, true, 0));
    EXPECT_FALSE(document.IsDirty()) << "the same space again changes nothing";
    CollectingSink sink;
    EXPECT_FALSE(document.ReadColorProfile(sink, -2)) << "a standard space has no profile";
    EXPECT_EQ(0, sink.blocks);
  }
  CTheDocument reopened;
  ASSERT_TRUE(reopened.OpenJob(path.c_str(), true));
  EXPECT_EQ(4, reopened.GetColorProfileState(-2));
}

TEST_F(JobColourSpaceTest, ProfilesAreEmbeddedAndStreamedOutByteForByte) {
  // A real profile named relative to the colour directory, and a large generated one.
  CString colourFolder;
  ASSERT_TRUE(GetColorDirectory(colourFolder));
  CreateDirectoryA(colourFolder, nullptr);
  const Bytes real = ReadWholeFile("Z:\\usr\\share\\color\\icc\\sRGB.icc");
  ASSERT_GT(real.size(), 100u);
  const std::string realName = "pellorin-test-" + std::to_string(GetCurrentProcessId()) + ".icc";
  const std::string realPath = std::string(AppendBackslash(colourFolder)) + realName;
  WriteWholeFile(realPath, real);

  Bytes large(600 * 1024);
  std::mt19937 random(7);
  for (unsigned char& byte : large) byte = static_cast<unsigned char>(random());
  const std::string largePath = folder.File("large.icc");
  WriteWholeFile(largePath, large);

  struct Case {
    std::string setPath;
    const Bytes& bytes;
  };
  int n = 0;
  for (const Case& c : {Case{realName, real}, Case{largePath, large}}) {
    SCOPED_TRACE(c.setPath);
    const std::string path = SavedJob(("profile" + std::to_string(++n) + ".plj").c_str());
    {
      CTheDocument document;
      ASSERT_TRUE(document.OpenJob(path.c_str(), false));
      ASSERT_TRUE(document.SetColorProfileFile(c.setPath.c_str()));
      EXPECT_EQ(-2, document.GetColorProfileState(-2));
      CollectingSink before;
      EXPECT_TRUE(document.ReadColorProfile(before, -2));
      EXPECT_EQ(c.bytes, before.received);
      ASSERT_TRUE(document.Save());
    }
    CTheDocument reopened;
    ASSERT_TRUE(reopened.OpenJob(path.c_str(), true));
    EXPECT_EQ(-2, reopened.GetColorProfileState(-2));
    CollectingSink sink;
    EXPECT_TRUE(reopened.ReadColorProfile(sink, -2));
    EXPECT_EQ(c.bytes, sink.received);
    EXPECT_LE(sink.largest, 0x40000u);
    CollectingSink refusing;
    refusing.accept = false;
    EXPECT_FALSE(reopened.ReadColorProfile(refusing, -2));
    EXPECT_EQ(1, refusing.blocks);

    Bytes stream;
    ASSERT_TRUE(ReadCompoundStream(path, "@Images-Individual\\@ICM", stream));
    Bytes expected = Int32(-2);
    expected.insert(expected.end(), c.bytes.begin(), c.bytes.end());
    EXPECT_EQ(expected, stream);
    if (n == 1) {
      const std::string olePath = OleCheckPath(".icm.plj");
      if (!olePath.empty()) {
        EXPECT_TRUE(CopyFileA(path.c_str(), olePath.c_str(), FALSE));
        WriteWholeFile(olePath + ".icc", real);
      }
    }
  }
  DeleteFileA(realPath.c_str());
}

TEST_F(JobColourSpaceTest, TheRootPlaceOfOlderJobsMovesOnTheNextSave) {
  const std::string path = SavedJob("legacy.plj");
  Bytes legacy = Int32(-2);
  for (int i = 0; i < 5000; ++i) legacy.push_back(static_cast<unsigned char>(i * 7));
  AddToCompoundFile(path, {{"@ICM", legacy}});
  {
    CTheDocument document;
    ASSERT_TRUE(document.OpenJob(path.c_str(), false));
    EXPECT_EQ(-2, document.GetColorProfileState(-2));
    document.SetDirty();
    ASSERT_TRUE(document.Save());
  }
  Bytes bytes;
  EXPECT_FALSE(ReadCompoundStream(path, "@ICM", bytes));
  ASSERT_TRUE(ReadCompoundStream(path, "@Images-Individual\\@ICM", bytes));
  EXPECT_EQ(legacy, bytes);
}

TEST_F(JobColourSpaceTest, ShortOrEmptyStreamsAndFilesReadAsNoProfile) {
  struct Case {
    const char* name;
    Bytes stream;
    int32_t space;
  } cases[] = {
      {"three bytes", {3, 0, 0}, 0},
      {"-2 with nothing after it", Int32(-2), 0},
      {"a standard space", Int32(5), 5},
      {"none", Int32(-1), -1},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = SavedJob(("short" + std::to_string(++n) + ".plj").c_str());
    AddToCompoundFile(path, {{"@Images-Individual\\@ICM", c.stream}});
    CTheDocument document;
    ASSERT_TRUE(document.OpenJob(path.c_str(), true));
    EXPECT_EQ(c.space, document.GetColorProfileState(-2));
  }

  CTheDocument document;
  ASSERT_TRUE(document.NewJob());
  document.SetDirty(false);
  ASSERT_TRUE(document.SetColorSpace(2, false, 0));
  const int temporaryProfiles = CountTemporaryProfiles();
  const std::string empty = folder.File("empty.icc");
  WriteWholeFile(empty, {});
  try {
    document.SetColorProfileFile(empty.c_str());
    ADD_FAILURE() << "an empty profile was taken";
  } catch (const CMyException& e) {
    EXPECT_EQ(static_cast<HRESULT>(0x800707DB), e.code);
  }
  EXPECT_FALSE(document.SetColorProfileFile(folder.File("missing.icc").c_str()));
  // A file held open for writing by another is not readable for us.
  const std::string locked = folder.File("locked.icc");
  WriteWholeFile(locked, {1, 2, 3, 4});
  HANDLE held = CreateFileA(locked.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(document.SetColorProfileFile(locked.c_str()));
  CloseHandle(held);
  // A profile of 4 GB (a sparse file) would be copied cut short: it is refused with a clear error.
  const std::string huge = folder.File("huge.icc");
  HANDLE file = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  LARGE_INTEGER size = {};
  size.QuadPart = 0x100000000LL;
  ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file));
  CloseHandle(file);
  EXPECT_THROW(document.SetColorProfileFile(huge.c_str()), CMyException);
  DeleteFileA(huge.c_str());
  EXPECT_EQ(2, document.GetColorProfileState(-2)) << "nothing half-made stays in the record";
  EXPECT_FALSE(document.IsDirty());
  EXPECT_EQ(temporaryProfiles, CountTemporaryProfiles()) << "nothing half-made stays in the temporary folder";
}

TEST_F(JobColourSpaceTest, TheCheckAfterNewAndOpen) {
  zvk::ColorManagementSettings& settings = zvk::ColorManagementSettings::Current();
  settings.bitmapSpace = 3;
  {
    // New sets the default quietly, with colour management off too, and stays clean.
    CScriptedPrompt prompts;
    prompts.FailWhenEmpty(true);
    CTheDocument document;
    ASSERT_TRUE(document.NewJob());
    EXPECT_EQ(3, document.GetColorProfileState(-2));
    EXPECT_FALSE(document.IsDirty());
    EXPECT_TRUE(prompts.GetShown().empty());
  }
  const std::string path = SavedJob("check.plj");
  {
    CScriptedPrompt prompts;
    prompts.FailWhenEmpty(true);
    CTheDocument document;
    ASSERT_TRUE(document.OpenJob(path.c_str(), false));
    document.AfterOpen(false);
    EXPECT_EQ(0, document.GetColorProfileState(-2)) << "colour management off changes nothing";
    EXPECT_TRUE(prompts.GetShown().empty());
  }
  settings.enabled = true;
  for (bool readOnly : {false, true}) {
    CScriptedPrompt prompts;
    prompts.Answer(IDOK);
    CTheDocument document;
    ASSERT_TRUE(document.OpenJob(path.c_str(), readOnly));
    document.AfterOpen(false);
    EXPECT_EQ(3, document.GetColorProfileState(-2));
    EXPECT_EQ(!readOnly, document.IsDirty());
    ASSERT_EQ(1u, prompts.GetShown().size());
    EXPECT_EQ(static_cast<UINT>(IDS_DEFAULT_COLOR_SPACE_SET), prompts.GetShown()[0].stringId);
  }
  {
    // The default cannot be set: an empty profile file.
    const std::string empty = folder.File("default.icc");
    WriteWholeFile(empty, {});
    settings.bitmapSpace = -2;
    settings.iccFile = empty;
    CScriptedPrompt prompts;
    prompts.Answer(IDOK);
    CTheDocument document;
    ASSERT_TRUE(document.OpenJob(path.c_str(), false));
    document.AfterOpen(false);
    EXPECT_EQ(-1, document.GetColorProfileState(-2));
    ASSERT_EQ(1u, prompts.GetShown().size());
    EXPECT_EQ(static_cast<UINT>(IDS_DEFAULT_COLOR_SPACE_FAILED), prompts.GetShown()[0].stringId);
  }
  {
    // The state cannot be read: an old profile at the root that cannot be copied out.
    settings.bitmapSpace = 3;
    settings.iccFile.clear();
    const std::string legacyJob = SavedJob("unreadable.plj");
    Bytes legacy = Int32(-2);
    legacy.insert(legacy.end(), 64, 9);
    AddToCompoundFile(legacyJob, {{"@ICM", legacy}});
    char previous[MAX_PATH] = {};
    GetEnvironmentVariableA("TMP", previous, MAX_PATH);
    char previousTemp[MAX_PATH] = {};
    GetEnvironmentVariableA("TEMP", previousTemp, MAX_PATH);
    CScriptedPrompt prompts;
    prompts.Answer(IDOK);
    CTheDocument document;
    ASSERT_TRUE(document.OpenJob(legacyJob.c_str(), false));
    const std::string nowhere = folder.File("no such folder") + "\\";
    SetEnvironmentVariableA("TMP", nowhere.c_str());
    SetEnvironmentVariableA("TEMP", nowhere.c_str());
    document.AfterOpen(false);
    SetEnvironmentVariableA("TMP", previous[0] ? previous : nullptr);
    SetEnvironmentVariableA("TEMP", previousTemp[0] ? previousTemp : nullptr);
    EXPECT_EQ(-1, document.GetColorProfileState(-2));
    ASSERT_EQ(1u, prompts.GetShown().size());
    EXPECT_EQ(static_cast<UINT>(IDS_COLOR_SPACE_UNREADABLE), prompts.GetShown()[0].stringId);
  }
}

namespace {

// A top-down 24-bit DIB section of four pixels.
struct FourPixels {
  FourPixels() {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -1, 1, 24, BI_RGB};
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    old = SelectObject(dc, bitmap);
  }
  ~FourPixels() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
  uint8_t* bits = nullptr;
};

}  // namespace

TEST_F(JobColourSpaceTest, AJobHoldingAnAdobeRgbProfileDrawsTheReferencePixels) {
  const std::string path = SavedJob("draw.plj");
  {
    CTheDocument document;
    ASSERT_TRUE(document.OpenJob(path.c_str(), false));
    ASSERT_TRUE(document.SetColorProfileFile("Z:\\usr\\share\\color\\icc\\compatibleWithAdobeRGB1998.icc"));
    ASSERT_TRUE(document.Save());
  }
  CTheDocument document;
  ASSERT_TRUE(document.OpenJob(path.c_str(), true));
  zvk::SetIcmJob(&document);
  zvk::ColorManagementSettings::Current().enabled = true;
  const uint8_t input[] = {50, 100, 200, 64, 200, 120, 0, 255, 0, 255, 255, 255};  // blue, green, red
  FourPixels target;
  HRESULT hr = E_UNEXPECTED;
  {
    zvk::IcmCache cache;
    zvk::IcmsRGB draw(target.dc, cache);
    const RECT all{0, 0, 4, 1};
    hr = draw.DrawBits(zvk::IcmBase::kSourceJob, input, 4, 1, sizeof(input), all);
  }
  zvk::SetIcmJob(nullptr);
  EXPECT_EQ(S_OK, hr);
  GdiFlush();
  // The reference pixels of an Adobe RGB job on an sRGB target; out-of-gamut colours clip.
  const int want[4][3] = {{227, 100, 42}, {51, 201, 44}, {0, 255, 0}, {255, 255, 255}};
  for (int i = 0; i < 4; ++i)
    for (int c = 0; c < 3; ++c)
      EXPECT_LE(std::abs(target.bits[i * 3 + 2 - c] - want[i][c]), 1) << "pixel " << i << " channel " << c;
}
