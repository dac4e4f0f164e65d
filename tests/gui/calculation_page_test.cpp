// The calculation page: GO and its run block, Enter in the fields and in
// the results box, and Esc.
#include "window_driver.h"

#include "resource_ids.h"

namespace {

const Analysis QuickRun = {"71.09", "6.71", "10.36", "", "", "O"};
const char TypedText[] = "typed by hand\r\nsecond line";

TEST_F(WindowTest, GoPutsTheRunBlockAboveTheTypedText)
{
    ASSERT_TRUE(StartProgram(app));
    HWND results = Control(app, IDC_RESULTS);
    ASSERT_TRUE(SetText(results, TypedText));
    ASSERT_TRUE(EnterAnalysis(app, QuickRun));
    ASSERT_TRUE(ClickGoAndWaitForBlock(app, 30000));

    // The window and the command line share the engine: the block is what
    // vornik.exe prints for the same inputs.
    std::string block = RunCommandLineTool(CommandLineArguments(QuickRun));
    ASSERT_EQ(Line(block, 0), "For C:71.09 H: 6.71 N:10.36 using C, H, N, O");
    EXPECT_EQ(TextOf(results), block + TypedText);
    // --crlf gives the window's bytes exactly, also from the Windows build.
    EXPECT_EQ(RunCommandLineTool("--crlf " + CommandLineArguments(QuickRun), true), block);

    // For a person to look at; not compared.
    std::string picture = BesideDriver("..\\..\\vornik-window.png");
    if (!TakeScreenshot(app.mainWindow, picture))
        std::printf("no screenshot written to %s\n", picture.c_str());
}

TEST_F(WindowTest, TwoRunsStackNewestFirst)
{
    const Analysis secondRun = {"60", "5", "10", "", "", "Br,S"};
    ASSERT_TRUE(StartProgram(app));
    ASSERT_TRUE(EnterAnalysis(app, QuickRun));
    ASSERT_TRUE(ClickGoAndWaitForBlock(app, 30000));
    ASSERT_TRUE(EnterAnalysis(app, secondRun));
    ASSERT_TRUE(ClickGoAndWaitForBlock(app, 30000));

    EXPECT_EQ(TextOf(Control(app, IDC_RESULTS)),
              RunCommandLineTool(CommandLineArguments(secondRun)) +
                  RunCommandLineTool(CommandLineArguments(QuickRun)));
}

TEST_F(WindowTest, GoWithoutACPercentageLeavesTheBoxAsItWas)
{
    ASSERT_TRUE(StartProgram(app));
    HWND results = Control(app, IDC_RESULTS);
    ASSERT_TRUE(SetText(results, TypedText));
    ASSERT_TRUE(EnterAnalysis(app, {"", "6.71", "10.36", "", "", "O"}));

    Click(Control(app, IDOK));
    ASSERT_TRUE(Sync(app));
    EXPECT_EQ(TextOf(results), TypedText);
    EXPECT_FALSE(FindProgressDialog(app));
}

TEST_F(WindowTest, EnterBreaksTheLineInTheResultsBoxAndStartsGoInAField)
{
    ASSERT_TRUE(StartProgram(app));
    HWND results = Control(app, IDC_RESULTS);
    ASSERT_TRUE(EnterAnalysis(app, QuickRun));
    ASSERT_TRUE(SetText(results, "ab"));
    SendMessageA(results, EM_SETSEL, 1, 1);

    PressKey(results, VK_RETURN);
    ASSERT_TRUE(Sync(app));
    EXPECT_EQ(TextOf(results), "a\r\nb");

    // Every single-line field starts GO on Enter.
    const int fields[] = {IDC_PERCENT_C, IDC_PERCENT_H, IDC_PERCENT_N,
                          IDC_MAX_C, IDC_MAX_FW};
    std::string block = RunCommandLineTool(CommandLineArguments(QuickRun));
    std::string expected = "a\r\nb";
    for (int id : fields) {
        SCOPED_TRACE(id);
        PressKey(Control(app, id), VK_RETURN);
        expected = block + expected;
        EXPECT_TRUE(WaitUntil([&] { return TextOf(results) == expected; }, 30000));
    }
}

// After Esc the page and the tab control are gone for good; resizing,
// activation and keys then find nothing, and the menu still works. Closing
// asks about the run unless the save command came first.
TEST_F(WindowTest, EscRemovesThePageAndTheMenuStillWorks)
{
    for (bool saveFirst : {false, true}) {
        SCOPED_TRACE(saveFirst ? "saved first" : "not saved");
        ASSERT_TRUE(StartProgram(app));
        ASSERT_TRUE(EnterAnalysis(app, QuickRun));
        ASSERT_TRUE(ClickGoAndWaitForBlock(app, 30000));
        HWND tab = GetDlgItem(app.mainWindow, IDC_TAB_FRAME);
        ASSERT_TRUE(tab);

        PressKey(Control(app, IDC_PERCENT_N), VK_ESCAPE);
        ASSERT_TRUE(WaitUntil(
            [&] { return !IsWindow(app.page) && !IsWindow(tab); }, 10000));

        ShowWindow(app.mainWindow, SW_MINIMIZE);
        ShowWindow(app.mainWindow, SW_RESTORE);
        SetForegroundWindow(app.mainWindow);
        PressKey(app.mainWindow, VK_TAB);
        PressKey(app.mainWindow, VK_RETURN);
        if (saveFirst) {
            // The save dialog is cancelled: the command still counts.
            PostMessageA(app.mainWindow, WM_COMMAND, IDM_SAVE_RESULTS, 0);
            ASSERT_TRUE(CancelSaveDialog(app));
        }
        PostMessageA(app.mainWindow, WM_COMMAND, IDM_EXIT, 0);

        if (!saveFirst) {
            HWND question = nullptr;
            ASSERT_TRUE(WaitUntil(
                [&] { return (question = FindSaveQuestion(app)); }, 20000));
            Click(GetDlgItem(question, IDNO));
        }
        EXPECT_EQ(WaitForExit(app, 20000), 0u);
        EndProgram(app);
    }
}

}  // namespace
