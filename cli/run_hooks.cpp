// Run hooks of the command line. Ctrl-C plays the part of CANCEL: the signal
// handler only raises a flag, and the pump, which the search calls at every
// candidate and combination, turns it into cancelRequested. Progress is drawn
// on stderr when it is a terminal and the run has taken half a second.
#include "run_hooks.h"

#include "engine.h"

#include <chrono>
#include <csignal>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

int cancelRequested;

namespace {

volatile std::sig_atomic_t interrupted;
std::chrono::steady_clock::time_point runStart;
bool progressOnTerminal;
bool progressDrawn;
int stepsTaken;

void OnInterrupt(int)
{
    interrupted = 1;
    std::signal(SIGINT, SIG_DFL);  // a second Ctrl-C ends the program
}

void DrawProgress()
{
    const int filled = stepsTaken < 20 ? stepsTaken : 20;
    char bar[21];
    for (int i = 0; i < 20; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[20] = '\0';
    std::fprintf(stderr, "\rvornik: searching [%s] %3d%%", bar, filled * 5);
    std::fflush(stderr);
    progressDrawn = true;
}

}  // namespace

void PumpPendingMessages()
{
    if (interrupted)
        cancelRequested = 1;
}

void StepProgress()
{
    ++stepsTaken;
    if (!progressOnTerminal)
        return;
    const auto elapsed = std::chrono::steady_clock::now() - runStart;
    if (elapsed >= std::chrono::milliseconds(500))
        DrawProgress();
}

void BeginRunHooks()
{
    cancelRequested = 0;
    interrupted = 0;
    stepsTaken = 0;
    progressDrawn = false;
    progressOnTerminal = isatty(fileno(stderr)) != 0;
    runStart = std::chrono::steady_clock::now();
    std::signal(SIGINT, OnInterrupt);
}

bool EndRunHooks()
{
    std::signal(SIGINT, SIG_DFL);
    if (progressDrawn) {
        std::fprintf(stderr, "\r%50s\r", "");
        std::fflush(stderr);
    }
    return interrupted != 0;
}
