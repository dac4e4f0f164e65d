// The seed scan: ratios, multipliers and offsets, the 0.7 pre-filter and the
// progress rule, seen through the candidates it hands on and the hooks.
#include "test_hooks.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <vector>

namespace {

struct Candidate {
    int nC, nH, nN;
    double estimatedFW, chnWeight;
};
std::vector<Candidate> seen;

void Record(int nC, int nH, int nN, double estimatedFW, double chnWeight)
{
    seen.push_back({nC, nH, nN, estimatedFW, chnWeight});
}

void Scan(double c, double h, double n, double maxCarbon)
{
    ResetEngineState();
    seen.clear();
    candidateObserver = Record;
    SearchSettings.percentC = c;
    SearchSettings.percentH = h;
    SearchSettings.percentN = n;
    SearchSettings.maxCarbon = maxCarbon;
    SearchSettings.maxFormulaWeight = 800;
    RunFormulaSearch();
}

struct ScanCase {
    double c, h, n, maxCarbon;
    long long slots;
    int steps;
    long long candidates;  // -1: not checked
};

TEST(SeedScan, SlotsAndProgressOfTheWorkedExamples)
{
    const ScanCase cases[] = {
        {71.09, 6.71, 10.36, 20, 210, 30, 13},  // 8:9:1, spread 1: 30 steps
        {68.85, 4.95, 0, 20, 665, 19, -1},      // 1:1:0, multipliers 1..19
        {40.00, 6.71, 0.50, 20, 665, 19, -1},   // N below 0.06: base is C
        {54.54, 3.05, 42.41, 20, 945, 20, -1},  // 2:1:1, multipliers 1..9
        {54.54, 3.05, 42.41, 3, 105, 43, -1},   // counter restarts at 46
        {71.09, 6.71, 10.36, 1, 0, 0, 0},       // MAX C 1: no multiplier
    };
    for (const ScanCase& c : cases) {
        Scan(c.c, c.h, c.n, c.maxCarbon);
        SCOPED_TRACE(testing::Message() << c.c << " " << c.h << " " << c.n
                                        << " max C " << c.maxCarbon);
        EXPECT_EQ(SearchCounters.slots, c.slots);
        EXPECT_EQ(hooks.steps, c.steps);
        if (c.candidates >= 0) {
            EXPECT_EQ(SearchCounters.candidates, c.candidates);
        }
        if (c.slots == 0) {
            EXPECT_EQ(hooks.pumps, 0);
        }
    }
}

TEST(SeedScan, AcetanilideCandidates)
{
    Scan(71.09, 6.71, 10.36, 20);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(std::make_tuple(seen[0].nC, seen[0].nH, seen[0].nN), std::make_tuple(8, 8, 1));
    EXPECT_EQ(std::make_tuple(seen[1].nC, seen[1].nH, seen[1].nN), std::make_tuple(8, 9, 1));
    EXPECT_EQ(std::make_tuple(seen[2].nC, seen[2].nH, seen[2].nN), std::make_tuple(8, 10, 1));
    EXPECT_NEAR(seen[1].chnWeight, 119.1638, 5e-5);
    EXPECT_NEAR(seen[1].estimatedFW, 135.168, 5e-4);
}

TEST(SeedScan, CarbonStaysBelowTheMaximumWithoutSpread)
{
    Scan(68.85, 4.95, 0, 20);
    bool sevenSixZero = false;
    for (const Candidate& c : seen) {
        EXPECT_LE(c.nC, 19);
        if (c.nC == 7 && c.nH == 6 && c.nN == 0) {
            sevenSixZero = true;
            EXPECT_NEAR(c.estimatedFW, 122.117, 5e-4);
        }
    }
    EXPECT_TRUE(sevenSixZero);
}

TEST(SeedScan, RepeatedCandidatesAreEnumeratedEachTime)
{
    // (3, 2, 2) comes from multiplier 1 with offsets (+1, +1, +1) and from
    // multiplier 2 with (-1, 0, 0).
    Scan(54.54, 3.05, 42.41, 20);
    int repeats = 0;
    for (const Candidate& c : seen)
        repeats += c.nC == 3 && c.nH == 2 && c.nN == 2;
    EXPECT_EQ(repeats, 2);
}

TEST(SeedScan, CancelEndsTheScanAtTheSlot)
{
    Scan(68.85, 4.95, 0, 20);
    const long long pumpsOfAFullRun = hooks.pumps;
    ResetEngineState();
    SearchSettings.percentC = 68.85;
    SearchSettings.percentH = 4.95;
    SearchSettings.maxCarbon = 20;
    SearchSettings.maxFormulaWeight = 800;
    hooks.cancelAtPump = 10;
    RunFormulaSearch();
    EXPECT_EQ(hooks.pumps, 10);
    EXPECT_LT(hooks.pumps, pumpsOfAFullRun);
}

// Out-of-range settings that the page can produce: the scan must end, and
// quickly, without touching an invalid count.
TEST(SeedScan, InputOutsideTheAnalysisRangeVisitsNothing)
{
    const ScanCase cases[] = {
        {-1, 0, 0, 20, 0, 0, 0},      // negative carbon
        {50, -0.3, 5, 20, 0, 0, 0},   // negative hydrogen
        {150, 0, 0, 20, 0, 0, 0},     // no formula has more than 100 %
        {50, 5, 1e9, 20, 0, 0, 0},
        {0.5, 0, 0, 20, 0, 0, 0},     // C below 1 (the run refuses it)
        {0, 0, 0, 20, 0, 0, 0},       // every quantity zero
    };
    for (const ScanCase& c : cases) {
        Scan(c.c, c.h, c.n, c.maxCarbon);
        EXPECT_EQ(SearchCounters.slots, 0) << c.c << " " << c.h << " " << c.n;
        EXPECT_EQ(hooks.pumps, 0);
    }
}

TEST(SeedScan, DerivedLimitsFollowTheCarbonMaximum)
{
    struct Case { double maxCarbon; int useBr; int count, brLimit; };
    const Case cases[] = {
        {20.9, 1, 20, 20}, {1, 1, 1, 1}, {20, 0, 20, 0},
        {1e300, 1, INT_MAX, INT_MAX}, {2147483648.0, 1, INT_MAX, INT_MAX},
    };
    for (const Case& c : cases) {
        SearchSettings = SearchSettingsRecord{};
        SearchSettings.maxCarbon = c.maxCarbon;
        SearchSettings.useBr = c.useBr;
        SetDerivedSettings();
        EXPECT_EQ(SearchSettings.maxCarbonCount, c.count);
        EXPECT_EQ(SearchSettings.countLimit[IndexC], c.count);
        EXPECT_EQ(SearchSettings.countLimit[IndexBr], c.brLimit);
        EXPECT_EQ(SearchSettings.countLimit[IndexCl], 0);
        EXPECT_EQ(SearchSettings.countLimit[IndexH], 0);
    }
}

TEST(ExtendedPrecision, LongDoubleCarriesSixtyFourBits)
{
    // The scan's intermediates rely on the 80-bit format at full precision;
    // a 53-bit x87 precision setting would silently change candidates.
    volatile long double one = 1.0L;
    volatile long double tiny = 1.0L / (1ULL << 62);
    EXPECT_NE(one + tiny, one);
}

}  // namespace
