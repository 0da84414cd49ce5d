#include "JobUsageRecord.h"

#include "ArchiveException.h"
#include "ArchivePrimitives.h"

#include "resource.h"

#include <cstring>
#include <vector>

void JobUsageRecord::Reset() {
  applicationTitle.Empty();
  productVersion.Empty();
  reserved = 0;
  userName.Empty();
  computerName.Empty();
  saveTime = 0.0;
  std::memset(reservedBytes, 0, sizeof(reservedBytes));
  empty = true;
}

void JobUsageRecord::Fill(CTheDocument&) {
  applicationTitle.LoadString(AFX_IDS_APP_TITLE);
  ReadProductVersion(productVersion);  // a program without a version block keeps the old text
  reserved = 0;
  std::memset(reservedBytes, 0, sizeof(reservedBytes));

  char computer[16] = {};
  DWORD computerSize = sizeof(computer);
  computerName = GetComputerNameA(computer, &computerSize) ? computer : "";
  char user[257] = {};
  DWORD userSize = sizeof(user);
  userName = GetUserNameA(user, &userSize) ? user : "";

  SYSTEMTIME now;
  GetLocalTime(&now);
  double date = 0.0;
  saveTime = SystemTimeToVariantTime(&now, &date) ? date : 0.0;
  empty = false;
}

void JobUsageRecord::Write(zvk::Archive& archive) const {
  zvk::WriteArchiveWord(archive, 0x0100);
  zvk::WriteArchiveCString(archive, applicationTitle);
  zvk::WriteArchiveCString(archive, productVersion);
  zvk::WriteArchiveDword(archive, 0);
  zvk::WriteArchiveCString(archive, userName);
  zvk::WriteArchiveCString(archive, computerName);
  archive.Write(&saveTime, sizeof(saveTime));
  const uint8_t zeros[16] = {};
  archive.Write(zeros, sizeof(zeros));
}

void JobUsageRecord::Read(zvk::Archive& archive) {
  uint16_t schema = 0;
  zvk::ReadArchiveWord(archive, schema);
  if ((schema >> 8) != 1)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, JobUsageSourcePlace,
                                JobUsageRecordSchemaLine);
  zvk::ReadArchiveCString(archive, applicationTitle);
  zvk::ReadArchiveCString(archive, productVersion);
  uint32_t skipped = 0;
  zvk::ReadArchiveDword(archive, skipped);
  reserved = 0;
  zvk::ReadArchiveCString(archive, userName);
  zvk::ReadArchiveCString(archive, computerName);
  double time = 0.0;
  if (archive.Read(&time, sizeof(time)) != sizeof(time))
    throw zvk::ArchiveException(zvk::ArchiveException::EndOfFile);
  saveTime = time;
  archive.Read(reservedBytes, sizeof(reservedBytes));  // the count is not checked: a short tail is no error
  std::memset(reservedBytes, 0, sizeof(reservedBytes));
  empty = false;
}

namespace {

bool QueryVersionText(const std::vector<char>& block, WORD language, WORD codePage, const char* name,
                      CString& out) {
  char path[128];
  wsprintfA(path, "\\StringFileInfo\\%04X%04X\\%s", language, codePage, name);
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), path, &value, &length) || value == nullptr || length == 0) {
    out.Empty();
    return false;
  }
  out = static_cast<const char*>(value);
  return true;
}

}  // namespace

bool ReadProductVersion(CString& version) {
  char module[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(module, &handle);
  if (size == 0) return false;
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(module, 0, size, block.data())) return false;

  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* pairs = nullptr;
  UINT pairsBytes = 0;
  VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pairs), &pairsBytes);
  const size_t pairCount = pairs != nullptr ? pairsBytes / sizeof(Translation) : 0;

  WORD language = 0;
  WORD codePage = 0;
  bool found = false;
  const WORD threadLanguage = LANGIDFROMLCID(GetThreadLocale());
  const WORD wanted[] = {threadLanguage,
                         static_cast<WORD>(threadLanguage & 0x3FF),
                         static_cast<WORD>((threadLanguage & 0x3FF) | 0x400),
                         static_cast<WORD>(threadLanguage | 0xFC00),
                         9,
                         0x409,
                         0xFC09,
                         0,
                         0xFFFF};
  const UINT ansiCodePage = GetACP();
  for (WORD want : wanted) {
    for (size_t i = 0; i < pairCount && !found; ++i) {
      if (pairs[i].language == want && (pairs[i].codePage == ansiCodePage || pairs[i].codePage == 1200)) {
        language = want;
        codePage = pairs[i].codePage;
        found = true;
      }
    }
    if (found) break;
  }
  if (!found && pairCount > 0) {
    language = pairs[0].language;
    codePage = 0;
  }

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedBytes = 0;
  const bool privateBuild =
      VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedBytes) && fixed != nullptr &&
      (fixed->dwFileFlags & VS_FF_PRIVATEBUILD) != 0;
  if (privateBuild) {
    CString computer, user, date;
    QueryVersionText(block, language, codePage, "BuildComputer", computer);
    QueryVersionText(block, language, codePage, "BuildUser", user);
    QueryVersionText(block, language, codePage, "BuildDate", date);
    version = computer + "," + user + "," + date;
  } else {
    QueryVersionText(block, language, codePage, "ProductVersion", version);
  }
  return true;
}
