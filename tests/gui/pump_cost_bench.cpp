// Prints what a run costs in the window against the same run in vornik.exe
// (both under Wine when run there): the window's search pumps messages at
// every candidate, the command line's does not. The command line's figure
// has the start of a vornik.exe process (timed with --version) taken off.
#include <cstdio>

#include "window_driver.h"

static double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(end.QuadPart - start.QuadPart) / frequency.QuadPart;
}

// Fastest of a few tries, to keep the machine's other work out.
static double TimeCommandLine(const std::string& arguments, std::string* output)
{
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        std::string text = RunCommandLineTool(arguments);
        QueryPerformanceCounter(&end);
        if (output) *output = text;
        if (Seconds(start, end) < best) best = Seconds(start, end);
    }
    return best;
}

int main()
{
    const Analysis runs[] = {
        // About 44,000 pump calls; the heaviest run known.
        {"84.45", "4.11", "0.06", "806", "10000", "Br,I"},
        {"20", "2", "20", "100000", "10000", "Br,Cl,F,I,O,S"},
        {"71.09", "6.71", "10.36", "100000", "", "O"},
        {"45.12", "3.90", "9.57", "", "2000", "Br,Cl,F,I,O,S"},
    };
    double processStart = TimeCommandLine("--version", nullptr);
    std::printf("vornik.exe process start: %.3f s\n", processStart);
    std::printf("%-40s %10s %10s %7s\n", "run", "vornik", "window", "ratio");

    int status = 0;
    for (const Analysis& run : runs) {
        std::string block;
        double commandLine =
            TimeCommandLine(CommandLineArguments(run), &block) - processStart;

        Program program;
        if (!StartProgram(program) || !EnterAnalysis(program, run)) {
            std::printf("VornikTool.exe did not start\n");
            EndProgram(program);
            return 1;
        }
        double window = 1e9;
        bool same = true;
        for (int i = 0; i < 3; ++i) {
            SetText(GetDlgItem(program.page, 3010), "");
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            bool done = ClickGoAndWaitForBlock(program, 600000);
            QueryPerformanceCounter(&end);
            same = same && done && TextOf(GetDlgItem(program.page, 3010)) == block;
            if (Seconds(start, end) < window) window = Seconds(start, end);
        }
        EndProgram(program);

        std::printf("%-40s %9.3fs %9.3fs %7.1f%s\n",
                    CommandLineArguments(run).c_str(), commandLine, window,
                    window / commandLine, same ? "" : "  (different block!)");
        if (!same) status = 1;
    }
    return status;
}
