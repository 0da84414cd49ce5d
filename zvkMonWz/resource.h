// Resource identifiers of zvkMonWz.DLL.
#pragma once

#define IDR_MONITORCALIBRATIONWIZ 101

#define IDB_WIZARD 133
#define IDB_PHOTOGRAPH 204
#define IDB_TOO_BRIGHT 205
#define IDB_TOO_DARK 206
#define IDI_CONTRAST 135
#define IDI_BRIGHTNESS 208

// Wizard pages, the full-screen test window and the two one-page sheets.
#define IDD_GETTING_STARTED 201
#define IDD_COMPLETING 202
#define IDD_WELCOME 203
#define IDD_TARGET_GAMMA 204
#define IDD_DEVICE_GAMMA 205
#define IDD_BLACK_WHITE 206
#define IDD_FULL_SCREEN 207
#define IDD_LOW_COLOUR 208
#define IDD_HIGH_COLOUR 209
#define IDD_NO_PERMISSION 210

// Every page: its big title and its header.
#define IDC_TITLE 205
#define IDC_HEADER 206

// Black and white points, and the full-screen window.
#define IDC_TEST_SQUARE 215
#define IDC_FULL_SCREEN 216
#define IDC_EDGE_TEXT 217
#define IDC_CONTRAST_ICON 218
#define IDC_BRIGHTNESS_ICON 219
#define IDC_FULL_SCREEN_LABEL 220
#define IDC_CENTRE_TEXT 400

// Device gamma.
#define IDC_GAMMA_RED 204
#define IDC_GAMMA_GREEN 205
#define IDC_GAMMA_BLUE 300
#define IDC_PATTERN_RED 301
#define IDC_PATTERN_GREEN 302
#define IDC_PATTERN_BLUE 303

// Target gamma.
#define IDC_TARGET_EDIT 207
#define IDC_TARGET_SPIN 208
#define IDC_RAMP_PREVIEW 209
#define IDC_PHOTO_PREVIEW 210
