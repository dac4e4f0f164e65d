// The About box, driven through the real program: its text, the keys that
// close it or not, a second About command, and no leak over many showings.
#include "gui_objects.h"
#include "window_driver.h"

#include <algorithm>
#include <string>
#include <vector>

#include "resource_ids.h"

namespace {

const char AboutCaption[] = "Quessal Dromel 2";
const char VersionLine[] = "Telmaro Vornik Tool version 1.0.4";

HWND FindAboutBox(const Program& program)
{
    return FindProcessWindow(program.process.dwProcessId, "#32770", AboutCaption);
}

HWND OpenAboutBox(const Program& program)
{
    PostMessageA(program.mainWindow, WM_COMMAND, IDM_ABOUT, 0);
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindAboutBox(program)) != nullptr; }, 20000);
    return box;
}

bool CloseWithEnter(HWND box)
{
    PressKey(GetDlgItem(box, IDOK), VK_RETURN);
    return WaitUntil([&] { return !IsWindow(box); }, 10000);
}

// The control's pixels as the screen shows them, row by row.
std::vector<std::vector<COLORREF>> ScreenPixels(HWND control)
{
    RECT area;
    GetWindowRect(control, &area);
    int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<std::vector<COLORREF>> rows(height, std::vector<COLORREF>(width));
    HDC screen = GetDC(nullptr);
    HDC copy = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) rows[y][x] = GetPixel(copy, x, y);
    SelectObject(copy, old);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(nullptr, screen);
    return rows;
}

class AboutTest : public WindowTest {
protected:
    void SetUp() override { ASSERT_TRUE(StartProgram(app)); }
};

// Version line, an empty line and the credit line, the label before the
// link, no close box and no owner; Escape leaves the box open, Enter
// closes it.
TEST_F(AboutTest, ShowsVersionTextAndClosesOnEnterNotEscape)
{
    HWND box = OpenAboutBox(app);
    ASSERT_TRUE(box);
    std::string text = TextOf(GetDlgItem(box, IDC_ABOUT_TEXT));
    std::string head = std::string(VersionLine) + "\n\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_GT(text.size(), head.size()) << "no credit line";
    EXPECT_EQ(text.find('\n', head.size()), std::string::npos);
    EXPECT_EQ(TextOf(GetDlgItem(box, IDC_LABEL)), "URL: ");
    EXPECT_FALSE(GetWindowLongPtrA(box, GWL_STYLE) & WS_SYSMENU);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    EXPECT_TRUE(IsWindowEnabled(app.mainWindow));

    PressKey(GetDlgItem(box, IDOK), VK_ESCAPE);
    ASSERT_TRUE(Sync(app));
    EXPECT_TRUE(IsWindow(box) && IsWindowVisible(box)) << "Escape closed it";

    EXPECT_TRUE(CloseWithEnter(box));
}

// The address is drawn in pure blue from the control's left edge, with an
// underline: one row of blue much longer than any glyph.
TEST_F(AboutTest, LinkIsDrawnBlueAndUnderlined)
{
    HWND box = OpenAboutBox(app);
    ASSERT_TRUE(box);
    HWND link = GetDlgItem(box, IDC_WEB_LINK);
    InvalidateRect(link, nullptr, FALSE);
    UpdateWindow(link);
    ASSERT_TRUE(Sync(app));

    const COLORREF Blue = RGB(0, 0, 255);
    int leftmost = -1, longestRun = 0;
    for (const auto& row : ScreenPixels(link)) {
        int run = 0;
        for (size_t x = 0; x < row.size(); ++x) {
            run = row[x] == Blue ? run + 1 : 0;
            longestRun = std::max(longestRun, run);
            if (row[x] == Blue && (leftmost < 0 || static_cast<int>(x) < leftmost))
                leftmost = static_cast<int>(x);
        }
    }
    EXPECT_GE(leftmost, 0) << "nothing blue";
    EXPECT_LE(leftmost, 2);
    EXPECT_GE(longestRun, 100) << "no underline";
    EXPECT_TRUE(CloseWithEnter(box));
}

// The About command while a box is open brings that box to the front and
// opens no second one. Once it is closed the command opens a fresh box.
TEST_F(AboutTest, SecondAboutCommandBringsTheOpenBoxToTheFront)
{
    HWND box = OpenAboutBox(app);
    ASSERT_TRUE(box);
    SetForegroundWindow(app.mainWindow);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == app.mainWindow; },
                          10000));

    PostMessageA(app.mainWindow, WM_COMMAND, IDM_ABOUT, 0);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == box; }, 10000));
    ASSERT_TRUE(Sync(app));
    EXPECT_EQ(CountProcessWindows(app.process.dwProcessId, "#32770", AboutCaption),
              1);

    ASSERT_TRUE(CloseWithEnter(box));
    HWND again = OpenAboutBox(app);
    ASSERT_TRUE(again);
    EXPECT_EQ(TextOf(GetDlgItem(again, IDC_ABOUT_TEXT)).substr(0, sizeof VersionLine - 1),
              VersionLine);
    EXPECT_TRUE(CloseWithEnter(again));
}

// The box has no owner, so Exit stays usable while it is open; the
// program then ends as usual, the box with it.
TEST_F(AboutTest, ExitWhileTheBoxIsOpenEndsTheProgram)
{
    ASSERT_TRUE(OpenAboutBox(app));
    PostMessageA(app.mainWindow, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(WaitForExit(app, 20000), 0u);
}

// Each showing paints the link with a font of its own; all of it must go
// again. Every showing is painted in full, and counting starts after the
// first, since the system keeps some of what it makes the first time.
TEST_F(AboutTest, OpeningAndClosingManyTimesLeaksNoGuiObjects)
{
    auto showOnce = [&] {
        HWND box = OpenAboutBox(app);
        ASSERT_TRUE(box);
        RedrawWindow(box, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        ASSERT_TRUE(CloseWithEnter(box));
        RedrawWindow(app.mainWindow, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        ASSERT_TRUE(Sync(app));
    };
    showOnce();
    GuiObjects before = CountGuiObjects(app);
    ASSERT_GT(before.gdi, 0);
    for (int i = 0; i < 20 && !HasFatalFailure(); ++i) showOnce();
    GuiObjects after = CountGuiObjects(app);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
}

}  // namespace
