// Run hooks for the engine tests: they count what the search calls and can
// play the part of the CANCEL button.
#pragma once

#include "engine.h"

#include <string>

struct HookLog {
    long long pumps = 0;
    int steps = 0;
    long long cancelAtPump = -1;     // set cancelRequested at this pump
    long long cancelAtAccepted = -1; // ... once this many lines are accepted
};
extern HookLog hooks;

// Clears the hooks, the shared buffers and the flags.
void ResetEngineState();

// Inputs as the page would hand them over; elements is a string of the
// symbols wanted, such as "Br O S".
RunInputs MakeInputs(const char* c, const char* h, const char* n,
                     const std::string& elements = "", const char* maxC = "",
                     const char* maxFW = "");

// Runs one calculation on an empty log and returns the new log.
std::string RunBlock(const RunInputs& inputs);
