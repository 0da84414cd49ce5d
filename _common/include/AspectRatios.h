// The crop aspect ratios with the trim setting and the head-guide geometry: one copy is the
// process-wide default kept in the profile, each job carries its own.
#pragma once

#include "Archive.h"
#include "AspectRatio.h"
#include "SharedVector.h"

#include "classlib/ClassLib.h"

// Where a stored block reports an unknown schema.
constexpr const char* AspectRatiosSourceFile = "AspectRatios.cpp";
constexpr const char* AspectRatiosHeaderFile = "AspectRatios.h";
constexpr int AspectRatiosVersionLine = 196;      // in the source file
constexpr int AspectRatiosEntrySchemaLine = 55;   // in the header
constexpr int AspectRatiosTrimSchemaLine = 179;   // in the header
constexpr int AspectRatiosGuideSchemaLine = 196;  // in the header

class AspectRatios {
 public:
  AspectRatios() = default;
  AspectRatios(const AspectRatios& other) = default;
  // Copies every field and shares the other's entries.
  AspectRatios& operator=(const AspectRatios& other);

  // The entries (copy-on-write: a change through a sharing copy detaches it first).
  int GetCount() const { return static_cast<int>(entries.Count()); }
  const AspectRatio& GetAt(int index) const { return entries[static_cast<size_t>(index)]; }
  void Append(const AspectRatio& entry) { entries.Append(entry); }
  SharedVector<AspectRatio>::Body* Unshare() { return entries.Unshare(); }
  bool SharesEntriesWith(const AspectRatios& other) const { return entries.SharesBodyWith(other.entries); }

  // No entries, and the trim and head-guide fields at their defaults.
  void Reset();
  // Exactly the three built-in entries, with the default trim and head guide.
  void SetDefaults();
  // Whether the trim and head-guide fields differ from their defaults.
  bool HasTrimSettings() const;
  bool HasHeadGuideSettings() const;

  // The most elongated (enabled) ratio turned upright, or `fallback` when there is none.
  SIZE GetPortrait(SIZE fallback, bool enabledOnly) const;
  // The most elongated (enabled) ratio turned on its side; (1, 1) when there is none.
  SIZE GetLandscape(SIZE fallback, bool enabledOnly) const;
  // The ratio for an image of that size: landscape when it is wider than high.
  SIZE GetForOrientation(SIZE size, bool enabledOnly) const;

  // The stored block, at the lowest version that keeps every field.
  void Write(zvk::Archive& archive) const;
  void Read(zvk::Archive& archive);

  // The profile value "AspectRatios" of the section "General". Neither throws.
  bool LoadFromProfile();
  bool SaveToProfile() const;

  int tag = 0;
  bool trim = false;
  int trimWidth = 1;
  int trimHeight = 1;
  bool headGuide = false;
  float guideCentreX = 0.5f;
  float guideTop = 0.08f;
  float guideBottom = 0.82f;
  int ovalWidth = 2;
  int ovalHeight = 3;

 private:
  SharedVector<AspectRatio> entries;
};
