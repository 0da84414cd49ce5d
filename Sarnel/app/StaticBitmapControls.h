// Bitmaps in the program's dialogs follow the current 3D colours: every static bitmap control of
// the program loads its picture with its grey shades mapped to them.
#pragma once

#include <windows.h>

// Replaces the window procedure of the system's static class for the whole process (once; later
// calls answer true at once). False when that could not be done.
bool SubclassStaticControls(HINSTANCE programInstance);
LRESULT CALLBACK StaticBitmapWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
