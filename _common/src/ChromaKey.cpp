#include "ChromaKey.h"

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

constexpr uint16_t HueKeyBlock = 0x0100;
constexpr uint16_t KeyerStateBlock = 0x0200;
constexpr uint16_t KeyerAreasBlock = 0x0300;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// One whitespace-separated decimal integer of 32 bits; false at the end of the text or on anything else.
bool ReadInteger(const char*& cursor, int32_t& value) {
  while (*cursor && IsBlank(*cursor)) ++cursor;
  if (!*cursor) return false;
  char* end = nullptr;
  errno = 0;
  long long parsed = std::strtoll(cursor, &end, 10);
  if (end == cursor || errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
  cursor = end;
  value = static_cast<int32_t>(parsed);
  return true;
}

}  // namespace

bool ChromaKey::IsDefault() const {
  if (mode == ModeKeyerState)
    return keyerStatePath.IsEmpty() && on == 0 && protectAreas.empty() && garbageAreas.empty();
  return mode == ModeHueKey && on == 0 && protectAreas.empty() && garbageAreas.empty() &&
         keyColour == KeyColourNone && hueOffset == 0 && hueRange == 10 && hueThird == 3 &&
         edgeThreshold == 0.05f && smoothing == 0.2f;
}

void ChromaKey::WriteBlock(zvk::Archive& archive) const {
  if (!protectAreas.empty() || !garbageAreas.empty()) {
    zvk::WriteArchiveWord(archive, KeyerAreasBlock);
    zvk::WriteArchiveByte(archive, static_cast<uint8_t>(on));
    zvk::WriteArchiveCString(archive, keyerStatePath);
    CString text;
    FormatAreaList(protectAreas, text);
    zvk::WriteArchiveCString(archive, text);
    FormatAreaList(garbageAreas, text);
    zvk::WriteArchiveCString(archive, text);
  } else if (mode == ModeKeyerState) {
    zvk::WriteArchiveWord(archive, KeyerStateBlock);
    zvk::WriteArchiveByte(archive, static_cast<uint8_t>(on));
    zvk::WriteArchiveCString(archive, keyerStatePath);
  } else {
    zvk::WriteArchiveWord(archive, HueKeyBlock);
    zvk::WriteArchiveByte(archive, static_cast<uint8_t>(on));
    zvk::WriteArchiveDword(archive, static_cast<uint32_t>(keyColour));
    zvk::WriteArchiveWord(archive, static_cast<uint16_t>(hueOffset));
    zvk::WriteArchiveWord(archive, static_cast<uint16_t>(hueRange));
    zvk::WriteArchiveWord(archive, static_cast<uint16_t>(hueThird));
    zvk::WriteArchiveFloat(archive, edgeThreshold);
    zvk::WriteArchiveFloat(archive, smoothing);
  }
}

void ChromaKey::ReadBlock(zvk::Archive& archive) {
  uint16_t schema;
  zvk::ReadArchiveWord(archive, schema);
  uint8_t onByte;
  switch (schema >> 8) {
    case KeyerAreasBlock >> 8: {
      zvk::ReadArchiveByte(archive, onByte);
      CString path, protectText, garbageText;
      zvk::ReadArchiveCString(archive, path);
      zvk::ReadArchiveCString(archive, protectText);
      zvk::ReadArchiveCString(archive, garbageText);
      mode = ModeKeyerState;
      on = onByte;
      keyerStatePath = path;
      protectAreas = ParseChromaKeyAreas(protectText);
      garbageAreas = ParseChromaKeyAreas(garbageText);
      break;
    }
    case KeyerStateBlock >> 8: {
      zvk::ReadArchiveByte(archive, onByte);
      CString path;
      zvk::ReadArchiveCString(archive, path);
      mode = ModeKeyerState;
      on = onByte;
      keyerStatePath = path;
      break;
    }
    case HueKeyBlock >> 8: {
      zvk::ReadArchiveByte(archive, onByte);
      int32_t colour;
      int16_t offset, range, third;
      float threshold, smooth;
      zvk::ReadArchiveDword(archive, colour);
      zvk::ReadArchiveWord(archive, offset);
      zvk::ReadArchiveWord(archive, range);
      zvk::ReadArchiveWord(archive, third);
      zvk::ReadArchiveDword(archive, threshold);
      zvk::ReadArchiveDword(archive, smooth);
      mode = ModeHueKey;
      on = onByte;
      keyColour = colour;
      hueOffset = offset;
      hueRange = range;
      hueThird = third;
      edgeThreshold = threshold;
      smoothing = smooth;
      break;
    }
    default:
      throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, ChromaKeySourceFile, ChromaKeySchemaLine);
  }
}

bool AreaListsEqual(const ChromaKeyAreaList& a, const ChromaKeyAreaList& b) { return a == b; }

void FormatAreaList(const ChromaKeyAreaList& areas, CString& out) {
  std::string text;
  for (const ChromaKeyArea& area : areas) {
    for (int32_t value : {area.shape, area.left, area.top, area.right, area.bottom}) {
      text += ' ';
      text += std::to_string(value);
    }
  }
  out = CString(text);
}

ChromaKeyAreaList ParseChromaKeyAreas(const char* text) {
  ChromaKeyAreaList areas;
  if (!text) return areas;
  const char* cursor = text;
  for (;;) {
    ChromaKeyArea area;
    if (!ReadInteger(cursor, area.shape) || !ReadInteger(cursor, area.left) ||
        !ReadInteger(cursor, area.top) || !ReadInteger(cursor, area.right) ||
        !ReadInteger(cursor, area.bottom))
      break;
    if (area.shape != 0 && area.shape != 1) break;
    areas.push_back(area);
  }
  return areas;
}
