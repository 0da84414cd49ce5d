#include "Mscms.h"

#include <mutex>

#include "MyException.h"

namespace zvk {

namespace {

template <typename F>
void Find(HMODULE module, F& entry, const char* name) {
  entry = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

bool FailMscms(DWORD err) {
  switch (err) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_MOD_NOT_FOUND:
    case ERROR_PROC_NOT_FOUND:
    case ERROR_NO_ASSOCIATION:
      SetLastError(kIcmNotEnabled);
      break;
    default:
      SetLastError(err);
  }
  return false;
}

const MscmsEntries* Mscms() {
  static MscmsEntries entries;
  static bool loaded = false;
  static DWORD loadError = 0;
  static std::once_flag once;
  std::call_once(once, [] {
    HMODULE module = LoadLibraryA("MSCMS");
    if (!module) {
      loadError = GetLastError();
      return;
    }
    Find(module, entries.EnumColorProfilesA, "EnumColorProfilesA");
    Find(module, entries.CreateProfileFromLogColorSpaceA, "CreateProfileFromLogColorSpaceA");
    Find(module, entries.GetStandardColorSpaceProfileA, "GetStandardColorSpaceProfileA");
    Find(module, entries.OpenColorProfileA, "OpenColorProfileA");
    Find(module, entries.CloseColorProfile, "CloseColorProfile");
    Find(module, entries.CreateMultiProfileTransform, "CreateMultiProfileTransform");
    Find(module, entries.DeleteColorTransform, "DeleteColorTransform");
    Find(module, entries.TranslateBitmapBits, "TranslateBitmapBits");
    loaded = true;
  });
  if (!loaded) {
    FailMscms(loadError);
    return nullptr;
  }
  return &entries;
}

bool EnumRgbColorProfiles(std::vector<std::string>& names) {
  names.clear();
  const MscmsEntries* m = Mscms();
  if (!m || !m->EnumColorProfilesA) return FailMscms(ERROR_PROC_NOT_FOUND);
  ENUMTYPEA query{};
  query.dwSize = sizeof query;
  query.dwVersion = ENUM_TYPE_VERSION;
  query.dwFields = ET_DATACOLORSPACE;
  query.dwDataColorSpace = SPACE_RGB;
  std::vector<BYTE> buffer;
  DWORD size = 0, count = 0;
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD asked = size;
    if (m->EnumColorProfilesA(nullptr, &query, size ? buffer.data() : nullptr, &asked, &count)) break;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || asked <= size)
      return count == 0 && size == 0 ? true : false;
    if (asked > (16u << 20)) {
      SetLastError(ERROR_OUTOFMEMORY);
      return false;
    }
    size = asked;
    buffer.assign(size, 0);
  }
  for (size_t at = 0; at < buffer.size() && buffer[at] != 0;) {
    const char* name = reinterpret_cast<const char*>(buffer.data() + at);
    const size_t n = strnlen(name, buffer.size() - at);
    names.emplace_back(name, n);
    at += n + 1;
  }
  return true;
}

std::string SystemSrgbProfilePath() {
  const MscmsEntries* m = Mscms();
  if (!m || !m->GetStandardColorSpaceProfileA) return {};
  char path[MAX_PATH * 2] = {};
  DWORD size = sizeof path;
  if (!m->GetStandardColorSpaceProfileA(nullptr, LCS_sRGB, path, &size)) return {};
  return path;
}

ColourProfile& ColourProfile::operator=(ColourProfile&& o) noexcept {
  if (this != &o) {
    this->~ColourProfile();
    h_ = o.h_;
    o.h_ = nullptr;
  }
  return *this;
}

ColourProfile::~ColourProfile() {
  if (h_) Mscms()->CloseColorProfile(h_);
}

ColourProfile ColourProfile::FromFile(const std::string& path) {
  const MscmsEntries* m = Mscms();
  if (!m || !m->OpenColorProfileA) return {};
  PROFILE p{PROFILE_FILENAME, const_cast<char*>(path.c_str()), static_cast<DWORD>(path.size() + 1)};
  return ColourProfile(m->OpenColorProfileA(&p, PROFILE_READ, FILE_SHARE_READ, OPEN_EXISTING));
}

ColourProfile ColourProfile::FromMemory(const std::vector<uint8_t>& bytes) {
  const MscmsEntries* m = Mscms();
  if (!m || !m->OpenColorProfileA || bytes.empty()) return {};
  PROFILE p{PROFILE_MEMBUFFER, const_cast<uint8_t*>(bytes.data()), static_cast<DWORD>(bytes.size())};
  return ColourProfile(m->OpenColorProfileA(&p, PROFILE_READ, FILE_SHARE_READ, OPEN_EXISTING));
}

ColourTransform& ColourTransform::operator=(ColourTransform&& o) noexcept {
  if (this != &o) {
    this->~ColourTransform();
    h_ = o.h_;
    o.h_ = nullptr;
  }
  return *this;
}

ColourTransform::~ColourTransform() {
  if (h_) Mscms()->DeleteColorTransform(h_);
}

DWORD IccIntentFromIndex(int intent) { return intent >= 0 && intent <= 3 ? static_cast<DWORD>(intent) : 0; }

HRESULT LastErrorOrFail() {
  const DWORD err = GetLastError();
  return err ? HRESULT_FROM_WIN32(err) : E_FAIL;
}

ColourTransform ColourTransform::Create(const ColourProfile& source, const ColourProfile& target,
                                        int intent) {
  const MscmsEntries* m = Mscms();
  if (!m || !m->CreateMultiProfileTransform) throw CMyException(HRESULT_FROM_WIN32(kIcmNotEnabled), "MSCMS");
  if (!source || !target) throw CMyException(E_INVALIDARG, "colour profile not open");
  HPROFILE profiles[2] = {source.Get(), target.Get()};
  DWORD intents[1] = {IccIntentFromIndex(intent)};
  SetLastError(0);
  HTRANSFORM h = m->CreateMultiProfileTransform(profiles, 2, intents, 1, BEST_MODE, INDEX_DONT_CARE);
  if (!h) throw CMyException(LastErrorOrFail(), "CreateMultiProfileTransform");
  return ColourTransform(h);
}

void ColourTransform::TranslateBgrRows(void* bits, int width, int height, int stride) const {
  // Padded rows go one at a time: not every implementation honours the stride.
  const bool packed = stride == width * 3;
  auto* row = static_cast<uint8_t*>(bits);
  for (int y = 0; y < (packed ? 1 : height); ++y, row += stride) {
    SetLastError(0);
    if (!Mscms()->TranslateBitmapBits(h_, row, BM_RGBTRIPLETS, width, packed ? height : 1, stride, row,
                                      BM_RGBTRIPLETS, stride, nullptr, 0))
      throw CMyException(LastErrorOrFail(), "TranslateBitmapBits");
  }
}

}  // namespace zvk
