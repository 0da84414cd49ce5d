#include "AspectRatios.h"

#include <cstring>

namespace {

const char* const ProfileSection = "General";
const char* const ProfileEntry = "AspectRatios";

bool SameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof(float)) == 0; }

// Every entry takes at least this many bytes: schema, identifier block with an empty text, empty
// name, width, height, colour, enabled.
const uint64_t SmallestEntryBytes = 2 + 2 + 1 + 1 + 4 + 4 + 4 + 1;

void CheckSchema(uint16_t schema, int expectedMajor, const char* file, int line) {
  if ((schema >> 8) != expectedMajor)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, file, line);
}

}  // namespace

AspectRatios& AspectRatios::operator=(const AspectRatios& other) {
  if (this == &other) return *this;
  tag = other.tag;
  entries.AssignBody(other.entries);
  // Every field, so that a job made from the defaults takes their trim and head guide too.
  trim = other.trim;
  trimWidth = other.trimWidth;
  trimHeight = other.trimHeight;
  headGuide = other.headGuide;
  guideCentreX = other.guideCentreX;
  guideTop = other.guideTop;
  guideBottom = other.guideBottom;
  ovalWidth = other.ovalWidth;
  ovalHeight = other.ovalHeight;
  return *this;
}

void AspectRatios::Reset() {
  entries.Unshare()->Clear();
  AspectRatios defaults;
  trim = defaults.trim;
  trimWidth = defaults.trimWidth;
  trimHeight = defaults.trimHeight;
  headGuide = defaults.headGuide;
  guideCentreX = defaults.guideCentreX;
  guideTop = defaults.guideTop;
  guideBottom = defaults.guideBottom;
  ovalWidth = defaults.ovalWidth;
  ovalHeight = defaults.ovalHeight;
}

void AspectRatios::SetDefaults() {
  Reset();
  Append(AspectRatio("4:5", 4, 5, 0x000000FF));
  Append(AspectRatio("5:7", 5, 7, 0x0000FFFF));
  Append(AspectRatio("2:3", 2, 3, 0x0040FF00));
}

bool AspectRatios::HasTrimSettings() const { return trim || trimWidth != 1 || trimHeight != 1; }

bool AspectRatios::HasHeadGuideSettings() const {
  return headGuide || !SameFloat(guideCentreX, 0.5f) || !SameFloat(guideTop, 0.08f) ||
         !SameFloat(guideBottom, 0.82f) || ovalWidth != 2 || ovalHeight != 3;
}

SIZE AspectRatios::GetPortrait(SIZE fallback, bool enabledOnly) const {
  SIZE best = {0, 0};
  for (const AspectRatio& e : entries.Items()) {
    if (enabledOnly && !e.enabled) continue;
    if (e.width <= 0 || e.height <= 0) continue;  // no shape to turn: never chosen
    LONG shortSide = e.width < e.height ? e.width : e.height;
    LONG longSide = e.width < e.height ? e.height : e.width;
    if ((best.cx == 0 && best.cy == 0) ||
        static_cast<double>(longSide) / shortSide > static_cast<double>(best.cy) / best.cx)
      best = {shortSide, longSide};
  }
  return (best.cx == 0 && best.cy == 0) ? fallback : best;
}

SIZE AspectRatios::GetLandscape(SIZE, bool enabledOnly) const {
  SIZE best = {1, 1};  // (short, long) while searching
  for (const AspectRatio& e : entries.Items()) {
    if (enabledOnly && !e.enabled) continue;
    if (e.width <= 0 || e.height <= 0) continue;
    LONG shortSide = e.width < e.height ? e.width : e.height;
    LONG longSide = e.width < e.height ? e.height : e.width;
    if (static_cast<double>(longSide) / shortSide > static_cast<double>(best.cy) / best.cx)
      best = {shortSide, longSide};
  }
  return {best.cy, best.cx};
}

SIZE AspectRatios::GetForOrientation(SIZE size, bool enabledOnly) const {
  if (size.cy < size.cx) return GetLandscape(size, enabledOnly);
  return GetPortrait(size, enabledOnly);
}

void AspectRatios::Write(zvk::Archive& archive) const {
  uint16_t version = HasHeadGuideSettings() ? 0x0300 : HasTrimSettings() ? 0x0200 : 0x0100;
  zvk::WriteArchiveWord(archive, version);
  const std::vector<AspectRatio>& items = entries.Items();
  zvk::WriteArchiveDword(archive, static_cast<uint32_t>(items.size()));
  for (const AspectRatio& e : items) {
    zvk::WriteArchiveWord(archive, 0x0100);
    WriteObjectID(archive, e.id);
    zvk::WriteArchiveCString(archive, e.name);
    zvk::WriteArchiveDword(archive, static_cast<uint32_t>(e.width));
    zvk::WriteArchiveDword(archive, static_cast<uint32_t>(e.height));
    zvk::WriteArchiveDword(archive, static_cast<uint32_t>(e.colour));
    zvk::WriteArchiveByte(archive, e.enabled ? 1 : 0);
  }
  if (version >= 0x0200) {
    zvk::WriteArchiveWord(archive, 0x0100);
    zvk::WriteArchiveByte(archive, trim ? 1 : 0);
    zvk::WriteArchiveDword(archive, static_cast<uint32_t>(trimWidth));
    zvk::WriteArchiveDword(archive, static_cast<uint32_t>(trimHeight));
  }
  if (version >= 0x0300) {
    zvk::WriteArchiveWord(archive, 0x0100);
    zvk::WriteArchiveByte(archive, headGuide ? 1 : 0);
    zvk::WriteArchiveFloat(archive, guideCentreX);
    zvk::WriteArchiveFloat(archive, guideTop);
    zvk::WriteArchiveFloat(archive, guideBottom);
    zvk::WriteArchiveDword(archive, static_cast<uint32_t>(ovalWidth));
    zvk::WriteArchiveDword(archive, static_cast<uint32_t>(ovalHeight));
  }
}

void AspectRatios::Read(zvk::Archive& archive) {
  uint16_t version;
  zvk::ReadArchiveWord(archive, version);
  int major = version >> 8;
  if (major < 1 || major > 3)
    throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, AspectRatiosSourceFile,
                                AspectRatiosVersionLine);
  Reset();
  uint32_t count;
  zvk::ReadArchiveDword(archive, count);
  uint64_t remaining = 0;
  if (archive.GetRemaining(remaining) && count * SmallestEntryBytes > remaining)
    throw zvk::ArchiveException(zvk::ArchiveException::EndOfFile);
  for (uint32_t i = 0; i < count; ++i) {
    AspectRatio e;
    uint16_t schema;
    zvk::ReadArchiveWord(archive, schema);
    CheckSchema(schema, 1, AspectRatiosHeaderFile, AspectRatiosEntrySchemaLine);
    ReadObjectID(archive, e.id);
    zvk::ReadArchiveCString(archive, e.name);
    int32_t width, height;
    uint32_t colour;
    zvk::ReadArchiveDword(archive, width);
    zvk::ReadArchiveDword(archive, height);
    zvk::ReadArchiveDword(archive, colour);
    zvk::ReadArchiveByte(archive, e.enabled);
    e.width = width;
    e.height = height;
    e.colour = colour;
    Append(e);
  }
  if (major >= 2) {
    uint16_t schema;
    zvk::ReadArchiveWord(archive, schema);
    CheckSchema(schema, 1, AspectRatiosHeaderFile, AspectRatiosTrimSchemaLine);
    int32_t w, h;
    zvk::ReadArchiveByte(archive, trim);
    zvk::ReadArchiveDword(archive, w);
    zvk::ReadArchiveDword(archive, h);
    trimWidth = w;
    trimHeight = h;
  }
  if (major >= 3) {
    uint16_t schema;
    zvk::ReadArchiveWord(archive, schema);
    CheckSchema(schema, 1, AspectRatiosHeaderFile, AspectRatiosGuideSchemaLine);
    int32_t w, h;
    zvk::ReadArchiveByte(archive, headGuide);
    zvk::ReadArchiveDword(archive, guideCentreX);
    zvk::ReadArchiveDword(archive, guideTop);
    zvk::ReadArchiveDword(archive, guideBottom);
    zvk::ReadArchiveDword(archive, w);
    zvk::ReadArchiveDword(archive, h);
    ovalWidth = w;
    ovalHeight = h;
  }
}

bool AspectRatios::LoadFromProfile() {
  LPBYTE data = nullptr;
  UINT bytes = 0;
  bool result = true;
  try {
    CWinApp* app = AfxGetApp();
    if (app) app->GetProfileBinary(ProfileSection, ProfileEntry, &data, &bytes);
    if (data && bytes > 0) {
      AspectRatios loaded;
      zvk::ArchiveMemory archive(data, bytes);
      loaded.Read(archive);
      int ownTag = tag;
      *this = loaded;
      tag = ownTag;
    } else {
      SetDefaults();
    }
  } catch (...) {
    // A value that cannot be read must not leave a half list behind: start again from the defaults.
    result = false;
    try {
      SetDefaults();
    } catch (...) {
    }
  }
  delete[] data;
  return result;
}

bool AspectRatios::SaveToProfile() const {
  try {
    zvk::ArchiveMemory archive;
    Write(archive);
    // Only a completely written block is stored: a partial one would not read back.
    CWinApp* app = AfxGetApp();
    if (!app) return false;
    return app->WriteProfileBinary(ProfileSection, ProfileEntry, archive.GetData(), archive.GetSize()) !=
           FALSE;
  } catch (...) {
    return false;
  }
}
