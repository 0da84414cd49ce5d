// The standard command, string and window ids, with their usual numbers. Plain #defines, so
// resource scripts can include this file.
#pragma once

#define ID_SEPARATOR 0

// Strings.
#define AFX_IDS_APP_TITLE 0xE000    // 57344: the application's title, from the program's .rc
#define AFX_IDS_IDLEMESSAGE 0xE001  // the status bar's text when no menu item is selected

// File, edit, view, application commands.
#define ID_FILE_NEW 0xE100
#define ID_FILE_OPEN 0xE101
#define ID_FILE_CLOSE 0xE102
#define ID_FILE_SAVE 0xE103
#define ID_FILE_SAVE_AS 0xE104
#define ID_FILE_PRINT 0xE107
#define ID_FILE_MRU_FILE1 0xE110
#define ID_FILE_MRU_FILE2 0xE111
#define ID_FILE_MRU_FILE3 0xE112
#define ID_FILE_MRU_FILE4 0xE113
#define ID_FILE_MRU_FILE16 0xE11F
#define ID_EDIT_CLEAR 0xE120
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_CUT 0xE123
#define ID_EDIT_PASTE 0xE125
#define ID_EDIT_SELECT_ALL 0xE12A
#define ID_EDIT_UNDO 0xE12B
#define ID_EDIT_REDO 0xE12C
#define ID_APP_ABOUT 0xE140
#define ID_APP_EXIT 0xE141
#define ID_HELP 0xE146
#define ID_VIEW_TOOLBAR 0xE800
#define ID_VIEW_STATUS_BAR 0xE801
#define ID_VIEW_REBAR 0xE804

// Status-bar indicators.
#define ID_INDICATOR_CAPS 0xE041
#define ID_INDICATOR_NUM 0xE042
#define ID_INDICATOR_SCRL 0xE043

// Child windows of a frame.
#define AFX_IDW_TOOLBAR 0xE800
#define AFX_IDW_STATUS_BAR 0xE801
#define AFX_IDW_REBAR 0xE804
#define AFX_IDW_DIALOGBAR 0xE805
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#define AFX_IDW_PANE_FIRST 0xE900
#define AFX_IDW_PANE_LAST 0xE9FF

// The layer's own strings (see ClassLib.rc; built-in English texts stand in when the program's
// resources do not carry them).
#define AFX_IDP_PARSE_INT 0xEF00
#define AFX_IDP_PARSE_REAL 0xEF01
#define AFX_IDP_PARSE_INT_RANGE 0xEF02
#define AFX_IDP_PARSE_REAL_RANGE 0xEF03
#define AFX_IDP_PARSE_STRING_SIZE 0xEF04
#define AFX_IDP_PARSE_RADIO_BUTTON 0xEF05
#define AFX_IDP_PARSE_UINT 0xEF06
#define AFX_IDP_INTERNAL_FAILURE 0xEF07
