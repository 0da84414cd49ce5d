// Frames.
#pragma once

#include "classlib/CreateContext.h"
#include "classlib/FrameWnd.h"
