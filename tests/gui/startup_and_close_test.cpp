// Start-up as a single copy, the focus on activation, and the close
// question, driven through the real program's windows.
#include "window_driver.h"

#include <commctrl.h>

#include "resource_ids.h"

namespace {

const Analysis QuickRun = {"71.09", "6.71", "10.36", "", "", "O"};

// The ANSI texts as the program's code page 932 gives them: an ideographic
// space (81 40) in the title, "結果を記録しますか?" in the question.
const char Title[] = "Telmaro\x81\x40Vornik Tool";
const char SaveQuestionText[] =
    "\x8c\x8b\x89\xca\x82\xf0\x8b\x4c\x98\x5e\x82\xb5\x82\xdc\x82\xb7\x82\xa9?";

TEST_F(WindowTest, MainWindowHasItsTitleAFixedSizeAndKeepsThePageLaidOut)
{
    ASSERT_TRUE(StartProgram(app));
    ASSERT_EQ(GetACP(), 932u) << "run under LC_ALL=ja_JP.UTF-8";
    char title[64] = {};
    GetWindowTextA(app.mainWindow, title, sizeof title);
    EXPECT_STREQ(title, Title);

    LONG_PTR style = GetWindowLongPtrA(app.mainWindow, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));

    // The page lies over the display area of a tab control without tabs;
    // after minimising and restoring it is laid out the same way again.
    HWND tab = GetDlgItem(app.mainWindow, IDC_TAB_FRAME);
    EXPECT_EQ(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0), 0);
    RECT before, after, tabArea;
    GetWindowRect(app.page, &before);
    GetWindowRect(tab, &tabArea);
    EXPECT_GT(before.right - before.left, 400);
    EXPECT_TRUE(before.left > tabArea.left && before.top > tabArea.top &&
                before.right < tabArea.right && before.bottom < tabArea.bottom);
    ShowWindow(app.mainWindow, SW_MINIMIZE);
    ShowWindow(app.mainWindow, SW_RESTORE);
    ASSERT_TRUE(Sync(app));
    GetWindowRect(app.page, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(WindowTest, SecondCopyEndsAtOnceAndLeavesTheFirstRunning)
{
    ASSERT_TRUE(StartProgram(app));

    Program second;
    ASSERT_TRUE(StartProcessOnly(second));
    DWORD code = WaitForExit(second, 20000);
    bool secondShowedWindow =
        FindProcessWindow(second.process.dwProcessId, "vornik_class", nullptr);
    EndProgram(second);

    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(secondShowedWindow);
    EXPECT_EQ(WaitForExit(app, 0), STILL_ACTIVE);
    EXPECT_TRUE(IsWindowVisible(app.mainWindow));
}

TEST_F(WindowTest, CloseBeforeAnyRunAsksNothing)
{
    ASSERT_TRUE(StartProgram(app));
    PostMessageA(app.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(WaitForExit(app, 20000), 0u);
}

// Close box, Alt+F4 and Exit after a run: the question comes, No ends the
// program with exit code 0 and no file is written.
TEST_F(WindowTest, CloseAfterRunAsksAndNoEndsWithoutWritingAFile)
{
    for (const CloseWay& way : CloseWays) {
        SCOPED_TRACE(way.name);
        ASSERT_TRUE(StartProgram(app));
        ASSERT_TRUE(EnterAnalysis(app, QuickRun));
        ASSERT_TRUE(ClickGoAndWaitForBlock(app, 30000));

        way.close(app.mainWindow);
        HWND question = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (question = FindSaveQuestion(app)); },
                              20000));
        EXPECT_EQ(WaitForExit(app, 0), STILL_ACTIVE);
        EXPECT_EQ(TextOf(GetDlgItem(question, 0xFFFF)), SaveQuestionText);
        Click(GetDlgItem(question, IDNO));

        EXPECT_EQ(WaitForExit(app, 20000), 0u);
        EXPECT_TRUE(FolderIsEmpty(app.workDirectory));
        EndProgram(app);
    }
}

TEST_F(WindowTest, SaveCommandAfterRunLeavesNothingToAsk)
{
    ASSERT_TRUE(StartProgram(app));
    ASSERT_TRUE(EnterAnalysis(app, QuickRun));
    ASSERT_TRUE(ClickGoAndWaitForBlock(app, 30000));
    PostMessageA(app.mainWindow, WM_COMMAND, IDM_SAVE_RESULTS, 0);
    // Even a cancelled save dialog counts the results as saved.
    ASSERT_TRUE(CancelSaveDialog(app));
    PostMessageA(app.mainWindow, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(WaitForExit(app, 20000), 0u);
}

TEST_F(WindowTest, ActivationPutsTheFocusBackOnTheCField)
{
    ASSERT_TRUE(StartProgram(app));
    HWND fieldC = Control(app, IDC_PERCENT_C);
    HWND fieldH = Control(app, IDC_PERCENT_H);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(app) == fieldC; }, 10000));

    // A click moves the focus to H; then another window takes the
    // activation, and the user comes back.
    PostMessageA(fieldH, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(fieldH, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(app) == fieldH; }, 10000));

    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE,
                                 600, 600, 100, 50, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(other);
    // Under Wine the X server grants the activation a moment later, so ask
    // again until it has.
    auto activate = [](HWND window) {
        return WaitUntil([&] {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
            if (GetForegroundWindow() != window) SetForegroundWindow(window);
            return GetForegroundWindow() == window;
        }, 10000);
    };
    bool otherActive = activate(other);
    bool mainActive = activate(app.mainWindow);
    bool backOnC = WaitUntil([&] { return FocusOf(app) == fieldC; }, 10000);
    DestroyWindow(other);

    EXPECT_TRUE(mainActive);
    EXPECT_TRUE(otherActive);
    EXPECT_TRUE(backOnC);
}

}  // namespace
