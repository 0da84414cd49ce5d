// The system's common dialogs: file open and save, colour, folder chooser. Each goes through one
// replaceable function, and each has a script class that answers it in tests.
#pragma once

#include "classlib/FileDialog.h"
#include "classlib/ColorDialog.h"
#include "classlib/FolderBrowser.h"
