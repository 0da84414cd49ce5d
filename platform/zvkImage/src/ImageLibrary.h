// The library's object creation, for its own code.
#pragma once

namespace zvkImage {

class BitmapObject;

// A new empty bitmap object with one reference, or null when memory is short. Not subject to the test seam
// of CreateObject: bitmaps that operations return are made here.
BitmapObject* NewBitmapObject();

}  // namespace zvkImage
