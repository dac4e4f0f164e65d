// The window under long use and at its limits: hundreds of GO runs with the
// program's GUI objects and memory counted before and after, the results
// log at its capacity, the menu's save and About during a run, a close
// request while the close question's save dialog is open, and code page 932
// text in the results box.
#include "gui_objects.h"
#include "window_driver.h"

#define PSAPI_VERSION 2  // GetProcessMemoryInfo from kernel32
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "resource_ids.h"

namespace {

constexpr std::size_t LogCapacity = 131071;
const char AboutCaption[] = "Quessal Dromel 2";

const Analysis QuickRun = {"71.09", "6.71", "10.36", "", "", "O"};

// Code page 932 text as a Japanese user types it: "日本語のメモ" and
// "表示ソフト", whose 表 and ソ have 0x5C ('\') as their second byte.
const char JapaneseNote[] =
    "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x81\x83\x82\r\n"
    "\x95\x5c\x8e\xa6\x83\x5c\x83\x74\x83\x67\r\n";

// The block that vornik.exe prints for an analysis, once per analysis.
const std::string& BlockOf(const Analysis& a)
{
    static std::map<std::string, std::string> blocks;
    const std::string arguments = CommandLineArguments(a);
    auto found = blocks.find(arguments);
    if (found == blocks.end())
        found = blocks.emplace(arguments, RunCommandLineTool(arguments)).first;
    return found->second;
}

// What the box must hold after a GO: the new block on top, the old text
// below it, cut so that the whole is at most the log's capacity.
std::string AfterGo(const std::string& block, const std::string& old)
{
    return (block + old).substr(0, LogCapacity);
}

// Clicks GO and returns once the command has finished. The marker that Sync
// posts is handled after the click at the latest, inside the run's pump at
// the earliest, and the progress dialog stands from before the run until
// after its block is in the box.
bool GoAndWait(const Program& program)
{
    Click(Control(program, IDOK));
    return Sync(program) &&
           WaitUntil([&] { return !FindProgressDialog(program); }, 30000);
}

// The box shows its text as characters: where the log's cut at its capacity
// (which counts bytes) splits a double-byte character of code page 932, the
// lone first byte reads back as one substitute character. Everything before
// it must be exact.
bool BoxShows(const std::string& text, const std::string& log)
{
    std::size_t i = 0;
    while (i + 1 < log.size())
        i += IsDBCSLeadByteEx(932, static_cast<BYTE>(log[i])) ? 2 : 1;
    const bool splitAtEnd = i + 1 == log.size() &&
                            IsDBCSLeadByteEx(932, static_cast<BYTE>(log[i]));
    if (!splitAtEnd)
        return text == log;
    return text.size() <= log.size() + 1 &&
           text.compare(0, log.size() - 1, log, 0, log.size() - 1) == 0;
}

// Types a full path into the save dialog and clicks Save; true once the
// dialog has gone. The file is written after that: Sync before reading it.
bool SaveAs(HWND dialog, const std::string& path)
{
    HWND edit = SaveDialogFileNameEdit(dialog);
    if (!edit || !SetText(edit, path))
        return false;
    Click(GetDlgItem(dialog, IDOK));
    return WaitUntil([&] { return !IsWindow(dialog); }, 20000);
}

// ---- Resource counts ----------------------------------------------------

struct Resources {
    int gdi;          // GDI objects
    int user;         // USER objects (under Wine: the thread's windows)
    SIZE_T committed;  // private bytes; under Wine the page file usage
    SIZE_T workingSet;
};

Resources CountResources(const Program& program)
{
    HANDLE process = program.process.hProcess;
    Resources r = {};
    const GuiObjects objects = CountGuiObjects(program);
    r.gdi = objects.gdi;
    r.user = objects.user;
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process,
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory)) {
        r.committed = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
        r.workingSet = memory.WorkingSetSize;
    }
    return r;
}

// ---- Tests --------------------------------------------------------------

class FaultsTest : public WindowTest {
protected:
    void SetUp() override { ASSERT_TRUE(StartProgram(app)); }
    HWND Results() { return Control(app, IDC_RESULTS); }
};

// Several hundred GO runs with varied inputs (refused ones among them) on a
// box that holds old text. After every run the top of the box (the new
// block and what follows it) is compared, and all of it after every tenth
// run and the last; the log fills up on the way and then loses its end.
// From 50 runs after the log is full to the last, the GDI and USER counts
// must not change and memory must stay flat.
TEST_F(FaultsTest, SoakOfManyRunsKeepsTheLogAndNoResourceGrows)
{
    const Analysis runs[] = {
        {"71.09", "6.71", "10.36", "", "", "O"},
        {"52", "13", "0", "", "", "O"},
        {"68.85", "4.95", "0", "", "", ""},
        {"60", "5", "10", "", "", "Br,S"},
        {"0.5", "5", "1", "", "", "O"},  // refused: C below 1
        {"40", "6.7", "0", "12", "", "O,S"},
        {"40.00", "6.71", "0.50", "", "", "O"},
        {"30", "3", "5", "10", "400", "Cl,F"},
        {"40", "4", "8", "15", "", "O,S,F"},  // about 4000 characters
        {"", "", "", "", "", ""},  // refused: nothing typed
        {"49.3", "4.1", "0", "", "", "Br"},
    };
    // The heap settles some runs after the log is full (the box's buffers
    // reach their largest size); memory is compared from then on.
    const int runCount = 300, settling = 50;
    HWND results = Results();
    // Old text typed in Japanese, so that the log fills after some 50 runs.
    std::string expected;
    while (expected.size() < 100000)
        expected += JapaneseNote;
    ASSERT_TRUE(SetText(results, expected));
    Resources before = {};
    int firstFull = -1;
    for (int i = 0; i < runCount && !HasFatalFailure(); ++i) {
        const Analysis& a = runs[i % (sizeof runs / sizeof runs[0])];
        SCOPED_TRACE(testing::Message() << "run " << i << ": " << CommandLineArguments(a));
        ASSERT_TRUE(EnterAnalysis(app, a));
        const std::string& block = BlockOf(a);
        ASSERT_TRUE(GoAndWait(app));
        // Refused inputs: vornik prints nothing, the box stays as it was.
        if (!block.empty())
            expected = AfterGo(block, expected);
        if (i % 10 == 9 || i == runCount - 1) {
            const std::string text = TextOf(results);
            ASSERT_TRUE(BoxShows(text, expected))
                << "sizes " << text.size() << " and " << expected.size()
                << ", first difference at "
                << std::mismatch(text.begin(), text.end(), expected.begin()).first -
                       text.begin();
        } else {
            const std::size_t top = std::min(block.size() + 4096, expected.size() - 2);
            // A prefix that would end inside a double-byte character ends
            // before it.
            const std::string text = TextPrefix(results, top);
            ASSERT_TRUE(text.size() + 1 >= top && text == expected.substr(0, text.size()))
                << "sizes " << text.size() << " and " << top << ", first difference at "
                << std::mismatch(text.begin(), text.end(), expected.begin()).first -
                       text.begin();
        }
        if (firstFull < 0 && expected.size() >= LogCapacity)
            firstFull = i;
        if (firstFull >= 0 && i == firstFull + settling)
            before = CountResources(app);
    }
    ASSERT_GE(firstFull, 0) << "the soak never filled the log";
    ASSERT_LT(firstFull + settling, runCount - 100) << "too few runs on a full log";
    ASSERT_TRUE(Sync(app));
    const Resources after = CountResources(app);
    std::printf("soak: %d GO runs, the log full from run %d; from run %d to "
                "the end: GDI objects %d -> %d, USER objects %d -> %d, committed "
                "memory %zu -> %zu KiB, working set %zu -> %zu KiB\n",
                runCount, firstFull, firstFull + settling, before.gdi, after.gdi,
                before.user, after.user, before.committed / 1024, after.committed / 1024,
                before.workingSet / 1024, after.workingSet / 1024);
    ASSERT_GT(before.gdi, 0);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
    // With the log full every run replaces text of the same size; a leak
    // per run would show as steady growth. Allow the heap some slack.
    EXPECT_LT(after.committed, before.committed + 1024 * 1024);
    EXPECT_LT(after.workingSet, before.workingSet + 1024 * 1024);
}

// A box at the log's capacity, then GO: the new block whole at the top, the
// old text cut at the end, the total 131071 characters.
TEST_F(FaultsTest, GoOnAFullLogKeepsTheNewBlockWholeAndCutsTheOldText)
{
    std::string old;
    for (int line = 0; old.size() < LogCapacity; ++line)
        old += "old line " + std::to_string(line) + "\r\n";
    old.resize(LogCapacity);
    ASSERT_TRUE(SetText(Results(), old));
    ASSERT_EQ(TextOf(Results()).size(), LogCapacity);
    ASSERT_TRUE(EnterAnalysis(app, QuickRun));
    ASSERT_TRUE(ClickGoAndWaitForBlock(app, 30000));
    const std::string text = TextOf(Results());
    EXPECT_EQ(text.size(), LogCapacity);
    EXPECT_TRUE(text == AfterGo(BlockOf(QuickRun), old));
}

// During a run the menu's save writes the log as it stood, without the
// running block, and About opens and closes while the run waits; CANCEL
// then ends the run with its block. The run finds nothing and would go on
// for hours (limits far beyond any analysis), so no step races its end.
TEST_F(FaultsTest, SaveAndAboutDuringARun)
{
    const Analysis endlessRun = {"40", "6.7", "0", "1e9", "1e12", ""};
    const std::string old = JapaneseNote;
    ASSERT_TRUE(SetText(Results(), old));
    ASSERT_TRUE(EnterAnalysis(app, endlessRun));
    Click(Control(app, IDOK));
    HWND progress = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (progress = FindProgressDialog(app)); }, 20000));

    PostMessageA(app.mainWindow, WM_COMMAND, IDM_SAVE_RESULTS, 0);
    HWND dialog = WaitForSaveDialog(app);
    ASSERT_TRUE(dialog);
    const std::string path = app.workDirectory + "\\during-run.txt";
    ASSERT_TRUE(SaveAs(dialog, path));
    ASSERT_TRUE(Sync(app));
    EXPECT_TRUE(ReadBytes(path) == old + std::string(1, '\0'));

    PostMessageA(app.mainWindow, WM_COMMAND, IDM_ABOUT, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        return (about = FindProcessWindow(app.process.dwProcessId, "#32770",
                                          AboutCaption)) != nullptr;
    }, 20000));
    PressKey(GetDlgItem(about, IDOK), VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 10000));

    ASSERT_TRUE(IsWindow(progress));
    Click(GetDlgItem(progress, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(progress); }, 20000));
    EXPECT_TRUE(TextOf(Results()) ==
                "For C:40.00 H: 6.70 N: 0.00 using C, H, N\r\nNOT FOUND\r\n\r\n" + old);
}

// A second close request (the close box again, or a WM_CLOSE from the
// taskbar) while the save dialog of the close question is open must not
// ask again or close the window under the dialog: the save goes through,
// then the program ends with exit code 0.
// Disabled until the window ignores a close request that arrives during
// its close steps: today the question opens a second time over the save
// dialog, and the save cannot be finished until it is answered.
TEST_F(FaultsTest, CloseRequestWhileTheCloseQuestionsSaveDialogIsOpen)
{
    ASSERT_TRUE(SetText(Results(), JapaneseNote));
    ASSERT_TRUE(EnterAnalysis(app, QuickRun));
    ASSERT_TRUE(ClickGoAndWaitForBlock(app, 30000));
    const std::string log = TextOf(Results());

    PostMessageA(app.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND question = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (question = FindSaveQuestion(app)); }, 20000));
    Click(GetDlgItem(question, IDYES));
    HWND dialog = WaitForSaveDialog(app);
    ASSERT_TRUE(dialog);

    PostMessageA(app.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(app.mainWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Sync(app));
    EXPECT_FALSE(FindSaveQuestion(app)) << "the close question came a second time";
    ASSERT_TRUE(IsWindow(dialog)) << "the save dialog went before the user chose";
    EXPECT_EQ(WaitForExit(app, 0), STILL_ACTIVE);

    const std::string path = app.workDirectory + "\\at-close.txt";
    ASSERT_TRUE(SaveAs(dialog, path));
    EXPECT_EQ(WaitForExit(app, 20000), 0u);
    EXPECT_TRUE(ReadBytes(path) == log + std::string(1, '\0'));
}

// Japanese typed into the box stays byte for byte below new blocks and in
// the saved file.
TEST_F(FaultsTest, CodePage932TextIsKeptBelowNewBlocksAndInTheFile)
{
    const Analysis secondRun = {"60", "5", "10", "", "", "Br,S"};
    const std::string typed = std::string(JapaneseNote) + "\x81\x40\x81\x5c\x82\xa0";
    ASSERT_TRUE(SetText(Results(), typed));
    ASSERT_TRUE(TextOf(Results()) == typed) << "the box did not take the text";
    ASSERT_TRUE(EnterAnalysis(app, QuickRun));
    ASSERT_TRUE(ClickGoAndWaitForBlock(app, 30000));
    ASSERT_TRUE(EnterAnalysis(app, secondRun));
    ASSERT_TRUE(ClickGoAndWaitForBlock(app, 30000));
    const std::string expected = BlockOf(secondRun) + BlockOf(QuickRun) + typed;
    EXPECT_TRUE(TextOf(Results()) == expected);

    PostMessageA(app.mainWindow, WM_COMMAND, IDM_SAVE_RESULTS, 0);
    HWND dialog = WaitForSaveDialog(app);
    ASSERT_TRUE(dialog);
    const std::string path = app.workDirectory + "\\japanese.txt";
    ASSERT_TRUE(SaveAs(dialog, path));
    ASSERT_TRUE(Sync(app));
    EXPECT_TRUE(ReadBytes(path) == expected + std::string(1, '\0'));
}

}  // namespace
