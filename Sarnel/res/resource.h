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
