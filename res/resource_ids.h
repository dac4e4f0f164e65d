// Identifiers shared by the resource script, the program and the window
// tests. Plain #defines only: windres reads this file too.
#pragma once

// Icon of the window class and the executable.
#define IDI_VORNIK 300

// Main window: tab control and menu commands.
#define IDC_TAB_FRAME 2000
#define IDM_SAVE_RESULTS 101
#define IDM_EXIT 102
#define IDM_HELP_TOPICS 201
#define IDM_ABOUT 202

// Calculation page. GO is IDOK (1); Esc arrives as IDCANCEL (2).
#define IDC_LABEL 403
#define IDC_PERCENT_C 3001
#define IDC_PERCENT_H 3002
#define IDC_PERCENT_N 3003
#define IDC_USE_O 3004
#define IDC_USE_S 3005
#define IDC_USE_F 3006
#define IDC_USE_CL 3007
#define IDC_USE_BR 3008
#define IDC_USE_I 3009
#define IDC_RESULTS 3010
#define IDC_MAX_C 3011
#define IDC_MAX_FW 3012

// Progress dialog. Its CANCEL button is IDCANCEL (2).
#define IDC_PROGRESS_BAR 4001

// About box.
#define IDC_WEB_LINK 404
#define IDC_ABOUT_TEXT 405
