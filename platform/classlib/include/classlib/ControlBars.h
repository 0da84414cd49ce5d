// Control bars of frames.
#pragma once

#include "classlib/ControlBar.h"
#include "classlib/StatusBar.h"
#include "classlib/ToolBarCtrl.h"
#include "classlib/ToolBar.h"
#include "classlib/DialogBar.h"
#include "classlib/ReBar.h"
