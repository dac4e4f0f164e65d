// Command-line parsing for vornik.
#pragma once

#include <string>

struct CliOptions {
    std::string percent[3];      // C, H, N operand texts
    std::string elements;        // comma-separated list, may be empty
    std::string maxCarbon;       // text of --max-c, empty when not given
    std::string maxFormulaWeight;
    std::string tolerance;       // text of --tolerance
    std::string format;          // text of --format
    std::string batch;           // file of --batch, "-" for standard input
    bool maxCarbonGiven = false, maxFormulaWeightGiven = false;
    bool toleranceGiven = false, formatGiven = false, batchGiven = false;
    bool crlf = false;
    bool complete = false;
    bool help = false;
    bool version = false;
};

// Reads argv into options. Returns an empty string on success, else the
// one-line description of what is wrong.
std::string ParseCommandLine(int argc, char** argv, CliOptions& options);
