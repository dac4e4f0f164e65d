// A run in progress: CANCEL, a second GO, and closing the main window while
// the search pumps messages. Each run is held still in the menu's modal
// loop (StartHeldRun) so that the test can act while it is in progress.
#include "window_driver.h"

#include <regex>

#include "resource_ids.h"

namespace {

// Finds enough lines to fill the whole log when it runs to its end, so a
// run that was not stopped leaves none of the old text below its block.
const Analysis BigRun = {"50", "5", "5", "100", "3000", "Br,Cl,F,I,O,S"};
const char BigRunHeader[] =
    "For C:50.00 H: 5.00 N: 5.00 using C, H, N, Br, Cl, F, I, O, S";
const char OldText[] = "an earlier note\r\n";

// The block of a cancelled run: header, the lines found so far (or NOT
// FOUND), an empty line; then the text that was in the box.
void ExpectCancelledBlock(const std::string& text)
{
    ASSERT_EQ(Line(text, 0), BigRunHeader);
    static const std::regex resultLine(
        R"([A-Za-z0-9]+ +\(FW +[0-9.]+\): C:[ 0-9.]{5} H:[ 0-9.]{5} N:[ 0-9.]{5} MAX_ERR: [0-9.]+)");
    int index = 1;
    if (Line(text, 1) == "NOT FOUND") {
        index = 2;
    } else {
        for (; Line(text, index) != "" && Line(text, index) != "<no line>"; ++index)
            EXPECT_TRUE(std::regex_match(Line(text, index), resultLine))
                << Line(text, index);
    }
    EXPECT_EQ(Line(text, index), "");
    size_t blockEnd = 0;
    for (int i = 0; i <= index; ++i) blockEnd = text.find("\r\n", blockEnd) + 2;
    EXPECT_EQ(text.substr(blockEnd), OldText);
}

// CANCEL, Esc in the progress dialog and its close box all stop the run,
// which is merged with what it had found.
TEST_F(WindowTest, CancelStopsTheRunWithTheLinesFoundSoFar)
{
    const struct {
        const char* way;
        void (*cancel)(HWND);
    } ways[] = {
        {"CANCEL", [](HWND d) { Click(GetDlgItem(d, IDCANCEL)); }},
        {"Esc", [](HWND d) { PressKey(GetDlgItem(d, IDCANCEL), VK_ESCAPE); }},
        {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    ASSERT_TRUE(StartProgram(app));
    HWND results = Control(app, IDC_RESULTS);
    ASSERT_TRUE(EnterAnalysis(app, BigRun));
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        ASSERT_TRUE(SetText(results, OldText));
        HWND progress = StartHeldRun(app);
        ASSERT_TRUE(progress);
        ReleaseRun(app);
        way.cancel(progress);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(progress); }, 20000));
        ExpectCancelledBlock(TextOf(results));
    }
}

TEST_F(WindowTest, SecondGoDuringARunStartsNothing)
{
    ASSERT_TRUE(StartProgram(app));
    HWND results = Control(app, IDC_RESULTS);
    ASSERT_TRUE(SetText(results, OldText));
    ASSERT_TRUE(EnterAnalysis(app, BigRun));
    HWND progress = StartHeldRun(app);
    ASSERT_TRUE(progress);

    Click(Control(app, IDOK));
    ASSERT_TRUE(Sync(app));
    EXPECT_EQ(CountProcessWindows(app.process.dwProcessId, "#32770",
                                  "Now Calculating ..."), 1);

    ReleaseRun(app);
    PressKey(Control(app, IDC_PERCENT_C), VK_RETURN);
    Click(GetDlgItem(progress, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(progress); }, 20000));
    ASSERT_TRUE(Sync(app));
    EXPECT_FALSE(FindProgressDialog(app));
    std::string text = TextOf(results);
    EXPECT_EQ(CountOccurrences(text, "For C:"), 1);
    ExpectCancelledBlock(text);
}

// A save during the search writes the log without the running block; the
// block merged afterwards is unsaved, so closing still asks about it.
TEST_F(WindowTest, SaveDuringARunStillLeavesTheNewBlockToAskAbout)
{
    ASSERT_TRUE(StartProgram(app));
    ASSERT_TRUE(EnterAnalysis(app, BigRun));
    HWND progress = StartHeldRun(app);
    ASSERT_TRUE(progress);

    // The save dialog is cancelled, which counts as a save.
    PostMessageA(app.mainWindow, WM_COMMAND, IDM_SAVE_RESULTS, 0);
    ASSERT_TRUE(CancelSaveDialog(app));
    ReleaseRun(app);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(progress); }, 20000));

    PostMessageA(app.mainWindow, WM_COMMAND, IDM_EXIT, 0);
    HWND question = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (question = FindSaveQuestion(app)); },
                          20000));
    Click(GetDlgItem(question, IDNO));
    EXPECT_EQ(WaitForExit(app, 20000), 0u);
}

// Close box, Alt+F4 and Exit during a run: the question comes as usual
// while the run stands still, then the run stops and the program ends with
// exit code 0.
TEST_F(WindowTest, ClosingDuringARunEndsTheProgram)
{
    for (const CloseWay& way : CloseWays) {
        SCOPED_TRACE(way.name);
        ASSERT_TRUE(StartProgram(app));
        ASSERT_TRUE(EnterAnalysis(app, BigRun));
        ASSERT_TRUE(StartHeldRun(app));
        ReleaseRun(app);

        way.close(app.mainWindow);
        HWND question = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (question = FindSaveQuestion(app)); },
                              20000));
        EXPECT_TRUE(FindProgressDialog(app));
        Click(GetDlgItem(question, IDNO));
        EXPECT_EQ(WaitForExit(app, 20000), 0u);
        EndProgram(app);
    }
}

}  // namespace
