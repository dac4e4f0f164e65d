// Saving the results log to a text file chosen by the user.
#include "ui.h"

#include <commdlg.h>

#include <cstring>

#include "engine.h"

// The dialog's buffer for the chosen path.
static const DWORD FileNameBufferSize = 256;

static const char ProposedFileName[] = "Result.txt";
// Pairs of display text and pattern; the literal's own zero ends the block.
static const char SaveFilter[] = "text(*.txt)\0*.txt\0All files(*.*)\0*.*\0";
static const char SaveDialogTitle[] = "Dromel2 Result";

static void ShowSaveError(HWND owner, const char* text)
{
    MessageBoxA(owner, text, "Error", MB_OK);
}

// Runs the save dialog with "Result.txt" proposed; true when the user
// chose a file, whose path is then in fileName.
static bool RunSaveDialog(HWND owner, char* fileName)
{
    std::strcpy(fileName, ProposedFileName);

    OPENFILENAMEA settings = {};
    settings.lStructSize = sizeof settings;
    settings.hwndOwner = owner;
    settings.lpstrFilter = SaveFilter;
    settings.nFilterIndex = 1;
    settings.lpstrFile = fileName;
    settings.nMaxFile = FileNameBufferSize;
    settings.lpstrTitle = SaveDialogTitle;
    settings.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
    settings.lpstrDefExt = "txt";
    return GetSaveFileNameA(&settings) != 0;
}

// Writes the log and its terminating zero in one write, replacing whatever
// the file held before. Reports a failure to the owner and returns false.
static bool WriteLogFile(HWND owner, const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ShowSaveError(owner, "Error CreateFile");
        return false;
    }

    DWORD size = static_cast<DWORD>(strnlen(ResultsLog, LogCapacity) + 1);
    DWORD written = 0;
    bool wroteAll =
        WriteFile(file, ResultsLog, size, &written, nullptr) && written == size;

    // A failed close is reported, but the bytes have gone to the file and
    // the save counts as done. After a failed write, that message is the
    // one that counts.
    if (!CloseHandle(file) && wroteAll) ShowSaveError(owner, "Error CloseHandle");
    if (!wroteAll) {
        ShowSaveError(owner, "Error WriteFile");
        return false;
    }
    return true;
}

SaveOutcome SaveResultsLog(HWND owner)
{
    char fileName[FileNameBufferSize];
    if (!RunSaveDialog(owner, fileName)) {
        // A cancel, unless the dialog reports an error of its own, such as
        // a chosen path too long for the buffer.
        if (CommDlgExtendedError() == 0) return SaveCancelled;
        ShowSaveError(owner, "Error GetSaveFileName");
        return SaveFailed;
    }
    return WriteLogFile(owner, fileName) ? SaveWritten : SaveFailed;
}
