// Protect and garbage areas: rectangles and ellipses with edges in thousandths of the original
// picture's width and height, as the area-list text carries them (five integers per record: type
// 0 rectangle or 1 ellipse, left, top, right, bottom, each preceded by a blank).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace keyer {

struct KeyerArea {
  int32_t type = 0;  // 0 rectangle, 1 ellipse
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const KeyerArea&) const = default;
};

class AreaFormatError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// Where the areas land: the size of the picture the thousandths refer to and the turn that
// brought it to the bitmap being keyed (any real number of turns; a positive quarter turn moves
// a point p about the centre c to (c.x + (p.y - c.y), c.y - (p.x - c.x)), the centres of the
// picture and of the turned bitmap coinciding). A size of 0 means the bitmap's own, unturned.
struct AreaPlacement {
  int originalWidth = 0;
  int originalHeight = 0;
  double turns = 0;
};

class KeyerAreas {
 public:
  static constexpr size_t kMaxAreas = 4096;
  // Edges are kept as drawn, also beyond the picture (an ellipse over its edge keeps its shape), but
  // only within this many thousandths either side of it.
  static constexpr int32_t kEdgeLimit = 100000;

  KeyerAreas() = default;
  KeyerAreas(std::vector<KeyerArea> protect, std::vector<KeyerArea> garbage, size_t skipped = 0);
  // Both lists from their texts; throws AreaFormatError for anything malformed. Edges beyond
  // ±kEdgeLimit are bounded, and left/right or top/bottom given the wrong way round are swapped. A
  // record of a type other than 0 or 1 is well-formed but left out, and counted in Skipped().
  static KeyerAreas Parse(std::string_view protectText, std::string_view garbageText);
  static std::vector<KeyerArea> ParseList(std::string_view text, size_t* skipped = nullptr);

  const std::vector<KeyerArea>& Protect() const { return protect_; }
  const std::vector<KeyerArea>& Garbage() const { return garbage_; }
  bool Empty() const { return protect_.empty() && garbage_.empty(); }
  size_t Skipped() const { return skipped_; }

 private:
  std::vector<KeyerArea> protect_, garbage_;
  size_t skipped_ = 0;
};

}  // namespace keyer
