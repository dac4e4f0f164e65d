// Saving the results log, driven through the real program: the save
// dialog's proposals, the bytes of the file, and what a save that cannot
// write does to the results and to the close question.
#include "window_driver.h"

#include <fstream>
#include <string>

#include "resource_ids.h"

namespace {

const Analysis QuickRun = {"71.09", "6.71", "10.36", "", "", "O"};
// The file-type list of the system's save dialog.
const int FileTypeComboId = 0x470;

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct OwnedSearch {
    DWORD processId;
    const char* caption;
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchOwned(HWND window, LPARAM param)
{
    OwnedSearch& search = *reinterpret_cast<OwnedSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char text[256];
    GetClassNameA(window, text, sizeof text);
    if (processId != search.processId || !IsWindowVisible(window) ||
        lstrcmpA(text, "#32770") != 0 || GetWindow(window, GW_OWNER) != search.owner)
        return TRUE;
    GetWindowTextA(window, text, sizeof text);
    if (lstrcmpA(text, search.caption) != 0) return TRUE;
    search.found = window;
    return FALSE;
}

// A dialog or message box of the program with that caption and owner. The
// save dialog and its overwrite question share a caption; the owner tells
// them apart.
HWND WaitForOwnedDialog(const Program& program, const char* caption,
                        HWND owner)
{
    OwnedSearch search = {program.process.dwProcessId, caption, owner, nullptr};
    WaitUntil([&] {
        EnumWindows(MatchOwned, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, 20000);
    return search.found;
}

HWND FindChildOfClass(HWND parent, const char* className)
{
    return FindWindowExA(parent, nullptr, className, nullptr);
}

int CountChildrenOfClass(HWND parent, const char* className)
{
    int count = 0;
    for (HWND child = FindChildOfClass(parent, className); child;
         child = FindWindowExA(parent, child, className, nullptr))
        if (IsWindowVisible(child)) ++count;
    return count;
}

// The text of a message box: its one static control with text.
std::string MessageBoxText(HWND box)
{
    for (HWND child = FindChildOfClass(box, "Static"); child;
         child = FindWindowExA(box, child, "Static", nullptr)) {
        std::string text = TextOf(child);
        if (!text.empty()) return text;
    }
    return "";
}

class SaveTest : public WindowTest {
protected:
    void SetUp() override { ASSERT_TRUE(StartProgram(app)); }

    std::string Path(const std::string& name) const
    {
        return app.workDirectory + "\\" + name;
    }

    std::string Run()
    {
        EXPECT_TRUE(EnterAnalysis(app, QuickRun));
        EXPECT_TRUE(ClickGoAndWaitForBlock(app, 30000));
        return TextOf(Control(app, IDC_RESULTS));
    }

    // The save dialog, owned by the main window, after command 101 or a
    // Yes to the close question.
    HWND SaveDialog() { return WaitForOwnedDialog(app, SaveDialogTitle, app.mainWindow); }

    // Types the name with the test's folder in front (the dialog starts in
    // the folder used last, which may be another test's) and clicks Save.
    void ChooseName(HWND dialog, const std::string& name)
    {
        ASSERT_TRUE(dialog);
        HWND edit = SaveDialogFileNameEdit(dialog);
        ASSERT_TRUE(edit);
        ASSERT_TRUE(SetText(edit, Path(name)));
        Click(GetDlgItem(dialog, IDOK));
    }

    // Saves over an existing file: the dialog's own question, then Yes.
    void ChooseExisting(HWND dialog, const std::string& name)
    {
        ChooseName(dialog, name);
        HWND question = WaitForOwnedDialog(app, SaveDialogTitle, dialog);
        ASSERT_TRUE(question) << "no overwrite question";
        Click(GetDlgItem(question, IDYES));
    }

    void AnswerCloseQuestion(int button)
    {
        HWND question = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (question = FindSaveQuestion(app)); },
                              20000))
            << "no close question";
        Click(GetDlgItem(question, button));
    }

    // The box of a save that could not write: owned by the main window, OK
    // only. Returns its text after clicking OK.
    std::string DismissSaveError()
    {
        HWND box = WaitForOwnedDialog(app, "Error", app.mainWindow);
        if (!box) return "<no error box>";
        EXPECT_EQ(CountChildrenOfClass(box, "Button"), 1);
        std::string text = MessageBoxText(box);
        Click(GetDlgItem(box, IDOK));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 10000));
        return text;
    }
};

// The proposals, then a cancel: nothing written, nothing shown, and the
// command still counts the results as saved, so closing asks nothing.
TEST_F(SaveTest, DialogProposesResultTxtAndCancelWritesNothing)
{
    Run();
    PostMessageA(app.mainWindow, WM_COMMAND, IDM_SAVE_RESULTS, 0);
    HWND dialog = SaveDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(TextOf(SaveDialogFileNameEdit(dialog)), "Result.txt");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, FileTypeComboId)), "text(*.txt)");

    Click(GetDlgItem(dialog, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10000));
    ASSERT_TRUE(Sync(app));
    EXPECT_EQ(CountProcessWindows(app.process.dwProcessId, "#32770", nullptr), 0);
    EXPECT_TRUE(FolderIsEmpty(app.workDirectory));

    PostMessageA(app.mainWindow, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(WaitForExit(app, 20000), 0u);
    EXPECT_TRUE(FolderIsEmpty(app.workDirectory));
}

// Before any run the log is empty: the file is its terminating zero alone.
// The name is typed without an extension, so the dialog adds ".txt".
TEST_F(SaveTest, SaveBeforeAnyRunWritesOneZeroByteUnderTxtName)
{
    PostMessageA(app.mainWindow, WM_COMMAND, IDM_SAVE_RESULTS, 0);
    HWND dialog = SaveDialog();
    ChooseName(dialog, "empty");
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10000));
    ASSERT_TRUE(Sync(app));
    EXPECT_EQ(ReadBytes(Path("empty.txt")), std::string(1, '\0'));
    EXPECT_FALSE(Exists(Path("empty")));
}

// An existing, longer file: the question comes before anything is written,
// and afterwards the file holds exactly the log and its zero. The results
// are saved then, so closing asks nothing.
TEST_F(SaveTest, OverwriteAsksFirstThenLeavesExactlyTheLog)
{
    std::string log = Run();
    ASSERT_FALSE(log.empty());
    const std::string old(4 * log.size() + 100, 'x');
    WriteBytes(Path("old.txt"), old);

    PostMessageA(app.mainWindow, WM_COMMAND, IDM_SAVE_RESULTS, 0);
    HWND dialog = SaveDialog();
    ChooseName(dialog, "old.txt");
    HWND question = WaitForOwnedDialog(app, SaveDialogTitle, dialog);
    ASSERT_TRUE(question) << "no overwrite question";
    EXPECT_EQ(ReadBytes(Path("old.txt")), old);
    Click(GetDlgItem(question, IDYES));

    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10000));
    ASSERT_TRUE(Sync(app));
    EXPECT_EQ(ReadBytes(Path("old.txt")), log + '\0');
    PostMessageA(app.mainWindow, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(WaitForExit(app, 20000), 0u);
}

// A target that another program holds open without sharing cannot be
// opened for writing. The failure is reported, the results stay unsaved:
// the close question still comes, a close whose save fails leaves the
// window open, and the results can then be saved elsewhere.
TEST_F(SaveTest, SaveThatCannotWriteIsReportedAndKeepsTheResults)
{
    std::string log = Run();
    WriteBytes(Path("held.txt"), "held");
    HANDLE holder = CreateFileA(Path("held.txt").c_str(), GENERIC_READ, 0,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    PostMessageA(app.mainWindow, WM_COMMAND, IDM_SAVE_RESULTS, 0);
    ChooseExisting(SaveDialog(), "held.txt");
    EXPECT_EQ(DismissSaveError(), "Error CreateFile");

    PostMessageA(app.mainWindow, WM_COMMAND, IDM_EXIT, 0);
    AnswerCloseQuestion(IDYES);
    ChooseExisting(SaveDialog(), "held.txt");
    EXPECT_EQ(DismissSaveError(), "Error CreateFile");
    ASSERT_TRUE(Sync(app));
    EXPECT_EQ(WaitForExit(app, 0), STILL_ACTIVE);
    EXPECT_TRUE(IsWindowVisible(app.mainWindow));
    CloseHandle(holder);
    EXPECT_EQ(ReadBytes(Path("held.txt")), "held");

    PostMessageA(app.mainWindow, WM_COMMAND, IDM_EXIT, 0);
    AnswerCloseQuestion(IDYES);
    ChooseName(SaveDialog(), "elsewhere.txt");
    EXPECT_EQ(WaitForExit(app, 20000), 0u);
    EXPECT_EQ(ReadBytes(Path("elsewhere.txt")), log + '\0');
}

// A chosen path longer than the dialog's 256-byte buffer makes the dialog
// fail rather than cancel: that is reported too, nothing is written, and
// the results stay unsaved.
TEST_F(SaveTest, PathTooLongForTheDialogIsReportedAndKeepsTheResults)
{
    Run();
    std::string name = std::string(258 - Path("").size() - 4, 'a') + ".txt";
    PostMessageA(app.mainWindow, WM_COMMAND, IDM_SAVE_RESULTS, 0);
    ChooseName(SaveDialog(), name);
    EXPECT_EQ(DismissSaveError(), "Error GetSaveFileName");
    EXPECT_TRUE(FolderIsEmpty(app.workDirectory));

    PostMessageA(app.mainWindow, WM_COMMAND, IDM_EXIT, 0);
    AnswerCloseQuestion(IDNO);
    EXPECT_EQ(WaitForExit(app, 20000), 0u);
}

}  // namespace
