// Thin wrappers of the standard and common controls, one header each.
#pragma once

#include "classlib/Button.h"
#include "classlib/Edit.h"
#include "classlib/Static.h"
#include "classlib/ComboBox.h"
#include "classlib/ListBox.h"
#include "classlib/ScrollBar.h"
#include "classlib/SliderCtrl.h"
#include "classlib/SpinButtonCtrl.h"
#include "classlib/ToolTipCtrl.h"
#include "classlib/ImageList.h"
#include "classlib/TabCtrl.h"
#include "classlib/ProgressCtrl.h"
