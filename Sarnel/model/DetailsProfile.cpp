#include "DetailsProfile.h"

#include "classlib/ClassLib.h"

#include <memory>

namespace {

template <class Set>
bool LoadBlock(const char* section, const char* valueName, Set& target) {
  LPBYTE data = nullptr;
  UINT bytes = 0;
  bool loaded = false;
  try {
    CWinApp* app = AfxGetApp();
    if (app) app->GetProfileBinary(section, valueName, &data, &bytes);
    if (data && bytes > 0) {
      Set scratch;
      zvk::ArchiveMemory archive(static_cast<const void*>(data), bytes);
      scratch.Read(archive);
      target = scratch;
      loaded = true;
    }
  } catch (...) {
    // A value that cannot be read counts as missing; the caller keeps its defaults.
    loaded = false;
  }
  delete[] data;
  return loaded;
}

template <class Set>
bool SaveBlock(const char* section, const char* valueName, const Set& source) {
  try {
    zvk::ArchiveMemory archive;
    source.Write(archive);
    CWinApp* app = AfxGetApp();
    if (!app) return false;
    return app->WriteProfileBinary(section, valueName, archive.GetData(), archive.GetSize()) != FALSE;
  } catch (...) {
    return false;
  }
}

}  // namespace

bool LoadProfileFieldSet(const char* section, const char* valueName, DetailsFields& target) {
  return LoadBlock(section, valueName, target);
}

bool LoadProfileTagSet(const char* section, const char* valueName, DetailsTags& target) {
  return LoadBlock(section, valueName, target);
}

bool SaveProfileFieldSet(const char* section, const char* valueName, const DetailsFields& source) {
  return SaveBlock(section, valueName, source);
}

bool SaveProfileTagSet(const char* section, const char* valueName, const DetailsTags& source) {
  return SaveBlock(section, valueName, source);
}
