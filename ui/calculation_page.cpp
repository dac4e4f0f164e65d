// The calculation page: the measured percentages, element choices and
// limits, GO, and the results box that mirrors the results log.
#include "ui.h"

#include "engine.h"
#include "resource_ids.h"

// A field is read into 16 bytes, so at most 15 characters count.
static const int FieldBufferSize = 16;

// Set while a GO command is inside its run. The search pumps messages, so a
// click on GO (or another command 1 or 2) can reach the page during the run;
// the run's buffers and settings are not re-entrant, so such commands are
// ignored until the run has returned.
static int runInProgress;

static void ShowWaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }
static void ShowArrowCursor() { SetCursor(LoadCursorA(nullptr, IDC_ARROW)); }

static bool IsChecked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

// The page starts with empty fields and the (still empty) results log.
static BOOL OnInitDialog(HWND page)
{
    static const int fields[] = {IDC_PERCENT_C, IDC_PERCENT_H, IDC_PERCENT_N,
                                 IDC_MAX_C, IDC_MAX_FW};
    for (int id : fields) SetDlgItemTextA(page, id, "");
    SetDlgItemTextA(page, IDC_RESULTS, ResultsLog);
    return TRUE;
}

// GO: one run with the progress dialog open. The dialog is shown before any
// input is read, so it opens and closes even when no run follows.
static void OnGo(HWND page)
{
    runInProgress = 1;
    cancelRequested = 0;
    BeginRunPumping();

    HINSTANCE instance = reinterpret_cast<HINSTANCE>(
        GetWindowLongPtrA(page, GWLP_HINSTANCE));
    HWND progress =
        CreateDialogParamA(instance, "MYDLG", page, ProgressDialogProc, 0);
    if (progress) {
        ShowWindow(progress, SW_SHOW);
        UpdateWindow(progress);
    }

    char textC[FieldBufferSize], textH[FieldBufferSize],
        textN[FieldBufferSize], textMaxC[FieldBufferSize],
        textMaxFW[FieldBufferSize];
    GetDlgItemTextA(page, IDC_PERCENT_C, textC, FieldBufferSize);
    GetDlgItemTextA(page, IDC_PERCENT_H, textH, FieldBufferSize);
    GetDlgItemTextA(page, IDC_PERCENT_N, textN, FieldBufferSize);
    GetDlgItemTextA(page, IDC_MAX_C, textMaxC, FieldBufferSize);
    GetDlgItemTextA(page, IDC_MAX_FW, textMaxFW, FieldBufferSize);

    RunInputs inputs = {};
    inputs.textC = textC;
    inputs.textH = textH;
    inputs.textN = textN;
    inputs.textMaxC = textMaxC;
    inputs.textMaxFW = textMaxFW;
    inputs.useBr = IsChecked(page, IDC_USE_BR);
    inputs.useCl = IsChecked(page, IDC_USE_CL);
    inputs.useF = IsChecked(page, IDC_USE_F);
    inputs.useI = IsChecked(page, IDC_USE_I);
    inputs.useO = IsChecked(page, IDC_USE_O);
    inputs.useS = IsChecked(page, IDC_USE_S);

    bool ran = RunCalculation(inputs, ShowWaitCursor, ShowArrowCursor);

    // The run marked the log unsaved before its search; a save command
    // during the search cleared that mark without the new block. The block
    // is unsaved, so the close question must still ask about it.
    if (ran) resultsUnsaved = 1;

    // Closing the main window during the run destroyed the page and the
    // progress dialog with it; their handles have been nulled then.
    if (ran && pageDialog == page) SetDlgItemTextA(page, IDC_RESULTS, ResultsLog);
    if (progress && progressDialog == progress) DestroyWindow(progress);
    progressDialog = nullptr;

    runInProgress = 0;
    EndRunPumping();
}

// Esc: the page and its tab frame go for good; the main window stays with
// its menu and an empty client area.
static void OnEscape(HWND page)
{
    DestroyWindow(page);
    if (tabControl) DestroyWindow(tabControl);
    tabControl = nullptr;
}

// Every command first takes the results box into the log, so the user's
// edits in the box are part of it.
static BOOL OnCommand(HWND page, int id)
{
    GetDlgItemTextA(page, IDC_RESULTS, ResultsLog, LogCapacity + 1);
    if (id != IDOK && id != IDCANCEL) return FALSE;
    if (runInProgress) return TRUE;
    if (id == IDOK) OnGo(page);
    else OnEscape(page);
    return TRUE;
}

// The main window must not use the page once it has gone.
static void OnDestroy(HWND page)
{
    if (pageDialog == page) pageDialog = nullptr;
}

INT_PTR CALLBACK CalculationPageProc(HWND page, UINT message, WPARAM wParam,
                                     LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(page);
    case WM_COMMAND:
        return OnCommand(page, LOWORD(wParam));
    case WM_DESTROY:
        OnDestroy(page);
        return FALSE;
    }
    return FALSE;
}
