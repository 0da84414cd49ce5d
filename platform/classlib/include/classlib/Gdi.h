// GDI object wrappers.
#pragma once

#include "classlib/GdiObject.h"
#include "classlib/Pen.h"
#include "classlib/Brush.h"
#include "classlib/Font.h"
#include "classlib/Bitmap.h"
#include "classlib/Rgn.h"
#include "classlib/Palette.h"
