// Resource identifiers of Pellorin.exe.
#pragma once

// Main frame: icon, menu, accelerators and the program's title string.
#define IDR_MAINFRAME 101
#define IDS_PELLORIN 101

// Version block numbers, shared by the .rc file and the code that reads them.
#define PELLORIN_VERSION_MAJOR 1
#define PELLORIN_VERSION_MINOR 0
#define PELLORIN_VERSION_PATCH 0
#define PELLORIN_VERSION_BUILD 0
#define PELLORIN_VERSION_TEXT "1.0.0"

// The class library's application title.
#define AFX_IDS_APP_TITLE 0xE000

// The job file and the document.
#define IDS_NEW_FILE 561
#define IDS_OPEN_FILE 562
#define IDS_FILE_READ_ONLY 564
#define IDS_SAVE_JOB_QUESTION 565
#define IDS_CANNOT_CREATE_FILE 567
#define IDS_CANNOT_SAVE_FILE 568
#define IDS_CANNOT_OPEN_FILE 569
#define IDS_FILE_IN_USE 570
#define IDS_FILE_INVALID 572
#define IDS_FILE_NEWER_VERSION 573
#define IDS_ALL_FILES 576
#define IDS_COMPACTING_FILE 899
#define IDS_SAVING_FILE 900
#define IDS_ERROR 1346
#define IDS_UNTITLED 1391
#define IDS_UNSAVED_WORK_KEPT 5801
#define IDS_IMAGE_NOT_TURNED 5802

// The busy dialog.
#define IDD_BUSY 692
#define IDC_BUSY_TEXT 3515

// The application shell: start-up, the main frame and its screens.
#define IDR_JOB_SCREEN 110  // menu and accelerators of the first screen
#define IDB_SPLASH 120
#define IDR_HELP_MENU 502
#define IDR_CHROMA_KEY_MENU 776
#define IDS_OLE_INIT_FAILED 512
#define IDS_SCREEN_TOO_SMALL 1281
#define IDS_MANUAL_MISSING 1792
#define ID_IMAGE_GUIDES 32808
#define ID_FILE_NEW_FROM_FILE 32820
#define ID_FILE_CLOSE_COMPACT 32821
#define ID_APP_OPTIONS 32824
#define ID_COLOR_MANAGEMENT 32826
#define ID_FILE_MERGE 32828
#define ID_FILE_EXPORT 32829
#define ID_FILE_SEND_TO_LAB 32830
#define ID_MAIN_SCREEN 33200
#define ID_HELP_QUICK_START 34702
#define ID_HELP_MANUAL 34703

// The job dialogs: Properties (two pages), Notes and the choice of a text detail field.
#define IDD_PROPERTIES_GENERAL 181
#define IDD_PROPERTIES_SIZES 182
#define IDD_NOTES 742
#define IDD_SELECT_FIELD 775
#define IDC_PROPERTIES_INDEXED 1401
#define IDC_PROPERTIES_SEQUENTIAL 1402
#define IDC_PROPERTIES_KEEP_SIZE 1403
#define IDC_PROPERTIES_ADJUST_SIZE 1404
#define IDC_PROPERTIES_STORED_SIZE 1405
#define IDC_PROPERTIES_PREVIEW_SIZE 1406
#define IDC_PROPERTIES_SET_DEFAULT 1407
#define IDC_SELECT_FIELD_LIST 3390
#define IDC_SELECT_FIELD_GROUP 3391
#define IDC_SELECT_FIELD_TYPE 3392
#define IDC_NOTES_TEXT 3649
#define IDS_FILE_PROPERTIES 1395
#define IDS_FIELD_UNDEFINED 1365
#define IDS_FIELD_TYPE_TEXT 1040  // 1040 to 1046: the seven field types' descriptions, by type

// The LUT editor.
#define IDI_LUT_DOWN 102
#define IDI_LUT_UP 103
#define IDD_LUTS 176
#define IDC_LUTS_GRID 2503
#define IDC_LUTS_CONTROL 2504
#define IDC_LUTS_NEW 2505
#define IDC_LUTS_REMOVE 2506
#define IDC_LUTS_UP 2507
#define IDC_LUTS_DOWN 2509
