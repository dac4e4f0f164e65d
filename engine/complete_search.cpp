// The complete search. A formula's C percentage is 100 nC wC / FW, so each
// measured percentage with its tolerance confines FW to a window once the
// element's count is fixed, and a window confines the next element's count.
// Carbon, nitrogen and hydrogen are fixed in that order, each narrowing the
// window; what is left of it, less the C/H/N mass, is the mass the
// heteroatoms must fill, which bounds each heteroatom count from both sides.
//
// The windows are only for pruning: they are computed with a slightly wider
// tolerance and weight limit than the acceptance tests, so that no rounding
// in them can drop a formula, and every formula inside them is then judged
// by JudgeFormula, the window's own arithmetic.
#include "complete_search.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>

namespace {

// A range of formula weights, grams per mole.
struct WeightWindow {
    double low, high;
};

struct Search {
    const CompleteSearchLimits* limits;
    std::vector<FormulaRecord>* results;
    double measured[3];  // C, H, N
    double tolerance;    // widened for pruning
    double maxWeight;    // widened for pruning
    int levels;          // permitted heteroatoms ...
    int order[6];        // ... heaviest first
    int counts[ElementCount];
    double massLow, massHigh;  // heteroatom mass still to be placed
    CompleteSearchEnd end;
};

const double* const weight = ElementTable.atomicWeight;

long long ClampCount(double value)
{
    if (!(value > 0))
        return 0;
    return value >= INT_MAX ? INT_MAX : (long long)value;
}

// Narrows window to the weights at which `count` atoms of element (C, H or
// N) give a percentage within the pruning tolerance. False when none do.
bool Narrow(const Search& s, int element, long long count, WeightWindow& window)
{
    const double m = s.measured[element];
    if (count == 0)
        return m < s.tolerance;  // 0 % then, whatever the weight
    const double mass = 100.0 * count * weight[element];
    window.low = std::max(window.low, mass / (m + s.tolerance));
    if (m - s.tolerance > 0)
        window.high = std::min(window.high, mass / (m - s.tolerance));
    return window.low <= window.high;
}

// The counts of element (H or N) that can give a percentage within the
// pruning tolerance somewhere in window.
void CountRange(const Search& s, int element, const WeightWindow& window,
                long long& first, long long& last)
{
    const double m = s.measured[element];
    const double per = 100.0 * weight[element];
    first = m - s.tolerance > 0
                ? ClampCount(std::ceil((m - s.tolerance) * window.low / per))
                : 0;
    last = ClampCount(std::floor((m + s.tolerance) * window.high / per));
}

bool Stopped(const Search& s) { return s.end != CompleteFinished; }

void Judge(Search& s)
{
    PumpPendingMessages();
    if (cancelRequested != 0) {
        s.end = CompleteCancelled;
        return;
    }
    FormulaRecord record;
    if (!JudgeFormula(s.counts, record))
        return;
    s.results->push_back(record);
    if ((long long)s.results->size() >= s.limits->maxResults)
        s.end = CompleteFull;
}

// Largest count of element allowed at this point: its limit, its cap (the
// halogen room left, or 3 nC for O and S).
long long HeteroCap(const Search& s, int element, long long halogenRoom)
{
    const bool halogen = element <= IndexI;
    const long long cap = halogen ? halogenRoom : 3LL * s.counts[IndexC];
    return std::min<long long>(s.limits->maxCount[element], cap);
}

// Places heteroatom level `level` and those inside it; `used` is the mass
// placed so far.
void FillLevel(Search& s, int level, double used, long long halogenRoom)
{
    if (level == s.levels) {
        if (used >= s.massLow && used <= s.massHigh)
            Judge(s);
        return;
    }
    const int element = s.order[level];
    const double w = weight[element];
    double innerMass = 0;  // the most the inner levels can hold
    for (int k = level + 1; k < s.levels; ++k)
        innerMass += HeteroCap(s, s.order[k], halogenRoom) * weight[s.order[k]];

    const long long cap = HeteroCap(s, element, halogenRoom);
    const double byMass = std::floor((s.massHigh - used) / w);
    const long long last = byMass < (double)cap ? (long long)byMass : cap;
    const double missing = std::ceil((s.massLow - used - innerMass) / w);
    const long long first =
        missing > 0 ? (missing <= (double)cap ? (long long)missing : cap + 1) : 0;
    const bool halogen = element <= IndexI;
    for (long long n = first; n <= last && !Stopped(s); ++n) {
        s.counts[element] = (int)n;
        FillLevel(s, level + 1, used + n * w,
                  halogen ? halogenRoom - n : halogenRoom);
    }
    s.counts[element] = 0;
}

void SearchHydrogen(Search& s, const WeightWindow& window)
{
    const long long nC = s.counts[IndexC], nN = s.counts[IndexN];
    long long first, last;
    CountRange(s, IndexH, window, first, last);
    last = std::min({last, 2 * nC + 2 * nN + 3,
                     (long long)s.limits->maxCount[IndexH]});
    for (long long nH = first; nH <= last && !Stopped(s); ++nH) {
        WeightWindow w = window;
        if (!Narrow(s, IndexH, nH, w))
            continue;
        s.counts[IndexH] = (int)nH;
        const double chnWeight = nC * weight[IndexC] + nH * weight[IndexH] +
                                 nN * weight[IndexN];
        const double slack = 1e-9 * w.high + 1e-9;
        s.massLow = w.low - chnWeight - slack;
        s.massHigh = w.high - chnWeight + slack;
        if (s.massHigh < 0)
            continue;
        PumpPendingMessages();
        if (cancelRequested != 0) {
            s.end = CompleteCancelled;
            return;
        }
        FillLevel(s, 0, 0.0, 2 * nC + 2 * nN + 3 - nH);
    }
}

bool InputsUsable()
{
    const SearchSettingsRecord& st = SearchSettings;
    auto usable = [](double p) { return p >= 0.0 && p <= 101.0; };
    return usable(st.percentC) && usable(st.percentH) && usable(st.percentN) &&
           st.percentC >= 1.0 && agreementTolerance > 0 &&
           std::isfinite(agreementTolerance) && st.maxFormulaWeight > 0;
}

}  // namespace

CompleteSearchLimits DefaultCompleteLimits()
{
    CompleteSearchLimits limits;
    for (int i = 0; i < ElementCount; ++i)
        limits.maxCount[i] = SearchSettings.countLimit[i];
    limits.maxCount[IndexC] = SearchSettings.maxCarbonCount;
    limits.maxCount[IndexH] = INT_MAX;
    limits.maxCount[IndexN] = INT_MAX;
    limits.maxResults = 100000;
    return limits;
}

CompleteSearchEnd RunCompleteSearch(const CompleteSearchLimits& limits,
                                    std::vector<FormulaRecord>& results)
{
    SetDerivedSettings();
    if (!InputsUsable())
        return CompleteFinished;

    Search s{};
    s.limits = &limits;
    s.results = &results;
    s.measured[IndexC] = SearchSettings.percentC;
    s.measured[IndexH] = SearchSettings.percentH;
    s.measured[IndexN] = SearchSettings.percentN;
    s.tolerance = agreementTolerance * (1 + 1e-9) + 1e-9;
    s.maxWeight = SearchSettings.maxFormulaWeight * (1 + 1e-12) + 1e-9;
    for (int e : {IndexI, IndexBr, IndexCl, IndexS, IndexF, IndexO})
        if (limits.maxCount[e] > 0)
            s.order[s.levels++] = e;
    s.end = CompleteFinished;
    if (limits.maxResults <= 0)
        return CompleteFull;

    const long long lastC = std::min<long long>(
        limits.maxCount[IndexC],
        ClampCount(std::floor(s.maxWeight / weight[IndexC])));
    int stepsIssued = 0;
    for (long long nC = 1; nC <= lastC && !Stopped(s); ++nC) {
        if (stepsIssued + 1 < (double)nC / lastC * 20) {
            ++stepsIssued;
            StepProgress();
        }
        s.counts[IndexC] = (int)nC;
        WeightWindow window{nC * weight[IndexC], s.maxWeight};
        if (!Narrow(s, IndexC, nC, window)) {
            if (window.low > s.maxWeight)
                break;  // the window only moves up with nC
            continue;
        }
        long long first, last;
        CountRange(s, IndexN, window, first, last);
        last = std::min<long long>(last, limits.maxCount[IndexN]);
        for (long long nN = first; nN <= last && !Stopped(s); ++nN) {
            WeightWindow w = window;
            if (!Narrow(s, IndexN, nN, w))
                continue;
            s.counts[IndexN] = (int)nN;
            SearchHydrogen(s, w);
        }
        s.counts[IndexN] = 0;
        s.counts[IndexH] = 0;
    }
    return s.end;
}

void SortByError(std::vector<FormulaRecord>& results)
{
    // The error as the line prints it, so that the order can be read off
    // the lines: formulas whose MAX_ERR prints alike follow in text order.
    std::vector<std::string> texts;
    std::vector<double> printed;
    texts.reserve(results.size());
    printed.reserve(results.size());
    for (const FormulaRecord& r : results) {
        texts.push_back(FormulaText(r.counts));
        char error[64];
        std::snprintf(error, sizeof error, "%.2f", r.maxError);
        printed.push_back(std::strtod(error, nullptr));
    }
    std::vector<std::size_t> order(results.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (printed[a] != printed[b])
            return printed[a] < printed[b];
        return texts[a] < texts[b];
    });
    std::vector<FormulaRecord> sorted;
    sorted.reserve(results.size());
    for (std::size_t i : order)
        sorted.push_back(results[i]);
    results.swap(sorted);
}
