// The seed scan: derives a small whole-number C:H:N ratio from the measured
// percentages, walks the multiples of it with small offsets of the three
// counts, and hands every count triple whose C:H:N proportions fit the
// measurement to within 0.7 percentage points to the heteroatom enumeration.
//
// Arithmetic follows the 80-bit x87 original: every formula is evaluated in
// long double and rounded to double only where a named value is stored.
#include "engine.h"

#include <cmath>

SearchCountersRecord SearchCounters;
int extraBoundsEnabled = 1;
void (*candidateObserver)(int, int, int, double, double);

namespace {

// The percentages the scan works on. A measured percentage above 101 can
// match no formula (computed percentages never exceed 100 and agreement
// needs a deviation below 0.51), so the scan visits nothing for it; and a
// negative percentage is a typing error, not an analysis, so it matches
// nothing either. Inside this range every divisor below is positive and
// every ratio is a small whole number.
bool PercentagesInRange()
{
    const SearchSettingsRecord& s = SearchSettings;
    auto usable = [](double p) { return p >= 0.0 && p <= 101.0; };
    return usable(s.percentC) && usable(s.percentH) && usable(s.percentN) &&
           s.percentC >= 1.0;
}

// With the extra bounds: true when no slot of this or any later multiplier
// can be accepted, because even its lightest C/H/N part weighs more than
// MAX FW (with the same safety margin as the enumeration's bounds).
bool BeyondWeightLimit(int multiplier, double ratioC, double ratioH,
                       double ratioN, int carbonSpread)
{
    const double* w = ElementTable.atomicWeight;
    const long double nC = (long double)multiplier * ratioC - carbonSpread;
    const long double nH = (long double)multiplier * ratioH - 3;
    const long double nN = (long double)multiplier * ratioN - 2;
    const long double lightest = (nC > 0 ? nC * w[IndexC] : 0) +
                                 (nH > 0 ? nH * w[IndexH] : 0) +
                                 (nN > 0 ? nN * w[IndexN] : 0);
    const double limit = SearchSettings.maxFormulaWeight;
    return lightest > (long double)limit * (1 + 1e-9) + 1e-9;
}

// A count computed in floating point is usable when it is a non-negative
// 32-bit value; anything else makes the slot invalid.
bool IsCount(long double value) { return value >= 0 && value <= 2147483647.0L; }

void SortThree(double list[3])
{
    auto order = [&](int a, int b) {
        if (list[a] > list[b]) {
            double t = list[a];
            list[a] = list[b];
            list[b] = t;
        }
    };
    order(0, 1);
    order(0, 2);
    order(1, 2);
}

}  // namespace

void RunFormulaSearch()
{
    SearchCounters = SearchCountersRecord{};
    SetDerivedSettings();
    int stepsIssued = 0;
    if (!PercentagesInRange())
        return;

    const SearchSettingsRecord& s = SearchSettings;
    const double wC = ElementTable.atomicWeight[IndexC];
    const double wH = ElementTable.atomicWeight[IndexH];
    const double wN = ElementTable.atomicWeight[IndexN];

    const double quantityC = (long double)s.percentC / wC;
    const double quantityH = (long double)s.percentH / wH;
    const double quantityN = (long double)s.percentN / wN;

    double sorted[3] = {quantityC, quantityH, quantityN};
    SortThree(sorted);
    const double baseQuantity = sorted[0] >= 0.06   ? sorted[0]
                                : sorted[1] >= 0.06 ? sorted[1]
                                                    : sorted[2];

    const double ratioC = TruncToInt((long double)quantityC / baseQuantity + 0.5L);
    const double ratioH = TruncToInt((long double)quantityH / baseQuantity + 0.5L);
    const double ratioN = TruncToInt((long double)quantityN / baseQuantity + 0.5L);
    const int carbonSpread = (ratioC == 1) ? 0 : 1;

    // 64-bit products: with a huge MAX C the 32-bit ones would overflow.
    const long double multiplierEnd = (long double)s.maxCarbonCount / ratioC;
    const double progressTotal =
        (double)((long long)TruncToInt(multiplierEnd) * (carbonSpread + 1) * 35);
    const long double percentSum =
        (long double)s.percentC + s.percentH + s.percentN;

    for (int multiplier = 1; multiplierEnd > multiplier; ++multiplier) {
        if (extraBoundsEnabled &&
            BeyondWeightLimit(multiplier, ratioC, ratioH, ratioN, carbonSpread))
            return;
        double progressCounter =
            std::trunc(progressTotal / multiplierEnd * multiplier);
        for (int offsetC = -carbonSpread; offsetC <= carbonSpread; ++offsetC)
        for (int offsetH = -3; offsetH <= 3; ++offsetH)
        for (int offsetN = -2; offsetN <= 2; ++offsetN) {
            ++SearchCounters.slots;
            progressCounter = progressCounter + 1;
            PumpPendingMessages();
            if (cancelRequested != 0)
                return;
            if (stepsIssued + 1 < (long double)progressCounter / progressTotal * 20) {
                ++stepsIssued;
                ++SearchCounters.progressSteps;
                StepProgress();
            }

            const long double countC = (long double)multiplier * ratioC + offsetC;
            const long double countH = (long double)multiplier * ratioH + offsetH;
            const long double countN = (long double)multiplier * ratioN + offsetN;
            if (!IsCount(countC) || !IsCount(countH) || !IsCount(countN))
                continue;
            const int nC = (int)countC, nH = (int)countH, nN = (int)countN;
            if ((long long)nC + nH + nN == 0)
                continue;

            const double chnWeight = (long double)nC * wC +
                                     (long double)nH * wH +
                                     (long double)nN * wN;
            const double estimatedFW =
                (long double)chnWeight / (percentSum * 0.01L);

            const double deviationC =
                (long double)nC * wC / estimatedFW * 100 - s.percentC;
            if (std::fabs(deviationC) >= prefilterTolerance)
                continue;
            const double deviationH =
                (long double)nH * wH / estimatedFW * 100 - s.percentH;
            if (std::fabs(deviationH) >= prefilterTolerance)
                continue;
            const double deviationN =
                (long double)nN * wN / estimatedFW * 100 - s.percentN;
            if (std::fabs(deviationN) >= prefilterTolerance)
                continue;

            ++SearchCounters.candidates;
            if (candidateObserver)
                candidateObserver(nC, nH, nN, estimatedFW, chnWeight);
            if (EnumerateHeteroatoms(nC, nH, nN, estimatedFW, chnWeight) == 1)
                return;
        }
    }
}
