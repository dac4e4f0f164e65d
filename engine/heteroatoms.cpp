// The heteroatom enumeration: fills the mass that a C/H/N candidate leaves
// with every admissible number of Br, Cl, F, I, O and S atoms, keeps the
// formulas that agree with the measurement and appends their result lines.
#include "engine.h"
#include "complete_search.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Extra bounds. Each one skips only combinations that the acceptance tests
// would reject, so the result lines and their order stay exactly those of
// the plain loops; the loops themselves and their order are unchanged.
//  - Weight window: the agreement tests on C, H and N, solved for FW, give
//    an open interval of formula weights per candidate (a count of 0 needs
//    the measured value itself below the limit); MAX FW caps it too. A
//    level skips the counts whose partial formula already weighs more than
//    the window allows, or that cannot reach the window even with every
//    inner level at its largest count.
//  - Shared halogen room: n atoms at a halogen level leave room for at most
//    room - n of the heaviest inner halogen, which bounds n from one side.
//  - Parity: at the innermost permitted halogen only counts that make the
//    odd-valence sum even are tried.
//  - A full RunLines ends the search: once LineBuffer is non-empty and
//    RunLines holds its 131071 characters, nothing can change the run's
//    block any more.
// The window is widened by a relative margin far above the rounding error
// of the tests, so rounding at its edges can never drop a line.
constexpr double Margin = 1e-9;

struct CallLimits {
    double fwLow, fwHigh;  // widened; FW outside cannot be accepted
    int lastHalogen;       // innermost permitted halogen, or -1
    int parityBase;        // nH + nN, for the parity skip
};
CallLimits limits;

// The open FW interval in which element x's computed percentage agrees
// with the measured one; false when no FW can satisfy it.
bool NarrowWeightWindow(int count, double weight, double measured,
                        double& low, double& high)
{
    const double t = agreementTolerance;
    if (count == 0)
        return std::fabs(0.0 - measured) < t;  // pX is exactly 0
    const double mass = count * weight;
    if (measured + t > 0) {
        const double l = mass * 100 / (measured + t);
        if (l > low)
            low = l;
    }
    // Only when the measured value clears the limit by a clear amount: just
    // above it the relative margin would not cover the rounding.
    if (measured - t > 1e-3) {
        const double h = mass * 100 / (measured - t);
        if (h < high)
            high = h;
    }
    return true;
}

// Sets the call's limits; false when no combination can be accepted.
bool SetCallLimits(const int* counts)
{
    const SearchSettingsRecord& s = SearchSettings;
    const double* w = ElementTable.atomicWeight;
    double low = 0, high = s.maxFormulaWeight;
    if (!NarrowWeightWindow(counts[IndexC], w[IndexC], s.percentC, low, high) ||
        !NarrowWeightWindow(counts[IndexH], w[IndexH], s.percentH, low, high) ||
        !NarrowWeightWindow(counts[IndexN], w[IndexN], s.percentN, low, high))
        return false;
    limits.fwLow = low * (1 - Margin) - Margin;
    limits.fwHigh = high * (1 + Margin) + Margin;
    limits.lastHalogen = -1;
    for (int e = IndexBr; e <= IndexI; ++e)
        if (s.countLimit[e] > 0)
            limits.lastHalogen = e;
    limits.parityBase = (counts[IndexH] + counts[IndexN]) & 1;
    if (limits.lastHalogen < 0 && limits.parityBase != 0)
        return false;  // no halogen can make the sum even
    return limits.fwLow < limits.fwHigh;
}

// What the levels inside `element` can add at most: each inner level is
// held by its count limit, its cap and the mass that is left.
struct InnerMass {
    double halogens;         // the inner halogens at their largest counts
    double heaviestHalogen;  // weight of the heaviest inner halogen, or 0
    double others;           // O and S at their largest counts
};

InnerMass InnerMassLimit(int element, double remainingMass,
                         long long halogenRoom, int nC)
{
    const SearchSettingsRecord& s = SearchSettings;
    const double* w = ElementTable.atomicWeight;
    InnerMass inner = {0, 0, 0};
    for (int e = element + 1; e < ElementCount; ++e) {
        const double cap = e <= IndexI ? (double)halogenRoom : 3.0 * nC;
        const double count = std::floor(
            Min3(s.countLimit[e], cap, std::floor(remainingMass / w[e] + 1)));
        if (count <= 0)
            continue;
        if (e <= IndexI) {
            inner.halogens += count * w[e];
            if (w[e] > inner.heaviestHalogen)
                inner.heaviestHalogen = w[e];
        } else {
            inner.others += count * w[e];
        }
    }
    return inner;
}

// Counts as the bounds compute them in floating point: a value within a
// hair of a whole number counts as that number, so that rounding can only
// widen the range of counts tried.
double CountAtLeast(double value) { return std::ceil(value - 1e-7); }
double CountAtMost(double value) { return std::floor(value + 1e-7); }

// One combination of heteroatom counts, judged by the acceptance tests
// (JudgeFormula); an accepted one gets its result line. Returns 1 when the
// search is to stop (cancelled, or RunLines is full so that nothing can
// change the block any more), else 0.
int TryCombination(const int* counts)
{
    PumpPendingMessages();
    ++SearchCounters.combinations;
    if (cancelRequested != 0)
        return 1;

    FormulaRecord record;
    if (!JudgeFormula(counts, record))
        return 0;
    std::snprintf(LineBuffer, LineBufferSize, "%s\r\n", ResultLine(record).c_str());
    AppendBounded(RunLines, RunLinesLength, LogCapacity, LineBuffer);
    ++SearchCounters.accepted;
    return extraBoundsEnabled && RunLinesLength == LogCapacity ? 1 : 0;
}

// One enumeration level: the heteroatom `element` (Br .. S), with the mass
// left for it and the levels inside it, the halogen room that the hydrogen
// count leaves, and the mass of the formula's atoms so far. Levels nest Br
// (outermost) to S (innermost).
int EnumerateLevel(int element, double remainingMass, long long halogenRoom,
                   double partialMass, int* counts)
{
    ++SearchCounters.levelStarts;
    const bool halogen = element <= IndexI;
    const long long cap = halogen ? halogenRoom : 3LL * counts[IndexC];
    const double w = ElementTable.atomicWeight[element];
    int bound = TruncToInt(Min3(SearchSettings.countLimit[element], (double)cap,
                                remainingMass / w + 1));
    long long first = 0, step = 1;

    if (extraBoundsEnabled) {
        // Too heavy already: the inner levels add nothing negative.
        double most = CountAtMost((limits.fwHigh - partialMass) / w);
        // Too light even with every inner level at its largest count.
        const InnerMass inner = InnerMassLimit(element, remainingMass,
                                               halogenRoom, counts[IndexC]);
        double least = CountAtLeast(
            (limits.fwLow - inner.halogens - inner.others - partialMass) / w);
        if (halogen) {
            // The inner halogens share the room that this count leaves:
            // n atoms here and at most room - n of the heaviest inside.
            const double h = inner.heaviestHalogen;
            const double shortfall = limits.fwLow - partialMass -
                                     (double)halogenRoom * h - inner.others;
            if (w > h) {
                const double n = CountAtLeast(shortfall / (w - h));
                if (n > least)
                    least = n;
            } else if (w < h) {
                const double n = CountAtMost(-shortfall / (h - w));
                if (n < most)
                    most = n;
            }
        }
        if (most < bound)
            bound = most < 0 ? -1 : (int)most;
        if (least > bound)
            return 0;
        if (least > 0)
            first = (long long)least;
        if (element == limits.lastHalogen) {
            int odd = limits.parityBase;
            for (int e = IndexBr; e < element; ++e)
                odd ^= counts[e] & 1;
            if ((first & 1) != odd)
                ++first;
            step = 2;
        }
    }

    for (long long n = first; n <= bound; n += step) {
        counts[element] = (int)n;
        const int stop =
            element == IndexS
                ? TryCombination(counts)
                : EnumerateLevel(element + 1, remainingMass - n * w,
                                 halogen ? halogenRoom - n : halogenRoom,
                                 partialMass + n * w, counts);
        if (stop)
            return 1;
    }
    counts[element] = 0;
    return 0;
}

}  // namespace

int EnumerateHeteroatoms(int nC, int nH, int nN, double estimatedFW,
                         double chnWeight)
{
    int counts[ElementCount] = {nC, nH, nN, 0, 0, 0, 0, 0, 0};
    const long long monovalentBudget = 2LL * nC + 2LL * nN + 3 - nH;
    if (extraBoundsEnabled && !SetCallLimits(counts))
        return 0;
    return EnumerateLevel(IndexBr, estimatedFW - chnWeight, monovalentBudget,
                          chnWeight, counts);
}

int HasCommonFactor(const int* counts, int n)
{
    int copy[10];
    if (n > 10)
        n = 10;
    std::memcpy(copy, counts, sizeof(int) * (n > 0 ? n : 0));
    if (n <= 0)
        return 1;
    int g = copy[0];
    for (int i = 1; i < n; ++i) {
        if (g == 1 || copy[i] == 0)
            continue;
        if (g > copy[i])
            g = Gcd(g, copy[i]);
        else if (g < copy[i])
            g = Gcd(copy[i], g);
    }
    return g != 1 ? 1 : 0;
}

int Gcd(int a, int b)
{
    if (a <= 0 || b <= 0)
        return 0;
    const int r = a % b;
    return r == 0 ? b : Gcd(b, r);
}

double Max3(double a, double b, double c)
{
    const double m = a < b ? b : a;
    return m < c ? c : m;
}

double Min3(double a, double b, double c)
{
    const double m = a > b ? b : a;
    return m > c ? c : m;
}
