// The window classes that dialog templates name for the program's own controls, registered once
// at start-up before any dialog or frame exists. Each registration succeeds without registering
// again when the class is already there.
#pragma once

#include "classlib/ClassLib.h"

namespace ControlClasses {

constexpr const char* MenuList = "bxqMenuListCtl";
constexpr const char* PickList = "bxqPickListCtl";
constexpr const char* ColourPicker = "bxqColourPicker";
constexpr const char* OwnerCtl = "zvkOwnerCtl";
constexpr const char* OwnerCellCtl = "zvkOwnerCellCtl";
constexpr const char* Grid = "bxqGridCtl";
constexpr const char* ButtonList = "zvkButtonListCtl";

// Byte offset of the control's font handle in the extra memory of the two list classes.
constexpr int FontOffset = 0;

BOOL RegisterMenuListClass();
BOOL RegisterPickListClass();
// A superclass of the system button; throws the resource exception when it cannot be registered.
void RegisterColourPickerClass();
BOOL RegisterOwnerCtlClass();
BOOL RegisterOwnerCellCtlClass();
// Throws the resource exception when it cannot be registered.
void RegisterGridClass();
// A copy of the grid's class: FALSE while the grid's class does not exist.
BOOL RegisterButtonListClass();

// The seven, in start-up order; results are not checked (the two throwing ones may throw).
void RegisterAll();

// The font stored by the list classes' window procedure (null when none was set).
HFONT GetStoredFont(HWND hWnd);

}  // namespace ControlClasses
