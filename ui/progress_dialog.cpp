// The "Now Calculating ..." dialog and the run hooks through which the
// search, running on this thread, keeps the windows alive and learns of a
// cancellation.
#include "ui.h"

#include <commctrl.h>

#include "engine.h"
#include "resource_ids.h"

int cancelRequested;
HWND progressDialog;

// A look at the queue is a round trip to the window server (about 50 us
// under Wine) and the search pumps at every candidate and combination,
// while reading the clock costs nanoseconds. So the pump looks at the queue
// only when this many milliseconds have passed since its last look: CANCEL,
// painting and the menu still answer within a few milliseconds (one clock
// tick, about 16 ms, on Windows itself), and the search no longer spends
// most of its time in the pump.
static const DWORD QueueLookIntervalMs = 5;
static DWORD lastQueueLook;

// The quit message that the pump took from the queue during a run, if any.
// It is posted again when the run has returned, so that the main loop ends.
static int quitSeenInRun;
static int quitExitCode;

void InitProgressBar(HWND dialog)
{
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(bar, PBM_SETSTEP, 5, 0);
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                    LPARAM)
{
    progressDialog = dialog;
    switch (message) {
    case WM_INITDIALOG:
        InitProgressBar(dialog);
        return TRUE;
    case WM_COMMAND:
        // CANCEL, Esc and the close box. The dialog stays until the GO
        // command has merged the run and destroys it.
        if (LOWORD(wParam) != IDCANCEL) return FALSE;
        cancelRequested = 1;
        return TRUE;
    case WM_NCDESTROY:
        // Last message of this dialog: nothing may use its handle now.
        progressDialog = nullptr;
        return FALSE;
    }
    return FALSE;
}

// The first pump call of a run looks at the queue at once.
void BeginRunPumping()
{
    quitSeenInRun = 0;
    lastQueueLook = GetTickCount() - QueueLookIntervalMs;
}

void EndRunPumping()
{
    if (quitSeenInRun) PostQuitMessage(quitExitCode);
    quitSeenInRun = 0;
}

// Handles everything that waits in the thread's queue, the progress
// dialog's keys first, and returns without waiting. A quit message means
// the main window has gone: the run is cancelled and the queue is left
// alone until the run has returned.
void PumpPendingMessages()
{
    if (quitSeenInRun) return;
    DWORD now = GetTickCount();
    if (now - lastQueueLook < QueueLookIntervalMs) return;
    lastQueueLook = now;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitSeenInRun = 1;
            quitExitCode = static_cast<int>(message.wParam);
            cancelRequested = 1;
            return;
        }
        if (progressDialog && IsDialogMessageA(progressDialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void StepProgress()
{
    if (progressDialog)
        SendDlgItemMessageA(progressDialog, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
}
