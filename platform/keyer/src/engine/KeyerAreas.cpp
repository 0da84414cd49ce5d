#include "keyer/KeyerAreas.h"

#include <algorithm>
#include <charconv>

namespace keyer {

KeyerAreas::KeyerAreas(std::vector<KeyerArea> protect, std::vector<KeyerArea> garbage, size_t skipped)
    : protect_(std::move(protect)), garbage_(std::move(garbage)), skipped_(skipped) {}

KeyerAreas KeyerAreas::Parse(std::string_view protectText, std::string_view garbageText) {
  size_t skipped = 0;
  std::vector<KeyerArea> protect = ParseList(protectText, &skipped);
  std::vector<KeyerArea> garbage = ParseList(garbageText, &skipped);
  return KeyerAreas(std::move(protect), std::move(garbage), skipped);
}

std::vector<KeyerArea> KeyerAreas::ParseList(std::string_view text, size_t* skipped) {
  std::vector<int32_t> numbers;
  size_t pos = 0;
  while (pos < text.size()) {
    char c = text[pos];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++pos;
      continue;
    }
    int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data() + pos, text.data() + text.size(), value);
    if (ec != std::errc() || end == text.data() + pos)
      throw AreaFormatError("area list: not a whole number at character " + std::to_string(pos + 1));
    pos = static_cast<size_t>(end - text.data());
    if (pos < text.size() &&
        !(text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n'))
      throw AreaFormatError("area list: not a whole number at character " + std::to_string(pos + 1));
    numbers.push_back(value);
    if (numbers.size() > kMaxAreas * 5) throw AreaFormatError("area list: too many areas");
  }
  if (numbers.size() % 5 != 0) throw AreaFormatError("area list: a record needs five numbers");
  std::vector<KeyerArea> areas;
  for (size_t i = 0; i < numbers.size(); i += 5) {
    KeyerArea a{numbers[i], numbers[i + 1], numbers[i + 2], numbers[i + 3], numbers[i + 4]};
    if (a.type != 0 && a.type != 1) {  // a shape a later version may draw: the others still count
      if (skipped) ++*skipped;
      continue;
    }
    for (int32_t* edge : {&a.left, &a.top, &a.right, &a.bottom})
      *edge = std::clamp(*edge, -kEdgeLimit, kEdgeLimit);
    if (a.left > a.right) std::swap(a.left, a.right);
    if (a.top > a.bottom) std::swap(a.top, a.bottom);
    areas.push_back(a);
  }
  return areas;
}

}  // namespace keyer
