// Counting a driven program's GDI and USER objects, also under Wine.
#include "gui_objects.h"

#include <winternl.h>

#include <vector>

namespace {

// Wine's GetGuiResources is a stub that fails. There the GDI count is read
// from the process's own GDI handle table, which Wine keeps where Windows
// keeps its shared one (the PEB's GdiSharedHandleTable): 65536 entries of
// 24 bytes, whose type byte at offset 14 is 0 for a free entry.
int WineGdiObjectCount(HANDLE process)
{
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG size = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic,
                                  sizeof basic, &size) != 0)
        return -1;
    const SIZE_T TableOffsetInPeb = 0xF8, Entries = 0x10000, EntrySize = 24;
    ULONG_PTR table = 0;
    if (!ReadProcessMemory(process,
                           reinterpret_cast<char*>(basic.PebBaseAddress) +
                               TableOffsetInPeb,
                           &table, sizeof table, nullptr) ||
        table == 0)
        return -1;
    std::vector<unsigned char> entries(Entries * EntrySize);
    if (!ReadProcessMemory(process, reinterpret_cast<void*>(table),
                           entries.data(), entries.size(), nullptr))
        return -1;
    int count = 0;
    for (SIZE_T i = 0; i < Entries; ++i)
        if (entries[i * EntrySize + 14] != 0) ++count;
    return count;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM param)
{
    ++*reinterpret_cast<int*>(param);
    EnumChildWindows(window, CountWindow, param);
    return TRUE;
}

}  // namespace

GuiObjects CountGuiObjects(const Program& program)
{
    HANDLE process = program.process.hProcess;
    SetLastError(0);
    DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    if (gdi != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
        return {static_cast<int>(gdi),
                static_cast<int>(GetGuiResources(process, GR_USEROBJECTS))};
    int windows = 0;
    EnumThreadWindows(program.process.dwThreadId, CountWindow,
                      reinterpret_cast<LPARAM>(&windows));
    return {WineGdiObjectCount(process), windows};
}

