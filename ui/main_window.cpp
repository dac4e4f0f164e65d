// The main window: a fixed-size frame whose tab control holds the
// calculation page, the menu commands and the close question.
#include "ui.h"

#include <commctrl.h>
#include <windowsx.h>

#include "engine.h"
#include "resource_ids.h"

HWND tabControl;
HWND pageDialog;

static const char MainClassName[] = "vornik_class";
// "Telmaro" and "Vornik Tool" around an ideographic space (cp932 81 40).
static const char MainTitle[] = "Telmaro\x81\x40Vornik Tool";
// "結果を記録しますか?" (save the results?) in cp932.
static const char SaveQuestion[] =
    "\x8c\x8b\x89\xca\x82\xf0\x8b\x4c\x98\x5e\x82\xb5\x82\xdc\x82\xb7\x82\xa9?";
static const char SaveQuestionCaption[] = "Vornik Tool";
static const char HelpFile[] = "vorniktool.hlp";
static const char HelpFileAtClose[] = "vornik.hlp";

// Caption, system menu and minimise box: no maximising, no resizing.
static const DWORD MainStyle = WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX;
static const int MainWidth = 540, MainHeight = 560;

ATOM RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VORNIK));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetStockBrush(WHITE_BRUSH);
    windowClass.lpszMenuName = "MAINMENU";
    windowClass.lpszClassName = MainClassName;
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_VORNIK), IMAGE_ICON, 16, 16,
                   LR_DEFAULTCOLOR));
    return RegisterClassExA(&windowClass);
}

int CreateMainWindow(HINSTANCE instance, int showCommand)
{
    HWND window = CreateWindowExA(0, MainClassName, MainTitle, MainStyle,
                                  CW_USEDEFAULT, CW_USEDEFAULT, MainWidth,
                                  MainHeight, nullptr, nullptr, instance,
                                  nullptr);
    if (!window) return 0;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return 1;
}

HWND CreateTabAndPage(HWND mainWindow)
{
    RECT client;
    GetClientRect(mainWindow, &client);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(
        GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));

    // The tab control gets no tabs: it only frames the page.
    HWND tab = CreateWindowExA(
        0, WC_TABCONTROLA, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
        client.left, client.top, client.right, client.bottom, mainWindow,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TAB_FRAME)),
        instance, nullptr);

    pageDialog = CreateDialogParamA(instance, "DLOGTAB1", mainWindow,
                                    CalculationPageProc, 0);
    if (pageDialog) ShowWindow(pageDialog, SW_SHOW);
    return tab;
}

// The C field takes the keyboard focus whenever the page is there.
static void FocusCarbonField()
{
    if (pageDialog) SetFocus(GetDlgItem(pageDialog, IDC_PERCENT_C));
}

// Builds the tab frame and the page and lays them out before the window is
// first shown.
static BOOL OnCreate(HWND window, LPCREATESTRUCTA)
{
    InitCommonControls();
    tabControl = CreateTabAndPage(window);
    RECT client;
    GetClientRect(window, &client);
    SendMessageA(window, WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(client.right, client.bottom));
    FocusCarbonField();
    return TRUE;
}

// Keeps the tab control over the client area and the page over the tab
// control's display area. Finds nothing to do once Esc removed them.
static void OnSize(HWND window, UINT, int width, int height)
{
    RECT area;
    GetClientRect(window, &area);
    if (tabControl) {
        TabCtrl_AdjustRect(tabControl, FALSE, &area);
        MoveWindow(tabControl, 0, 0, width, height, TRUE);
    }
    if (pageDialog) {
        MoveWindow(pageDialog, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, TRUE);
    }
    FocusCarbonField();
}

// Back on the C field at every activation, whichever field had the focus.
static void OnActivate(HWND, UINT, HWND, BOOL)
{
    FocusCarbonField();
}

// Close box, system menu, Alt+F4 and Exit all end here. The question has no
// Cancel: the close goes on unless a save was chosen and could not write.
// While the question or its save dialog is open, a further close request
// (it still arrives: their message loops dispatch it) does nothing, so the
// question is never asked twice over the dialog.
static void OnClose(HWND window)
{
    static bool closing;
    if (closing) return;
    closing = true;
    if (resultsUnsaved == 1 &&
        MessageBoxA(window, SaveQuestion, SaveQuestionCaption,
                    MB_YESNO | MB_ICONQUESTION) == IDYES) {
        // A save that could not write keeps the window open, so that the
        // results can still be saved elsewhere.
        if (SaveResultsLog(window) == SaveFailed) {
            closing = false;
            return;
        }
    }
    closing = false;
    WinHelpA(window, HelpFileAtClose, HELP_QUIT, 0);
    DestroyWindow(window);
}

// The page and the tab control go with the main window; forget them so
// that nothing touches them while the loop winds down.
static void OnDestroy(HWND)
{
    pageDialog = nullptr;
    tabControl = nullptr;
    PostQuitMessage(0);
}

// The menu commands; any other identifier does nothing.
static void OnCommand(HWND window, int id, HWND, UINT)
{
    switch (id) {
    case IDM_SAVE_RESULTS:
        // A save that could not write leaves the results unsaved.
        if (SaveResultsLog(window) != SaveFailed) resultsUnsaved = 0;
        break;
    case IDM_EXIT:
        SendMessageA(window, WM_CLOSE, 0, 0);
        break;
    case IDM_HELP_TOPICS:
        WinHelpA(window, HelpFile, HELP_FINDER, 0);
        break;
    case IDM_ABOUT:
        ShowAboutBox();
        break;
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam)
{
    switch (message) {
        HANDLE_MSG(window, WM_CREATE, OnCreate);
        HANDLE_MSG(window, WM_SIZE, OnSize);
        HANDLE_MSG(window, WM_ACTIVATE, OnActivate);
        HANDLE_MSG(window, WM_CLOSE, OnClose);
        HANDLE_MSG(window, WM_DESTROY, OnDestroy);
        HANDLE_MSG(window, WM_COMMAND, OnCommand);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
