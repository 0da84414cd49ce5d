// Test seam of the image storages: makes a bitmap stream write fail, to show that an interrupted
// rewrite leaves the image as it was.
#pragma once

// The count-th bitmap stream written from now on fails with E_FAIL; 0 switches the fault off.
void FailBitmapWriteAfter(int count);
