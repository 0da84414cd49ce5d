// Device contexts.
#pragma once

#include "classlib/DeviceContext.h"
#include "classlib/PaintDC.h"
#include "classlib/ClientDC.h"
#include "classlib/WindowDC.h"
