// One entry of a level's tag set: a kind and a text (the second entry's text is the level's tag
// template).
#pragma once

#include "Archive.h"

#include "classlib/ClassLib.h"

#include <cstdint>

class DetailTag {
 public:
  // Kind 0: the entry's own text counts, and is compared.
  bool IsEqual(const DetailTag& other) const;

  void Write(zvk::Archive& archive) const;
  void Read(zvk::Archive& archive);

  uint8_t kind = 0;
  CString text;
};
