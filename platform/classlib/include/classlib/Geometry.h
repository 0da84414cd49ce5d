// Points, sizes and rectangles over the Win32 structures.
#pragma once

#include "classlib/Point.h"
#include "classlib/Size.h"
#include "classlib/Rect.h"
