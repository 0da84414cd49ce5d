// The pictures the pages draw: the brightness test square, the line patterns of the device-gamma
// page and the previews of the target-gamma page.
#pragma once

#include <windows.h>

#include "CorrectionTables.h"

namespace monwz {

// Black left half, RGB(8, 8, 8) right half, and an RGB(20, 20, 20) ellipse over the middle two thirds.
void DrawTestSquare(HDC dc, const RECT& rect);

// The solid level that looks as bright as alternate full and black lines on a display of gamma g:
// 256 x 0.5^(1/g), at most 255.
int EllipseLevel(float gamma);

// A 24-bit top-down DIB section; `bits` receives its pixels (rows padded to 4 bytes).
HBITMAP MakeDibSection(int width, int height, BYTE** bits);
int DibStride(int width);

// Channel 0 red, 1 green, 2 blue: the channel at 255 in rows 0, 2, 4 ..., black rows between, and
// an ellipse of the channel at EllipseLevel(gamma) over the middle two thirds.
void DrawGammaPattern(HBITMAP pattern, int channel, float gamma);

// The grey ramp through the tables: column x of w shows level truncate(x / w x 255 + 0.5).
void DrawRampPreview(HBITMAP ramp, const PreviewTables& tables);

// Passes every pixel of a 24-bit DIB section through the tables; other depths stay as they are.
void ApplyPreviewTables(HBITMAP photograph, const PreviewTables& tables);

}  // namespace monwz
