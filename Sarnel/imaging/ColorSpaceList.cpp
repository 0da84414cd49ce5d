#include "ColorSpaceList.h"

#include <new>

#include "IccTagWalker.h"
#include "Mscms.h"
#include "PathHelpers.h"

// icm.h maps this name onto the system's own function; the program's takes a CString.
#undef GetColorDirectory
#include "ColorDirectory.h"

namespace zvk {

namespace {

// Longer texts than this are no description an operator would read.
constexpr size_t kMaxText = 4096;

int EntryFromWalk(int walked, const IccInfoHandler& handler, ColorSpaceEntry& entry) {
  const IccProfileInfo& info = handler.Info();
  if (walked == kIccStopped && handler.Rejected()) return kProfileNotRgbSource;
  if (walked == kIccOk || walked == kIccStopped) {
    for (const std::string& text : info.text)
      if (text.size() > kMaxText) return kProfileTextTooLong;
    entry.id = ColorSpaceEntry::kProfile;
    entry.name = info.text[IccProfileInfo::kDescription];
    entry.manufacturer = info.text[IccProfileInfo::kManufacturer];
    entry.model = info.text[IccProfileInfo::kModel];
    entry.notice = info.text[IccProfileInfo::kNotice];
    return kProfileOk;
  }
  if (walked == kIccNotProfile || walked == kIccMalformed) return kProfileNotIcc;
  return kProfileCannotRead;
}

}  // namespace

int ReadProfileEntry(const std::string& path, bool classFilter, ColorSpaceEntry& entry) {
  try {
    CString full(path.c_str());
    MakePathAbsolute(full);
    iccFileReader reader(static_cast<const char*>(full));
    if (!reader.IsOpen()) return kProfileCannotRead;
    std::vector<IccSignature> classes;
    if (classFilter) classes = {IccSig("scnr"), IccSig("spac"), IccSig("mntr")};
    IccInfoHandler handler(classes, {IccSig("RGB ")});
    ColorSpaceEntry made;
    const int result = EntryFromWalk(WalkIccTags(reader, handler), handler, made);
    if (result != kProfileOk) return result;
    // A version-4 profile describes itself in a form the decoder does not read: its file name stands in.
    if (made.name.empty()) made.name = static_cast<const char*>(GetFileNamePart(full));
    CString kept(path.c_str());
    MakePathRelative(kept);
    made.path = static_cast<const char*>(kept);
    entry = std::move(made);
    return kProfileOk;
  } catch (const std::bad_alloc&) {
    return kProfileOutOfMemory;
  }
}

bool ReadEmbeddedProfileEntry(IcmJob& job, ColorSpaceEntry& entry) {
  iccDocReader reader(job, -2);
  IccInfoHandler handler;
  ColorSpaceEntry made;
  if (EntryFromWalk(WalkIccTags(reader, handler), handler, made) != kProfileOk) return false;
  entry = std::move(made);
  return true;
}

std::vector<ColorSpaceEntry> InstalledProfileEntries() {
  std::vector<ColorSpaceEntry> entries;
  std::vector<std::string> names;
  CString folder;
  if (!EnumRgbColorProfiles(names) || !GetColorDirectory(folder)) return entries;
  for (const std::string& name : names) {
    ColorSpaceEntry entry;
    if (ReadProfileEntry(static_cast<const char*>(CombinePath(folder, name.c_str())), true, entry) ==
        kProfileOk)
      entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace zvk
