// Entry point: one copy at a time, the main window, and the message loop
// that offers every message to the calculation page first.
#include "ui.h"

// Other copies find this name and leave at once.
static const char InstanceMutexName[] = "AAVNEGna564ac";

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    // A failure other than "already there" is ignored: the copy runs on.
    HANDLE instanceMutex = CreateMutexA(nullptr, FALSE, InstanceMutexName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(instanceMutex);
        return 0;
    }

    // A failed start ends quietly with exit code 0.
    if (RegisterMainWindowClass(instance) == 0 ||
        !CreateMainWindow(instance, showCommand)) {
        if (instanceMutex) CloseHandle(instanceMutex);
        return 0;
    }

    // pageDialog is read afresh for every message: Esc on the page, or a
    // close during a run, nulls it.
    MSG message = {};
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) break;
        if (pageDialog && IsDialogMessageA(pageDialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    if (instanceMutex) CloseHandle(instanceMutex);
    return static_cast<int>(message.wParam);
}
