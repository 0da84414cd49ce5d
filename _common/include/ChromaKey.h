// The chroma-key state of one image: the built-in hue key or a keyer-state file with its protect and
// garbage areas.
#pragma once

#include "Archive.h"

#include "classlib/ClassLib.h"

#include <cstdint>
#include <vector>

// Where a stored chroma-key block reports an unknown schema.
constexpr const char* ChromaKeySourceFile = "ChromaKey.h";
constexpr int ChromaKeySchemaLine = 293;

// One area drawn with the protect or garbage tool; edges in thousandths of the image's width and height.
struct ChromaKeyArea {
  int32_t shape = 0;  // 0 a rectangle, 1 the ellipse inscribed in it
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  bool operator==(const ChromaKeyArea& other) const {
    return shape == other.shape && left == other.left && top == other.top && right == other.right &&
           bottom == other.bottom;
  }
  bool operator!=(const ChromaKeyArea& other) const { return !(*this == other); }
};

using ChromaKeyAreaList = std::vector<ChromaKeyArea>;

class ChromaKey {
 public:
  enum : int32_t { ModeHueKey = 0, ModeKeyerState = 1 };
  enum : int32_t { KeyColourNone = 0, KeyColourGreen = 1, KeyColourBlue = 2 };

  int32_t mode = ModeHueKey;
  int32_t on = 0;
  int32_t keyColour = KeyColourNone;
  int16_t hueOffset = 0;
  int16_t hueRange = 10;
  int16_t hueThird = 3;
  float edgeThreshold = 0.05f;
  float smoothing = 0.2f;
  CString keyerStatePath;
  ChromaKeyAreaList protectAreas;
  ChromaKeyAreaList garbageAreas;

  // Whether the record may be left out of an image record. A keyer-mode key counts as default only
  // when it has no state, is off and has no areas: areas drawn before the first keyer state, and the
  // path of a key that was switched off, must survive a save.
  bool IsDefault() const;

  // The stored block inside an image record: the smallest of three versions that holds the key.
  void WriteBlock(zvk::Archive& archive) const;
  // Reads a block into a record built with the defaults; fields the block does not carry keep them.
  void ReadBlock(zvk::Archive& archive);
};

bool AreaListsEqual(const ChromaKeyAreaList& a, const ChromaKeyAreaList& b);
// The text form of an area list: every number preceded by one blank, five numbers per area.
void FormatAreaList(const ChromaKeyAreaList& areas, CString& out);
// Reads groups of five integers; an incomplete group is dropped, a shape other than 0 or 1 ends the list.
ChromaKeyAreaList ParseChromaKeyAreas(const char* text);
