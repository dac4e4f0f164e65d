// Heteroatom enumeration, acceptance tests, formula text and result lines.
#include "test_hooks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const double* const w = ElementTable.atomicWeight;

// FW as the enumeration sums it: counts times weights in engine order.
double FormulaWeight(const std::vector<int>& counts)
{
    double fw = 0;
    for (int i = 0; i < ElementCount; ++i)
        fw += counts[i] * w[i];
    return fw;
}

double Percent(const std::vector<int>& counts, int element)
{
    return counts[element] * w[element] / FormulaWeight(counts) * 100;
}

class Enumeration : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetEngineState();
        Settings(0, 0, 0, "");
    }

    // Measured percentages, permitted elements, MAX C 20 and MAX FW 800.
    void Settings(double c, double h, double n, const std::string& elements,
                  double maxCarbon = 20, double maxFW = 800)
    {
        SearchSettingsRecord& s = SearchSettings;
        s.percentC = c;
        s.percentH = h;
        s.percentN = n;
        s.useBr = elements.find("Br") != std::string::npos;
        s.useCl = elements.find("Cl") != std::string::npos;
        s.useF = elements.find("F") != std::string::npos;
        s.useI = elements.find("I") != std::string::npos;
        s.useO = elements.find("O") != std::string::npos;
        s.useS = elements.find("S") != std::string::npos;
        s.maxCarbon = maxCarbon;
        s.maxFormulaWeight = maxFW;
        SetDerivedSettings();
    }

    // Measures the formula itself and enumerates its C/H/N part with the
    // formula's own weight as the estimate.
    std::string EnumerateMeasured(const std::vector<int>& counts,
                                  const std::string& elements,
                                  double maxCarbon = 20, double maxFW = 800)
    {
        Settings(Percent(counts, IndexC), Percent(counts, IndexH),
                 Percent(counts, IndexN), elements, maxCarbon, maxFW);
        return Enumerate(counts[0], counts[1], counts[2], FormulaWeight(counts));
    }

    std::string Enumerate(int nC, int nH, int nN, double estimatedFW)
    {
        const double chn = nC * w[IndexC] + nH * w[IndexH] + nN * w[IndexN];
        EXPECT_EQ(EnumerateHeteroatoms(nC, nH, nN, estimatedFW, chn), 0);
        return RunLines;
    }
};

TEST_F(Enumeration, FormatsTheResultLine)
{
    extraBoundsEnabled = 0;  // counts the plain loop's combinations
    Settings(52.00, 13.00, 0.00, "O");
    const double chn = 2 * w[IndexC] + 6 * w[IndexH];
    EXPECT_EQ(EnumerateHeteroatoms(2, 6, 0, chn + 16, chn), 0);
    EXPECT_STREQ(RunLines,
                 "C2H6O                (FW  46.07): C:52.14 H:13.13 N: 0.00 "
                 "MAX_ERR: 0.14\r\n");
    EXPECT_STREQ(LineBuffer, RunLines);
    EXPECT_EQ(hooks.pumps, 3);  // O counts 0, 1 and 2
}

TEST_F(Enumeration, ParityCountsNitrogen)
{
    // C3H9N (9 H + 1 N, even) is listed; C3H8N (odd) and C6H6 (common
    // factor 6) never are, even when measured exactly.
    EXPECT_EQ(EnumerateMeasured({3, 9, 1, 0, 0, 0, 0, 0, 0}, ""),
              "C3H9N                (FW  59.11): C:60.96 H:15.35 N:23.70 "
              "MAX_ERR: 0.00\r\n");
    ClearRunLines();
    EXPECT_EQ(EnumerateMeasured({3, 8, 1, 0, 0, 0, 0, 0, 0}, ""), "");
    EXPECT_EQ(EnumerateMeasured({6, 6, 0, 0, 0, 0, 0, 0, 0}, ""), "");
    EXPECT_EQ(EnumerateMeasured({8, 9, 1, 0, 0, 0, 0, 1, 0}, "O").substr(0, 7),
              "C8H9NO ");
}

TEST_F(Enumeration, CountsOfOnePrintTheBareSymbolAndLongTextsAreNotCut)
{
    EXPECT_EQ(EnumerateMeasured({1, 4, 0, 0, 0, 0, 0, 0, 0}, "").substr(0, 21),
              "CH4                  ");
    ClearRunLines();
    // 21 characters: printed whole, followed directly by the blank. MAX C 3
    // keeps every heteroatom count at 3 or less, so the lines stay few.
    const std::string lines = EnumerateMeasured(
        {3, 11, 9, 3, 3, 3, 3, 3, 3}, "Br Cl F I O S", 3, 2000);
    EXPECT_NE(lines.find("\nC3H11Br3Cl3F3I3N9O3S3 (FW "),
              std::string::npos)
        << lines;
}

TEST_F(Enumeration, TriesNothingWithoutRoomForHalogensOrMass)
{
    extraBoundsEnabled = 0;
    struct Case { int nC, nH, nN; double r0; long long pumps; };
    const Case cases[] = {
        {1, 4, 0, -20, 1},       // nothing permitted: one combination
        {1, 4, 0, -31.9, 1},     // still above twice the O weight
        {1, 4, 0, -40, 0},       // F level (the lightest tried) has no count
        {1, 6, 0, 100, 0},       // B = 2 + 3 - 6 < 0: not even a pump
    };
    for (const Case& c : cases) {
        hooks.pumps = 0;
        const double chn = c.nC * w[IndexC] + c.nH * w[IndexH] + c.nN * w[IndexN];
        EnumerateHeteroatoms(c.nC, c.nH, c.nN, chn + c.r0, chn);
        EXPECT_EQ(hooks.pumps, c.pumps) << "R0 " << c.r0 << " nH " << c.nH;
    }
}

TEST_F(Enumeration, MassBoundAllowsOneAtomMore)
{
    // R0 = 100 with Br: nBr runs 0..2 (100 / 79.904 + 1 = 2.25); under
    // nBr = 2 the Cl level tries count 0 and the F level nothing.
    extraBoundsEnabled = 0;
    Settings(50, 5, 0, "Br");
    const double chn = 4 * w[IndexC] + 4 * w[IndexH];
    EnumerateHeteroatoms(4, 4, 0, chn + 100, chn);
    EXPECT_EQ(hooks.pumps, 2);
}

TEST_F(Enumeration, CancelStopsAtOnceAndKeepsTheLines)
{
    extraBoundsEnabled = 0;
    Settings(52.00, 13.00, 0.00, "O");
    const double chn = 2 * w[IndexC] + 6 * w[IndexH];
    hooks.cancelAtPump = 3;  // after C2H6O (second combination) was listed
    EXPECT_EQ(EnumerateHeteroatoms(2, 6, 0, chn + 16, chn), 1);
    EXPECT_EQ(hooks.pumps, 3);
    EXPECT_EQ(std::string(RunLines).substr(0, 6), "C2H6O ");
}

TEST_F(Enumeration, LimitsAreInclusiveAndAgreementIsStrict)
{
    const std::vector<int> ch4 = {1, 4, 0, 0, 0, 0, 0, 0, 0};
    const double pC = Percent(ch4, IndexC), pH = Percent(ch4, IndexH);
    const double fw = FormulaWeight(ch4);
    // CH4 has no nitrogen, so a measured N of 0.51 is off by 0.51 exactly.
    struct Case { double n, maxC, maxFW; bool listed; };
    const Case cases[] = {
        {0, 1, fw, true},                       // both limits met exactly
        {0, 0.999, 800, false},                 // more C than MAX C
        {0, 20, std::nextafter(fw, 0), false},  // FW above MAX FW
        {0.51, 20, 800, false},                 // off by 0.51: rejected
        {std::nextafter(0.51, 0), 20, 800, true},
    };
    for (const Case& c : cases) {
        ClearRunLines();
        Settings(pC, pH, c.n, "", c.maxC, c.maxFW);
        EXPECT_EQ(Enumerate(1, 4, 0, fw).empty(), !c.listed)
            << "N " << c.n << " maxC " << c.maxC << " maxFW " << c.maxFW;
    }
}

TEST(LowestTerms, HasCommonFactorAndGcd)
{
    struct Case { std::vector<int> counts; int common; };
    const Case cases[] = {
        {{2, 4, 0, 0, 0, 0, 0, 0, 0}, 1},  // C2H4
        {{2, 4, 0, 0, 0, 0, 0, 1, 0}, 0},  // C2H4O
        {{1, 4, 0, 0, 0, 0, 0, 0, 0}, 0},  // CH4
        {{6, 6, 0, 0, 0, 0, 0, 0, 0}, 1},  // C6H6
        {{4, 6, 2, 0, 0, 0, 0, 4, 0}, 1},  // all even
        {{6, 4, 0, 0, 0, 0, 0, 9, 0}, 0},  // 6, 4, 9: no common divisor
        {{0, 4, 0, 0, 0, 0, 0, 0, 0}, 1},  // no carbon: never listed
        {{0, 0, 0, 0, 0, 0, 0, 0, 0}, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HasCommonFactor(c.counts.data(), 9), c.common);

    EXPECT_EQ(Gcd(12, 8), 4);
    EXPECT_EQ(Gcd(8, 12), 4);
    EXPECT_EQ(Gcd(7, 7), 7);
    EXPECT_EQ(Gcd(17, 5), 1);
    EXPECT_EQ(Gcd(0, 5), 0);
    EXPECT_EQ(Gcd(-4, 2), 0);
    EXPECT_EQ(Max3(1, 3, 2), 3);
    EXPECT_EQ(Min3(2, 3, 1), 1);
    EXPECT_TRUE(std::signbit(Max3(-0.0, 0.0, -0.0)));  // earlier one on ties
    EXPECT_FALSE(std::signbit(Min3(0.0, -0.0, -0.0)));
}

}  // namespace
