// The colour spaces a job's images can be in, as the colour-management sheet lists them: none, the named RGB
// spaces, the job's embedded profile and RGB profile files, each with the texts that describe it.
#pragma once

#include <string>
#include <vector>

#include "IcmJob.h"

namespace zvk {

struct ColorSpaceEntry {
  enum Id { kNone = -1, kProfile = -2, kSeparatorOrLoad = 0 };
  int id = kSeparatorOrLoad;  // -1 none, 1..9 named space, -2 profile, 0 separator or "Load..."
  std::string path;           // profile files only; relative to the colour directory when inside it
  std::string name, manufacturer, model, notice;
  bool IsSeparator() const { return id == kSeparatorOrLoad && name.empty(); }
};

// Why a profile file was not taken.
enum ProfileEntryError : int {
  kProfileOk = 0,
  kProfileOutOfMemory = -3,
  kProfileTextTooLong = -4,
  kProfileCannotRead = -5,   // cannot open, read error, no text tag
  kProfileNotIcc = -6,       // not an ICC profile, or a damaged one
  kProfileNotRgbSource = -7  // not an RGB profile (of a source class, with the filter on)
};

// Reads a profile file's texts into an entry (id -2). With the class filter on, only scanner, colour-space
// and monitor profiles are taken; the data colour space must be RGB either way.
int ReadProfileEntry(const std::string& path, bool classFilter, ColorSpaceEntry& entry);

// The job's embedded profile as an entry (no path); false when it cannot be read.
bool ReadEmbeddedProfileEntry(IcmJob& job, ColorSpaceEntry& entry);

// The colour directory's RGB profiles that read as source profiles, in the system's order.
std::vector<ColorSpaceEntry> InstalledProfileEntries();

}  // namespace zvk
