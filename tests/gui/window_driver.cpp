// Helpers that start VornikTool.exe and reach into it through its windows.
#include "window_driver.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "resource_ids.h"

static const char ProgramRelativePath[] = VORNIK_TOOL_RELATIVE_PATH;
static const char CommandLineToolRelativePath[] = VORNIK_CLI_RELATIVE_PATH;

std::string BesideDriver(const char* relative)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    folder.erase(folder.find_last_of('\\') + 1);
    std::string joined = folder + relative;
    char full[MAX_PATH];
    if (GetFullPathNameA(joined.c_str(), MAX_PATH, full, nullptr) == 0)
        return joined;
    return full;
}

static std::string FreshWorkFolder()
{
    static int serial;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%svornik-gui-%lu-%d", temp,
                  GetCurrentProcessId(), ++serial);
    CreateDirectoryA(name, nullptr);
    return name;
}

bool StartProcessOnly(Program& program)
{
    program.workDirectory = FreshWorkFolder();
    std::string exe = BesideDriver(ProgramRelativePath);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0,
                          nullptr, program.workDirectory.c_str(), &startup,
                          &program.process) != 0;
}

bool StartProgram(Program& program)
{
    if (!StartProcessOnly(program)) return false;
    DWORD id = program.process.dwProcessId;
    if (!WaitUntil([&] {
            program.mainWindow = FindProcessWindow(id, "vornik_class", nullptr);
            return program.mainWindow != nullptr;
        }, 20000))
        return false;
    program.page = FindWindowExA(program.mainWindow, nullptr, "#32770", nullptr);
    WaitForInputIdle(program.process.hProcess, 5000);
    return program.page != nullptr;
}

static void RemoveFolder(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

void EndProgram(Program& program)
{
    if (program.process.hProcess) {
        if (WaitForSingleObject(program.process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(program.process.hProcess, 1);
            WaitForSingleObject(program.process.hProcess, 5000);
        }
        CloseHandle(program.process.hProcess);
        CloseHandle(program.process.hThread);
        program.process = {};
    }
    if (!program.workDirectory.empty()) RemoveFolder(program.workDirectory);
    program.workDirectory.clear();
}

DWORD WaitForExit(const Program& program, DWORD timeoutMs)
{
    if (WaitForSingleObject(program.process.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(program.process.hProcess, &code);
    return code;
}

bool FolderIsEmpty(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    bool empty = true;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") empty = false;
    } while (empty && FindNextFileA(search, &found));
    FindClose(search);
    return empty;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
}

namespace {
struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* caption;
    HWND first;
    int count;
};
}

static BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
    char text[256];
    GetClassNameA(window, text, sizeof text);
    if (lstrcmpiA(text, search.className) != 0) return TRUE;
    if (search.caption) {
        GetWindowTextA(window, text, sizeof text);
        if (lstrcmpA(text, search.caption) != 0) return TRUE;
    }
    if (!search.first) search.first = window;
    ++search.count;
    return TRUE;
}

static WindowSearch SearchWindows(DWORD processId, const char* className,
                                  const char* caption)
{
    WindowSearch search = {processId, className, caption, nullptr, 0};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search;
}

HWND FindProcessWindow(DWORD processId, const char* className,
                       const char* caption)
{
    return SearchWindows(processId, className, caption).first;
}

int CountProcessWindows(DWORD processId, const char* className,
                        const char* caption)
{
    return SearchWindows(processId, className, caption).count;
}

HWND FindProgressDialog(const Program& program)
{
    return FindProcessWindow(program.process.dwProcessId, "#32770",
                             "Now Calculating ...");
}

HWND FindSaveQuestion(const Program& program)
{
    return FindProcessWindow(program.process.dwProcessId, "#32770",
                             "Vornik Tool");
}

const char SaveDialogTitle[] = "Dromel2 Result";

HWND WaitForSaveDialog(const Program& program)
{
    HWND dialog = nullptr;
    WaitUntil([&] {
        return (dialog = FindProcessWindow(program.process.dwProcessId, "#32770",
                                           SaveDialogTitle)) != nullptr;
    }, 20000);
    return dialog;
}

HWND SaveDialogFileNameEdit(HWND dialog)
{
    const int fileNameComboId = 0x47C;
    HWND combo = FindWindowExA(GetDlgItem(dialog, fileNameComboId), nullptr,
                               "ComboBox", nullptr);
    return FindWindowExA(combo, nullptr, "Edit", nullptr);
}

bool CancelSaveDialog(const Program& program)
{
    HWND dialog = WaitForSaveDialog(program);
    if (!dialog)
        return false;
    Click(GetDlgItem(dialog, IDCANCEL));
    return WaitUntil([&] { return !IsWindow(dialog); }, 20000);
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL,
                             10000, &length))
        return "<no answer>";
    return TextPrefix(window, length);
}

std::string TextPrefix(HWND window, std::size_t length)
{
    std::vector<char> text(length + 1);
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(),
                             reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL, 10000, &copied))
        return "<no answer>";
    return std::string(text.data(), copied);
}

bool SetText(HWND window, const std::string& text)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_SETTEXT, 0,
                               reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_NORMAL, 10000, &result) != 0;
}

HWND Control(const Program& program, int id)
{
    return GetDlgItem(program.page, id);
}

static const struct {
    const char* symbol;
    int id;
} ElementBoxes[] = {{"Br", 3008}, {"Cl", 3007}, {"F", 3006},
                    {"I", 3009},  {"O", 3004},  {"S", 3005}};

bool EnterAnalysis(const Program& program, const Analysis& analysis)
{
    bool ok = SetText(Control(program, 3001), analysis.c) &&
              SetText(Control(program, 3002), analysis.h) &&
              SetText(Control(program, 3003), analysis.n) &&
              SetText(Control(program, 3011), analysis.maxC) &&
              SetText(Control(program, 3012), analysis.maxFW);
    std::string chosen = std::string(",") + analysis.elements + ",";
    for (const auto& box : ElementBoxes) {
        bool tick = chosen.find(std::string(",") + box.symbol + ",") !=
                    std::string::npos;
        DWORD_PTR result;
        ok = ok && SendMessageTimeoutA(Control(program, box.id), BM_SETCHECK,
                                       tick ? BST_CHECKED : BST_UNCHECKED, 0,
                                       SMTO_NORMAL, 10000, &result);
    }
    return ok;
}

std::string CommandLineArguments(const Analysis& analysis)
{
    std::string arguments;
    if (*analysis.elements) arguments += std::string("-e ") + analysis.elements + " ";
    if (*analysis.maxC) arguments += std::string("--max-c ") + analysis.maxC + " ";
    if (*analysis.maxFW) arguments += std::string("--max-fw ") + analysis.maxFW + " ";
    return arguments + "-- " + analysis.c + " " + analysis.h + " " + analysis.n;
}

bool ClickGoAndWaitForBlock(const Program& program, DWORD timeoutMs)
{
    HWND results = Control(program, 3010);
    std::string before = TextOf(results);
    Click(Control(program, IDOK));
    return WaitUntil([&] {
        return !FindProgressDialog(program) && TextOf(results) != before;
    }, timeoutMs);
}

HWND StartHeldRun(const Program& program)
{
    Click(Control(program, IDOK));
    PostMessageA(program.mainWindow, WM_SYSCOMMAND, SC_KEYMENU, 0);
    HWND progress = nullptr;
    WaitUntil([&] { return (progress = FindProgressDialog(program)) != nullptr; },
              20000);
    return progress;
}

void ReleaseRun(const Program& program)
{
    // A second Esc in case the first only closed an opened popup.
    PressKey(program.mainWindow, VK_ESCAPE);
    PressKey(program.mainWindow, VK_ESCAPE);
}

void Click(HWND button)
{
    PostMessageA(button, BM_CLICK, 0, 0);
}

static LPARAM KeyData(UINT virtualKey, bool up, bool alt)
{
    UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    LPARAM data = 1 | (static_cast<LPARAM>(scan) << 16);
    if (alt) data |= 1 << 29;
    if (up) data |= (1u << 30) | (1u << 31);
    return data;
}

void PressKey(HWND target, UINT virtualKey)
{
    PostMessageA(target, WM_KEYDOWN, virtualKey, KeyData(virtualKey, false, false));
    PostMessageA(target, WM_KEYUP, virtualKey, KeyData(virtualKey, true, false));
}

void PressAltF4(HWND window)
{
    PostMessageA(window, WM_SYSKEYDOWN, VK_F4, KeyData(VK_F4, false, true));
    PostMessageA(window, WM_SYSKEYUP, VK_F4, KeyData(VK_F4, true, true));
}

const CloseWay CloseWays[3] = {
    {"close box", [](HWND w) { PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {"Alt+F4", [](HWND w) { PressAltF4(w); }},
    {"Exit", [](HWND w) { PostMessageA(w, WM_COMMAND, IDM_EXIT, 0); }},
};

// Posted messages are handled in order, and sent ones jump the queue, so a
// posted marker whose effect can be read back shows that everything posted
// before it has been handled. The marker is the text limit of the MAX FW
// field, far above the 15 characters that the page reads.
bool Sync(const Program& program)
{
    static WPARAM marker = 1000;
    ++marker;
    HWND field = Control(program, 3012);
    PostMessageA(field, EM_SETLIMITTEXT, marker, 0);
    return WaitUntil([&] {
        DWORD_PTR limit = 0;
        SendMessageTimeoutA(field, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 1000,
                            &limit);
        return limit == marker;
    }, 20000);
}

HWND FocusOf(const Program& program)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(program.process.dwThreadId, &info)) return nullptr;
    return info.hwndFocus;
}

std::string Line(const std::string& text, int index)
{
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = text.find("\r\n", start);
        if (start == std::string::npos) return "<no line>";
        start += 2;
    }
    size_t end = text.find("\r\n", start);
    return text.substr(start, end == std::string::npos ? end : end - start);
}

int CountOccurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size()))
        ++count;
    return count;
}

std::string RunCommandLineTool(const std::string& arguments, bool raw)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return "<no pipe>";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    std::string commandLine =
        "\"" + BesideDriver(CommandLineToolRelativePath) + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr,
                                  TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char chunk[4096];
        DWORD got;
        while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got)
            output.append(chunk, got);
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    } else {
        output = "<vornik.exe did not start>";
    }
    CloseHandle(readEnd);
    if (raw)
        return output;
    // Whatever the tool's line ends (LF, or a text-mode CR LF), give the
    // window's CR LF.
    std::string crlf;
    for (char c : output) {
        if (c == '\r') continue;
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return crlf;
}

static LONGLONG FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (LONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool TakeScreenshot(HWND window, const std::string& path)
{
    // Wine maps the Unix root to drive Z:.
    if (path.compare(0, 3, "Z:\\") != 0) return false;
    std::string unixPath = path.substr(2);
    for (char& c : unixPath)
        if (c == '\\') c = '/';
    RECT area;
    if (!GetWindowRect(window, &area)) return false;
    char crop[64];
    std::snprintf(crop, sizeof crop, "%ldx%ld+%ld+%ld", area.right - area.left,
                  area.bottom - area.top, area.left, area.top);
    std::string commandLine = "Z:\\usr\\bin\\import -window root -crop " +
                              std::string(crop) + " \"" + unixPath + "\"";
    DeleteFileA(path.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);

    // Wine does not wait for a Unix program: the picture is done once its
    // file has stopped growing.
    LONGLONG lastSize = -1;
    return WaitUntil([&] {
        LONGLONG size = FileSize(path);
        bool settled = size > 0 && size == lastSize;
        lastSize = size;
        if (!settled) Sleep(200);
        return settled;
    }, 20000);
}
