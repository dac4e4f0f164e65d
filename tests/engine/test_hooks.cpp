#include "test_hooks.h"

#include <cstring>
#include <sstream>

int cancelRequested;
HookLog hooks;

void PumpPendingMessages()
{
    ++hooks.pumps;
    if (hooks.cancelAtPump >= 0 && hooks.pumps >= hooks.cancelAtPump)
        cancelRequested = 1;
    if (hooks.cancelAtAccepted >= 0 &&
        SearchCounters.accepted >= hooks.cancelAtAccepted)
        cancelRequested = 1;
}

void StepProgress() { ++hooks.steps; }

void ResetEngineState()
{
    hooks = HookLog{};
    cancelRequested = 0;
    resultsUnsaved = 0;
    ResultsLog[0] = '\0';
    LineBuffer[0] = '\0';
    ClearRunLines();
    candidateObserver = nullptr;
    extraBoundsEnabled = 1;
    SearchSettings = SearchSettingsRecord{};
}

RunInputs MakeInputs(const char* c, const char* h, const char* n,
                     const std::string& elements, const char* maxC,
                     const char* maxFW)
{
    RunInputs in{};
    in.textC = c;
    in.textH = h;
    in.textN = n;
    in.textMaxC = maxC;
    in.textMaxFW = maxFW;
    std::istringstream words(elements);
    std::string e;
    while (words >> e) {
        in.useBr |= e == "Br";
        in.useCl |= e == "Cl";
        in.useF |= e == "F";
        in.useI |= e == "I";
        in.useO |= e == "O";
        in.useS |= e == "S";
    }
    return in;
}

std::string RunBlock(const RunInputs& inputs)
{
    ResultsLog[0] = '\0';
    RunCalculation(inputs, nullptr, nullptr);
    return ResultsLog;
}
