// Command-line parsing for vornik.
#pragma once

#include <string>

struct CliOptions {
    std::string percent[3];      // C, H, N operand texts
    std::string elements;        // comma-separated list, may be empty
    std::string maxCarbon;       // text of --max-c, empty when not given
    std::string maxFormulaWeight;
    bool maxCarbonGiven = false, maxFormulaWeightGiven = false;
    bool crlf = false;
    bool help = false;
    bool version = false;
};

// Reads argv into options. Returns an empty string on success, else the
// one-line description of what is wrong.
std::string ParseCommandLine(int argc, char** argv, CliOptions& options);
