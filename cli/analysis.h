// One analysis on the command line: checking its texts, running the
// window's search or the complete search on it, and what the run found.
#pragma once

#include "complete_search.h"

#include <string>
#include <vector>

// vornik's exit status: formulas found, none found, input refused.
constexpr int ExitFound = 0, ExitNotFound = 1, ExitRefused = 2;

// An analysis as typed: the three percentages, the further elements and
// the limits (an empty limit text means the default).
struct AnalysisTexts {
    std::string percent[3];
    std::string elements;
    std::string maxCarbon, maxFormulaWeight;
    // What messages call each of them: the option, or a batch file's column.
    std::string elementsName = "--elements", maxCarbonName = "--max-c",
                maxFormulaWeightName = "--max-fw";
};

struct AnalysisRun {
    double percent[3];            // as used by the search
    double maxCarbon, maxFormulaWeight;
    std::string elements[6];      // permitted heteroatoms, "" for the others
    std::string block;            // the run block, CR LF line ends
    std::vector<FormulaRecord> formulas;  // in the order the block lists them
    bool interrupted = false;     // Ctrl-C ended the search
    std::string cutNote;          // why the list is not whole, "" when it is
};

// The text of a value as a message quotes it: long ones are shortened.
std::string Quoted(const std::string& text);

// Reads text wholly as a finite number. Returns an empty string when it is
// one, else what is wrong with it.
std::string ReadNumber(const std::string& what, const std::string& text,
                       double& value);

// Checks the elements and limits alone (a batch's defaults). Returns an
// empty string or what is wrong.
std::string CheckElementsAndLimits(const AnalysisTexts& texts);

// Checks the texts and runs the search on them: the window's search, or
// the complete search when `complete` is set. Returns an empty string, or
// what is wrong with the texts (nothing is searched then).
std::string RunAnalysis(const AnalysisTexts& texts, bool complete,
                        AnalysisRun& run);
