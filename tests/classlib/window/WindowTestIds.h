// Resource ids of the window-layer tests.
#pragma once

#define IDD_VALUES 100
#define IDD_PAGE_ONE 101
#define IDD_PAGE_TWO 102
#define IDD_MODELESS 103
#define IDD_FILE_EXTRA 104
#define IDD_BAR 105
#define IDD_MISSING 199

#define IDC_NAME 1001
#define IDC_COUNT 1002
#define IDC_RATIO 1003
#define IDC_FLAG 1004
#define IDC_RADIO1 1005
#define IDC_RADIO2 1006
#define IDC_RADIO3 1007
#define IDC_COMBO 1008
#define IDC_CUSTOM 1009
#define IDC_PAGE_VALUE 1010
#define IDC_SIZE 1011
#define IDC_FILE_SETUP 1012

#define IDR_TESTFRAME 200
#define ID_TEST_VIEWCMD 40002
#define ID_TEST_FRAMECMD 40003
#define ID_TEST_APPCMD 40004
#define ID_TEST_GREYED 40005
#define ID_TEST_DOCCMD 40006
#define ID_TEST_CHECKED 40007
#define ID_TEST_UNHANDLED 40008
#define ID_TEST_BAR 40009
#define IDS_SHEET_CAPTION 300

// The window class of the dialog's custom control.
#define TEST_CUSTOM_CLASS "ClassLibTestCustom"
