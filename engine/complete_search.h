// The complete search: every formula within the limits that passes the
// window's acceptance tests, not only those near multiples of the measured
// C:H:N ratio. It prunes with a formula-weight window that each of C, H and
// N narrows in turn, and fills the heteroatom mass that window leaves,
// heaviest element first. Each formula that passes the pruning is judged by
// exactly the arithmetic of the window's enumeration, so every line that the
// window lists for an input is also in the complete list, byte for byte.
//
// Reads SearchSettings and agreementTolerance; calls PumpPendingMessages for
// every combination it judges and stops when cancelRequested is set.
#pragma once

#include "engine.h"

#include <string>
#include <vector>

// One accepted formula with the numbers of its result line.
struct FormulaRecord {
    int counts[ElementCount];  // engine order
    double formulaWeight;
    double percentC, percentH, percentN;
    double maxError;
};

// The acceptance tests, as the window's enumeration applies them: parity (H, N and the
// halogens even), FW summed in engine order, each of C, H and N strictly
// within agreementTolerance, nC at most maxCarbon, FW at most
// maxFormulaWeight, lowest terms. Fills record and returns true when the
// formula is accepted. Needs the element weights (SetDerivedSettings).
bool JudgeFormula(const int* counts, FormulaRecord& record);

// Formula text in Hill order ("C8H9NO"), as the result line prints it.
std::string FormulaText(const int* counts);

// Reads a formula text of the nine known elements back into counts. Returns
// false for anything else (unknown symbols, a count of 0, a repeated element).
bool ParseFormulaText(const std::string& text, int* counts);

// The window's result line for record, without the line end.
std::string ResultLine(const FormulaRecord& record);

// Upper bounds on each element's count, and a stop after so many formulas.
struct CompleteSearchLimits {
    int maxCount[ElementCount];
    long long maxResults;
};

// The limits of a complete search: carbon up to maxCarbonCount, each
// permitted heteroatom up to maxCarbonCount (countLimit), hydrogen and
// nitrogen bounded only by the rules and the formula weight. Call after
// SetDerivedSettings.
CompleteSearchLimits DefaultCompleteLimits();

enum CompleteSearchEnd { CompleteFinished = 0, CompleteCancelled, CompleteFull };

// Appends every accepted formula within limits to results, in no particular
// order, each once. Sets the derived settings first. Returns how it ended:
// finished, cancelled (cancelRequested), or full (maxResults reached).
CompleteSearchEnd RunCompleteSearch(const CompleteSearchLimits& limits,
                                    std::vector<FormulaRecord>& results);

// Orders results by maximum error as the result line prints it (two
// decimals), then by formula text.
void SortByError(std::vector<FormulaRecord>& results);
