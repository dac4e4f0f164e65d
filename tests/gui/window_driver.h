// Drives a real VornikTool.exe from outside, through its windows, the way a
// user would: the program runs in its own process and sees only messages.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

// One started copy of the program.
struct Program {
    PROCESS_INFORMATION process = {};
    std::string workDirectory;  // fresh and empty at start
    HWND mainWindow = nullptr;
    HWND page = nullptr;
};

// Path of a file given relative to the folder of this test executable.
std::string BesideDriver(const char* relative);

// Starts VornikTool.exe in a fresh empty working folder and waits for its
// main window and page. Without waiting: only starts the process.
bool StartProgram(Program& program);
bool StartProcessOnly(Program& program);
// Ends the program if it still runs and removes its working folder.
void EndProgram(Program& program);
// Exit code once the process has ended within timeout, else STILL_ACTIVE.
DWORD WaitForExit(const Program& program, DWORD timeoutMs);
bool FolderIsEmpty(const std::string& folder);

// Polls condition every few milliseconds until it holds or time runs out.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// A visible top-level window of the process with that class (and caption,
// unless null); null when there is none.
HWND FindProcessWindow(DWORD processId, const char* className,
                       const char* caption);
int CountProcessWindows(DWORD processId, const char* className,
                        const char* caption);
HWND FindProgressDialog(const Program& program);
HWND FindSaveQuestion(const Program& program);

// The save dialog: its caption, the dialog itself once it is open, and its
// file-name edit (inside the combo box within the ComboBoxEx32 0x47C).
extern const char SaveDialogTitle[];
HWND WaitForSaveDialog(const Program& program);
HWND SaveDialogFileNameEdit(HWND dialog);
// Waits for the save dialog, cancels it and waits until it has gone.
bool CancelSaveDialog(const Program& program);

// The whole content of a file, byte for byte ("" when it cannot be read).
std::string ReadBytes(const std::string& path);

// Cross-process text of a control, and setting it.
std::string TextOf(HWND window);
// The first characters of a control's text (all of it when it is shorter).
std::string TextPrefix(HWND window, std::size_t length);
bool SetText(HWND window, const std::string& text);
HWND Control(const Program& program, int id);

// Input as the user gives it. Buttons get posted clicks, since their
// handlers run a calculation or a modal loop.
void Click(HWND button);
void PressKey(HWND target, UINT virtualKey);
void PressAltF4(HWND window);

// The ways a user closes the main window: its close box, Alt+F4 and the
// Exit command.
struct CloseWay {
    const char* name;
    void (*close)(HWND mainWindow);
};
extern const CloseWay CloseWays[3];
// Returns once the program's thread has handled everything posted before.
bool Sync(const Program& program);
// The window that has the keyboard focus in the program's thread.
HWND FocusOf(const Program& program);

// What a user types into the page: the five fields and the ticked
// elements as a comma-separated list of symbols ("O,S").
struct Analysis {
    const char* c;
    const char* h;
    const char* n;
    const char* maxC;
    const char* maxFW;
    const char* elements;
};
bool EnterAnalysis(const Program& program, const Analysis& analysis);
// The same inputs as vornik.exe arguments.
std::string CommandLineArguments(const Analysis& analysis);
// Clicks GO and waits until the results box has changed and no progress
// dialog is left.
bool ClickGoAndWaitForBlock(const Program& program, DWORD timeoutMs);
// Clicks GO and, right behind it, opens the main window's menu bar from the
// keyboard: the run's first look at the queue opens the menu, whose modal
// loop holds the search still (runs take well under a second) while the
// test acts on the progress dialog. Returns that dialog.
HWND StartHeldRun(const Program& program);
// Leaves the menu; whatever is posted next is handled in the same look at
// the queue, before the search goes on.
void ReleaseRun(const Program& program);

// Lines of a CR LF text, without their line ends.
std::string Line(const std::string& text, int index);
int CountOccurrences(const std::string& text, const std::string& part);

// Runs vornik.exe with the given arguments; its standard output, with
// CR LF line ends, or byte for byte as it came when raw is set.
std::string RunCommandLineTool(const std::string& arguments, bool raw = false);

// Writes a picture of the window, taken from the X screen by ImageMagick's
// import (a Unix program that Wine starts), to path in the build folder.
// False where that is impossible, as on Windows itself.
bool TakeScreenshot(HWND window, const std::string& path);

// Each test starts its own copy and ends whatever is left of it.
class WindowTest : public testing::Test {
protected:
    void TearDown() override { EndProgram(app); }
    Program app;
};
