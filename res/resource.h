// Resource and control identifiers shared by the resource script and the code.
// The numbers are fixed: tests and the dialog templates rely on them.
#pragma once

// Resources.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_QUENBOL_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_KEYWORD_DIALOG 129

// The About item of the main window's system menu (low four bits zero).
#define IDM_ABOUTBOX 0x0010

// Main window: text pane, manual words and their counts, buttons.
#define IDC_TEXT 1000
#define IDC_MANUAL_WORD1 1001
#define IDC_MANUAL_WORD2 1006
#define IDC_MANUAL_WORD3 1007
#define IDC_MANUAL_WORD4 1070
#define IDC_MANUAL_WORD5 1071
#define IDC_MANUAL_WORD6 1072
#define IDC_MANUAL_WORD7 1073
#define IDC_MANUAL_CURRENT 1004
#define IDC_MANUAL_TOTAL 1005
#define IDC_SEARCH_MANUAL_ONLY 1002
#define IDC_CLEAR_TEXT 1003
#define IDC_RESET_TOTALS 1008
#define IDC_SEARCH_ALL 1009
#define IDC_COPY_RESULTS 1077
#define IDC_KEYWORD_SETTINGS 1078
// Member rows (label, current count, total count) are listed in ui/member_rows.h.

// Keyword settings dialog.
#define IDC_RESET_DEFAULTS 3
#define IDC_SAVE_KEYWORD_FILE 4
#define IDC_LOAD_KEYWORD_FILE 5
#define IDC_KEYWORD_SLOT0 1016  // slots 0 to 6 are 1016 to 1022
#define IDC_MEMBER_LIST 1023

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
