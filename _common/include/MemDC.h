// Flicker-free drawing: a device context that draws into an off-screen bitmap of the target's kind
// and copies the finished picture to the target in one step.
#pragma once

#include "classlib/ClassLib.h"

namespace zvk {

template <class T = void>
class TMemDC : public CDC {
 public:
  TMemDC() = default;
  // Does not copy anything to the target: call Flush first.
  ~TMemDC() override;

  // Draws into a memory bitmap covering rect (in the target's logical coordinates); when no memory
  // context or bitmap can be made, everything is drawn straight onto the target.
  BOOL Create(HDC target, const RECT* rect, bool copyBackground);
  // Copies the picture to the target; true when there is nothing to copy.
  bool Flush();

  bool HasMemoryDC() const { return memoryDC != nullptr; }
  bool IsHalftone() const { return halftone; }
  HPALETTE GetHalftonePalette() const { return palette; }

 private:
  HDC target = nullptr;
  HDC memoryDC = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previousBitmap = nullptr;
  RECT rect = {0, 0, 0, 0};
  bool halftone = false;
  HPALETTE palette = nullptr;
};

extern template class TMemDC<void>;
using MemDC = TMemDC<void>;

// A device context that owns a bitmap of its own; its users attach a memory DC and a bitmap.
template <class T = void>
class TBitmapDC : public CDC {
 public:
  TBitmapDC() = default;
  ~TBitmapDC() override;

  CBitmap bitmap;
};

extern template class TBitmapDC<void>;
using BitmapDC = TBitmapDC<void>;

}  // namespace zvk
