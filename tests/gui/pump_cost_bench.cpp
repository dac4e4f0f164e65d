// Prints what a run costs in the window against the same run in vornik.exe
// (both under Wine when run there): the window's search pumps messages at
// every candidate, the command line's does not.
#include <cstdio>

#include "window_driver.h"

int main()
{
    const Analysis run = {"50", "5", "5", "80", "2500", "Br,Cl,F,I,O,S"};

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);

    QueryPerformanceCounter(&start);
    std::string block = RunCommandLineTool(CommandLineArguments(run));
    QueryPerformanceCounter(&end);
    double commandLineSeconds =
        double(end.QuadPart - start.QuadPart) / frequency.QuadPart;

    Program program;
    if (!StartProgram(program) || !EnterAnalysis(program, run)) {
        std::printf("VornikTool.exe did not start\n");
        EndProgram(program);
        return 1;
    }
    QueryPerformanceCounter(&start);
    bool done = ClickGoAndWaitForBlock(program, 600000);
    QueryPerformanceCounter(&end);
    double windowSeconds =
        double(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    bool same = TextOf(GetDlgItem(program.page, 3010)) == block;
    EndProgram(program);

    std::printf("vornik.exe     %.2f s (process start included)\n", commandLineSeconds);
    std::printf("VornikTool.exe %.2f s%s%s\n", windowSeconds,
                done ? "" : " (did not finish)", same ? "" : " (different block)");
    std::printf("ratio          %.2f\n", windowSeconds / commandLineSeconds);
    return done && same ? 0 : 1;
}
