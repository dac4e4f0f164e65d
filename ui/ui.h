// Shared declarations of the Windows front end. All of it is process-wide
// state and plain functions on the program's one thread.
#pragma once

#include <windows.h>

// Main window (main_window.cpp). Both handles are null once their window
// has gone (Esc on the page, or the end of the main window).
extern HWND tabControl;
extern HWND pageDialog;

ATOM RegisterMainWindowClass(HINSTANCE instance);
int CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam);
HWND CreateTabAndPage(HWND mainWindow);

// Calculation page (calculation_page.cpp).
INT_PTR CALLBACK CalculationPageProc(HWND page, UINT message, WPARAM wParam,
                                     LPARAM lParam);

// Progress dialog and the run hooks (progress_dialog.cpp).
extern HWND progressDialog;
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                    LPARAM lParam);
void InitProgressBar(HWND dialog);
void BeginRunPumping();
void EndRunPumping();

// Saving the results log (save_results.cpp) and the About box
// (about_box.cpp).
// SaveResultsLog reports a failure to the user itself and tells the caller
// what happened, so that failed results are not taken as saved.
enum SaveOutcome { SaveWritten, SaveCancelled, SaveFailed };
SaveOutcome SaveResultsLog(HWND owner);
void ShowAboutBox();
