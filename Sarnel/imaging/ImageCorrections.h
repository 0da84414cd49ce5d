// The corrections a picture gets after its import processing, shared by the bitmap cache and the
// output render: the fine rotation, the chroma key and the colour correction, in that order.
#pragma once

#include "ChromaKey.h"
#include "ColorCorrectValues.h"

#include "zvkImage/zvkImage.h"

#include <cstdint>

// Whether the key changes a picture: on, and a keyer state or a key colour.
bool IsChromaKeyed(const ChromaKey& key);

// Turns by rotation / 3600 of a full turn (tenths of a degree, positive counter-clockwise); nothing for
// 0. False when the library refuses.
bool RotateByTenths(zvkImage::IBitmap* bitmap, int32_t rotation);

// Keys the bitmap: the keyer state and its areas (their angle rotation / 3600 - 1, 0 for no rotation)
// or the hue key. A failing library call answers its code; S_FALSE when nothing was keyed (a state that
// cannot be read, a library without keying); S_OK when keyed.
HRESULT ApplyChromaKey(zvkImage::IBitmap* bitmap, const ChromaKey& key, int32_t rotation);

// The tables and the saturation of the values; nothing when all are 0. A bitmap without the table or
// adjustment interface stays as it is; a failing call raises the COM error.
void ApplyColorCorrection(zvkImage::IBitmap* bitmap, const ColorCorrectValues& values);
