// The About box with the version text and the link to the maker's page.
#include "ui.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

#include "resource_ids.h"

// The maker's web page, drawn by the link and opened by a click on it. The
// README gives the same address as the project's home.
static const char MakerWebAddress[] = "https://vornik.example.com/";
static const char ProgramVersion[] = "1.0.4";
static const char CreditLine[] = "Made by Telmaro for chemists.";

static char AboutText[256];
static HWND linkControl;
static WNDPROC linkPreviousProc;

// The box that is open, if any. It has no owner, so the main window's menu
// stays usable and the About command can come again while it is open; that
// command brings the open box to the front instead of opening a second one,
// so the one link state above always belongs to the one box.
static HWND aboutDialog;

// Blue, underlined address in the "system" font. The font is made for this
// paint only; the control's old font is put back first so that it can go.
static void PaintLink(HWND link)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(link, &paint);
    if (!dc) return;

    LOGFONTA description = {};
    description.lfUnderline = TRUE;
    std::strcpy(description.lfFaceName, "system");
    HFONT font = CreateFontIndirectA(&description);
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;

    SetTextColor(dc, RGB(0, 0, 255));
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 0, 0, MakerWebAddress,
             static_cast<int>(std::strlen(MakerWebAddress)));

    if (oldFont) SelectObject(dc, oldFont);
    if (font) DeleteObject(font);
    EndPaint(link, &paint);
}

static LRESULT CALLBACK LinkControlProc(HWND link, UINT message,
                                        WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintLink(link);
        return 0;
    case WM_SETCURSOR:
        // The hand says that the text can be clicked.
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return 0;
    case WM_LBUTTONDOWN:
        // The shell's default action for the address; a failure is not
        // reported.
        ShellExecuteA(link, nullptr, MakerWebAddress, nullptr, nullptr,
                      SW_SHOWNORMAL);
        return 0;
    }
    return CallWindowProcA(linkPreviousProc, link, message, wParam, lParam);
}

// Puts LinkControlProc under the link and the text into its control.
static BOOL OnInitDialog(HWND dialog)
{
    aboutDialog = dialog;
    linkControl = GetDlgItem(dialog, IDC_WEB_LINK);
    if (!linkControl) {
        MessageBoxA(nullptr, "Error", "OK", MB_OK);
    } else {
        linkPreviousProc = reinterpret_cast<WNDPROC>(
            GetWindowLongPtrA(linkControl, GWLP_WNDPROC));
        SetWindowLongPtrA(linkControl, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(LinkControlProc));
    }
    SetDlgItemTextA(dialog, IDC_ABOUT_TEXT, AboutText);
    return TRUE;
}

// OK, Enter and Space on OK: the link gets its own procedure back, then the
// box closes even if that failed.
static void OnOk(HWND dialog)
{
    if (linkControl &&
        SetWindowLongPtrA(linkControl, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(linkPreviousProc)) == 0) {
        MessageBoxA(dialog, "Error", "OK", MB_OK);
    }
    linkControl = nullptr;
    EndDialog(dialog, 1);
}

static INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message,
                                        WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        // Only OK closes the box; IDCANCEL from Escape leaves it open.
        if (LOWORD(wParam) != IDOK) return FALSE;
        OnOk(dialog);
        return TRUE;
    case WM_DESTROY:
        // The box also goes without OK when the program ends while it is
        // open; nothing may use its handle or its link after this.
        if (aboutDialog == dialog) aboutDialog = nullptr;
        linkControl = nullptr;
        return FALSE;
    }
    return FALSE;
}

void ShowAboutBox()
{
    if (aboutDialog) {
        SetForegroundWindow(aboutDialog);
        return;
    }
    std::snprintf(AboutText, sizeof AboutText,
                  "Telmaro Vornik Tool version %s\n\n%s", ProgramVersion,
                  CreditLine);
    DialogBoxParamA(nullptr, "MYSUPPORT", nullptr, AboutDialogProc, 0);
}
