// The class library: everything the program's sources include.
#pragma once

// Core: strings, small types, exceptions, prompts, synchronisation, OLE value types, profile, files.
#include "classlib/Base.h"
#include "classlib/String.h"
#include "classlib/Geometry.h"
#include "classlib/Collections.h"
#include "classlib/Exception.h"
#include "classlib/Prompt.h"
#include "classlib/Sync.h"
#include "classlib/ComSupport.h"
#include "classlib/OleDateTime.h"
#include "classlib/OleCurrency.h"
#include "classlib/OleVariant.h"
#include "classlib/Profile.h"
#include "classlib/File.h"

// Windows: application and threads, command targets, message maps, windows, drawing, controls,
// dialogs, frames, bars, views.
#include "classlib/RuntimeClass.h"
#include "classlib/App.h"
#include "classlib/CmdTarget.h"
#include "classlib/MessageMap.h"
#include "classlib/CmdUI.h"
#include "classlib/Wnd.h"
#include "classlib/Dc.h"
#include "classlib/Gdi.h"
#include "classlib/Controls.h"
#include "classlib/Menu.h"
#include "classlib/Dialog.h"
#include "classlib/ModalLoop.h"
#include "classlib/DataExchange.h"
#include "classlib/PropertySheet.h"
#include "classlib/CommonDialogs.h"
#include "classlib/Frame.h"
#include "classlib/ControlBars.h"
#include "classlib/View.h"
#include "classlib/Document.h"
